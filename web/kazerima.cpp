#include "kazerima.h"

#include "embeddedfaces.h"
#include "styles.h"

#include <algorithm>
#include <cmath>
#include <functional>

using styles::css;
using styles::place;
using styles::px;
using styles::scaled;
using styles::setColours;
using styles::setFont;

namespace {

// The menu bar's height, as the Linux build draws it: the client area lies below it.
constexpr int MenuBarHeight = 18;
constexpr int ClientWidth = design::pixels(design::ClientWidth);
constexpr int ClientHeight = design::pixels(design::ClientHeight);

constexpr int KeyF10 = 121;

// The least a finger needs, in CSS pixels: each control's size on screen, and the distance
// between two controls stacked one above the other (WCAG's minimum target).
constexpr double FingerPixels = 24;
// A count button takes a finger this far above and below its caption, within the 32 pixels
// between one and the next; the circle and caption stay where the design draws them.
constexpr int CountButtonReach = 7;

constexpr std::string_view ResultBoxName = "結果";

// How much of the window shows below a field being typed in, above a software keyboard.
constexpr double FieldMargin = 8;

// Under which key the tab keeps the count button that is on.
constexpr std::string_view CountKey = "count";
// Under which key it keeps a browser's zoom, in millionths, after the viewport it was seen in.
constexpr std::string_view ZoomKey = "zoom";
constexpr double Millionths = 1e6;

const design::Control &field(int slot)
{
    return *design::control(design::nameField(slot));
}

const int FieldCount = int(std::count_if(
    design::controls().begin(), design::controls().end(),
    [](const design::Control &control) { return control.kind == design::Kind::TextBox; }));

// How far apart the design stacks the name fields, top to top.
int fieldPitch()
{
    return design::pixels(field(2).rect.top - field(1).rect.top);
}

// The rows of the name column that open up for a finger, between one field and the next.
const int ColumnRows = FieldCount - 1;
constexpr int WindowHeight = MenuBarHeight + ClientHeight;

// The name column's rows that open up above a control and within it: the fields move down by
// the rows above them and grow with their own, so that each shows a finger's height; the frames
// grow by them all, and what lies below the frames moves down.
styles::Rows columnRows(const design::Control &control)
{
    if (control.kind == design::Kind::TextBox)
        return {(control.rect.top - field(1).rect.top) / (field(2).rect.top - field(1).rect.top),
                1};
    if (!control.container.empty())
        return {};
    if (control.kind == design::Kind::Frame)
        return {0, ColumnRows};
    const design::Rect &column = design::control(field(1).container)->rect;
    return {control.rect.top >= column.top + column.height ? ColumnRows : 0};
}

std::string number(int value)
{
    return std::to_string(value);
}

bool embedsFace(const design::Control &design)
{
    return std::find(embeddedfaces::Controls.begin(), embeddedfaces::Controls.end(), design.name)
        != embeddedfaces::Controls.end();
}

} // namespace

Kazerima::Kazerima()
{
    // A slow phone takes a tenth of a second and more to take the page's window over: in steps,
    // so that it stays drawn and answers meanwhile. A press until the program runs is kept by
    // the page's first script, as before the program came.
    std::vector<std::function<void()>> steps {[this] { createWindow(); }};
    createControls(steps, {});
    steps.emplace_back([this] { createMenuBar(); });
    steps.emplace_back([this] { createBox(); });
    steps.emplace_back([this] { start(); });
    page::runInTasks(std::move(steps));
}

void Kazerima::start()
{
    restoreForm();
    setMessageBoxPresenter([this](const MessageBoxRequest &request) { presentBox(request); });
    page::setEventHandler([this](page::Element element, const page::Event &event) {
        return handleEvent(element, event);
    });

    // The window is laid out with the first frame, once, rather than as soon as it is asked
    // where anything is; the load step runs then, and Timer1 from then on, with the frames.
    page::setFrameHandler([this](double time) { animationFrame(time); });
    page::requestFrame();
}

// A tick runs inside the frame whose paint shows it: every name in the box is one the screen
// presented, and a Stop, which runs no tick, freezes the one in view. The browser hands pending
// input to the page before its frames, so none is waiting when a frame comes.
void Kazerima::animationFrame(double time)
{
    const bool first = !m_shown;
    if (first) {
        m_shown = true;
        fitToViewport();
        runLoadStep();
    }
    if (frame(time))
        ++m_ticksRun;
    // A button pressed before the program ran acts once the first tick has taken the count in:
    // a Start is not lost.
    if (const auto pressed = first ? page::earlyPress() : std::nullopt)
        if (const design::Control *button = design::control(*pressed))
            activate(*button);
    if (m_framesWanted)
        page::requestFrame();
}

