#pragma once

#include "box.h"
#include "kazerimawindow.h"
#include "menubar.h"
#include "page.h"
#include "viewport.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

// The program's one window in a web page, built in the DOM from the design tables. It
// implements the portable window's gate over the page's elements and forwards clicks, presses,
// keys, menu picks, edits and the page's animation frames to it. The page's CSS scales the
// window as one piece to fit the viewport.
//
// Its start, from the page's first bytes to its first frame, is in start.cpp; the window and its
// controls in kazerima.cpp.
class Kazerima final : public KazerimaWindow
{
public:
    Kazerima();

    std::int64_t ticksRun() const { return m_ticksRun; }

private:
    // The start
    void start();
    void firstFrame(double time);
    void animationFrame(double time);

    // The window and its controls
    void createWindow();
    void createControls(std::vector<std::function<void()>> &steps, std::string_view containerName);
    void createControl(const design::Control &design);
    void createMenuBar();
    page::Element createFrame(const design::Control &design, page::Element container);
    page::Element createOptionButton(const design::Control &design, page::Element container);
    page::Element createTextBox(const design::Control &design, page::Element container);
    page::Element createLabel(const design::Control &design, page::Element container);
    page::Element createPushButton(const design::Control &design, page::Element container);
    void presentBox(const MessageBoxRequest &request);

    bool handleEvent(page::Element element, const page::Event &event);
    bool takeEvent(page::Element element, const page::Event &event);
    bool press(page::Element element, const page::Event &event);
    bool click(page::Element element, const page::Event &event);
    void fitToViewport();

    page::Element typedIn() const;
    page::Element element(const design::Control &control) const;
    const design::Control *designOf(page::Element element) const;

    // The gate
    std::string fieldText(const design::Control &field) override;
    void setShown(const design::Control &control, bool shown) override;
    bool isOn(const design::Control &option) override;
    void setCaption(const design::Control &label, std::string_view caption) override;
    void setBackColour(const design::Control &label, Colour colour) override;
    void announce(const design::Control &label) override;
    void runFrames(bool run) override;
    void focus(const design::Control &control) override;

    page::Element m_window = page::None;
    page::Element m_client = page::None;
    std::optional<viewport::Fit> m_fit;
    std::optional<MenuBar> m_menuBar;
    std::optional<Box> m_box;
    // Every control with its design, in the order they were made.
    std::vector<std::pair<const design::Control *, page::Element>> m_elements;

    page::Element m_resultText = page::None; // inside Label3
    page::Element m_announcer = page::None;
    bool m_announcedOnce = false; // alternates, so that the same name twice is said twice

    bool m_shown = false;
    bool m_framesWanted = false; // Timer1's
    std::int64_t m_ticksRun = 0;
};
