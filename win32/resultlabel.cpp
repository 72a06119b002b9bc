#include "resultlabel.h"

#include "windowproc.h"

namespace {

constexpr wchar_t ClassName[] = L"KazerimaResultLabel";

// The direction of the first strongly directed character, as the Unicode algorithm takes a
// paragraph's.
bool isRightToLeft(std::wstring_view text)
{
    for (wchar_t c : text) {
        WORD type = 0;
        GetStringTypeW(CT_CTYPE2, &c, 1, &type);
        if (type == C2_LEFTTORIGHT)
            return false;
        if (type == C2_RIGHTTOLEFT)
            return true;
    }
    return false;
}

} // namespace

ResultLabel::ResultLabel(HWND parent, int id)
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    static const ATOM registered = [instance] {
        WNDCLASSEXW windowClass {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = objectWindowProc<ResultLabel>;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = ClassName;
        return RegisterClassExW(&windowClass);
    }();
    (void)registered;
    m_hwnd
        = CreateWindowExW(0, ClassName, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_CLIPSIBLINGS, 0,
                          0, 0, 0, parent, reinterpret_cast<HMENU>(INT_PTR(id)), instance, this);
}

void ResultLabel::setCaption(std::wstring caption)
{
    m_caption = std::move(caption);
    paintNow();
}

void ResultLabel::setBackColour(COLORREF colour)
{
    m_backColour = colour;
    paintNow();
}

void ResultLabel::paintNow()
{
    InvalidateRect(m_hwnd, nullptr, FALSE);
    UpdateWindow(m_hwnd);
}

void ResultLabel::announce()
{
    SetWindowTextW(m_hwnd, m_caption.c_str());
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hwnd, OBJID_CLIENT, CHILDID_SELF);
}

// Drawn off screen and copied in one go, so that a paint every frame does not flicker.
void ResultLabel::paint()
{
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(m_hwnd, &ps);
    RECT rect;
    GetClientRect(m_hwnd, &rect);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, rect.right, rect.bottom);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);

    HBRUSH background = CreateSolidBrush(m_backColour);
    FillRect(dc, &rect, background);
    DeleteObject(background);

    HGDIOBJ oldFont = SelectObject(dc, m_font);
    SetTextColor(dc, m_textColour);
    SetBkMode(dc, TRANSPARENT);
    // A name too long for the box keeps its beginning: a right-to-left one starts at the
    // right-hand edge. One line whatever the caption holds.
    const UINT direction = isRightToLeft(m_caption) ? DT_RIGHT | DT_RTLREADING : DT_LEFT;
    DrawTextW(dc, m_caption.data(), static_cast<int>(m_caption.size()), &rect,
              direction | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);

    BitBlt(screen, 0, 0, rect.right, rect.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EndPaint(m_hwnd, &ps);
}

LRESULT ResultLabel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // paint() covers every pixel
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}
