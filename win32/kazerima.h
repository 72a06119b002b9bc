#pragma once

#include "design.h"
#include "kazerimawindow.h"
#include "resultlabel.h"
#include "ticker.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

// The program's one window on Windows, made of the platform's own controls. It lays out the
// fixed design, lends its controls to the roulette through RuretControls, and forwards clicks,
// menu picks and timer ticks to it.
class Kazerima final : public KazerimaWindow
{
public:
    explicit Kazerima(HINSTANCE instance);
    ~Kazerima() override;
    Kazerima(const Kazerima &) = delete;
    Kazerima &operator=(const Kazerima &) = delete;

    HWND hwnd() const { return m_hwnd; }
    // Runs the load step the first time, then shows the window.
    void show(int showCommand);

    HWND control(std::string_view name) const;

    // The design's keyboard handling, for the message loop to try before dispatching a message:
    // Tab in the design's order, arrows within the count buttons, Return on a push button.
    bool handleKey(const MSG &message);

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void createControls();
    void createMenus();
    void applyDpi(UINT dpi);
    void load();
    void moveFocus(bool forward);
    void showFocusCues();
    void moveWithinCounts(int step);
    HWND optionGroupTabStop() const;
    HBRUSH brush(Colour colour);
    LRESULT colourControl(UINT message, HDC dc, HWND control);
    const design::Control *designOf(HWND control) const;

    // RuretControls
    std::string nameText(int slot) override;
    void setNameVisible(int slot, bool visible) override;
    bool optionValue(int count) override;
    void setResultCaption(const std::string &caption) override;
    void setResultBackColour(Colour colour) override;
    void announcePick() override;

    HWND m_hwnd = nullptr;
    // Every drawn control with its design, in the design's order.
    std::vector<std::pair<const design::Control *, HWND>> m_controls;
    std::vector<design::Command> m_menuCommands; // by menu item id, from the first
    std::vector<HFONT> m_fonts;
    std::map<Colour, HBRUSH> m_brushes;

    // The text of each field as last handed to the roulette, in both encodings. A spin reads
    // the same names over and over; converting a pasted 100,000-character name costs a good
    // part of a millisecond each way, on every tick.
    struct ConvertedName
    {
        std::wstring text;
        std::string utf8;
    };
    std::array<ConvertedName, 5> m_converted;
    std::wstring m_buffer;

    std::array<HWND, 5> m_names {}; // Text1 .. Text5
    std::array<HWND, 4> m_options {}; // Option2 .. Option5
    HWND m_startButton = nullptr; // Command1
    HWND m_stopButton = nullptr; // Command2
    HWND m_focusOnDeactivate = nullptr;
    std::unique_ptr<ResultLabel> m_result; // Label3
    Ticker m_timer; // Timer1

    bool m_loaded = false;
};

// Runs the window's message loop until the window is closed; returns the exit code.
int runMessageLoop(Kazerima &window);
