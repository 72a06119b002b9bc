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
}

Ticker::~Ticker()
{
    stop();
    if (m_raisedClock)
        timeEndPeriod(1);
    if (m_timer)
        CloseHandle(m_timer);
}

void Ticker::start(int intervalMs)
{
    LARGE_INTEGER due;
    due.QuadPart = -10'000LL * intervalMs; // relative, in 100 ns units
    m_active = SetWaitableTimer(m_timer, &due, intervalMs, nullptr, nullptr, FALSE) != FALSE;
    m_intervalMs = intervalMs;
}

void Ticker::stop()
{
    if (m_active)
        CancelWaitableTimer(m_timer);
    m_active = false;
}
