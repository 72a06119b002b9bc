#pragma once

#include <string>
#include <windows.h>

// The big box that shows the spinning names and the pick: a child window of its own class
// with a single-line border. A new caption or colour is painted before the call that sets it
// returns: a tick comes with a frame of the screen, and the name it shows reaches the screen
// while the window handles that tick, so no click or key can come between a name and its
// paint, and a Stop freezes the name in view. Assistive technology reads the box's window
// text, which announce() sets: changed with every frame, a screen reader would talk without
// end.
class ResultLabel
{
public:
    ResultLabel(HWND parent, int id);
    ResultLabel(const ResultLabel &) = delete;
    ResultLabel &operator=(const ResultLabel &) = delete;

    HWND hwnd() const { return m_hwnd; }

    void setCaption(std::wstring caption);

    void setBackColour(COLORREF colour);
    void setTextColour(COLORREF colour) { m_textColour = colour; }
    void setFont(HFONT font) { m_font = font; }

    // Tells assistive technology the caption as it stands, as a change of the box's name.
    void announce();

private:
    template<typename T> friend LRESULT CALLBACK objectWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void paintNow(); // before it returns

    HWND m_hwnd = nullptr;
    std::wstring m_caption;
    COLORREF m_backColour = 0;
    COLORREF m_textColour = 0;
    HFONT m_font = nullptr;
};
