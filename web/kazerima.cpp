#include "kazerima.h"

#include "embeddedfaces.h"
#include "kazerima_version.h"

#include <algorithm>

namespace {

// The menu bar's height, as the Linux build draws it: the client area lies below it.
constexpr int MenuBarHeight = 18;
constexpr int ClientWidth = design::pixels(design::ClientWidth);
constexpr int ClientHeight = design::pixels(design::ClientHeight);
// The result box lays out no more of a caption than it can ever show.
constexpr std::size_t ShownCodePoints = 256;

constexpr int KeyTab = 9, KeyReturn = 13, KeyEscape = 27, KeySpace = 32, KeyLeft = 37, KeyUp = 38,
              KeyRight = 39, KeyDown = 40, KeyF10 = 121;

std::string px(int pixels)
{
    return std::to_string(pixels) + "px";
}

// The page has no system colours: the standard Windows scheme stands in.
std::string css(Colour colour)
{
    const Colour rgb = design::standardSchemeColour(colour);
    std::string text = "#";
    for (int shift : {0, 8, 16}) { // red, green, blue
        const unsigned byte = (rgb >> shift) & 0xFF;
        text += "0123456789ABCDEF"[byte >> 4];
        text += "0123456789ABCDEF"[byte & 0xF];
    }
    return text;
}

std::string quoted(std::string_view face)
{
    return '"' + std::string(face) + '"';
}

void setFont(page::Element element, const design::Font &font, std::string_view embedded = {})
{
    std::string families = embedded.empty() ? std::string() : quoted(embedded) + ", ";
    for (std::string_view face : font.faces)
        families += quoted(face) + ", ";
    page::setStyle(element, "font-family", families + "sans-serif");
    page::setStyle(element, "font-size", px(font.pixelSize));
    page::setStyle(element, "font-weight", std::to_string(font.weight));
}

void place(page::Element element, const design::Rect &twips)
{
    page::setAttribute(element, "class", "control");
    page::setStyle(element, "left", px(design::pixels(twips.left)));
    page::setStyle(element, "top", px(design::pixels(twips.top)));
    page::setStyle(element, "width", px(design::pixels(twips.width)));
    page::setStyle(element, "height", px(design::pixels(twips.height)));
}

void setColours(page::Element element, Colour background, Colour text)
{
    page::setStyle(element, "background-color", css(background));
    page::setStyle(element, "color", css(text));
}

// The first code points of a UTF-8 text, cut between two of them.
std::string_view leading(std::string_view text, std::size_t codePoints)
{
    std::size_t counted = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && counted++ == codePoints)
            return text.substr(0, i);
    }
    return text;
}

} // namespace

Kazerima::Kazerima()
{
    page::setTitle(design::WindowCaption);
    createWindow();
    createBox();
    setMessageBoxPresenter([this](const MessageBoxRequest &request) { presentBox(request); });
    page::setEventHandler([this](page::Element element, const page::Event &event) {
        return handleEvent(element, event);
    });

    // The load step: Timer1 from now on, with the page's frames. The window is laid out with
    // the first frame, once, rather than as soon as it is asked where anything is.
    page::setFrameHandler([this](double time) { frame(time); });
    page::requestFrame();
}

// A tick runs inside the frame whose paint shows it: every name in the box is one the screen
// presented, and a Stop, which runs no tick, freezes the one in view. A spin asks for every
// frame; otherwise each event asks for one, whose idle tick takes in a count just chosen, and
// nothing wakes a phone while nothing changes.
void Kazerima::frame(double time)
{
    if (!m_shown) {
        m_shown = true;
        fitToViewport();
        page::focus(m_startButton);
    }
    // While a box is open the ticks pause; they go on where they were once it is dismissed.
    if (m_boxOpen)
        return;
    if (m_pacer.tickAt(time)) {
        tick();
        ++m_ticksRun;
    }
    if (roulette().isRunning())
        page::requestFrame();
}

