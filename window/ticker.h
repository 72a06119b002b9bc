#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

class QSocketNotifier;

// A periodic timer delivered through the window's event loop. On Linux it rests on a kernel
// timerfd, which keeps the period to the nanosecond without drifting: Qt's own timers are
// armed in whole milliseconds from the moment each tick is handled, so a 5 ms period
// stretches to about 5.14 ms and the spin runs 3% slow. Elsewhere it is a precise QTimer.
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

signals:
    void timeout();

private:
    void arm(int intervalMs);
    void expired();

    int m_intervalMs = 0;
    bool m_active = false;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_fallback;
};
