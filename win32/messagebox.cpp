#include "messagebox.h"

#include "text.h"

void showModalMessageBox(HWND owner, const MessageBoxRequest &request)
{
    // The text goes to the box exactly as built, LF CR separators and all; the system's box
    // breaks the line once at each pair (as seen under Wine), so no mark of the CR shows.
    const std::wstring title = toWide(request.shownTitle());
    // In the window's language, Japanese: a box in the user's would be mirrored on an Arabic
    // or Hebrew desktop, icon and button on the right of a left-to-right Japanese text.
    MessageBoxExW(owner, toWide(request.prompt).c_str(), title.c_str(),
                  static_cast<UINT>(request.style) | MB_OK,
                  MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN));
}