void Kazerima::createWindow()
{
    // Around the window, the window's black; a tap there closes an open menu.
    const page::Element backdrop = page::create(page::Body, "div");
    page::setAttribute(backdrop, "class", "backdrop");
    page::setStyle(backdrop, "background-color", css(design::WindowBackground));
    page::listen(backdrop, page::EventType::PointerDown);
    page::listen(page::Body, page::EventType::Resize);
    page::listen(page::Body, page::EventType::KeyDown);

    m_window = page::create(page::Body, "div");
    page::setAttribute(m_window, "class", "window");
    page::setAttribute(m_window, "lang", "ja");
    page::setStyle(m_window, "width", px(ClientWidth));
    page::setStyle(m_window, "height", px(MenuBarHeight + ClientHeight));
    setFont(m_window, design::userInterfaceFont());

    createMenus();

    const page::Element client = page::create(m_window, "div");
    page::setAttribute(client, "class", "client");
    page::setStyle(client, "top", px(MenuBarHeight));
    page::setStyle(client, "width", px(ClientWidth));
    page::setStyle(client, "height", px(ClientHeight));
    setColours(client, design::WindowBackground, design::WindowText);
    page::listen(client, page::EventType::PointerDown);
    createControls(client, {});

    for (int slot = 1; slot <= 5; ++slot) {
        const design::Control &field = *design::control(design::nameField(slot));
        m_names[slot - 1].text = field.caption;
    }
    for (int count = 2; count <= 5; ++count)
        m_optionOn[count - 2] = design::control(design::optionButton(count))->on;

    // Said once when a Stop picks a name; the box itself changes too fast to be listened to.
    m_announcer = page::create(m_window, "div");
    page::setAttribute(m_announcer, "class", "announcer");
    page::setAttribute(m_announcer, "aria-live", "polite");
}

// Made bottom-most first, since a later sibling is drawn over an earlier one; each frame's
// controls inside the frame.
void Kazerima::createControls(page::Element container, std::string_view containerName)
{
    const std::span<const design::Control> controls = design::controls();
    for (auto design = controls.rbegin(); design != controls.rend(); ++design) {
        if (design->container != containerName || design->kind == design::Kind::Timer)
            continue;
        const page::Element element = createControl(*design, container);
        if (design->kind == design::Kind::Frame)
            createControls(element, design->name);
    }
}

