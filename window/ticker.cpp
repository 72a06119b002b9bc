#include "ticker.h"

#include <QSocketNotifier>

#include <chrono>

#ifdef Q_OS_LINUX
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace {

constexpr qreal FallbackFrameRate = 60;

double nowMs()
{
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

Ticker::Ticker(QObject *parent)
    : QObject(parent)
    , m_frameRate(FallbackFrameRate)
{
#ifdef Q_OS_LINUX
    m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, &Ticker::frame);
    }
#endif
    m_fallback.setTimerType(Qt::PreciseTimer);
    connect(&m_fallback, &QTimer::timeout, this, &Ticker::frame);
}

Ticker::~Ticker()
{
#ifdef Q_OS_LINUX
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void Ticker::start(int intervalMs)
{
    m_intervalMs = intervalMs;
    m_pacer = FramePacer(intervalMs);
    m_active = true;
    arm();
}

void Ticker::stop()
{
    m_active = false;
    arm();
}

void Ticker::setFrameRate(qreal hz)
{
    m_frameRate = hz >= 1 ? hz : FallbackFrameRate;
    if (m_active)
        arm();
}

void Ticker::arm()
{
    const auto periodNs = m_active ? static_cast<long>(1e9 / m_frameRate) : 0L;
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
void Ticker::frame()
{
#ifdef Q_OS_LINUX
    std::uint64_t expirations = 0;
    if (m_fd >= 0 && ::read(m_fd, &expirations, sizeof expirations) != sizeof expirations)
        return;
#endif
    if (m_active && m_pacer.tickAt(nowMs()))
        emit timeout();
}
