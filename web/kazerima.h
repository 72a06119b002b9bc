#pragma once

#include "framepacer.h"
#include "kazerimawindow.h"
#include "page.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The program's one window in a web page, built in the DOM from the design tables. It lends the
// page's elements to the roulette through RuretControls and forwards clicks, keys, menu picks
// and the ticks of the page's animation frames to it. The page scales the window as one piece
// to fit the viewport.
class Kazerima final : public KazerimaWindow
{
public:
    Kazerima();

    std::int64_t ticksRun() const { return m_ticksRun; }

private:
    struct Menu
    {
        page::Element title = page::None; // in the menu bar
        page::Element list = page::None; // below its title, shown while open
        std::vector<std::pair<page::Element, design::Command>> items;
    };

    void createWindow();
    void createControls(page::Element container, std::string_view containerName);
    page::Element createControl(const design::Control &design, page::Element container);
    void createMenus();
    void createBox();
    void presentBox(const MessageBoxRequest &request);

    void frame(double time);
    bool handleEvent(page::Element element, const page::Event &event);
    bool takeEvent(page::Element element, const page::Event &event);
    bool handleMenuKey(page::Element element, const page::Event &event);
    void openMenu(std::size_t menu);
    void closeMenus(bool refocus);
    void fitToViewport();

    // RuretControls
    std::string nameText(int slot) override;
    void setNameVisible(int slot, bool visible) override;
    bool optionValue(int count) override;
    void setResultCaption(const std::string &caption) override;
    void setResultBackColour(Colour colour) override;
    void announcePick() override;

    page::Element m_window = page::None;
    page::Element m_menuBar = page::None;
    std::vector<Menu> m_menus;
    page::Element m_focusBeforeMenus = page::None;

    // What the roulette reads, kept here so that a tick reads nothing from the page: the
    // fields' texts come in with each edit.
    struct NameField
    {
        page::Element element = page::None;
        std::string text;
        bool visible = true;
    };
    std::array<NameField, 5> m_names;
    std::array<page::Element, 4> m_options {}; // Option2 .. Option5
    std::array<bool, 4> m_optionOn {};
    page::Element m_result = page::None; // Label3
    page::Element m_resultText = page::None;
    std::string m_caption;
    Colour m_resultColour = 0;
    page::Element m_announcer = page::None;
    bool m_announcedOnce = false; // alternates, so that the same name twice is said twice
    page::Element m_startButton = page::None;
    page::Element m_stopButton = page::None;

    page::Element m_box = page::None;
    page::Element m_boxTitle = page::None;
    page::Element m_boxIcon = page::None;
    page::Element m_boxPrompt = page::None;
    page::Element m_boxOk = page::None;
    bool m_boxOpen = false;

    bool m_shown = false;
    FramePacer m_pacer {design::TimerIntervalMs}; // Timer1
    std::int64_t m_ticksRun = 0;
};
