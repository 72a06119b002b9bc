#include "messagebox.h"

#include "kazerima_version.h"
#include "text.h"

void showModalMessageBox(HWND owner, const MessageBoxRequest &request)
{
    // The text goes to the box exactly as built, LF CR separators and all: the box breaks the
    // line at each pair once.
    const std::wstring title = request.title.empty() ? toWide(KAZERIMA_NAME) : request.title;
    MessageBoxW(owner, request.prompt.c_str(), title.c_str(),
                static_cast<UINT>(request.style) | MB_OK);
}