// A spin asks for every frame; idle, a frame comes after each event, and nothing wakes a phone
// while nothing changes.
void Kazerima::runFrames(bool run)
{
    m_framesWanted = run;
    if (run)
        page::requestFrame();
}

// The window's unit, a design pixel on screen: the largest that fits the window in the viewport,
// times a browser's zoom (--zoom). Held upright, a phone's unit would stack the name fields closer
// than a finger tells apart: each row of their column opens up by --grow, and the unit is the
// largest that still fits the window with them. In CSS, so that the page's first bytes place the
// window: the program only follows the zoom, and a keyboard's viewport (--fit-height). Each is
// the window's width first, divided last: an engine that rounds a small length (Firefox, to a
// 60th of a pixel) would round the unit and multiply the error by every length. The viewport is
// whole pixels, as it is laid out: WebKit makes 100vw a 64th of a pixel short.
void Kazerima::defineUnit()
{
    const std::string height = "var(--fit-height, round(100dvh, 1px))";
    const std::string zoomed = "var(--zoom) * ";
    const std::string width = number(ClientWidth);
    page::setStyle(page::Root, "--zoom", "1");
    page::setStyle(page::Root, "--fit",
                   "min(round(100vw, 1px), " + height + " * " + width + " / " + number(WindowHeight)
                       + ")");
    // A viewport too low for the rows' room gives them what is left, down to half the unit.
    page::setStyle(page::Root, "--u",
                   "min(" + zoomed + "var(--fit), max((" + zoomed + height + " - "
                       + px(ColumnRows * FingerPixels) + ") * " + width + " / "
                       + number(WindowHeight - ColumnRows * fieldPitch()) + ", " + zoomed
                       + "var(--fit) / 2)) / " + width);
    page::setStyle(page::Root, "--grow",
                   "max(0px, " + px(FingerPixels) + " - var(--u) * " + number(fieldPitch()) + ")");
}

void Kazerima::createWindow()
{
    page::setTitle(design::WindowCaption);
    defineUnit();
    // What holds the window over the viewport, and scrolls it once a browser's zoom has grown it
    // past the viewport: its scroll bars leave the viewport the window is fitted to alone.
    m_scroller = page::create(page::Body, "div");
    page::setAttribute(m_scroller, "class", "scroller");
    // Around the window, the window's black; a tap there closes an open menu.
    const page::Element backdrop = page::create(m_scroller, "div");
    page::setAttribute(backdrop, "class", "backdrop");
    page::setStyle(backdrop, "background-color", css(design::WindowBackground));
    page::listen(backdrop, page::EventType::PointerDown);
    page::listen(page::Body, page::EventType::Resize);
    page::listen(page::Body, page::EventType::KeyDown);

    // The page's main content, for those who move by landmarks.
    m_window = page::create(m_scroller, "main");
    page::setAttribute(m_window, "class", "window");
    page::setAttribute(m_window, "lang", "ja");
    page::setStyle(m_window, "width", scaled(ClientWidth));
    page::setStyle(m_window, "height", scaled(WindowHeight, ColumnRows));
    setFont(m_window, design::userInterfaceFont());

    m_client = page::create(m_window, "div");
    page::setAttribute(m_client, "class", "client");
    page::setStyle(m_client, "top", scaled(MenuBarHeight));
    page::setStyle(m_client, "width", scaled(ClientWidth));
    page::setStyle(m_client, "height", scaled(ClientHeight, ColumnRows));
    setColours(m_client, design::WindowBackground, design::WindowText);
    page::listen(m_client, page::EventType::PointerDown);
}

// After the controls, so that Tab reaches the bar after the design's own stops.
void Kazerima::createMenuBar()
{
    m_menuBar.emplace(m_window, MenuBarHeight,
                      [this](const design::MenuItem &item) { activate(item); });

    // Said once when a Stop picks a name; the box itself changes too fast to be listened to.
    m_announcer = page::create(m_window, "div");
    page::setAttribute(m_announcer, "class", "announcer");
    page::setAttribute(m_announcer, "aria-live", "polite");
    page::setAttribute(m_announcer, "translate", "no");
}

