#include "frameclock.h"

#include "framescheduler.h"

#include <cmath>
#include <dwmapi.h>
#include <timeapi.h>

namespace {

// Missing from the MinGW headers; Windows 10 1803 and later.
constexpr DWORD HighResolutionTimer = 0x00000002; // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr LONGLONG UnitsPerSecond = 10'000'000; // of 100 ns, as waitable timers count
constexpr LONGLONG UnitsPerMs = UnitsPerSecond / 1000;

// The steady clock, in 100 ns units.
LONGLONG now()
{
    static const LONGLONG frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart / frequency * UnitsPerSecond
        + counter.QuadPart % frequency * UnitsPerSecond / frequency;
}

// In frames a second. Windows reports 0 or 1 for a rate it does not know; so does Wine's display
// mode.
double screenFrameRate()
{
    DWM_TIMING_INFO timing {};
    timing.cbSize = sizeof timing;
    if (SUCCEEDED(DwmGetCompositionTimingInfo(nullptr, &timing))
        && timing.rateRefresh.uiDenominator > 0)
        return double(timing.rateRefresh.uiNumerator) / timing.rateRefresh.uiDenominator;
    DEVMODEW mode {};
    mode.dmSize = sizeof mode;
    return EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) ? mode.dmDisplayFrequency
                                                                       : 0;
}

} // namespace

FrameClock::FrameClock()
{
    m_timer = CreateWaitableTimerExW(nullptr, nullptr, HighResolutionTimer, TIMER_ALL_ACCESS);
    if (!m_timer) {
        m_timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
        m_raisedClock = timeBeginPeriod(1) == TIMERR_NOERROR;
    }
    m_quit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

FrameClock::~FrameClock()
{
    stop();
    if (m_raisedClock)
        timeEndPeriod(1);
    CloseHandle(m_quit);
    if (m_timer)
        CloseHandle(m_timer);
}

double FrameClock::frameTimeMs(LPARAM lParam)
{
    return double(lParam) / UnitsPerMs;
}

void FrameClock::start(HWND window)
{
    stop();
    m_window = window;
    m_framePeriod = FrameScheduler::framePeriodMs(screenFrameRate()) * UnitsPerMs;
    m_posted.store(false, std::memory_order_relaxed);
    ResetEvent(m_quit);
    m_thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
    if (m_thread)
        // It only wakes and posts; running it ahead of busy threads keeps the frames on time.
        SetThreadPriority(m_thread, THREAD_PRIORITY_TIME_CRITICAL);
}

void FrameClock::stop()
{
    if (!m_thread)
        return;
    SetEvent(m_quit);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
    CancelWaitableTimer(m_timer);
}

// Each frame is due a period after the one before, not after the moment a wait ended, so the
// frames keep the screen's rate however late a wake-up comes.
DWORD WINAPI FrameClock::run(void *self)
{
    auto &clock = *static_cast<FrameClock *>(self);
    const HANDLE handles[] = {clock.m_quit, clock.m_timer};
    Cadence frames(clock.m_framePeriod);
    frames.reached(double(now())); // the first frame is a period away
    for (;;) {
        const LONGLONG time = now();
        if (frames.reached(double(time))) {
            if (WaitForSingleObject(clock.m_quit, 0) == WAIT_OBJECT_0)
                return 0;
            clock.frame(time);
            continue;
        }
        LARGE_INTEGER relative;
        relative.QuadPart = -static_cast<LONGLONG>(std::ceil(frames.due() - double(time)));
        if (!SetWaitableTimer(clock.m_timer, &relative, 0, nullptr, nullptr, FALSE)
            || WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
            return 0;
    }
}

void FrameClock::frame(LONGLONG time)
{
    static_assert(sizeof(LPARAM) >= sizeof time);
    if (!m_posted.exchange(true, std::memory_order_relaxed)
        && !PostMessageW(m_window, FrameMessage, 0, static_cast<LPARAM>(time)))
        m_posted.store(false, std::memory_order_relaxed);
}
