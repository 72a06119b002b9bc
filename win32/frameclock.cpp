#include "frameclock.h"

#include "framescheduler.h"

#include <algorithm>
#include <cmath>
#include <dwmapi.h>
#include <limits>
#include <timeapi.h>

namespace {

// Missing from the MinGW headers; Windows 10 1803 and later.
constexpr DWORD HighResolutionTimer = 0x00000002; // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr double UnitsPerSecond = 10'000'000; // of 100 ns, as waitable timers count
constexpr double UnitsPerMs = UnitsPerSecond / 1000;
constexpr double RepostAfter = 4; // periods

LONGLONG performanceFrequency()
{
    static const LONGLONG frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    return frequency;
}

// A count of the performance counter, in 100 ns units.
double units(LONGLONG counts)
{
    const LONGLONG frequency = performanceFrequency();
    return double(counts / frequency) * UnitsPerSecond
        + double(counts % frequency) * UnitsPerSecond / double(frequency);
}

// The steady clock, in 100 ns units.
double now()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return units(counter.QuadPart);
}

class CompositorVBlank final : public VBlankSource
{
public:
    bool wait() override { return SUCCEEDED(DwmFlush()); }

    // Windows reports 0 or 1 for a rate it does not know; so does Wine's display mode.
    Grid grid() override
    {
        DWM_TIMING_INFO timing {};
        timing.cbSize = sizeof timing;
        if (SUCCEEDED(DwmGetCompositionTimingInfo(nullptr, &timing))
            && timing.rateRefresh.uiDenominator > 0) {
            const double hz
                = double(timing.rateRefresh.uiNumerator) / timing.rateRefresh.uiDenominator;
            return {units(timing.qpcVBlank), FrameScheduler::framePeriodMs(hz) * UnitsPerMs};
        }
        DEVMODEW mode {};
        mode.dmSize = sizeof mode;
        const double hz = EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)
            ? mode.dmDisplayFrequency
            : 0;
        return {0, FrameScheduler::framePeriodMs(hz) * UnitsPerMs};
    }
};

// Whether the display's waits are the frames, or the timer on the display's grid stands in.
//
// A wait that fails, or three in a row that return within a millisecond, show that the display
// is no clock just now: Wine's DwmFlush returns at once, as a display asleep may. A real wait
// that is short comes when the clock was held up until just before a frame, and that frame
// counts; a return within half a period of the last frame is that frame again. On the timer, the
// display is tried once a second, and one real wait is enough to follow it again.
class DisplayTrust
{
public:
    bool trusted() const { return m_trusted; }

    // Whether to wait on the display at time.
    bool waitsOnDisplay(double time) const
    {
        return m_trusted || time - m_distrustedAt >= RetryAfter;
    }

    // A wait on the display from start to end, which succeeded or not: whether its end is a frame.
    bool waited(double start, double end, bool succeeded, double period)
    {
        if (!succeeded) {
            distrust(end);
        } else if (end - start >= ShortWait) {
            m_shortWaits = 0;
            m_trusted = true;
        } else if (++m_shortWaits >= ShortWaitsToDistrust || !m_trusted) {
            distrust(end);
        }
        return m_trusted && isNewFrame(end, period);
    }

    void retryNow() { m_distrustedAt = -std::numeric_limits<double>::infinity(); }

    // When the timer's next frame is due, from time: the grid's next vertical blank that is a
    // new frame.
    double nextTimerFrame(double time, const VBlankSource::Grid &grid) const
    {
        double due
            = grid.vblank + (std::floor((time - grid.vblank) / grid.period) + 1) * grid.period;
        while (!isNewFrame(due, grid.period))
            due += grid.period;
        return due;
    }

    // The timer, due at due, fired at time: its frame, the grid's last vertical blank by then.
    double timerFrame(double due, double time, const VBlankSource::Grid &grid)
    {
        const double last
            = grid.vblank + std::floor((time - grid.vblank) / grid.period) * grid.period;
        m_lastFrame = std::max(due, last);
        return m_lastFrame;
    }

private:
    static constexpr double ShortWait = UnitsPerMs;
    static constexpr int ShortWaitsToDistrust = 3;
    static constexpr double RetryAfter = UnitsPerSecond;

    bool isNewFrame(double time, double period) const { return time - m_lastFrame >= period / 2; }

    void distrust(double time)
    {
        m_trusted = false;
        m_shortWaits = 0;
        m_distrustedAt = time;
    }

