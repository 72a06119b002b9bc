#pragma once

#include <limits>

// Moments a period apart, kept as a schedule: a moment a little early or late keeps it, so that
// the next is due a period after the one before; a moment late by a whole period or more (a
// hidden page, a busy machine, a dragged window) starts it afresh from itself, rather than
// letting the moments it missed follow at once.
class Cadence
{
public:
    explicit Cadence(double period)
        : m_period(period)
    { }

    // Whether time has reached the moment due; if it has, the next one falls due.
    bool reached(double time);
    double due() const { return m_due; }

private:
    double m_period;
    double m_due = -std::numeric_limits<double>::infinity(); // the first moment is always due
};

// When Timer1 ticks: with the frames the screen presents, since the roulette shows one name per
// tick, and a tick that no frame presents is a name nobody saw, which a Stop could pick.
//
// - One tick at most per frame, and never more than one per period of the design's timer (5 ms):
//   60 names a second on a 60 Hz screen, 144 on 144 Hz, 200 on 240 Hz, where five frames in six
//   carry one (a Cadence, so a frame a little early or late does not lose its tick).
// - Input first. A press is the game's one chance, and what it stops must be the name the
//   screen showed when it was made. A toolkit that takes a due frame before the input queued
//   with it would run the frame's tick first and freeze the next name, one nobody saw at the
//   press. So a tick whose frame finds input waiting is held, and runs once that input has been
//   handled; if input is still going on when the next frame comes, it runs then, a frame late
//   rather than never, so that the names never stand still under a moving mouse.
// - Idle, a tick is owed to each change it takes in (a count chosen, a Start, a Stop, whose idle
//   tick sets the cursor back) and runs with the first frame the period allows; otherwise nothing
//   ticks, and nothing wakes a laptop on its battery or a phone while nothing changes.
// - Paused while a box that did not wait is open (a page's), and going on where it was once the
//   box is dismissed, so that the game cannot tell.
class FrameScheduler
{
public:
    explicit FrameScheduler(double periodMs);

    // The period of a screen refreshing hz times a second; one that reports no rate (0, or 1
    // as Windows may) is taken for 60 Hz.
    static double framePeriodMs(double hz);

    // A frame presented at timeMs, on any steady clock in milliseconds, with or without input
    // waiting that the front-end has not handled yet: whether it runs a tick now.
    bool frame(double timeMs, bool inputWaiting);
    // The input that was waiting is handled: whether a tick held for it runs now.
    bool inputHandled();
    // Something an idle tick takes in may have changed.
    void changed() { m_owed = true; }
    void pause() { m_paused = true; }
    void resume() { m_paused = false; }
    bool paused() const { return m_paused; }

    // Whether the front-end's frames are to come, for a roulette spinning or not.
    bool wantsFrames(bool spinning) const;

private:
    Cadence m_cadence;
    bool m_owed = false;
    bool m_held = false;
    bool m_paused = false;
};
