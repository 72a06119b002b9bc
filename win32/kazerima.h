#pragma once

#include "design.h"
#include "frameclock.h"
#include "kazerimawindow.h"
#include "resultlabel.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

// The program's one window on Windows, made of the platform's own controls. It lays out the
// fixed design, implements the portable window's gate over its controls, and forwards clicks,
// menu picks, edits and the screen's frames to it.
class Kazerima final : public KazerimaWindow
{
public:
    // The frames come from vblank: the display's own unless a test stands in for it.
    explicit Kazerima(HINSTANCE instance,
                      std::unique_ptr<VBlankSource> vblank = compositorVBlank());
    ~Kazerima() override;
    Kazerima(const Kazerima &) = delete;
    Kazerima &operator=(const Kazerima &) = delete;

    HWND hwnd() const { return m_hwnd; }
    // Runs the load step the first time, then shows the window.
    void show(int showCommand);

    HWND control(std::string_view name) const;
    // Timer1's frames: running only while names move or a tick is owed.
    const FrameClock &frameClock() const { return m_timer; }

    // The design's keyboard handling, for the message loop to try before dispatching a message:
    // Tab in the design's order, arrows within the count buttons, Return on a push button.
    bool handleKey(const MSG &message);
    // For the message loop after each message: once no input is waiting, nor anything handling
    // it posted, a tick that waited for it runs.
    void afterMessage();

private:
    template<typename T> friend LRESULT CALLBACK objectWindowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK countProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void createControls();
    HWND createControl(const design::Control &design, HWND parent, int id);
    void applyDpi(UINT dpi);
    void load();
    void moveFocus(bool forward);
    void showFocusCues();
    void moveWithinCounts(int step);
    void countTurnedOn(HWND option);
    HBRUSH brush(Colour colour);
    LRESULT colourControl(UINT message, HDC dc, HWND control);
    const design::Control *designOf(HWND control) const;

    // The gate
    std::string fieldText(const design::Control &field) override;
    void setShown(const design::Control &control, bool shown) override;
    bool isOn(const design::Control &option) override;
    void setCaption(const design::Control &label, std::string_view caption) override;
    void setBackColour(const design::Control &label, Colour colour) override;
    void announce(const design::Control &label) override;
    void runFrames(bool run) override;
    void focus(const design::Control &control) override;

    HWND m_hwnd = nullptr;
    // Every drawn control with its design, in the design's order.
    std::vector<std::pair<const design::Control *, HWND>> m_controls;
    std::vector<const design::MenuItem *> m_menuItems; // by menu item id, from the first
    std::vector<HFONT> m_fonts;
    std::map<Colour, HBRUSH> m_brushes;

    std::array<HWND, 5> m_names {}; // Text1 .. Text5
    std::array<HWND, 4> m_options {}; // Option2 .. Option5
    HWND m_startButton = nullptr; // Command1
    HWND m_stopButton = nullptr; // Command2
    HWND m_focusOnDeactivate = nullptr;
    std::unique_ptr<ResultLabel> m_result; // Label3
    FrameClock m_timer; // Timer1's frames

    bool m_loaded = false;
};

// Handles one message of the thread's queue, as the window's message loop does.
void handleMessage(Kazerima &window, const MSG &message);
// Runs the window's message loop until the window is closed; returns the exit code.
int runMessageLoop(Kazerima &window);
