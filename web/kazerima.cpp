// The design's window in the page: its elements, made from the design or taken over from the
// page's markup, the portable window's gate over them, and what a press, a click, a key or an edit
// on them does.
#include "kazerima.h"

#include "embeddedfaces.h"
#include "keptform.h"
#include "styles.h"

#include <algorithm>
#include <functional>

using styles::css;
using styles::place;
using styles::scaled;
using styles::setColours;
using styles::setFont;
using viewport::columnRows;

namespace {

constexpr int KeyF10 = 121;

constexpr std::string_view ResultBoxName = "結果";

bool embedsFace(const design::Control &design)
{
    return std::find(embeddedfaces::Controls.begin(), embeddedfaces::Controls.end(), design.name)
        != embeddedfaces::Controls.end();
}

} // namespace

void Kazerima::createWindow()
{
    page::setTitle(design::WindowCaption);
    viewport::defineUnit();
    // What holds the window over the viewport, and scrolls it once a browser's zoom has grown it
    // past the viewport: its scroll bars leave the viewport the window is fitted to alone.
    const page::Element scroller = page::create(page::Body, "div");
    page::setAttribute(scroller, "class", "scroller");
    // Around the window, the window's black; a tap there closes an open menu.
    const page::Element backdrop = page::create(scroller, "div");
    page::setAttribute(backdrop, "class", "backdrop");
    page::setStyle(backdrop, "background-color", css(design::WindowBackground));
    page::listen(backdrop, page::EventType::PointerDown);
    page::listen(page::Body, page::EventType::Resize);
    page::listen(page::Body, page::EventType::KeyDown);

    // The page's main content, for those who move by landmarks.
    m_window = page::create(scroller, "main");
    page::setAttribute(m_window, "class", "window");
    page::setAttribute(m_window, "lang", "ja");
    page::setStyle(m_window, "width", scaled(viewport::ClientWidth));
    page::setStyle(m_window, "height", scaled(viewport::WindowHeight, viewport::ColumnRows));
    setFont(m_window, design::userInterfaceFont());
    m_fit.emplace(scroller, m_window);

    m_client = page::create(m_window, "div");
    page::setAttribute(m_client, "class", "client");
    viewport::unitFromWindow(m_client);
    page::setStyle(m_client, "top", scaled(viewport::MenuBarHeight));
    page::setStyle(m_client, "width", scaled(viewport::ClientWidth));
    page::setStyle(m_client, "height", scaled(viewport::ClientHeight, viewport::ColumnRows));
    setColours(m_client, design::WindowBackground, design::WindowText);
    page::listen(m_client, page::EventType::PointerDown);
}

// After the controls, so that Tab reaches the bar after the design's own stops.
void Kazerima::createMenuBar()
{
    m_menuBar.emplace(m_window, viewport::MenuBarHeight,
                      [this](const design::MenuItem &item) { activate(item); });
    viewport::unitFromWindow(m_menuBar->bar());

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
    m_elements.emplace_back(&design, element);
}

page::Element Kazerima::createFrame(const design::Control &design, page::Element container)
{
    const design::Font &font = design::userInterfaceFont();
    const page::Element frame = page::create(container, "div", design.name);
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
    place(label, design, viewport::CountButtonReach, columnRows(design));
    page::setStyle(label, "display", "flex");
    setColours(label, design.background, design.text);
    setFont(label, *design.font);
    const page::Element option = page::create(label, "input", design.name);
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
    const page::Element field = page::create(container, "input", design.name);
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
    const page::Element label = page::create(container, "div", design.name);
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
    const page::Element button = page::create(container, "button", design.name);
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

// A box stops the ticks: a page cannot wait for it inside Ruret_Start, so they go on from where
// they were when it is dismissed, and the game cannot tell.
void Kazerima::presentBox(const MessageBoxRequest &request)
{
    m_menuBar->close(false);
    pauseForBox();
    m_box->show(request);
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
        keptform::keepName(field, fieldText(field));
        return false;
    }
    case EventType::Change:
        // The idle tick of the frame this asks for takes the count in.
        keptform::keepCount(*designOf(element));
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
    if (m_box->clicked(element))
        return false;
    if (const design::Control *design = designOf(element)) {
        // A pointer's press has acted already; the keyboard's activation acts here.
        if (!event.pointer)
            activate(*design);
        return false;
    }
    return m_menuBar->handle(element, event);
}

void Kazerima::fitToViewport()
{
    m_fit->follow(typedIn());
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