// Each frame's controls inside the frame, made in the order of the design's tab stops, since Tab
// follows the page's order; the design's stacking order is each control's z-index
// (styles::place). A control a step.
void Kazerima::createControls(std::vector<std::function<void()>> &steps,
                              std::string_view containerName)
{
    std::vector<const design::Control *> made = design::children(containerName);
    std::stable_sort(made.begin(), made.end(),
                     [](const auto *a, const auto *b) { return a->tabIndex < b->tabIndex; });
    for (const design::Control *design : made) {
        steps.emplace_back([this, design] { createControl(*design); });
        if (design->kind == design::Kind::Frame)
            createControls(steps, design->name);
    }
}

void Kazerima::createControl(const design::Control &design)
{
    const page::Element container
        = design.container.empty() ? m_client : element(*design::control(design.container));
    page::Element element = page::None;
    switch (design.kind) {
    case design::Kind::Frame:
        element = createFrame(design, container);
        break;
    case design::Kind::OptionButton:
        element = createOptionButton(design, container);
        break;
    case design::Kind::TextBox:
        element = createTextBox(design, container);
        break;
    case design::Kind::Label:
        element = createLabel(design, container);
        break;
    case design::Kind::PushButton:
        element = createPushButton(design, container);
        break;
    case design::Kind::Timer:
        return; // no element: the frames are Timer1
    }
    page::setAttribute(element, "id", design.name);
    m_elements.emplace_back(&design, element);
}

page::Element Kazerima::createFrame(const design::Control &design, page::Element container)
{
    const design::Font &font = design::userInterfaceFont();
    const page::Element frame = page::create(container, "div");
    place(frame, design, 0, columnRows(design));
    page::setAttribute(frame, "role", "group");
    page::setAttribute(frame, "aria-label", design.caption);
    setColours(frame, design.background, design.text);
    // The line runs through the middle of the caption, which is set into it.
    const page::Element line = page::create(frame, "div");
    page::setAttribute(line, "class", "frame-line");
    page::setStyle(line, "top", scaled(font.pixelSize / 2));
    const page::Element caption = page::create(frame, "span");
    page::setAttribute(caption, "class", "frame-caption");
    page::setAttribute(caption, "aria-hidden", "true");
    page::setStyle(caption, "line-height", scaled(font.pixelSize));
    page::setStyle(caption, "background-color", css(design.background));
    page::setText(caption, design.caption);
    return frame;
}

// A native radio button in a label that carries the design's place, colours and font.
page::Element Kazerima::createOptionButton(const design::Control &design, page::Element container)
{
    const page::Element label = page::create(container, "label");
    place(label, design, CountButtonReach, columnRows(design));
    page::setStyle(label, "display", "flex");
    setColours(label, design.background, design.text);
    setFont(label, *design.font);
    const page::Element option = page::create(label, "input");
    page::setAttribute(option, "type", "radio");
    page::setAttribute(option, "name", "count");
    // As the markup's default: a count chosen before the program ran stays chosen.
    if (design.on)
        page::setAttribute(option, "checked", "");
    page::setText(page::create(label, "span"), design.caption);
    page::listen(option, page::EventType::Change);
    page::listen(option, page::EventType::FocusIn);
    return option;
}

page::Element Kazerima::createTextBox(const design::Control &design, page::Element container)
{
    const page::Element field = page::create(container, "input");
    place(field, design, 0, columnRows(design));
    page::setAttribute(field, "type", "text");
    page::setAttribute(field, "autocomplete", "off");
    page::setAttribute(field, "aria-label", design.accessibleName);
    // As the markup's default: a name typed before the program ran is kept.
    page::setAttribute(field, "value", design.caption);
    setColours(field, design.background, design.text);
    setFont(field, *design.font);
    page::listen(field, page::EventType::Input);
    page::listen(field, page::EventType::FocusIn);
    page::showStartWhenLeft(field);
    return field;
}

