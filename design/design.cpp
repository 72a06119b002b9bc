#include "design.h"

#include "kazerima_version.h"

#include <algorithm>
#include <array>

namespace design {

namespace {

using namespace std::string_view_literals;
using SystemColour::ButtonFace;
using SystemColour::ButtonText;
using SystemColour::HighlightText;

// The design's Windows faces come first. Office brings the HG faces, which Windows alone lacks;
// Yu Gothic UI and Meiryo come with every Windows 10 and 11 that shows Japanese. The Debian
// faces follow. Fontconfig lists a face under its Japanese name on a Japanese desktop and under
// its English one elsewhere, so both are given. Last come the faces of Apple's systems
// (Hiragino Sans) and of Android (Noto Sans CJK JP), for the page on phones; after Debian's,
// so that a Linux desktop with Noto installed still shows the faces the package brings.
constexpr std::array PGothicFaces
    = {"ＭＳ Ｐゴシック"sv, "MS PGothic"sv,    "Yu Gothic UI"sv,  "Meiryo"sv,
       "IPAPGothic"sv,      "IPA Pゴシック"sv, "Hiragino Sans"sv, "Noto Sans CJK JP"sv};
constexpr std::array GothicFaces
    = {"ＭＳ ゴシック"sv, "MS Gothic"sv,   "Yu Gothic UI"sv,  "Meiryo"sv,
       "IPAGothic"sv,     "IPAゴシック"sv, "Hiragino Sans"sv, "Noto Sans CJK JP"sv};
constexpr std::array PopFixedFaces
    = {"HG創英角ﾎﾟｯﾌﾟ体"sv, "HGSoeiKakupoptai"sv,     "Yu Gothic UI"sv, "Meiryo"sv,
       "MotoyaLMaru"sv,     "モトヤLマルベリ3等幅"sv, "IPAGothic"sv,    "IPAゴシック"sv,
       "Hiragino Sans"sv,   "Noto Sans CJK JP"sv};
constexpr std::array PopProportionalFaces
    = {"HGP創英角ﾎﾟｯﾌﾟ体"sv, "HGPSoeiKakupoptai"sv,    "Yu Gothic UI"sv, "Meiryo"sv,
       "MotoyaLMaru"sv,      "モトヤLマルベリ3等幅"sv, "IPAPGothic"sv,   "IPA Pゴシック"sv,
       "Hiragino Sans"sv,    "Noto Sans CJK JP"sv};
constexpr std::array UserInterfaceFaces
    = {"Yu Gothic UI"sv,  "Meiryo UI"sv,     "MS UI Gothic"sv,    "IPAPGothic"sv,
       "IPA Pゴシック"sv, "Hiragino Sans"sv, "Noto Sans CJK JP"sv};
constexpr std::array HeavyGothicFaces
    = {"HG創英角ｺﾞｼｯｸUB"sv, "HGSoeiKakugothicUB"sv, "Yu Gothic UI"sv,  "Meiryo"sv,
       "IPAPGothic"sv,      "IPA Pゴシック"sv,      "Hiragino Sans"sv, "Noto Sans CJK JP"sv};

// Points at 96 dpi, as whole pixels: 8.25 pt is 11 px, 12 pt 16, 14.25 pt 19, 24 pt 32,
// 27.75 pt 37 and 72 pt 96.
constexpr Font UserInterfaceFont {UserInterfaceFaces, 12};
constexpr Font PromptFont {GothicFaces, 11};
constexpr Font NameFont {PGothicFaces, 16};
constexpr Font CountFont {PGothicFaces, 19};
constexpr Font StopFont {PopFixedFaces, 32};
constexpr Font StartFont {PopProportionalFaces, 32};
constexpr Font TitleFont {HeavyGothicFaces, 37, 700};
constexpr Font ResultFont {PGothicFaces, 96};

constexpr Colour Black = 0x00000000;
constexpr Colour Green = 0x0000FF00;
constexpr Colour Yellow = 0x0000FFFF;
constexpr Colour Cyan = 0x00FFFF00;

using enum Kind;
using SystemColour::Window;
using SystemColour::WindowText;

// clang-format off
// Each control on two lines: as the design's layout table, then as its captions, fonts and
// colours table.
constexpr std::array<Control, 17> Controls = {{
    {"Frame2",   Frame,        "",       {240,  720,  1095, 2415}, 10,
     "対象人数",             nullptr,     Black,      HighlightText},
    {"Option5",  OptionButton, "Frame2", {120,  1800, 855,  255},  14,
     "5人",                  &CountFont,  ButtonText, HighlightText, {}, true},
    {"Option4",  OptionButton, "Frame2", {120,  1320, 855,  255},  13,
     "4人",                  &CountFont,  ButtonText, HighlightText},
    {"Option3",  OptionButton, "Frame2", {120,  840,  855,  255},  12,
     "3人",                  &CountFont,  ButtonText, HighlightText},
    {"Option2",  OptionButton, "Frame2", {120,  360,  855,  255},  11,
     "2人",                  &CountFont,  ButtonText, HighlightText},
    {"Frame1",   Frame,        "",       {1440, 720,  1935, 2415}, 3,
     "罰ｹﾞｰﾑ候補者",         nullptr,     ButtonText, HighlightText},
    {"Text5",    TextBox,      "Frame1", {240,  1920, 1215, 375},  9,
     "伊藤",                 &NameFont,   Window,     WindowText,    "5人目の名前"},
    {"Text4",    TextBox,      "Frame1", {240,  1560, 1215, 375},  8,
     "田中",                 &NameFont,   Window,     WindowText,    "4人目の名前"},
    {"Text3",    TextBox,      "Frame1", {240,  1200, 1215, 375},  7,
     "高橋",                 &NameFont,   Window,     WindowText,    "3人目の名前"},
    {"Text2",    TextBox,      "Frame1", {240,  840,  1215, 375},  5,
     "鈴木",                 &NameFont,   Window,     WindowText,    "2人目の名前"},
    {"Text1",    TextBox,      "Frame1", {240,  480,  1215, 375},  4,
     "佐藤",                 &NameFont,   Window,     WindowText,    "1人目の名前"},
    {"Label2",   Label,        "Frame1", {120,  240,  1695, 255},  15,
     "名前を登録して下さい", &PromptFont, ButtonText, Green},
    {"Command2", PushButton,   "",       {3480, 1680, 2535, 735},  2,
     "ストップ",             &StopFont,   ButtonFace, ButtonText,    {}, false, false, Command::Stop},
    {"Timer1",   Timer,        "",       {},                       -1,
     "",                     nullptr,     Black,      Black},
    {"Command1", PushButton,   "",       {3480, 840,  2535, 735},  0,
     "スタート",             &StartFont,  ButtonFace, ButtonText,    {}, false, false, Command::Start},
    {"Label1",   Label,        "",       {480,  120,  5295, 495},  6,
     "Kazerima",             &TitleFont,  Black,      Yellow},
    {"Label3",   Label,        "",       {240,  3240, 5535, 1695}, 1,
     "",                     &ResultFont, Cyan,       ButtonText,    {}, false, true},
}};

constexpr std::array StartMenuItems = {
    MenuItem {"Start", "スタート", Command::Start},
    MenuItem {"Stop",  "ストップ", Command::Stop},
};
constexpr std::array VersionMenuItems = {
    MenuItem {"Ver", "バージョン", Command::Version},
};
constexpr std::array<Menu, 2> Menus = {{
    {"メニュー",   "メニュー",   StartMenuItems},
    {"バージョン", "バージョン", VersionMenuItems},
}};
// clang-format on

} // namespace

Colour standardSchemeColour(Colour colour)
{
    switch (colour) {
    case SystemColour::Window:
    case SystemColour::HighlightText:
        return 0x00FFFFFF;
    case SystemColour::ButtonFace:
        return 0x00F0F0F0;
    default:
        return isSystemColour(colour) ? 0x00000000 : colour;
    }
}

const Font &userInterfaceFont()
{
    return UserInterfaceFont;
}

std::string nameField(int slot)
{
    return "Text" + std::to_string(slot);
}

std::string optionButton(int count)
{
    return "Option" + std::to_string(count);
}

std::span<const Control> controls()
{
    return Controls;
}

std::vector<const Control *> children(std::string_view container)
{
    std::vector<const Control *> held;
    for (const Control &control : Controls) {
        if (control.container == container && control.kind != Kind::Timer)
            held.push_back(&control);
    }
    return held;
}

const Control *control(std::string_view name)
{
    // Classic algorithms throughout: the browser build's standard library has no ranges.
    const auto found
        = std::find_if(Controls.begin(), Controls.end(),
                       [name](const Control &control) { return control.name == name; });
    return found == Controls.end() ? nullptr : &*found;
}

std::vector<const Control *> tabOrder()
{
    std::vector<const Control *> order;
    for (const Control &control : Controls) {
        if (control.kind == PushButton || control.kind == TextBox || control.kind == OptionButton)
            order.push_back(&control);
    }
    std::sort(order.begin(), order.end(),
              [](const Control *a, const Control *b) { return a->tabIndex < b->tabIndex; });
    return order;
}

std::string_view nextTabStop(std::string_view from, bool forward, std::string_view optionOn,
                             const std::function<bool(std::string_view)> &canTakeFocus)
{
    std::vector<std::string_view> stops;
    for (const Control *stop : tabOrder()) {
        const std::string_view name = stop->kind == OptionButton ? optionOn : stop->name;
        if (std::find(stops.begin(), stops.end(), name) == stops.end())
            stops.push_back(name);
    }
    if (const Control *focused = control(from); focused && focused->kind == OptionButton)
        from = optionOn;

    const int count = static_cast<int>(stops.size());
    const auto found = std::find(stops.begin(), stops.end(), from);
    const int current
        = found == stops.end() ? (forward ? -1 : count) : static_cast<int>(found - stops.begin());
    for (int step = 1; step <= count; ++step) {
        const int index = ((current + (forward ? step : -step)) % count + count) % count;
        if (canTakeFocus(stops[static_cast<std::size_t>(index)]))
            return stops[static_cast<std::size_t>(index)];
    }
    return {};
}

std::span<const Menu> menus()
{
    return Menus;
}

std::string versionText()
{
    // LF before CR, in that order, is how this box has always separated its lines.
    const std::string separator = "\n\r";
    const std::string company = KAZERIMA_COMPANY;
    const std::string version
        = std::to_string(KAZERIMA_VERSION_MAJOR) + '.' + std::to_string(KAZERIMA_VERSION_MINOR);

    std::string text = "     ﾊﾞｰｼﾞｮﾝ" + version + separator;
    text += separator;
    for (const std::string &line :
         {"ﾌﾟﾛﾃﾞｭｰｽ   " + company, "ﾌﾟﾛｸﾞﾗﾑ     " + company, "企画         " + company,
          std::string("Date         " KAZERIMA_RELEASE_DATE)})
        text += line + separator;
    text += separator;
    text += "   Made in Quendal";
    return text;
}

} // namespace design
