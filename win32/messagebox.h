#pragma once

#include "kazerimawindow.h"

#include <windows.h>

// The real presenter: the system's box (MessageBoxExW, in Japanese) with a single OK button,
// over the window that owns it.
void showModalMessageBox(HWND owner, const MessageBoxRequest &request);