page::Element Kazerima::createControl(const design::Control &design, page::Element container)
{
    const design::Font &font = design.font ? *design.font : design::userInterfaceFont();
    const bool embedded
        = std::find(embeddedfaces::Controls.begin(), embeddedfaces::Controls.end(), design.name)
        != embeddedfaces::Controls.end();
    const std::string tabIndex = std::to_string(design.tabIndex + 1); // 0 would mean "last"
    page::Element element = page::None;
    switch (design.kind) {
    case design::Kind::Frame: {
        element = page::create(container, "div");
        place(element, design.rect);
        page::setAttribute(element, "role", "group");
        page::setAttribute(element, "aria-label", design.caption);
        setColours(element, design.background, design.text);
        // The line runs through the middle of the caption, which is set into it.
        const page::Element line = page::create(element, "div");
        page::setAttribute(line, "class", "frame-line");
        page::setStyle(line, "top", px(font.pixelSize / 2));
        const page::Element caption = page::create(element, "span");
        page::setAttribute(caption, "class", "frame-caption");
        page::setAttribute(caption, "aria-hidden", "true");
        page::setStyle(caption, "line-height", px(font.pixelSize));
        page::setStyle(caption, "background-color", css(design.background));
        page::setText(caption, design.caption);
        break;
    }
    case design::Kind::OptionButton: {
        const page::Element label = page::create(container, "label");
        place(label, design.rect);
        page::setStyle(label, "display", "flex");
        setColours(label, design.background, design.text);
        setFont(label, font);
        element = page::create(label, "input");
        page::setAttribute(element, "type", "radio");
        page::setAttribute(element, "name", "count");
        page::setAttribute(element, "tabindex", tabIndex);
        page::setChecked(element, design.on);
        page::setText(page::create(label, "span"), design.caption);
        page::listen(element, page::EventType::Change);
        page::listen(element, page::EventType::FocusIn);
        const auto count = design.name.back() - '0';
        m_options[static_cast<std::size_t>(count - 2)] = element;
        break;
    }
    case design::Kind::TextBox: {
        element = page::create(container, "input");
        place(element, design.rect);
        page::setAttribute(element, "type", "text");
        page::setAttribute(element, "autocomplete", "off");
        page::setAttribute(element, "tabindex", tabIndex);
        page::setAttribute(element, "aria-label", design.accessibleName);
        page::setValue(element, design.caption);
        setColours(element, design.background, design.text);
        setFont(element, font);
        page::listen(element, page::EventType::Input);
        page::listen(element, page::EventType::FocusIn);
        const auto slot = design.name.back() - '0';
        m_names[static_cast<std::size_t>(slot - 1)].element = element;
        break;
    }
    case design::Kind::Label:
        element = page::create(container, "div");
        place(element, design.rect);
        setColours(element, design.background, design.text);
        setFont(element, font, embedded ? embeddedfaces::family(design.name) : std::string());
        if (design.border)
            page::setStyle(element, "border", "1px solid " + css(design.text));
        if (design.name == design::ResultLabel) {
            m_result = element;
            m_resultColour = design.background;
            page::setAttribute(element, "class", "control result");
            m_resultText = page::create(element, "span");
            page::setText(m_resultText, design.caption);
        } else {
            page::setText(element, design.caption);
        }
        break;
    case design::Kind::PushButton:
        element = page::create(container, "button");
        place(element, design.rect);
        page::setAttribute(element, "type", "button");
        page::setAttribute(element, "tabindex", tabIndex);
        setColours(element, design.background, design.text);
        setFont(element, font, embedded ? embeddedfaces::family(design.name) : std::string());
        page::setText(element, design.caption);
        page::listen(element, page::EventType::PointerDown);
        page::listen(element, page::EventType::Click);
        page::listen(element, page::EventType::FocusIn);
        if (design.name == design::StartButton)
            m_startButton = element;
        else if (design.name == design::StopButton)
            m_stopButton = element;
        break;
    case design::Kind::Timer:
        break;
    }
    page::setAttribute(element, "id", design.name);
    return element;
}

void Kazerima::createMenus()
{
    m_menuBar = page::create(m_window, "div");
    page::setAttribute(m_menuBar, "class", "menubar");
    page::setAttribute(m_menuBar, "role", "menubar");
    page::setStyle(m_menuBar, "height", px(MenuBarHeight));
    for (const design::Menu &design : design::menus()) {
        Menu menu;
        // The list is the title's sibling: a click on an item is not also one on the title.
        const page::Element holder = page::create(m_menuBar, "div");
        page::setAttribute(holder, "class", "menu-holder");
        menu.title = page::create(holder, "div");
        page::setAttribute(menu.title, "id", design.name);
        page::setAttribute(menu.title, "role", "menuitem");
        page::setAttribute(menu.title, "aria-haspopup", "menu");
        page::setAttribute(menu.title, "aria-expanded", "false");
        // One stop for the whole bar, after the design's own.
        page::setAttribute(menu.title, "tabindex", m_menus.empty() ? "0" : "-1");
        page::setText(menu.title, design.caption);
        page::setStyle(menu.title, "line-height", px(MenuBarHeight));
        menu.list = page::create(holder, "div");
        page::setStyle(menu.list, "top", px(MenuBarHeight));
        page::setAttribute(menu.list, "role", "menu");
        page::setAttribute(menu.list, "aria-label", design.caption);
        page::setAttribute(menu.list, "class", "menu");
        page::setHidden(menu.list, true);
        for (const design::MenuItem &item : design.items) {
            const page::Element element = page::create(menu.list, "div");
            page::setAttribute(element, "id", item.name);
            page::setAttribute(element, "role", "menuitem");
            page::setAttribute(element, "tabindex", "-1");
            page::setText(element, item.caption);
            page::listen(element, page::EventType::Click);
            page::listen(element, page::EventType::KeyDown);
            menu.items.emplace_back(element, item.command);
        }
        page::listen(menu.title, page::EventType::Click);
        page::listen(menu.title, page::EventType::KeyDown);
        m_menus.push_back(std::move(menu));
    }
}

