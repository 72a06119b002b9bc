#include "caption.h"
#include "kazerimawindow.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The front-end's side of the gate, as a table of what each control holds.
class FakeWindow final : public KazerimaWindow
{
public:
    FakeWindow()
    {
        for (int slot = 1; slot <= 5; ++slot)
            texts[design::nameField(slot)]
                = std::string(design::control(design::nameField(slot))->caption);
        setMessageBoxPresenter(
            [this](const MessageBoxRequest &request) { boxes.push_back(request); });
    }

    std::map<std::string, std::string> texts; // of the fields, by design name
    std::string optionOn = "Option5";
    std::map<std::string, bool> shown;
    // The result box as the design draws it at first.
    std::string caption = std::string(design::control(design::ResultLabel)->caption);
    Colour colour = design::control(design::ResultLabel)->background;
    int captionsSet = 0, coloursSet = 0; // each one a repaint
    int announced = 0;
    std::vector<MessageBoxRequest> boxes;
    bool framesRunning = false;

    using KazerimaWindow::runLoadStep;

private:
    std::string fieldText(const design::Control &field) override
    {
        return texts.at(std::string(field.name));
    }
    void setShown(const design::Control &control, bool visible) override
    {
        shown[std::string(control.name)] = visible;
    }
    bool isOn(const design::Control &option) override { return option.name == optionOn; }
    void setCaption(const design::Control &label, std::string_view text) override
    {
        EXPECT_EQ(label.name, design::ResultLabel);
        caption = text;
        ++captionsSet;
    }
    void setBackColour(const design::Control &label, Colour value) override
    {
        EXPECT_EQ(label.name, design::ResultLabel);
        colour = value;
        ++coloursSet;
    }
    void announce(const design::Control &label) override
    {
        EXPECT_EQ(label.name, design::ResultLabel);
        ++announced;
    }
    void runFrames(bool run) override { framesRunning = run; }
    void focus(const design::Control &) override { }
};

const design::MenuItem &menuItem(std::string_view name)
{
    for (const design::Menu &menu : design::menus()) {
        for (const design::MenuItem &item : menu.items) {
            if (item.name == name)
                return item;
        }
    }
    throw std::out_of_range(std::string(name));
}

// ---- Start and Stop, each way a front-end can reach them --------------------------------------

struct CommandCase
{
    const char *name;
    void (*start)(FakeWindow &);
    void (*stop)(FakeWindow &);
};

void PrintTo(const CommandCase &row, std::ostream *out)
{
    *out << row.name;
}

class Commands : public ::testing::TestWithParam<CommandCase>
{ };

