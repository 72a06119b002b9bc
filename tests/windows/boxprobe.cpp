// Finds the message box with the given title among the windows of the running Wine session,
// prints what it shows and presses its OK button: X clicks on Wine's boxes are unreliable
// without a window manager. Exits 1 when no such box appears within ten seconds.
//
//     boxprobe TITLE
//       -> icon=yes|no buttons=N text=... (LF as \n, CR as \r)

#include "text.h"

#include <cstdio>
#include <string>
#include <windows.h>

namespace {

struct Box
{
    int buttons = 0;
    bool icon = false;
    std::wstring text;
};

BOOL CALLBACK inspect(HWND child, LPARAM lParam)
{
    auto &box = *reinterpret_cast<Box *>(lParam);
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (lstrcmpiW(className, L"Button") == 0 && IsWindowVisible(child))
        ++box.buttons;
    if (lstrcmpiW(className, L"Static") == 0) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            box.icon = box.icon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
        else if (GetDlgCtrlID(child) == 0xFFFF) {
            box.text.resize(GetWindowTextLengthW(child) + 1);
            box.text.resize(GetWindowTextW(child, box.text.data(), int(box.text.size())));
        }
    }
    return TRUE;
}

std::string escaped(const std::wstring &text)
{
    std::wstring visible;
    for (wchar_t c : text)
        visible += c == L'\n' ? L"\\n" : c == L'\r' ? L"\\r" : std::wstring(1, c);
    return toUtf8(visible);
}

} // namespace

extern "C" int wmain(int argc, wchar_t **argv)
{
    if (argc != 2)
        return 2;
    // Half a minute: a box under Wine on a busy machine may take seconds to come up.
    for (int attempt = 0; attempt < 300; ++attempt) {
        if (HWND dialog = FindWindowW(L"#32770", argv[1])) {
            Box box;
            EnumChildWindows(dialog, inspect, reinterpret_cast<LPARAM>(&box));
            std::printf("icon=%s buttons=%d text=%s\n", box.icon ? "yes" : "no", box.buttons,
                        escaped(box.text).c_str());
            std::fflush(stdout);
            SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            // Returns once the box is gone, so that the next click reaches the window again.
            for (int wait = 0; wait < 300 && IsWindow(dialog); ++wait)
                Sleep(100);
            return IsWindow(dialog) ? 1 : 0;
        }
        Sleep(100);
    }
    return 1;
}
