#include "page.h"

#include <cstdlib>
#include <emscripten.h>
#include <emscripten/html5.h>
#include <string>

// The page keeps our elements in one array, indexed by the numbers C++ holds.
// clang-format off
EM_JS(void, js_init, (), {
    Module.kazerimaElements = [document.body];
});

EM_JS(int, js_create, (int parent, const char *tag, int length), {
    const elements = Module.kazerimaElements;
    const element = document.createElement(UTF8ToString(tag, length));
    elements[parent].appendChild(element);
    elements.push(element);
    return elements.length - 1;
});

EM_JS(void, js_set_attribute, (int element, const char *name, int nameLength, const char *value,
                               int valueLength), {
    Module.kazerimaElements[element].setAttribute(UTF8ToString(name, nameLength),
                                                  UTF8ToString(value, valueLength));
});

EM_JS(void, js_set_style, (int element, const char *property, int propertyLength,
                           const char *value, int valueLength), {
    Module.kazerimaElements[element].style.setProperty(UTF8ToString(property, propertyLength),
                                                       UTF8ToString(value, valueLength));
});

EM_JS(void, js_set_placement, (int element, double left, double top, double scale), {
    Module.kazerimaElements[element].style.transform =
        'translate(' + left + 'px, ' + top + 'px) scale(' + scale + ')';
});

EM_JS(void, js_set_text, (int element, const char *text, int length), {
    Module.kazerimaElements[element].textContent = UTF8ToString(text, length);
});

EM_JS(void, js_set_hidden, (int element, bool hidden), {
    Module.kazerimaElements[element].hidden = hidden;
});

EM_JS(bool, js_hidden, (int element), {
    return Module.kazerimaElements[element].hidden;
});

EM_JS(void, js_set_checked, (int element, bool checked), {
    Module.kazerimaElements[element].checked = checked;
});

EM_JS(bool, js_checked, (int element), {
    return Module.kazerimaElements[element].checked;
});

EM_JS(void, js_set_value, (int element, const char *value, int length), {
    Module.kazerimaElements[element].value = UTF8ToString(value, length);
});

EM_JS(char *, js_value, (int element), {
    const value = Module.kazerimaElements[element].value;
    const size = lengthBytesUTF8(value) + 1;
    const pointer = _malloc(size);
    stringToUTF8(value, pointer, size);
    return pointer;
});

EM_JS(void, js_focus, (int element), {
    Module.kazerimaElements[element].focus();
});

EM_JS(void, js_set_title, (const char *title, int length), {
    document.title = UTF8ToString(title, length);
});

// Every listener forwards to the one entry point, kazerima_event.
EM_JS(void, js_listen, (int element, int type), {
    // page::EventType, in order.
    const names = ['click', 'input', 'change', 'keydown', 'focusin', 'pointerdown', 'close',
                   'resize'];
    const target = type == 7 ? window : Module.kazerimaElements[element];
    const forward = (event) => {
        const pointer = event.type == 'pointerdown' ? event.isPrimary && event.button == 0
                                                    : event.detail > 0;
        const handled = Module._kazerima_event(element, type, event.keyCode || 0, pointer);
        if (handled)
            event.preventDefault();
    };
    target.addEventListener(names[type], forward);
    if (type == 7 && window.visualViewport)
        window.visualViewport.addEventListener('resize', forward);
});

EM_JS(void, js_show_modal, (int element), {
    Module.kazerimaElements[element].showModal();
});

EM_JS(void, js_close, (int element), {
    Module.kazerimaElements[element].close();
});

EM_JS(double, js_viewport_width, (), {
    return window.visualViewport ? window.visualViewport.width : window.innerWidth;
});

EM_JS(double, js_viewport_height, (), {
    return window.visualViewport ? window.visualViewport.height : window.innerHeight;
});
// clang-format on

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

Element create(Element parent, std::string_view tag)
{
    return js_create(parent, tag.data(), length(tag));
}

void setAttribute(Element element, std::string_view name, std::string_view value)
{
    js_set_attribute(element, name.data(), length(name), value.data(), length(value));
}

void setStyle(Element element, std::string_view property, std::string_view value)
{
    js_set_style(element, property.data(), length(property), value.data(), length(value));
}

void setPlacement(Element element, double left, double top, double scale)
{
    js_set_placement(element, left, top, scale);
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

void focus(Element element)
{
    js_focus(element);
}

void setTitle(std::string_view title)
{
    js_set_title(title.data(), length(title));
}

void listen(Element element, EventType type)
{
    js_listen(element, static_cast<int>(type));
}

void setEventHandler(std::function<bool(Element, const Event &)> handler)
{
    eventHandler() = std::move(handler);
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

void setFrameHandler(std::function<void(double time)> frame)
{
    frameHandler() = std::move(frame);
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
extern "C" EMSCRIPTEN_KEEPALIVE bool kazerima_event(int element, int type, int key, bool pointer)
{
    const page::Event event {static_cast<page::EventType>(type), key, pointer};
    return page::eventHandler() && page::eventHandler()(element, event);
}
