#include "ticker.h"

#include <dwmapi.h>
#include <timeapi.h>

namespace {

// Missing from the MinGW headers; Windows 10 1803 and later.
constexpr DWORD HighResolutionTimer = 0x00000002; // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr LONGLONG UnitsPerSecond = 10'000'000; // of 100 ns, as waitable timers count
constexpr DWORD FallbackRefreshHz = 60;

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

// Windows reports 0 or 1 for a rate it does not know; so does Wine's display mode.
LONGLONG screenFramePeriod()
{
    DWM_TIMING_INFO timing {};
    timing.cbSize = sizeof timing;
    if (SUCCEEDED(DwmGetCompositionTimingInfo(nullptr, &timing))
        && timing.rateRefresh.uiNumerator > timing.rateRefresh.uiDenominator
        && timing.rateRefresh.uiDenominator > 0)
        return UnitsPerSecond * timing.rateRefresh.uiDenominator / timing.rateRefresh.uiNumerator;
    DEVMODEW mode {};
    mode.dmSize = sizeof mode;
    const bool known = EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)
        && mode.dmDisplayFrequency > 1;
    return UnitsPerSecond / (known ? mode.dmDisplayFrequency : FallbackRefreshHz);
}

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
    m_framePeriod = screenFramePeriod();
    m_pacer = FramePacer(intervalMs);
    m_posted.store(false, std::memory_order_relaxed);
    ResetEvent(m_quit);
    m_thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
    if (m_thread)
        // It only wakes and posts; running it ahead of busy threads keeps the ticks on time.
        SetThreadPriority(m_thread, THREAD_PRIORITY_TIME_CRITICAL);
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

// Each frame is due a period after the one before, not after the moment a wait ended, so the
// frames keep the screen's rate however late a wake-up comes; a frame late by a whole period
// or more starts the schedule afresh rather than following at once with the ones missed.
DWORD WINAPI Ticker::run(void *self)
{
    auto &ticker = *static_cast<Ticker *>(self);
    const HANDLE handles[] = {ticker.m_quit, ticker.m_timer};
    LONGLONG due = now();
    for (;;) {
        due += ticker.m_framePeriod;
        LONGLONG wait = due - now();
        if (wait <= -ticker.m_framePeriod) {
            due -= wait;
            wait = 0;
        }
        if (wait <= 0) {
            if (WaitForSingleObject(ticker.m_quit, 0) == WAIT_OBJECT_0)
                return 0;
        } else {
            LARGE_INTEGER relative;
            relative.QuadPart = -wait;
            if (!SetWaitableTimer(ticker.m_timer, &relative, 0, nullptr, nullptr, FALSE)
                || WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
                return 0;
        }
        ticker.frame();
    }
}

void Ticker::frame()
{
    if (!m_pacer.tickAt(double(now()) / (UnitsPerSecond / 1000)))
        return;
    if (!m_posted.exchange(true, std::memory_order_relaxed)
        && !PostMessageW(m_window, TickMessage, 0, 0))
        m_posted.store(false, std::memory_order_relaxed);
}
