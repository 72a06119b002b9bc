#include "frameclock.h"

#include "framescheduler.h"
#include "framesource.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <chrono>

#ifdef Q_OS_LINUX
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>
#endif

// Qt cannot tell whether input is waiting, so what the window system has queued by now is
// handled. The timer's own notifier stays out of it.
void FrameSource::handleQueuedEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
}

double FrameClock::nowMs()
{
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

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

void FrameClock::follow(QWindow *window, QWidget *canvas)
{
    const bool wayland = QGuiApplication::platformName().startsWith(u"wayland");
    follow(window, canvas, wayland ? Source::Compositor : Source::Present);
}

void FrameClock::follow(QWindow *window, QWidget *canvas, Source source)
{
    m_frames.reset();
    if (source == Source::Compositor)
        m_frames = compositorFrames(*this, *window, *canvas);
    else if (source == Source::Present)
        m_frames = presentFrames(*this, *window);
    m_source = m_frames ? source : Source::Timer;
    arm();
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

void FrameClock::present(double timeMs)
{
    if (m_presenting)
        return;
    m_presenting = true;
    if (m_frames)
        m_frames->takeQueuedInput();
    else
        FrameSource::handleQueuedEvents();
    emit frame(timeMs);
    m_presenting = false;
}

void FrameClock::arm()
{
    if (m_frames)
        m_frames->run(running());
    const auto periodNs = running() && !m_frames ? static_cast<long>(1e9 / m_frameRate) : 0L;
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
    if (running() && !m_frames)
        present(nowMs());
}
