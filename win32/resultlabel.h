#pragma once

#include <string>
#include <windows.h>

// The big box that shows the spinning names and the pick: a child window of its own class
// with a single-line border. A spin changes its caption 200 times a second, more often than
// any screen can show, so it paints a new caption at most once per screen refresh; a new
// colour, such as the red of a stop, is painted at once. Assistive technology reads the box's
// window text, which announce() sets: changed 200 times a second, a screen reader would talk
// without end.
class ResultLabel
{
public:
    ResultLabel(HWND parent, int id);
    ResultLabel(const ResultLabel &) = delete;
    ResultLabel &operator=(const ResultLabel &) = delete;

    HWND hwnd() const { return m_hwnd; }

    const std::wstring &caption() const { return m_caption; }
    void setCaption(std::wstring caption);

    COLORREF backColour() const { return m_backColour; }
    void setBackColour(COLORREF colour);
    void setTextColour(COLORREF colour) { m_textColour = colour; }
    void setFont(HFONT font) { m_font = font; }

    // Tells assistive technology the caption as it stands, as a change of the box's name.
    void announce();

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void frameElapsed();

    HWND m_hwnd = nullptr;
    std::wstring m_caption;
    COLORREF m_backColour = 0;
    COLORREF m_textColour = 0;
    HFONT m_font = nullptr;
    bool m_frameRunning = false;
    bool m_captionPending = false;
};
