#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

class QSocketNotifier;

// The frames of the screen, as Timer1's ticks follow them (FrameScheduler decides which tick).
//
// Widgets on X11 have no frame clock of their own, so the frames are a timer at the screen's
// refresh rate. On Linux it rests on a kernel timerfd, which keeps the period to the nanosecond
// without drifting: Qt's own timers are armed in whole milliseconds from the moment each
// expiry is handled, so a 16.67 ms frame would stretch and fall out of step with the screen.
// Elsewhere it is a precise QTimer.
class FrameClock : public QObject
{
    Q_OBJECT

public:
    explicit FrameClock(QObject *parent = nullptr);
    ~FrameClock() override;

    void start();
    void stop();
    bool isActive() const { return m_active; }
    // Held, the clock reports no frame of its own, however it is started: a test deals the
    // frames itself (emitting frame()) and so says what comes first.
    void hold(bool held);

    // The screen's refresh rate, in frames a second.
    void setFrameRate(qreal hz);
    qreal frameRate() const { return m_frameRate; }

signals:
    // On the steady clock, in milliseconds.
    void frame(double timeMs);

private:
    void arm();
    void expired();

    bool m_active = false;
    bool m_held = false;
    qreal m_frameRate = 0;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_fallback;
};
