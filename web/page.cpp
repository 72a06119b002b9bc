#include "page.h"

#include <cstdlib>
#include <emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>
#include <string>

// In page.js.
extern "C" {
void js_init();
int js_create(int parent, const char *tag, int tagLength, const char *name, int nameLength);
void js_set_attribute(int element, const char *name, int nameLength, const char *value,
                      int valueLength);
void js_set_style(int element, const char *property, int propertyLength, const char *value,
                  int valueLength);
void js_set_text(int element, const char *text, int length);
void js_set_hidden(int element, bool hidden);
bool js_hidden(int element);
void js_set_checked(int element, bool checked);
bool js_checked(int element);
void js_set_value(int element, const char *value, int length);
char *js_value(int element);
void js_focus(int element, bool inPlace);
bool js_has_focus(int element);
void js_show_start_when_left(int element);
void js_set_title(const char *title, int length);
void js_take_events();
void js_bounds(int element, double *box);
void js_listen(int element, int type, const char *name, int length, bool onViewport);
char *js_session_value(const char *key, int length);
void js_set_session_value(const char *key, int keyLength, const char *value, int valueLength);
void js_show_modal(int element);
void js_close(int element);
double js_viewport_width();
double js_viewport_height();
double js_device_pixel_ratio();
double js_window_width();
double js_window_height();
}

namespace page {

namespace {

std::function<bool(Element, const Event &)> &eventHandler()
{
    static std::function<bool(Element, const Event &)> handler;
    return handler;
}

std::function<void(double)> &frameHandler()
{
    static std::function<void(double)> handler;
    return handler;
}

bool initialised = [] {
    js_init();
    return true;
}();

int length(std::string_view text)
{
    return static_cast<int>(text.size());
}

} // namespace

Element create(Element parent, std::string_view tag, std::string_view name)
{
    return js_create(parent, tag.data(), length(tag), name.data(), length(name));
}

void setAttribute(Element element, std::string_view name, std::string_view value)
{
    js_set_attribute(element, name.data(), length(name), value.data(), length(value));
}

void setStyle(Element element, std::string_view property, std::string_view value)
{
    js_set_style(element, property.data(), length(property), value.data(), length(value));
}

void setText(Element element, std::string_view text)
{
    js_set_text(element, text.data(), length(text));
}

void setHidden(Element element, bool hidden)
{
    js_set_hidden(element, hidden);
}

void setChecked(Element element, bool checked)
{
    js_set_checked(element, checked);
}

bool hidden(Element element)
{
    return js_hidden(element);
}

bool checked(Element element)
{
    return js_checked(element);
}

void setValue(Element element, std::string_view value)
{
    js_set_value(element, value.data(), length(value));
}

std::string value(Element element)
{
    char *text = js_value(element);
    std::string result(text);
    std::free(text);
    return result;
}

void focus(Element element, Scroll scroll)
{
    js_focus(element, scroll == Scroll::InPlace);
}

bool hasFocus(Element element)
{
    return js_has_focus(element);
}

void showStartWhenLeft(Element field)
{
    js_show_start_when_left(field);
}

void setTitle(std::string_view title)
{
    js_set_title(title.data(), length(title));
}

Box bounds(Element element)
{
    double box[4];
    js_bounds(element, box);
    return {box[0], box[1], box[2], box[3]};
}

void listen(Element element, EventType type)
{
    const std::string_view name = eventName(type);
    js_listen(element, static_cast<int>(type), name.data(), length(name),
              type == EventType::Resize);
}

void takeEvents(std::function<bool(Element, const Event &)> handler)
{
    eventHandler() = std::move(handler);
    js_take_events();
}

std::optional<std::string> sessionValue(std::string_view key)
{
    char *text = js_session_value(key.data(), length(key));
    if (!text)
        return std::nullopt;
    std::string result(text);
    std::free(text);
    return result;
}

void setSessionValue(std::string_view key, std::string_view value)
{
    js_set_session_value(key.data(), length(key), value.data(), length(value));
}

void showModal(Element dialog)
{
    js_show_modal(dialog);
}

void close(Element dialog)
{
    js_close(dialog);
}

double viewportWidth()
{
    return js_viewport_width();
}

double viewportHeight()
{
    return js_viewport_height();
}

double devicePixelRatio()
{
    return js_device_pixel_ratio();
}

double windowWidth()
{
    return js_window_width();
}

double windowHeight()
{
    return js_window_height();
}

void setFrameHandler(std::function<void(double time)> frame)
{
    frameHandler() = std::move(frame);
}

namespace {

// A task of more than 50 ms keeps a tap waiting long enough to be felt. The share is well under
// that: the step that crosses it runs to its end.
constexpr double TaskShareMs = 10;

struct Steps
{
    std::vector<std::function<void()>> steps;
    std::size_t next = 0;
};

Steps &pending()
{
    static Steps steps;
    return steps;
}

void runSteps(void * = nullptr)
{
    const double start = emscripten_get_now();
    Steps &left = pending();
    while (left.next < left.steps.size()) {
        left.steps[left.next++]();
        if (left.next < left.steps.size() && emscripten_get_now() - start >= TaskShareMs) {
            emscripten_set_timeout(runSteps, 0, nullptr);
            return;
        }
    }
    left = {};
}

} // namespace

void runInTasks(std::vector<std::function<void()>> steps)
{
    pending() = {std::move(steps)};
    // Not in the caller's task, which has made the steps: on a slow phone the first calls of
    // anything take long, as the browser compiles what they run.
    emscripten_set_timeout(runSteps, 0, nullptr);
}

void requestFrame()
{
    static bool requested = false;
    if (requested)
        return;
    requested = true;
    emscripten_request_animation_frame(
        [](double time, void *) -> EM_BOOL {
            requested = false;
            frameHandler()(time);
            return EM_FALSE;
        },
        nullptr);
}

} // namespace page

// Returns whether the program took the event, so that the browser does nothing more with it.
extern "C" EMSCRIPTEN_KEEPALIVE bool kazerima_event(int element, int type, int key, bool press,
                                                    int detail)
{
    const auto eventType = static_cast<page::EventType>(type);
    const bool pointer = eventType == page::EventType::PointerDown ? press : detail > 0;
    const page::Event event {eventType, key, pointer};
    return page::eventHandler() && page::eventHandler()(element, event);
}
