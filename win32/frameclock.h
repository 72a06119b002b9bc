#pragma once

#include <atomic>
#include <memory>
#include <windows.h>

// The display's frames as the frame clock waits for them; a test stands in for the display.
class VBlankSource
{
public:
    // The display's refresh, on the steady clock in 100 ns units: the moment of one vertical
    // blank, and the period from one to the next.
    struct Grid
    {
        double vblank = 0;
        double period = 0;
    };

    virtual ~VBlankSource() = default;
    // Blocks until the display's next frame; false if it cannot wait for one.
    virtual bool wait() = 0;
    virtual Grid grid() = 0;
};

// The compositor's frames: DwmFlush waits for the next composition, which is what shows a
// window's pixels, and DwmGetCompositionTimingInfo gives its grid; without a compositor, the
// display mode's rate.
std::unique_ptr<VBlankSource> compositorVBlank();

// The frames of the screen on Windows, as Timer1's ticks follow them (FrameScheduler decides
// which tick), delivered to the window as posted messages.
//
// A thread of its own waits on the display and posts each frame to the window. Where that wait
// is no clock, because it fails or returns at once (Wine's DwmFlush, a display that sleeps), a
// clock that kept waiting on it would spin: a high-resolution waitable timer on the display's
// grid (DwmGetCompositionTimingInfo's vertical blank and period) stands in, and the display is
// tried again once a second. Before Windows 10 1803, which lacks those timers, a plain waitable
// timer with the system clock raised to 1 ms while the frames run stands in; SetTimer would
// round to the 15.6 ms system clock.
//
// Between start() and stop() only: stopped, the thread sleeps on an event and wakes for nothing.
//
// Posted messages are dispatched by the system's modal loops too (an open menu, moving or
// sizing the window, a message box), which never return to the program's own loop: frames that
// only that loop waited for would stop while a menu is open, and a player could open it, see the
// name the spin froze on, and choose ストップ there.
class FrameClock
{
public:
    // What the window receives with each frame, its time in milliseconds on the steady clock
    // (frameTimeMs); the window hands it to take() before anything else.
    static constexpr UINT FrameMessage = WM_APP + 1;
    static double frameTimeMs(LPARAM lParam);

    explicit FrameClock(std::unique_ptr<VBlankSource> vblank);
    ~FrameClock();
    FrameClock(const FrameClock &) = delete;
    FrameClock &operator=(const FrameClock &) = delete;

    // Posts FrameMessage to window with the display's frames from now until stop().
    void start(HWND window);
    // No frame is posted after this returns.
    void stop();
    bool isActive() const { return m_running.load(); }
    // The displays changed: their grid is read anew and their waits are tried again.
    void displaysChanged();

    // Whether the frame that came with lParam is the one to run. One frame waits in the queue
    // at a time: a window held up for longer than a frame misses the frames it could not take,
    // as a timer's own messages would, rather than running them back to back when it returns.
    // A frame not taken within a few periods is posted again, and the one before it, if it
    // still comes, is not to run: a modal loop may remove a posted message without dispatching
    // it, as Wine's menus do as they look ahead among keys, and frames that waited for it would
    // stop for good.
    bool take(LPARAM lParam);

private:
    static DWORD WINAPI run(void *self);
    void follow();
    void post(double time, double period);

    std::unique_ptr<VBlankSource> m_vblank;
    HANDLE m_timer = nullptr;
    HANDLE m_quit = nullptr; // the clock is going
    HANDLE m_wake = nullptr; // started, stopped, or the displays changed
    HANDLE m_thread = nullptr;
    bool m_highResolution = false;
    bool m_raisedClock = false;
    std::atomic<HWND> m_window = nullptr;
    std::atomic<bool> m_running = false;
    std::atomic<bool> m_displaysChanged = false;
    std::atomic<bool> m_pending = false; // a frame is posted and not yet taken
    std::atomic<LPARAM> m_latest = 0; // the frame posted last
    double m_pendingSince = 0; // the clock's thread's own
    SRWLOCK m_posting = SRWLOCK_INIT; // stop() against a post under way
};
