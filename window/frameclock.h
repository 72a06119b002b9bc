#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

class FrameSource;
class QSocketNotifier;
class QWidget;
class QWindow;

// The frames the screen presents, as Timer1's ticks follow them (FrameScheduler decides which
// tick), from the platform's own presentation where it has one:
// - on Wayland, the compositor's frame callbacks, which Qt delivers to a window as update
//   requests: the name a frame shows is drawn as it comes, and the next is asked for once it is
//   drawn, so a compositor that presents fewer frames than its screen reports gets one name
//   for each, and a window it stops drawing gets none and costs nothing;
// - on X11, the Present extension's notice of each frame of the window's screen;
// - elsewhere (offscreen, an X server without Present), a timer at the screen's reported rate.
//   On Linux it rests on a kernel timerfd, which keeps the period to the nanosecond without
//   drifting: Qt's own timers are armed in whole milliseconds from the moment each expiry is
//   handled, so a 16.67 ms frame would stretch and fall out of step with the screen. Elsewhere
//   it is a precise QTimer.
// Until it follows a window the clock is the timer.
class FrameClock : public QObject
{
    Q_OBJECT

public:
    enum class Source { Timer, Compositor, Present };

    explicit FrameClock(QObject *parent = nullptr);
    ~FrameClock() override;

    // Takes the frames of the top-level window from here on, from its platform's presentation.
    // `canvas` is the widget in which a frame draws its name.
    void follow(QWindow *window, QWidget *canvas);
    // The same from the source named, for tests: the compositor's is Qt's update requests,
    // which every platform delivers. One the platform lacks leaves the timer.
    void follow(QWindow *window, QWidget *canvas, Source source);
    Source source() const { return m_source; }

    void start();
    void stop();
    bool isActive() const { return m_active; }
    // Held, the clock reports no frame of its own, however it is started: a test deals the
    // frames itself (present()) and so says what comes first.
    void hold(bool held);
    // Whether the source's frames are to be reported now.
    bool running() const { return m_active && !m_held; }

    // A frame presented at timeMs, on the steady clock in milliseconds. It is reported
    // (frame()) once the input the window system queued before it is handled, so that a press
    // stops the name the screen showed when it was made, not the next. A frame that comes
    // while one is being reported is dropped: no frame runs inside another.
    void present(double timeMs);
    static double nowMs();

    // The screen's refresh rate, in frames a second: the timer's.
    void setFrameRate(qreal hz);
    qreal frameRate() const { return m_frameRate; }

signals:
    void frame(double timeMs);

private:
    void arm();
    void expired();

    bool m_active = false;
    bool m_held = false;
    bool m_presenting = false;
    qreal m_frameRate = 0;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_fallback;
    Source m_source = Source::Timer;
    std::unique_ptr<FrameSource> m_frames; // none: the timer
};