page::Element Kazerima::createLabel(const design::Control &design, page::Element container)
{
    const page::Element label = page::create(container, "div");
    place(label, design, 0, columnRows(design));
    setColours(label, design.background, design.text);
    setFont(label, *design.font, embedsFace(design) ? embeddedfaces::family(design.name) : "");
    if (design.border)
        page::setStyle(label, "border", "1px solid " + css(design.text));
    if (design.name != design::ResultLabel) {
        page::setText(label, design.caption);
        return label;
    }
    page::setAttribute(label, "class", "control result");
    // Named for those who find it by ear; what it shows changes too fast to be read out as it
    // changes (a marquee is not live), and the pick is said once by the announcer.
    page::setAttribute(label, "role", "marquee");
    page::setAttribute(label, "aria-label", ResultBoxName);
    // A name takes its direction from its first letters, and one too long for the box keeps
    // its beginning: a right-to-left one overflows on the left.
    page::setAttribute(label, "dir", "auto");
    // A name is no word of a language: a browser's translation must leave it as it was typed.
    page::setAttribute(label, "translate", "no");
    m_resultText = page::create(label, "span");
    page::setText(m_resultText, design.caption);
    return label;
}

page::Element Kazerima::createPushButton(const design::Control &design, page::Element container)
{
    const page::Element button = page::create(container, "button");
    place(button, design, 0, columnRows(design));
    page::setAttribute(button, "type", "button");
    setColours(button, design.background, design.text);
    setFont(button, *design.font, embedsFace(design) ? embeddedfaces::family(design.name) : "");
    page::setText(button, design.caption);
    page::listen(button, page::EventType::PointerDown);
    page::listen(button, page::EventType::Click);
    page::listen(button, page::EventType::FocusIn);
    return button;
}

// A phone reloads a tab it has kept in the background, and Back reloads the page: the names
// typed and the count chosen come back, as a browser brings back a form, for this tab alone.
// What a guest typed or chose on the page before the program ran comes first.
void Kazerima::restoreForm()
{
    const bool countChosen
        = std::any_of(m_elements.begin(), m_elements.end(), [](const auto &made) {
              return made.first->kind == design::Kind::OptionButton
                  && page::checked(made.second) != made.first->on;
          });
    for (const auto &[design, element] : m_elements) {
        if (design->kind == design::Kind::TextBox) {
            const auto kept = page::sessionValue(design->name);
            if (kept && page::value(element) == design->caption)
                page::setValue(element, *kept);
            edited(*design);
        } else if (design->kind == design::Kind::OptionButton && !countChosen
                   && page::sessionValue(CountKey) == design->name) {
            page::setChecked(element, true);
        }
    }
}

// A modal box: the rest of the page takes no click or key until it is dismissed.
void Kazerima::createBox()
{
    m_box = page::create(page::Body, "dialog");
    page::setAttribute(m_box, "class", "box");
    // A box grows with the window, but not past the viewport's fit: grown further by a browser's
    // zoom, it would hide its OK below the viewport.
    page::setStyle(m_box, "--u",
                   "calc(min(1, var(--zoom)) * var(--fit) / " + number(ClientWidth) + ")");
    page::setAttribute(m_box, "lang", "ja");
    setFont(m_box, design::userInterfaceFont());
    m_boxTitle = page::create(m_box, "div");
    page::setAttribute(m_boxTitle, "id", "box-title");
    page::setAttribute(m_boxTitle, "class", "box-title");
    page::setAttribute(m_box, "aria-labelledby", "box-title");
    const page::Element body = page::create(m_box, "div");
    page::setAttribute(body, "class", "box-body");
    m_boxIcon = page::create(body, "div");
    page::setAttribute(m_boxIcon, "class", "box-icon");
    page::setAttribute(m_boxIcon, "role", "img");
    page::setAttribute(m_boxIcon, "aria-label", "エラー");
    m_boxPrompt = page::create(body, "div");
    page::setAttribute(m_boxPrompt, "id", "box-prompt");
    page::setAttribute(m_boxPrompt, "class", "box-prompt");
    page::setAttribute(m_box, "aria-describedby", "box-prompt");
    m_boxOk = page::create(m_box, "button");
    page::setAttribute(m_boxOk, "type", "button");
    page::setAttribute(m_boxOk, "class", "box-ok");
    page::setAttribute(m_boxOk, "autofocus", "");
    page::setText(m_boxOk, "OK");
    page::listen(m_boxOk, page::EventType::Click);
    page::listen(m_box, page::EventType::Close);
}

