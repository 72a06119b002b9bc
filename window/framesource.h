#pragma once

#include <memory>

class FrameClock;
class QWidget;
class QWindow;

// A platform's own presentation of a window's frames, which reports each to its FrameClock
// (FrameClock::present) while the clock runs.
class FrameSource
{
public:
    virtual ~FrameSource() = default;

    // The clock started, stopped, held or let go: whether to report frames from now on.
    virtual void run(bool run) = 0;
    // Hands the window what the window system queued before the frame now being reported.
    virtual void takeQueuedInput() { handleQueuedEvents(); }

    // What the window system has queued by now, handled.
    static void handleQueuedEvents();
};

// The compositor's frames, as Qt's update requests of the window: Wayland's frame callbacks
// there, a timer of Qt's elsewhere.
std::unique_ptr<FrameSource> compositorFrames(FrameClock &clock, QWindow &window, QWidget &canvas);
// The frames of X's Present extension for the window; null where the window is not on an
// X server, or its server lacks the extension.
std::unique_ptr<FrameSource> presentFrames(FrameClock &clock, QWindow &window);
