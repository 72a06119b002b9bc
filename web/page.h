#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The one gate between the program and the page: every call that touches the DOM or the
// browser's clock is here, and every event the page raises comes back through one handler.
// Elements are small numbers handed out by create(); 0 is the page's body, 1 its root.
namespace page {

using Element = int;
inline constexpr Element Body = 0;
inline constexpr Element Root = 1;
inline constexpr Element None = -1;

enum class EventType { Click, Input, Change, KeyDown, FocusIn, PointerDown, Close, Resize };

// The DOM's name for each: the one place the page's event names are written.
constexpr std::string_view eventName(EventType type)
{
    switch (type) {
    case EventType::Click:
        return "click";
    case EventType::Input:
        return "input";
    case EventType::Change:
        return "change";
    case EventType::KeyDown:
        return "keydown";
    case EventType::FocusIn:
        return "focusin";
    case EventType::PointerDown:
        return "pointerdown";
    case EventType::Close:
        return "close";
    case EventType::Resize:
        return "resize";
    }
    return {};
}

struct Event
{
    EventType type;
    int key = 0; // KeyDown: the key's code (9 Tab, 13 Return, 27 Escape, 37 to 40 arrows...)
    // PointerDown: the press of a finger, a pen or the mouse's main button. Click: one that a
    // pointer made, as against the keyboard's activation of a focused control.
    bool pointer = false;
};

// Creates an HTML element, the last child of parent, with name as its id if it has one; or
// takes over the one the page's markup has there, made by this program when the page was built,
// with whatever a guest typed or chose in it since: found by its name where it has one, and
// standing where the program would make it. Markup that holds no such element there is an
// error (the page's build runs the take-over to find it), never a second element beside it.
Element create(Element parent, std::string_view tag, std::string_view name = {});
void setAttribute(Element element, std::string_view name, std::string_view value);
// An empty value removes the property.
void setStyle(Element element, std::string_view property, std::string_view value);
// As text, never as markup.
void setText(Element element, std::string_view text);
void setHidden(Element element, bool hidden);
bool hidden(Element element);
void setChecked(Element element, bool checked);
bool checked(Element element);
void setValue(Element element, std::string_view value);
std::string value(Element element);
// In place, the keyboard's focus moves without scrolling it into view: for the focus a page
// opens with, which must leave the window's top-left where a reload put it.
enum class Scroll { IntoView, InPlace };
void focus(Element element, Scroll scroll = Scroll::IntoView);
bool hasFocus(Element element);
// A text field the keyboard leaves shows its text from the beginning, as Chromium's and
// WebKit's do by themselves; Firefox's would stay at the caret, so the caret goes back there.
void showStartWhenLeft(Element field);
void setTitle(std::string_view title);
// Events of these types on element reach the handler, which returns whether it took the event
// (the browser then does nothing more with it). Resize is the viewport's, whatever element.
void listen(Element element, EventType type);
// From now on the handler takes the events listened to. First it takes those the page's first
// script kept until now, in the order they came, as each would have reached it then: a press
// made while the program started counts, once.
void takeEvents(std::function<bool(Element, const Event &)> handler);

// What the tab keeps across a reload or Back, and nothing longer (sessionStorage).
std::optional<std::string> sessionValue(std::string_view key);
void setSessionValue(std::string_view key, std::string_view value);

void showModal(Element dialog);
void close(Element dialog);

// Where the element is drawn, in CSS pixels from the viewport's top-left.
struct Box
{
    double left = 0, top = 0, right = 0, bottom = 0;
};
Box bounds(Element element);

// The layout viewport's size in CSS pixels: what a pinch-zoom or a software keyboard leaves alone.
double viewportWidth();
double viewportHeight();
// Device pixels per CSS pixel: a browser's zoom changes it in Chromium and Firefox, as a screen of
// another density does.
double devicePixelRatio();
// The browser's window, frame and bars included: Chromium and WebKit give it in screen pixels,
// so that a zoom leaves it alone; Firefox in CSS pixels.
double windowWidth();
double windowHeight();

// Runs the steps in order from the next task on, as many to a task as fit its share of time, the
// rest in the tasks after: a slow phone answers a tap between two tasks rather than after the
// last. One run at a time.
void runInTasks(std::vector<std::function<void()>> steps);

// What runs before the page's next paint, given the frame's time in milliseconds, once per
// requestFrame().
void setFrameHandler(std::function<void(double time)> frame);
// Asks for one call of the frame handler before the next paint; asking again before then
// changes nothing.
void requestFrame();

} // namespace page
