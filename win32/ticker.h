#pragma once

#include "framepacer.h"

#include <atomic>
#include <windows.h>

// Timer1 on Windows: a tick with each frame of the screen, one at most per frame and never more
// often than its interval allows (FramePacer), delivered to the window as a posted message, so
// that each name a tick shows is one the screen presents.
//
// The frames are the screen's refresh period, the compositor's (DwmGetCompositionTimingInfo)
// or else the display mode's, kept to a schedule by a high-resolution waitable timer; before
// Windows 10 1803, which lacks those, a plain waitable timer with the system clock raised to
// 1 ms stands in. DwmFlush would follow the compositor more closely, but under Wine it returns
// at once and would spin; SetTimer rounds to the 15.6 ms system clock.
//
// A thread of its own waits on that timer and posts each tick to the window. The system's modal
// loops (an open menu, moving or sizing the window, a message box) dispatch posted messages but
// never return to the program's own loop: a tick that only that loop waited for would stop
// while a menu is open, and a player could open it, see the name the spin froze on, and choose
// ストップ there.
class Ticker
{
public:
    // What the window receives on each tick; it calls acknowledge() before ticking.
    static constexpr UINT TickMessage = WM_APP + 1;

    Ticker();
    ~Ticker();
    Ticker(const Ticker &) = delete;
    Ticker &operator=(const Ticker &) = delete;

    // Posts TickMessage to window with the screen's frames, no more often than every
    // intervalMs, from now until stop(). Started again, it takes the screen's rate anew.
    void start(HWND window, int intervalMs);
    void stop();

    // At most one tick waits in the queue: a window held up for longer than a frame misses
    // the ticks it could not take, as a timer's own messages would, rather than running
    // them back to back when it returns.
    void acknowledge() { m_posted.store(false, std::memory_order_relaxed); }

private:
    static DWORD WINAPI run(void *self);
    void frame();

    HANDLE m_timer = nullptr;
    HANDLE m_quit = nullptr;
    HANDLE m_thread = nullptr;
    HWND m_window = nullptr;
    bool m_raisedClock = false;
    LONGLONG m_framePeriod = 0; // in 100 ns units
    FramePacer m_pacer {0}; // the thread's alone while it runs
    std::atomic<bool> m_posted {false};
};
