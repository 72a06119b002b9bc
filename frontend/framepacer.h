#pragma once

#include <limits>

// Decides which of the screen's frames carry a tick of Timer1.
//
// The roulette shows one name per tick, so a tick that no frame presents is a name nobody saw,
// and a Stop could pick it. Ticks therefore come with the frames the screen presents, one at
// most per frame, and never more than one per period of the design's timer (5 ms): 60 names a
// second on a 60 Hz screen, 144 on 144 Hz, 200 on 240 Hz, where five frames in six carry one.
// The period is kept as a schedule, so a frame a little early or late does not lose its tick;
// a frame late by a whole period or more (a hidden page, a busy machine, a dragged window)
// starts the schedule afresh from itself rather than letting the frames after it catch up.
class FramePacer
{
public:
    explicit FramePacer(double periodMs);

    // Whether the frame presented at timeMs, on any steady clock in milliseconds, runs a tick.
    bool tickAt(double timeMs);

private:
    double m_periodMs;
    double m_due = -std::numeric_limits<double>::infinity(); // the first frame always ticks
};
