#include "menubar.h"

#include "styles.h"

namespace {

constexpr int KeyTab = 9, KeyReturn = 13, KeyEscape = 27, KeySpace = 32, KeyLeft = 37, KeyUp = 38,
              KeyRight = 39, KeyDown = 40;

} // namespace

MenuBar::MenuBar(page::Element window, int height, Chooser chooser)
    : m_chooser(std::move(chooser))
{
    m_bar = page::create(window, "div");
    page::setAttribute(m_bar, "class", "menubar");
    page::setAttribute(m_bar, "role", "menubar");
    page::setStyle(m_bar, "height", styles::scaled(height));
    for (const design::Menu &design : design::menus()) {
        Menu menu;
        // The list is the title's sibling: a click on an item is not also one on the title.
        const page::Element holder = page::create(m_bar, "div");
        page::setAttribute(holder, "class", "menu-holder");
        menu.title = page::create(holder, "div", design.name);
        page::setAttribute(menu.title, "role", "menuitem");
        page::setAttribute(menu.title, "aria-haspopup", "menu");
        page::setAttribute(menu.title, "aria-expanded", "false");
        // One stop for the whole bar.
        page::setAttribute(menu.title, "tabindex", m_menus.empty() ? "0" : "-1");
        page::setText(menu.title, design.caption);
        page::setStyle(menu.title, "line-height", styles::scaled(height));
        menu.list = page::create(holder, "div");
        page::setStyle(menu.list, "top", styles::scaled(height));
        page::setAttribute(menu.list, "role", "menu");
        page::setAttribute(menu.list, "aria-label", design.caption);
        page::setAttribute(menu.list, "class", "menu");
        page::setHidden(menu.list, true);
        for (const design::MenuItem &item : design.items) {
            const page::Element element = page::create(menu.list, "div", item.name);
            page::setAttribute(element, "role", "menuitem");
            page::setAttribute(element, "tabindex", "-1");
            page::setText(element, item.caption);
            page::listen(element, page::EventType::Click);
            page::listen(element, page::EventType::KeyDown);
            menu.items.emplace_back(element, &item);
        }
        page::listen(menu.title, page::EventType::Click);
        page::listen(menu.title, page::EventType::KeyDown);
        m_menus.push_back(std::move(menu));
    }
}

bool MenuBar::handle(page::Element element, const page::Event &event)
{
    const bool click = event.type == page::EventType::Click;
    for (std::size_t menu = 0; menu < m_menus.size(); ++menu) {
        if (element == m_menus[menu].title) {
            if (!click)
                return titleKey(menu, event.key);
            if (page::hidden(m_menus[menu].list))
                open(menu);
            else
                close(false);
            return true;
        }
        const auto &items = m_menus[menu].items;
        for (std::size_t item = 0; item < items.size(); ++item) {
            if (element != items[item].first)
                continue;
            if (!click)
                return itemKey(menu, item, event.key);
            choose(*items[item].second);
            return true;
        }
    }
    return false;
}

void MenuBar::focus()
{
    page::focus(m_menus.front().title);
}

bool MenuBar::titleKey(std::size_t menu, int key)
{
    switch (key) {
    case KeyLeft:
    case KeyRight:
        close(false);
        page::focus(
            m_menus[(menu + (key == KeyLeft ? m_menus.size() - 1 : 1)) % m_menus.size()].title);
        return true;
    case KeyDown:
    case KeyReturn:
    case KeySpace:
        open(menu);
        return true;
    case KeyEscape:
        close(true);
        return true;
    case KeyTab:
        close(false);
        return false;
    }
    return false;
}

bool MenuBar::itemKey(std::size_t menu, std::size_t item, int key)
{
    const auto &items = m_menus[menu].items;
    switch (key) {
    case KeyUp:
    case KeyDown:
        page::focus(items[(item + (key == KeyDown ? 1 : items.size() - 1)) % items.size()].first);
        return true;
    case KeyLeft:
    case KeyRight:
        open((menu + (key == KeyLeft ? m_menus.size() - 1 : 1)) % m_menus.size());
        return true;
    case KeyReturn:
    case KeySpace:
        choose(*items[item].second);
        return true;
    case KeyEscape:
        close(false);
        page::focus(m_menus[menu].title);
        return true;
    case KeyTab:
        close(false);
        return false;
    }
    return false;
}

void MenuBar::choose(const design::MenuItem &item)
{
    close(true);
    m_chooser(item);
}

// Opens the menu with the keyboard on its first item, for mouse, touch and keys alike.
void MenuBar::open(std::size_t menu)
{
    for (std::size_t other = 0; other < m_menus.size(); ++other) {
        page::setHidden(m_menus[other].list, other != menu);
        page::setAttribute(m_menus[other].title, "aria-expanded", other == menu ? "true" : "false");
    }
    page::focus(m_menus[menu].items.front().first);
}

void MenuBar::close(bool refocus)
{
    for (const Menu &menu : m_menus) {
        page::setHidden(menu.list, true);
        page::setAttribute(menu.title, "aria-expanded", "false");
    }
    if (refocus && m_focusBefore != page::None)
        page::focus(m_focusBefore);
}
