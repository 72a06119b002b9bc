#pragma once

#include "framepacer.h"

#include <QObject>
#include <QTimer>

#include <memory>

class QSocketNotifier;

// Timer1: ticks with the frames of the screen, one at most per frame and never more often than
// its interval allows (FramePacer), so that each name a tick shows is one the screen presents.
//
// Widgets on X11 have no frame clock of their own, so the frames are a timer at the screen's
// refresh rate. On Linux it rests on a kernel timerfd, which keeps the period to the nanosecond
// without drifting: Qt's own timers are armed in whole milliseconds from the moment each
// expiry is handled, so a 16.67 ms frame would stretch and fall out of step with the screen.
// Elsewhere it is a precise QTimer.
class Ticker : public QObject
{
    Q_OBJECT

public:
    explicit Ticker(QObject *parent = nullptr);
    ~Ticker() override;

    void start(int intervalMs);
    void stop();
    bool isActive() const { return m_active; }
    int interval() const { return m_intervalMs; }

    // The screen's refresh rate, in frames a second; a screen that reports none counts as 60.
    void setFrameRate(qreal hz);
    qreal frameRate() const { return m_frameRate; }

signals:
    void timeout();

private:
    void arm();
    void frame();

    int m_intervalMs = 0;
    bool m_active = false;
    qreal m_frameRate = 0;
    FramePacer m_pacer {0};
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_fallback;
};
