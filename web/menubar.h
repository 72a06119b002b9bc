#pragma once

#include "design.h"
#include "page.h"

#include <functional>
#include <vector>

// The design's menus in the page, worked as on the desktop: by mouse and touch, and by keys
// (arrows, Enter, Space, Escape back to the control that had the keyboard). The bar is one tab
// stop after the design's own.
class MenuBar
{
public:
    using Chooser = std::function<void(const design::MenuItem &item)>;

    // The bar, the last child of window, height pixels high; chooser hears of every item
    // chosen.
    MenuBar(page::Element window, int height, Chooser chooser);

    page::Element bar() const { return m_bar; }

    // A click or a key on one of the bar's elements; returns whether it was one of them.
    bool handle(page::Element element, const page::Event &event);
    // The control that has the keyboard, outside the menus, to go back to.
    void focusLeft(page::Element control) { m_focusBefore = control; }
    // Hands the keyboard to the bar, as F10 does on the desktop.
    void focus();
    // With refocus, the keyboard goes back to the control that had it before the menus.
    void close(bool refocus);

private:
    struct Menu
    {
        page::Element title = page::None; // in the bar
        page::Element list = page::None; // below its title, shown while open
        std::vector<std::pair<page::Element, const design::MenuItem *>> items;
    };

    void open(std::size_t menu);
    bool titleKey(std::size_t menu, int key);
    bool itemKey(std::size_t menu, std::size_t item, int key);
    void choose(const design::MenuItem &item);

    page::Element m_bar = page::None;
    std::vector<Menu> m_menus;
    page::Element m_focusBefore = page::None;
    Chooser m_chooser;
};