// A modal box: the rest of the page takes no click or key until it is dismissed.
void Kazerima::createBox()
{
    m_box = page::create(page::Body, "dialog");
    page::setAttribute(m_box, "class", "box");
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
    page::setText(m_boxTitle, request.title.empty() ? KAZERIMA_NAME : request.title);
    page::setHidden(m_boxIcon, (request.style & MsgBoxCritical) == 0);
    // The text breaks its lines with LF then CR; each pair is one line break.
    std::string prompt = request.prompt;
    for (std::size_t at; (at = prompt.find("\n\r")) != std::string::npos;)
        prompt.replace(at, 2, "\n");
    page::setText(m_boxPrompt, prompt);
    closeMenus(false);
    m_boxOpen = true;
    page::showModal(m_box);
}

// Whatever an event changed shows with the next frame: a spin started, a count chosen.
bool Kazerima::handleEvent(page::Element element, const page::Event &event)
{
    const bool taken = takeEvent(element, event);
    page::requestFrame();
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
        // The two buttons act as they are pressed, not as they are let go: the moment of the
        // press is the game's one chance, and a finger that slides a little must not lose it.
        if (event.pointer && (element == m_startButton || element == m_stopButton)) {
            runCommand(element == m_startButton ? design::Command::Start : design::Command::Stop);
            // A box the press opened keeps the keyboard: the press must not take it away to
            // the button, as a press would.
            return m_boxOpen;
        }
        closeMenus(false);
        return false;
    case EventType::Close:
        m_boxOpen = false;
        return false;
    case EventType::FocusIn:
        m_focusBeforeMenus = element;
        return false;
    case EventType::Input:
        for (NameField &name : m_names) {
            if (name.element == element)
                name.text = page::value(element);
        }
        return false;
    case EventType::Change:
        for (std::size_t i = 0; i < m_options.size(); ++i)
            m_optionOn[i] = page::checked(m_options[i]);
        return false;
    case EventType::Click:
        if (element == m_startButton || element == m_stopButton) {
            // A pointer's press has acted already; the keyboard's activation acts here.
            if (!event.pointer)
                runCommand(element == m_startButton ? design::Command::Start
                                                    : design::Command::Stop);
        } else if (element == m_boxOk) {
            page::close(m_box);
        } else {
            for (std::size_t menu = 0; menu < m_menus.size(); ++menu) {
                if (element == m_menus[menu].title) {
                    if (page::hidden(m_menus[menu].list))
                        openMenu(menu);
                    else
                        closeMenus(false);
                    return true;
                }
                for (const auto &[item, itemCommand] : m_menus[menu].items) {
                    if (element == item) {
                        closeMenus(true);
                        runCommand(itemCommand);
                        return true;
                    }
                }
            }
        }
        return false;
    case EventType::KeyDown:
        if (element == page::Body) {
            // F10 hands the keyboard to the menu bar, as on the desktop.
            if (event.key != KeyF10)
                return false;
            page::focus(m_menus.front().title);
            return true;
        }
        return handleMenuKey(element, event);
    }
    return false;
}

