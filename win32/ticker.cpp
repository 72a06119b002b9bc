#include "ticker.h"

#include <timeapi.h>

namespace {

// Missing from the MinGW headers; Windows 10 1803 and later.
constexpr DWORD HighResolutionTimer = 0x00000002; // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION

} // namespace

Ticker::Ticker()
{
    m_timer = CreateWaitableTimerExW(nullptr, nullptr, HighResolutionTimer, TIMER_ALL_ACCESS);
    if (!m_timer) {
        m_timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
        m_raisedClock = timeBeginPeriod(1) == TIMERR_NOERROR;
    }
    m_quit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

Ticker::~Ticker()
{
    stop();
    if (m_raisedClock)
        timeEndPeriod(1);
    CloseHandle(m_quit);
    if (m_timer)
        CloseHandle(m_timer);
}

void Ticker::start(HWND window, int intervalMs)
{
    stop();
    m_window = window;
    m_posted.store(false, std::memory_order_relaxed);
    // A periodic waitable timer keeps its schedule from the start, however late a tick is
    // taken: the rate holds at 1000 / intervalMs.
    LARGE_INTEGER due;
    due.QuadPart = -10'000LL * intervalMs; // relative, in 100 ns units
    if (!SetWaitableTimer(m_timer, &due, intervalMs, nullptr, nullptr, FALSE))
        return;
    ResetEvent(m_quit);
    m_thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
    if (m_thread)
        // It only wakes and posts; running it ahead of busy threads keeps the ticks on time.
        SetThreadPriority(m_thread, THREAD_PRIORITY_TIME_CRITICAL);
    else
        CancelWaitableTimer(m_timer);
}

void Ticker::stop()
{
    if (!m_thread)
        return;
    SetEvent(m_quit);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
    CancelWaitableTimer(m_timer);
}

DWORD WINAPI Ticker::run(void *self)
{
    auto &ticker = *static_cast<Ticker *>(self);
    const HANDLE handles[] = {ticker.m_quit, ticker.m_timer};
    while (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        if (!ticker.m_posted.exchange(true, std::memory_order_relaxed)
            && !PostMessageW(ticker.m_window, TickMessage, 0, 0))
            ticker.m_posted.store(false, std::memory_order_relaxed);
    }
    return 0;
}
