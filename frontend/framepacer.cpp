#include "framepacer.h"

FramePacer::FramePacer(double periodMs)
    : m_periodMs(periodMs)
{ }

bool FramePacer::tickAt(double timeMs)
{
    if (timeMs < m_due)
        return false;
    m_due = timeMs < m_due + m_periodMs ? m_due + m_periodMs : timeMs + m_periodMs;
    return true;
}