// A page cannot wait for the box inside Ruret_Start: the ticks stop here instead, and go on
// from where they were when the box is dismissed, so that the game cannot tell.
void Kazerima::presentBox(const MessageBoxRequest &request)
{
    page::setText(m_boxTitle, request.shownTitle());
    page::setHidden(m_boxIcon, (request.style & MsgBoxCritical) == 0);
    page::setText(m_boxPrompt, request.shownPrompt());
    m_menuBar->close(false);
    pauseForBox();
    page::showModal(m_box);
}

// Whatever an event changed shows with the next frame: a spin started, a count chosen.
bool Kazerima::handleEvent(page::Element element, const page::Event &event)
{
    const bool taken = takeEvent(element, event);
    changed();
    return taken;
}

bool Kazerima::takeEvent(page::Element element, const page::Event &event)
{
    using page::EventType;
    switch (event.type) {
    case EventType::Resize:
        fitToViewport();
        return false;
    case EventType::PointerDown:
        return press(element, event);
    case EventType::Click:
        return click(element, event);
    case EventType::Close:
        boxDismissed();
        return false;
    case EventType::FocusIn:
        m_menuBar->focusLeft(element);
        return false;
    case EventType::Input: {
        const design::Control &field = *designOf(element);
        edited(field);
        page::setSessionValue(field.name, fieldText(field));
        return false;
    }
    case EventType::Change:
        // The idle tick of the frame this asks for takes the count in.
        page::setSessionValue(CountKey, designOf(element)->name);
        return false;
    case EventType::KeyDown:
        if (element != page::Body)
            return m_menuBar->handle(element, event);
        // F10 hands the keyboard to the menu bar, as on the desktop.
        if (event.key != KeyF10)
            return false;
        m_menuBar->focus();
        return true;
    }
    return false;
}

// The two buttons act as they are pressed, not as they are let go: the moment of the press is
// the game's one chance, and a finger that slides a little must not lose it. A press anywhere
// else closes an open menu.
bool Kazerima::press(page::Element element, const page::Event &event)
{
    const design::Control *design = designOf(element);
    if (!event.pointer || !design || design->kind != design::Kind::PushButton) {
        m_menuBar->close(false);
        return false;
    }
    activate(*design);
    // A box the press opened keeps the keyboard: the press must not take it away to the
    // button, as a press would.
    return boxOpen();
}

bool Kazerima::click(page::Element element, const page::Event &event)
{
    if (element == m_boxOk) {
        page::close(m_box);
        return false;
    }
    if (const design::Control *design = designOf(element)) {
        // A pointer's press has acted already; the keyboard's activation acts here.
        if (!event.pointer)
            activate(*design);
        return false;
    }
    return m_menuBar->handle(element, event);
}

// The page's CSS fits the window to the viewport; the program tells it a browser's zoom, and
// keeps the window as it was over a software keyboard. Some browsers shrink the viewport for one
// that opens over a name being typed: the window keeps its size, and moves up as far as the field
// needs to stay in view.
void Kazerima::fitToViewport()
{
    const double width = page::viewportWidth();
    const double height = page::viewportHeight();
    followZoom(width, height);
    page::setStyle(page::Root, "--zoom", styles::decimal(m_zoom));
    page::setAttribute(m_scroller, "class", m_zoom > 1 ? "scroller scrolls" : "scroller");
    if (!keepOverKeyboard(width, height)) {
        page::setStyle(page::Root, "--fit-height", "");
        page::setStyle(m_window, "transform", "");
        m_fitted = {width, height, page::bounds(m_window).top};
    }
    // The viewport the window is fitted to once this returns, for whoever waits on the page to
    // have taken a size in.
    page::setAttribute(page::Body, "data-fitted",
                       std::to_string(int(width)) + ' ' + std::to_string(int(height)));
}

bool Kazerima::keepOverKeyboard(double width, double height)
{
    if (width != m_fitted.width || height >= m_fitted.height)
        return false;
    const page::Element field = typedIn();
    if (field == page::None)
        return false;
    page::setStyle(page::Root, "--fit-height", px(m_fitted.height));
    page::setStyle(m_window, "transform", "");
    const page::Box window = page::bounds(m_window);
    const double below = height - FieldMargin - (page::bounds(field).bottom - window.top);
    page::setStyle(m_window, "transform",
                   "translateY(" + px(std::min(m_fitted.top, below) - window.top) + ")");
    return true;
}

