#include "frameclock.h"
#include "framesource.h"

#ifdef KAZERIMA_HAVE_PRESENT
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <qpa/qwindowsysteminterface.h>

#include <cstdint>
#include <cstdlib>
#include <xcb/present.h>
#include <xcb/xcb.h>

namespace {

// X's Present extension tells a client when a frame of its window's screen (its CRTC) has
// begun: PresentNotifyMSC asks for the next one, and its PresentCompleteNotify is that frame.
// Both go over Qt's own connection, so the notice arrives among the window system's other
// events in the order the server sent them, and Qt hands it to native event filters in that
// order: a press the server sent before the frame is turned into Qt's event before the frame is
// seen, and handled before it is reported. Under a compositor (Xwayland among them) the frames
// are the compositor's; a window on no screen gets the server's slow stand-in clock.
class PresentFrames final : public QAbstractNativeEventFilter, public FrameSource
{
public:
    PresentFrames(FrameClock &clock, QWindow &window, xcb_connection_t *connection,
                  std::uint8_t opcode)
        : m_clock(clock)
        , m_window(&window)
        , m_connection(connection)
        , m_opcode(opcode)
        , m_windowId(static_cast<xcb_window_t>(window.winId()))
        , m_eventId(xcb_generate_id(connection))
    {
        xcb_present_select_input(m_connection, m_eventId, m_windowId,
                                 XCB_PRESENT_EVENT_MASK_COMPLETE_NOTIFY);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~PresentFrames() override
    {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        if (m_window && m_window->handle())
            xcb_present_select_input(m_connection, m_eventId, m_windowId, 0);
        xcb_flush(m_connection);
    }

    void run(bool run) override
    {
        m_running = run;
        if (run)
            ask();
    }

    // What the server sent before the frame's notice was read in the same round as the notice,
    // and its input waits in Qt's queue of window system events: delivered now, it comes before
    // the frame. A whole round of the event loop instead doubled the CPU of a spin.
    void takeQueuedInput() override
    {
        QWindowSystemInterface::sendWindowSystemEvents(QEventLoop::AllEvents);
    }

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_GE_GENERIC)
            return false;
        const auto *notice = static_cast<const xcb_present_complete_notify_event_t *>(message);
        if (notice->extension != m_opcode || notice->event_type != XCB_PRESENT_EVENT_COMPLETE_NOTIFY
            || notice->event != m_eventId)
            return false;
        m_asked = false;
        if (!m_running)
            return true;
        // The next frame is asked for at once, so that it is not missed however long this one
        // takes; this one is reported once Qt has handed out the events that came before it,
        // which it does after this round of reading the connection.
        ask();
        QMetaObject::invokeMethod(
            &m_clock,
            [clock = &m_clock] {
                if (clock->running())
                    clock->present(FrameClock::nowMs());
            },
            Qt::QueuedConnection);
        return true;
    }

private:
    void ask()
    {
        if (m_asked)
            return;
        m_asked = true;
        // Target 0 with divisor 1: the first frame to begin after the request arrives.
        xcb_present_notify_msc(m_connection, m_windowId, ++m_serial, 0, 1, 0);
        xcb_flush(m_connection);
    }

    FrameClock &m_clock;
    QPointer<QWindow> m_window;
    xcb_connection_t *m_connection;
    std::uint8_t m_opcode;
    xcb_window_t m_windowId;
    std::uint32_t m_eventId;
    std::uint32_t m_serial = 0;
    bool m_running = false;
    bool m_asked = false;
};

} // namespace

std::unique_ptr<FrameSource> presentFrames(FrameClock &clock, QWindow &window)
{
    // The offscreen platform answers as X11 too, with no connection.
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection || QGuiApplication::platformName() != u"xcb")
        return nullptr;
    const xcb_query_extension_reply_t *present
        = xcb_get_extension_data(connection, &xcb_present_id);
    if (!present || !present->present)
        return nullptr;
    // A client tells the server which version of the extension it speaks before it uses it.
    xcb_present_query_version_reply_t *version = xcb_present_query_version_reply(
        connection,
        xcb_present_query_version(connection, XCB_PRESENT_MAJOR_VERSION, XCB_PRESENT_MINOR_VERSION),
        nullptr);
    if (!version)
        return nullptr;
    std::free(version);
    return std::make_unique<PresentFrames>(clock, window, connection, present->major_opcode);
}

#else

std::unique_ptr<FrameSource> presentFrames(FrameClock &, QWindow &)
{
    return nullptr;
}

#endif