    bool m_trusted = true;
    int m_shortWaits = 0;
    double m_distrustedAt = 0;
    double m_lastFrame = -std::numeric_limits<double>::infinity();
};

} // namespace

std::unique_ptr<VBlankSource> compositorVBlank()
{
    return std::make_unique<CompositorVBlank>();
}

FrameClock::FrameClock(std::unique_ptr<VBlankSource> vblank)
    : m_vblank(std::move(vblank))
{
    m_timer = CreateWaitableTimerExW(nullptr, nullptr, HighResolutionTimer, TIMER_ALL_ACCESS);
    m_highResolution = m_timer != nullptr;
    if (!m_timer)
        m_timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    m_quit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

FrameClock::~FrameClock()
{
    stop();
    if (m_thread) {
        SetEvent(m_quit);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    CloseHandle(m_wake);
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
    m_window.store(window);
    if (!m_thread) {
        m_thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
        if (m_thread)
            // It only waits and posts; running it ahead of busy threads keeps the frames on time.
            SetThreadPriority(m_thread, THREAD_PRIORITY_TIME_CRITICAL);
    }
    if (!m_highResolution && !m_raisedClock)
        m_raisedClock = timeBeginPeriod(1) == TIMERR_NOERROR;
    m_pending.store(false);
    m_running.store(true);
    SetEvent(m_wake);
}

void FrameClock::stop()
{
    AcquireSRWLockExclusive(&m_posting);
    m_running.store(false);
    ReleaseSRWLockExclusive(&m_posting);
    SetEvent(m_wake);
    if (m_raisedClock && timeEndPeriod(1) == TIMERR_NOERROR)
        m_raisedClock = false;
}

void FrameClock::displaysChanged()
{
    m_displaysChanged.store(true);
    SetEvent(m_wake);
}

DWORD WINAPI FrameClock::run(void *self)
{
    static_cast<FrameClock *>(self)->follow();
    return 0;
}

void FrameClock::follow()
{
    DisplayTrust trust;
    VBlankSource::Grid grid = m_vblank->grid();
    const HANDLE handles[] = {m_quit, m_wake, m_timer};
    for (;;) {
        if (!m_running.load()) {
            if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
                return;
            continue;
        }
        if (m_displaysChanged.exchange(false)) {
            grid = m_vblank->grid();
            trust.retryNow();
        }

        const double time = now();
        if (trust.waitsOnDisplay(time)) {
            const bool succeeded = m_vblank->wait();
            const double end = now();
            if (WaitForSingleObject(m_quit, 0) == WAIT_OBJECT_0)
                return;
            if (trust.waited(time, end, succeeded, grid.period))
                post(end, grid.period);
            else if (!trust.trusted())
                grid = m_vblank->grid(); // the timer follows the display's grid as it stands
            continue;
        }

        // Each frame is due at the grid's next vertical blank, not a period after the moment a
        // wait ended, so the frames keep the display's rate and phase however late a wake-up.
        const double due = trust.nextTimerFrame(time, grid);
        LARGE_INTEGER relative;
        relative.QuadPart = -static_cast<LONGLONG>(std::ceil(due - time));
        if (!SetWaitableTimer(m_timer, &relative, 0, nullptr, nullptr, FALSE))
            return;
        const DWORD woken = WaitForMultipleObjects(3, handles, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0 + 1)
            continue;
        if (woken != WAIT_OBJECT_0 + 2)
            return;
        const double fired = now();
        // A timer left signalled from before the clock slept fires at once: it is no frame.
        if (fired >= due - UnitsPerMs)
            post(trust.timerFrame(due, fired, grid), grid.period);
    }
}

bool FrameClock::take(LPARAM lParam)
{
    if (lParam != m_latest.load())
        return false;
    m_pending.store(false);
    return true;
}

void FrameClock::post(double time, double period)
{
    AcquireSRWLockShared(&m_posting);
    if (m_running.load() && (!m_pending.load() || time - m_pendingSince >= RepostAfter * period)) {
        const auto lParam = static_cast<LPARAM>(std::llround(time));
        m_latest.store(lParam);
        m_pendingSince = time;
        m_pending.store(true);
        if (!PostMessageW(m_window.load(), FrameMessage, 0, lParam))
            m_pending.store(false);
    }
    ReleaseSRWLockShared(&m_posting);
}