// A browser's zoom scales the viewport alike across and down while the browser's window keeps
// its size on screen; Chromium and Firefox change the device pixels per CSS pixel with it, WebKit
// keeps them and gives the window's outer size in screen pixels. The window grows with a zoom,
// as a page's text does, past the viewport if need be. A zoom already set when the page loads
// cannot be told from the screen's density: the window fills the viewport then, unless the tab
// saw the zoom before a reload.
void Kazerima::followZoom(double width, double height)
{
    const Viewport before = m_viewport;
    m_viewport
        = {width, height, page::devicePixelRatio(), page::windowWidth(), page::windowHeight()};
    const Viewport &now = m_viewport;
    std::string seen;
    for (double number :
         {width, height, now.pixelRatio * Millionths, now.outerWidth, now.outerHeight})
        seen += std::to_string(int(number + 0.5)) + ' ';
    if (before.width == 0) {
        restoreZoom(seen);
        return;
    }
    if (width != before.width) {
        // Each size is rounded to a CSS pixel.
        const auto near = [](double a, double b) { return std::abs(a - b) <= 2; };
        const double shrunk = before.width / width;
        if (now.pixelRatio != before.pixelRatio) {
            const double zoom = now.pixelRatio / before.pixelRatio;
            if (near(before.width, width * zoom) && near(before.height, height * zoom))
                m_zoom *= zoom;
        } else if (now.outerWidth == before.outerWidth && now.outerHeight == before.outerHeight
                   && near(before.height, height * shrunk)) {
            m_zoom *= shrunk;
        }
    }
    page::setSessionValue(ZoomKey, seen + std::to_string(int(m_zoom * Millionths + 0.5)));
}

// A reload keeps the zoom the tab had, where the browser still shows the page as it did: seen
// is the viewport as followZoom keeps it.
void Kazerima::restoreZoom(std::string_view seen)
{
    const std::optional<std::string> kept = page::sessionValue(ZoomKey);
    if (!kept || !kept->starts_with(seen))
        return;
    int zoom = 0;
    for (char digit : kept->substr(seen.size())) {
        if (digit < '0' || digit > '9' || zoom > 100 * Millionths) // not a record of ours
            return;
        zoom = zoom * 10 + (digit - '0');
    }
    if (zoom > 0)
        m_zoom = zoom / Millionths;
}

// The name field that has the keyboard, if any.
page::Element Kazerima::typedIn() const
{
    const auto field = std::find_if(m_elements.begin(), m_elements.end(), [](const auto &made) {
        return made.first->kind == design::Kind::TextBox && page::hasFocus(made.second);
    });
    return field == m_elements.end() ? page::None : field->second;
}

page::Element Kazerima::element(const design::Control &control) const
{
    const auto found = std::find_if(m_elements.begin(), m_elements.end(),
                                    [&](const auto &made) { return made.first == &control; });
    return found->second;
}

const design::Control *Kazerima::designOf(page::Element element) const
{
    const auto found = std::find_if(m_elements.begin(), m_elements.end(),
                                    [&](const auto &made) { return made.second == element; });
    return found == m_elements.end() ? nullptr : found->first;
}

std::string Kazerima::fieldText(const design::Control &field)
{
    return page::value(element(field));
}

void Kazerima::setShown(const design::Control &control, bool shown)
{
    const page::Element shownElement = element(control);
    if (page::hidden(shownElement) == shown)
        page::setHidden(shownElement, !shown);
}

bool Kazerima::isOn(const design::Control &option)
{
    return page::checked(element(option));
}

// Written at once: the tick that writes it runs in a frame, whose paint shows it. The result
// box is the one label whose caption and colour change.
void Kazerima::setCaption(const design::Control &, std::string_view caption)
{
    page::setText(m_resultText, caption);
}

// A stop's red shows with the next paint, on the name that is on screen.
void Kazerima::setBackColour(const design::Control &label, Colour colour)
{
    page::setStyle(element(label), "background-color", css(colour));
}

// A guest already typing a name, on a page drawn before the program ran, keeps the keyboard.
void Kazerima::focus(const design::Control &control)
{
    if (typedIn() == page::None)
        page::focus(element(control), page::Scroll::InPlace);
}

void Kazerima::announce(const design::Control &)
{
    // A live region speaks only what changed: the same pick twice differs by an invisible mark.
    m_announcedOnce = !m_announcedOnce;
    page::setText(m_announcer, m_announcedOnce ? resultCaption() : resultCaption() + "\u2060");
}
