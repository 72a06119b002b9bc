#pragma once

#include "ruretcontrols.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The window as it was designed: every control, its place, look and tab stop, the menus and
// the version text. Each front-end builds its window from these tables and adds only what is
// its toolkit's own business. Texts are UTF-8; lengths are twips, 15 to a pixel at 96 dpi.
namespace design {

inline constexpr int TwipsPerPixel = 15;

// Whole pixels at 96 dpi: every length of the design divides by 15.
constexpr int pixels(int twips)
{
    return twips / TwipsPerPixel;
}

// The system colours the design names, by their index in the low byte of a system colour.
// Where a platform has no such table, the standard Windows scheme stands in
// (standardSchemeColour()).
namespace SystemColour {
inline constexpr Colour Window = 0x80000005; // COLOR_WINDOW
inline constexpr Colour WindowText = 0x80000008; // COLOR_WINDOWTEXT
inline constexpr Colour HighlightText = 0x8000000E; // COLOR_HIGHLIGHTTEXT
inline constexpr Colour ButtonFace = 0x8000000F; // COLOR_BTNFACE
inline constexpr Colour ButtonText = 0x80000012; // COLOR_BTNTEXT
} // namespace SystemColour

constexpr bool isSystemColour(Colour colour)
{
    return (colour & 0x80000000) != 0;
}

constexpr int systemColourIndex(Colour colour)
{
    return static_cast<int>(colour & 0xFF);
}

// The value of a system colour in the standard Windows scheme, for platforms without one;
// a direct colour is returned as it is.
Colour standardSchemeColour(Colour colour);

enum class Kind { Frame, OptionButton, TextBox, Label, PushButton, Timer };

struct Rect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Font
{
    // The design's face first, then stand-ins that cover Japanese, half-width katakana
    // included, in the order to try them.
    std::span<const std::string_view> faces;
    int pixelSize = 0;
    int weight = 400; // 400 regular, 700 bold
};

// What the design sets no font on (the window, its frames, its menus) takes the platform's
// user-interface font; these faces stand for it wherever that may not cover Japanese. 9 pt,
// as on Windows.
const Font &userInterfaceFont();

// What activating a control or a menu item asks of the window.
enum class Command { None, Start, Stop, Version };

struct Control
{
    std::string_view name;
    Kind kind;
    std::string_view container; // empty: the window's client area
    Rect rect; // twips, from the container's top-left corner
    int tabIndex; // -1 for the timer
    std::string_view caption; // or a text box's initial text
    const Font *font; // nullptr: the platform's default user-interface font
    Colour background;
    Colour text;
    std::string_view accessibleName = {}; // empty: the caption names the control
    bool on = false; // an option button that is on at creation
    bool border = false; // a single-line border around a label
    Command command = Command::None; // what a push button's click asks for
};

struct MenuItem
{
    std::string_view name;
    std::string_view caption;
    Command command;
};

struct Menu
{
    std::string_view name;
    std::string_view caption;
    std::span<const MenuItem> items;
};

inline constexpr std::string_view WindowName = "Kazerima";
inline constexpr std::string_view WindowCaption = "Kazerima";
inline constexpr int ClientWidth = 6270; // twips, below the menu bar
inline constexpr int ClientHeight = 5295;
inline constexpr Colour WindowBackground = SystemColour::ButtonText;
inline constexpr Colour WindowText = SystemColour::HighlightText;
inline constexpr int TimerIntervalMs = 5; // Timer1: the least time from one tick to the next

// The controls the roulette, the handlers and the front-ends single out.
inline constexpr std::string_view ResultLabel = "Label3";
inline constexpr std::string_view TickTimer = "Timer1";
inline constexpr std::string_view TitleLabel = "Label1";
inline constexpr std::string_view StartButton = "Command1";
inline constexpr std::string_view StopButton = "Command2";
std::string nameField(int slot); // "Text1" .. "Text5"
std::string optionButton(int count); // "Option2" .. "Option5"

// Topmost first; each frame's controls follow their frame, topmost first within it.
std::span<const Control> controls();
// nullptr when the design has no control of that name.
const Control *control(std::string_view name);
// What a container holds (empty: the client area), topmost first, Timer1 left out: it has no
// place on screen.
std::vector<const Control *> children(std::string_view container);
// The controls that take focus, in rising tab index.
std::vector<const Control *> tabOrder();
// Where Tab (forward) or Shift+Tab moves the focus from the control named `from`: the next of
// the tab stops, the count buttons being one stop entered at the one that is on (`optionOn`),
// passing over those that cannot take focus now, such as hidden fields. Empty when none can.
std::string_view nextTabStop(std::string_view from, bool forward, std::string_view optionOn,
                             const std::function<bool(std::string_view)> &canTakeFocus);

std::span<const Menu> menus();

// Eight lines, each pair separated by LF then CR, with nothing after the last.
std::string versionText();

} // namespace design