TEST_P(Commands, StartSpinsAndStopPicksTheNameShownAnnouncingItOnce)
{
    FakeWindow window;
    window.tick(); // the first idle tick takes in 5人
    GetParam().start(window);
    ASSERT_TRUE(window.roulette().isRunning());
    for (int i = 0; i < 3; ++i)
        window.tick();
    EXPECT_EQ(window.caption, "鈴木");
    EXPECT_EQ(window.colour, RunningColour);

    GetParam().stop(window);
    EXPECT_FALSE(window.roulette().isRunning());
    EXPECT_EQ(window.caption, "鈴木");
    EXPECT_EQ(window.colour, StoppedColour);
    EXPECT_EQ(window.announced, 1);

    GetParam().stop(window); // nothing left to pick
    EXPECT_EQ(window.announced, 1);
    EXPECT_TRUE(window.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, Commands,
    ::testing::Values(
        // A click, or Space or Return on the focused button: the front-end activates it.
        CommandCase {"ButtonOrItsKey",
                     [](FakeWindow &w) { w.activate(*design::control(design::StartButton)); },
                     [](FakeWindow &w) { w.activate(*design::control(design::StopButton)); }},
        CommandCase {"MenuItem", [](FakeWindow &w) { w.activate(menuItem("Start")); },
                     [](FakeWindow &w) { w.activate(menuItem("Stop")); }},
        CommandCase {"WindowOperations", [](FakeWindow &w) { w.Ruret_Start(); },
                     [](FakeWindow &w) { w.Ruret_Stop(); }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Controls, OnlyTheTwoPushButtonsCommandAnything)
{
    FakeWindow window;
    window.tick();
    for (const design::Control &control : design::controls()) {
        window.activate(control);
        const bool running = control.name == design::StartButton;
        EXPECT_EQ(window.roulette().isRunning(), running) << control.name;
        if (running)
            window.activate(*design::control(design::StopButton));
    }
    EXPECT_TRUE(window.boxes.empty());
}

// ---- when the window wakes ---------------------------------------------------------------------

// What happens in turn: the load step ("L"), a frame of the screen, 20 ms after the last, which
// the front-end reports only while its frames run ("f"), Ruret_Start ("S"), Ruret_Stop ("T"), a
// count button turned on ("2" to "5"), Text1 emptied ("e"). Out: the same, with "x" after a frame
// that ticked, and "+" or "-" where the front-end's frames start or stop.
struct WakeCase
{
    const char *name;
    const char *events;
    const char *expected;
};

void PrintTo(const WakeCase &row, std::ostream *out)
{
    *out << row.name;
}

class Wakes : public ::testing::TestWithParam<WakeCase>
{ };

TEST_P(Wakes, OnlyForASpinOrTheIdleTickAChangeOwes)
{
    FakeWindow window;
    std::string trace;
    bool running = window.framesRunning;
    double timeMs = 0;
    std::istringstream events(GetParam().events);
    for (char event; events >> event;) {
        trace += (trace.empty() ? "" : " ") + std::string(1, event);
        switch (event) {
        case 'L':
            window.runLoadStep();
            break;
        case 'f':
            ASSERT_TRUE(window.framesRunning) << "a frame while asleep, after " << trace;
            if (window.frame(timeMs += 20))
                trace += 'x';
            break;
        case 'S':
            window.Ruret_Start();
            break;
        case 'T':
            window.Ruret_Stop();
            break;
        case 'e':
            window.texts["Text1"].clear();
            window.edited(*design::control("Text1"));
            break;
        default:
            window.optionOn = "Option" + std::string(1, event);
            window.changed();
        }
        if (window.framesRunning != running) {
            running = window.framesRunning;
            trace += running ? '+' : '-';
        }
    }
    EXPECT_EQ(trace, GetParam().expected);
    // Every idle tick, the one after a spin above all, has set the cursor back.
    if (!window.roulette().isRunning()) {
        EXPECT_EQ(window.roulette().SpinIndex(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Events, Wakes,
    ::testing::Values(
        // The load step's tick takes the count in; then nothing moves, and nothing ticks.
        WakeCase {"LoadThenAsleep", "L f", "L+ fx-"},
        WakeCase {"ACountChosen", "L f 3 f", "L+ fx- 3+ fx-"},
        // The idle tick after a Stop sets the cursor back and takes in a count chosen meanwhile.
        WakeCase {"ASpinAndTheTickAfterIt", "L f S f f 2 f T f", "L+ fx- S+ fx fx 2 fx T fx-"},
        // A restart refused for an empty name ends the spin: its idle tick still runs.
        WakeCase {"ARefusedRestart", "L f S f e S f", "L+ fx- S+ fx e S fx-"},
        // A Stop with nothing spinning, or a Start refused with nothing spinning, changes nothing.
        WakeCase {"IdleCommandsThatChangeNothing", "L f T e S", "L+ fx- T e S"}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- the gate, as the roulette works it --------------------------------------------------------

TEST(Gate, AnIdleTickShowsTheFieldsOfTheCountThatIsOn)
{
    FakeWindow window;
    window.optionOn = "Option3";
    window.tick();
    EXPECT_EQ(window.roulette().Ninzuu(), 3);
    EXPECT_EQ(window.shown,
              (std::map<std::string, bool> {{"Text3", true}, {"Text4", false}, {"Text5", false}}));
}

TEST(Gate, AnEditedNameShowsAtItsTurnAndAnEmptyOneRefusesTheStart)
{
    FakeWindow window;
    window.optionOn = "Option2";
    window.tick();
    window.texts["Text1"] = "あかね";
    window.edited(*design::control("Text1"));
    window.Ruret_Start();
    window.tick();
    window.tick();
    EXPECT_EQ(window.caption, "あかね");

    window.texts["Text2"] = "";
    window.edited(*design::control("Text2"));
    window.Ruret_Start();
    ASSERT_EQ(window.boxes.size(), 1U);
    EXPECT_EQ(window.boxes[0].prompt, "名前を登録して下さい");
    EXPECT_EQ(window.boxes[0].style, MsgBoxCritical);
    EXPECT_EQ(window.boxes[0].shownTitle(), "名前入れてね");
    EXPECT_FALSE(window.roulette().isRunning());
}

// Every tick of a spin sets the colour and the name in turn; one that changes neither must not
// repaint the box, which would cost the frame a paint for nothing.
TEST(Gate, OnlyWhatChangesReachesTheResultBox)
{
    FakeWindow window;
    window.optionOn = "Option2";
    window.texts["Text1"] = window.texts["Text2"] = "同じ";
    window.edited(*design::control("Text1"));
    window.edited(*design::control("Text2"));
    window.tick();
    window.Ruret_Start();
    for (int i = 0; i < 5; ++i)
        window.tick();
    EXPECT_EQ(window.caption, "同じ");
    EXPECT_EQ(window.captionsSet, 1);
    EXPECT_EQ(window.coloursSet, 0); // cyan from the start
    window.Ruret_Stop();
    EXPECT_EQ(window.coloursSet, 1);
}

TEST(Gate, TheVersionItemAsksForTheVersionBoxUnderTheApplicationsTitle)
{
    FakeWindow window;
    window.activate(menuItem("Ver"));
    ASSERT_EQ(window.boxes.size(), 1U);
    const MessageBoxRequest &box = window.boxes[0];
    EXPECT_EQ(box.prompt, design::versionText()); // exactly as built, LF CR and all
    EXPECT_EQ(box.style, MsgBoxOkOnly);
    EXPECT_EQ(box.title, "");
    EXPECT_EQ(box.shownTitle(), "Kazerima");
    EXPECT_EQ(box.shownPrompt(),
              "     ﾊﾞｰｼﾞｮﾝ1.0\n\nﾌﾟﾛﾃﾞｭｰｽ   Mavoru\nﾌﾟﾛｸﾞﾗﾑ     Mavoru\n"
              "企画         Mavoru\nDate         2002-11-23\n\n"
              "   Made in Quendal");
    EXPECT_EQ(window.roulette().SwitchOn(), "");
}

// ---- the tab order -----------------------------------------------------------------------------

struct TabCase
{
    const char *name;
    std::string_view from;
    bool forward;
    std::vector<std::string_view> hidden;
    std::string_view expected;
};

void PrintTo(const TabCase &row, std::ostream *out)
{
    *out << row.name;
}

class TabOrder : public ::testing::TestWithParam<TabCase>
{ };

TEST_P(TabOrder, FollowsTheDesignsStops)
{
    const TabCase &row = GetParam();
    const auto canTakeFocus = [&](std::string_view name) {
        return std::find(row.hidden.begin(), row.hidden.end(), name) == row.hidden.end();
    };
    EXPECT_EQ(design::nextTabStop(row.from, row.forward, "Option4", canTakeFocus), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Stops, TabOrder,
    ::testing::Values(
        TabCase {"StartToStop", "Command1", true, {}, "Command2"},
        TabCase {"StopToFirstName", "Command2", true, {}, "Text1"},
        TabCase {"LastNameToTheCountThatIsOn", "Text5", true, {}, "Option4"},
        TabCase {"CountsAreOneStop", "Option2", true, {}, "Command1"},
        TabCase {"BackFromStart", "Command1", false, {}, "Option4"},
        TabCase {"OverHiddenFields", "Text2", true, {"Text3", "Text4", "Text5"}, "Option4"},
        TabCase {"BackOverHiddenFields", "Option4", false, {"Text4", "Text5"}, "Text3"},
        TabCase {"FromNowhere", "", true, {}, "Command1"}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- what of a caption the box shows -----------------------------------------------------------

std::string repeated(std::string_view text, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

struct CutCase
{
    const char *name;
    std::string caption;
    std::string expected;
};

void PrintTo(const CutCase &row, std::ostream *out)
{
    *out << row.name;
}

class CaptionCut : public ::testing::TestWithParam<CutCase>
{ };

TEST_P(CaptionCut, KeepsTheFirst256CodePointsAndWholeCharacters)
{
    EXPECT_EQ(shownCaption(GetParam().caption), GetParam().expected);
}

const std::string A255 = std::string(255, 'a');

INSTANTIATE_TEST_SUITE_P(
    Captions, CaptionCut,
    ::testing::Values(
        CutCase {"Short", "佐藤", "佐藤"}, CutCase {"Empty", "", ""},
        CutCase {"Ascii256", std::string(256, 'w'), std::string(256, 'w')},
        CutCase {"Ascii257", std::string(257, 'w'), std::string(256, 'w')},
        CutCase {"Kanji257", repeated("罰", 257), repeated("罰", 256)},
        // Four bytes in UTF-8, a surrogate pair in UTF-16: whole or not at all.
        CutCase {"AstralCharacter", A255 + "𠮷b", A255 + "𠮷"},
        CutCase {"AstralCharacterAcrossTheEnd", std::string(254, 'a') + "x𠮷",
                 std::string(254, 'a') + "x𠮷"},
        CutCase {"CombiningMark", A255 + "e\u0301", A255},
        CutCase {"HalfWidthVoicedMark", A255 + "ﾊﾞ", A255},
        CutCase {"EmojiZwjSequence", std::string(253, 'a') + "👨\u200D👩\u200D👧",
                 std::string(253, 'a')},
        CutCase {"EmojiWithSkinTone", A255 + "👍🏽", A255}, CutCase {"Flag", A255 + "🇯🇵", A255},
        CutCase {"FlagAfterFlags", std::string(253, 'a') + "🇯🇵🇫🇷", std::string(253, 'a') + "🇯🇵"},
        // Right to left keeps its beginning too: the first characters in logical order.
        CutCase {"RightToLeft", repeated("ש", 300), repeated("ש", 256)},
        CutCase {"NotUtf8", std::string(300, '\xFF'), std::string(256, '\xFF')}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
