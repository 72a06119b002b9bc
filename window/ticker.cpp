#include "ticker.h"

#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>
#endif

Ticker::Ticker(QObject *parent)
    : QObject(parent)
{
#ifdef Q_OS_LINUX
    m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, &Ticker::expired);
    }
#endif
    m_fallback.setTimerType(Qt::PreciseTimer);
    connect(&m_fallback, &QTimer::timeout, this, &Ticker::timeout);
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
    m_active = true;
    arm(intervalMs);
}

void Ticker::stop()
{
    m_active = false;
    arm(0);
}

void Ticker::arm(int intervalMs)
{
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        const timespec period {intervalMs / 1000, (intervalMs % 1000) * 1'000'000L};
        const itimerspec schedule {period, period}; // all zero disarms
        ::timerfd_settime(m_fd, 0, &schedule, nullptr);
        return;
    }
#endif
    if (intervalMs > 0)
        m_fallback.start(intervalMs);
    else
        m_fallback.stop();
}

// Ticks missed while the loop was busy are dropped, as a QTimer drops them: a spin never
// jumps ahead to catch up.
void Ticker::expired()
{
#ifdef Q_OS_LINUX
    std::uint64_t expirations = 0;
    if (::read(m_fd, &expirations, sizeof expirations) != sizeof expirations)
        return;
#endif
    if (m_active)
        emit timeout();
}
