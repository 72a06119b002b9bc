#pragma once

#include <windows.h>

// The window procedure of a class whose windows each stand for an object of T, handed to
// CreateWindowExW as its creation parameter: the object learns its window as the window is
// created (T::m_hwnd), and takes every message from then on (T::handleMessage); what comes
// before goes to the default procedure.
template<typename T>
LRESULT CALLBACK objectWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *object = static_cast<T *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        object->m_hwnd = hwnd;
    }
    auto *object = reinterpret_cast<T *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return object ? object->handleMessage(message, wParam, lParam)
                  : DefWindowProcW(hwnd, message, wParam, lParam);
}
