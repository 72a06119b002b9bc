#include "frameclock.h"

#include "framescheduler.h"

#include <QSocketNotifier>

#include <chrono>

#ifdef Q_OS_LINUX
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace {

double nowMs()
{
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

FrameClock::FrameClock(QObject *parent)
    : QObject(parent)
    , m_frameRate(1000 / FrameScheduler::framePeriodMs(0))
{
#ifdef Q_OS_LINUX
    m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, &FrameClock::expired);
    }
#endif
    m_fallback.setTimerType(Qt::PreciseTimer);
    connect(&m_fallback, &QTimer::timeout, this, &FrameClock::expired);
}

FrameClock::~FrameClock()
{
#ifdef Q_OS_LINUX
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void FrameClock::start()
{
    m_active = true;
    arm();
}

void FrameClock::stop()
{
    m_active = false;
    arm();
}

void FrameClock::hold(bool held)
{
    m_held = held;
    arm();
}

void FrameClock::setFrameRate(qreal hz)
{
    m_frameRate = 1000 / FrameScheduler::framePeriodMs(hz);
    if (m_active)
        arm();
}

void FrameClock::arm()
{
    const auto periodNs = m_active && !m_held ? static_cast<long>(1e9 / m_frameRate) : 0L;
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        const timespec period {periodNs / 1'000'000'000L, periodNs % 1'000'000'000L};
        const itimerspec schedule {period, period}; // all zero disarms
        ::timerfd_settime(m_fd, 0, &schedule, nullptr);
        return;
    }
#endif
    if (periodNs > 0)
        m_fallback.start(qMax(1, qRound(1000 / m_frameRate)));
    else
        m_fallback.stop();
}

// Frames missed while the loop was busy are dropped, as a QTimer drops them: a spin never
// jumps ahead to catch up.
void FrameClock::expired()
{
#ifdef Q_OS_LINUX
    std::uint64_t expirations = 0;
    if (m_fd >= 0 && ::read(m_fd, &expirations, sizeof expirations) != sizeof expirations)
        return;
#endif
    if (m_active && !m_held)
        emit frame(nowMs());
}
