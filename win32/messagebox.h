#pragma once

#include <functional>
#include <string>
#include <windows.h>

struct MessageBoxRequest
{
    std::wstring prompt;
    int style = 0; // MsgBoxOkOnly or MsgBoxCritical
    std::wstring title; // empty: the box bears the application's title
};

// Shows a box and returns once it is dismissed. The window takes any presenter, so a test can
// watch what would be shown without a modal loop blocking it.
using MessageBoxPresenter = std::function<void(HWND owner, const MessageBoxRequest &request)>;

// The real presenter: MessageBoxW with a single OK button.
void showModalMessageBox(HWND owner, const MessageBoxRequest &request);
