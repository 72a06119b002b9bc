#pragma once

#include <atomic>
#include <windows.h>

// The frames of the screen on Windows, as Timer1's ticks follow them (FrameScheduler decides
// which tick), delivered to the window as posted messages.
//
// The frames are the screen's refresh period, the compositor's (DwmGetCompositionTimingInfo)
// or else the display mode's, kept to a schedule by a high-resolution waitable timer; before
// Windows 10 1803, which lacks those, a plain waitable timer with the system clock raised to
// 1 ms stands in. DwmFlush would follow the compositor more closely, but under Wine it returns
// at once and would spin; SetTimer rounds to the 15.6 ms system clock.
//
// A thread of its own waits on that timer and posts each frame to the window. The system's
// modal loops (an open menu, moving or sizing the window, a message box) dispatch posted
// messages but never return to the program's own loop: frames that only that loop waited for
// would stop while a menu is open, and a player could open it, see the name the spin froze on,
// and choose ストップ there.
class FrameClock
{
public:
    // What the window receives with each frame, its time in milliseconds on the steady clock
    // (frameTimeMs); the window calls acknowledge() before anything else.
    static constexpr UINT FrameMessage = WM_APP + 1;
    static double frameTimeMs(LPARAM lParam);

    FrameClock();
    ~FrameClock();
    FrameClock(const FrameClock &) = delete;
    FrameClock &operator=(const FrameClock &) = delete;

    // Posts FrameMessage to window with the screen's frames from now until stop(). Started
    // again, it takes the screen's rate anew.
    void start(HWND window);
    void stop();
    bool isActive() const { return m_thread != nullptr; }

    // At most one frame waits in the queue: a window held up for longer than a frame misses
    // the frames it could not take, as a timer's own messages would, rather than running
    // them back to back when it returns.
    void acknowledge() { m_posted.store(false, std::memory_order_relaxed); }

private:
    static DWORD WINAPI run(void *self);
    void frame(LONGLONG time);

    HANDLE m_timer = nullptr;
    HANDLE m_quit = nullptr;
    HANDLE m_thread = nullptr;
    HWND m_window = nullptr;
    bool m_raisedClock = false;
    double m_framePeriod = 0; // in 100 ns units
    std::atomic<bool> m_posted {false};
};