bool Kazerima::handleMenuKey(page::Element element, const page::Event &event)
{
    for (std::size_t menu = 0; menu < m_menus.size(); ++menu) {
        const Menu &current = m_menus[menu];
        const std::size_t neighbour
            = (menu + (event.key == KeyLeft ? m_menus.size() - 1 : 1)) % m_menus.size();
        if (element == current.title) {
            switch (event.key) {
            case KeyLeft:
            case KeyRight:
                closeMenus(false);
                page::focus(m_menus[neighbour].title);
                return true;
            case KeyDown:
            case KeyReturn:
            case KeySpace:
                openMenu(menu);
                return true;
            case KeyEscape:
                closeMenus(true);
                return true;
            case KeyTab:
                closeMenus(false);
                return false;
            }
            return false;
        }
        const auto &items = current.items;
        for (std::size_t item = 0; item < items.size(); ++item) {
            if (element != items[item].first)
                continue;
            switch (event.key) {
            case KeyUp:
            case KeyDown: {
                const std::size_t step = event.key == KeyDown ? 1 : items.size() - 1;
                page::focus(items[(item + step) % items.size()].first);
                return true;
            }
            case KeyLeft:
            case KeyRight:
                openMenu(neighbour);
                return true;
            case KeyReturn:
            case KeySpace:
                closeMenus(true);
                runCommand(items[item].second);
                return true;
            case KeyEscape:
                closeMenus(false);
                page::focus(current.title);
                return true;
            case KeyTab:
                closeMenus(false);
                return false;
            }
            return false;
        }
    }
    return false;
}

// Opens the menu with the keyboard on its first item, for mouse, touch and keys alike.
void Kazerima::openMenu(std::size_t menu)
{
    for (std::size_t other = 0; other < m_menus.size(); ++other) {
        page::setHidden(m_menus[other].list, other != menu);
        page::setAttribute(m_menus[other].title, "aria-expanded", other == menu ? "true" : "false");
    }
    page::focus(m_menus[menu].items.front().first);
}

// With refocus, the keyboard goes back to the control that had it before the menus.
void Kazerima::closeMenus(bool refocus)
{
    for (const Menu &menu : m_menus) {
        page::setHidden(menu.list, true);
        page::setAttribute(menu.title, "aria-expanded", "false");
    }
    if (refocus && m_focusBeforeMenus != page::None)
        page::focus(m_focusBeforeMenus);
}

// The window scales as one piece to the largest size the viewport holds, centred.
void Kazerima::fitToViewport()
{
    const double width = page::viewportWidth();
    const double height = page::viewportHeight();
    const double scale
        = std::min(width / ClientWidth, height / double(MenuBarHeight + ClientHeight));
    page::setPlacement(m_window, (width - ClientWidth * scale) / 2,
                       (height - (MenuBarHeight + ClientHeight) * scale) / 2, scale);
}

std::string Kazerima::nameText(int slot)
{
    return m_names.at(static_cast<std::size_t>(slot - 1)).text;
}

void Kazerima::setNameVisible(int slot, bool visible)
{
    NameField &name = m_names.at(static_cast<std::size_t>(slot - 1));
    if (name.visible == visible)
        return;
    name.visible = visible;
    page::setHidden(name.element, !visible);
}

bool Kazerima::optionValue(int count)
{
    return m_optionOn.at(static_cast<std::size_t>(count - 2));
}

// Written at once: the tick that writes it runs in a frame, whose paint shows it.
void Kazerima::setResultCaption(const std::string &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    page::setText(m_resultText, leading(m_caption, ShownCodePoints));
}

// A stop's red shows with the next paint, on the name that is on screen.
void Kazerima::setResultBackColour(Colour colour)
{
    if (colour == m_resultColour)
        return;
    m_resultColour = colour;
    page::setStyle(m_result, "background-color", css(colour));
}

void Kazerima::announcePick()
{
    // A live region speaks only what changed: the same pick twice differs by an invisible mark.
    m_announcedOnce = !m_announcedOnce;
    page::setText(m_announcer, m_announcedOnce ? m_caption : m_caption + "\u2060");
}
