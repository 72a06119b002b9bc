#include "frameclock.h"
#include "framesource.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#ifdef KAZERIMA_HAVE_WAYLAND
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client-core.h>
#endif

namespace {

// Qt's Wayland platform delivers a window's update request on the compositor's frame callback,
// which the compositor sends once it has presented what the window last drew. So the name a
// frame shows is drawn as its update request comes, and the next is asked for after it: one
// name for each frame presented, at the compositor's pace, whatever rate its screen reports. A
// window the compositor does not draw gets no callback, and no frame, until it draws it again.
class CompositorFrames final : public QObject, public FrameSource
{
public:
    CompositorFrames(FrameClock &clock, QWindow &window, QWidget &canvas)
        : m_clock(clock)
        , m_window(&window)
        , m_canvas(&canvas)
    {
        window.installEventFilter(this);
        canvas.installEventFilter(this);
#ifdef KAZERIMA_HAVE_WAYLAND
        if (QGuiApplication::platformName().startsWith(u"wayland")) {
            m_display = static_cast<wl_display *>(
                QGuiApplication::platformNativeInterface()->nativeResourceForIntegration(
                    "wl_display"));
        }
#endif
    }

    void run(bool run) override
    {
        m_running = run;
        if (run)
            ask();
    }

    // Qt reads the compositor's events in threads of its own and hands them over to this one,
    // the frame callbacks apart from the rest. A press the compositor sent before the frame has
    // been read already, but may still wait for its turn; it takes it now.
    void takeQueuedInput() override
    {
#ifdef KAZERIMA_HAVE_WAYLAND
        if (m_display)
            wl_display_dispatch_pending(m_display);
#endif
        handleQueuedEvents();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_canvas && event->type() == QEvent::Paint)
            m_drawn = true;
        if (watched != m_window)
            return false;
        if (event->type() == QEvent::Expose && m_running && m_window->isExposed())
            ask();
        // An update request the window asked for itself (Qt's Wayland platform does, when its
        // decorations come or go) goes on to repaint the whole window.
        if (event->type() != QEvent::UpdateRequest || !m_asked)
            return false;
        m_asked = false;
        if (!m_running)
            return true;
        m_drawn = false;
        m_clock.present(FrameClock::nowMs());
        if (m_running && m_canvas) {
            // The compositor calls back only once something new is drawn: a frame that changed
            // nothing (a name the same as the one before, a tick the schedule left out) draws
            // its name again.
            if (!m_drawn)
                m_canvas->repaint();
            ask();
        }
        return true;
    }

private:
    // A window the compositor does not show yet is asked once it is exposed.
    void ask()
    {
        if (m_asked || !m_window || !m_window->isExposed())
            return;
        m_asked = true;
        m_window->requestUpdate();
    }

    FrameClock &m_clock;
    QPointer<QWindow> m_window;
    QPointer<QWidget> m_canvas;
    bool m_running = false;
    bool m_asked = false;
    bool m_drawn = false;
#ifdef KAZERIMA_HAVE_WAYLAND
    wl_display *m_display = nullptr;
#endif
};

} // namespace

std::unique_ptr<FrameSource> compositorFrames(FrameClock &clock, QWindow &window, QWidget &canvas)
{
    return std::make_unique<CompositorFrames>(clock, window, canvas);
}
