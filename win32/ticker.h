#pragma once

#include <atomic>
#include <windows.h>

// Timer1 on Windows: a periodic tick delivered to the window as a posted message.
//
// SetTimer cannot tick every 5 ms: Windows clamps it to 10 ms and rounds it up to the 15.6 ms
// system clock, about 64 ticks a second. A high-resolution waitable timer keeps the period;
// before Windows 10 1803, which lacks them, a plain waitable timer with the system clock
// raised to 1 ms stands in.
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

    // Posts TickMessage to window every intervalMs from now until stop().
    void start(HWND window, int intervalMs);
    void stop();

    // At most one tick waits in the queue: a window held up for longer than a period misses
    // the ticks it could not take, as a timer's own messages would, rather than running
    // them back to back when it returns.
    void acknowledge() { m_posted.store(false, std::memory_order_relaxed); }

private:
    static DWORD WINAPI run(void *self);

    HANDLE m_timer = nullptr;
    HANDLE m_quit = nullptr;
    HANDLE m_thread = nullptr;
    HWND m_window = nullptr;
    bool m_raisedClock = false;
    std::atomic<bool> m_posted {false};
};
