#include "framescheduler.h"

#include <utility>

namespace {

constexpr double FallbackFrameRate = 60;

} // namespace

bool Cadence::reached(double time)
{
    if (time < m_due)
        return false;
    m_due = time < m_due + m_period ? m_due + m_period : time + m_period;
    return true;
}

FrameScheduler::FrameScheduler(double periodMs)
    : m_cadence(periodMs)
{ }

double FrameScheduler::framePeriodMs(double hz)
{
    return 1000 / (hz > 1 ? hz : FallbackFrameRate);
}

bool FrameScheduler::frame(double timeMs, bool inputWaiting)
{
    if (m_paused || !m_cadence.reached(timeMs))
        return false;
    m_owed = false;
    // A tick held already runs with this frame, whatever is waiting now.
    if (inputWaiting && !m_held) {
        m_held = true;
        return false;
    }
    m_held = false;
    return true;
}

bool FrameScheduler::inputHandled()
{
    return !m_paused && std::exchange(m_held, false);
}

bool FrameScheduler::wantsFrames(bool spinning) const
{
    return !m_paused && (spinning || m_owed || m_held);
}
