#include "ruret.h"

namespace {

constexpr int FirstSlot = 1;
constexpr int FirstHideableSlot = 3;
constexpr int MinCount = 2;
constexpr int MaxCount = 5;

const std::string Running = "T";
const std::string Stopped = "N";

constexpr const char *MissingNamePrompt = "名前を登録して下さい";
constexpr const char *MissingNameTitle = "名前入れてね";

} // namespace

Ruret::Ruret(RuretControls &controls)
    : m_controls(controls)
{ }

void Ruret::Ruret_Start()
{
    const int count = m_ninzuu;
    if (count < MinCount || count > MaxCount)
        return;

    // Every slot in use is read before deciding, so one message covers any number of gaps.
    bool missing = false;
    for (int slot = FirstSlot; slot <= count; ++slot) {
        if (m_controls.nameText(slot).empty())
            missing = true;
    }

    if (missing) {
        m_controls.messageBox(MissingNamePrompt, MsgBoxCritical, MissingNameTitle);
        m_switchOn = Stopped;
    } else {
        m_switchOn = Running;
    }
}

void Ruret::Ruret_Stop()
{
    if (!isRunning())
        return;
    m_switchOn = Stopped;
    m_controls.setResultBackColour(StoppedColour);
}

void Ruret::Ruret_Tick()
{
    if (isRunning())
        runningTick();
    else
        idleTick();
}

// Option buttons have no handlers of their own: this is where a count change takes effect.
void Ruret::idleTick()
{
    m_spinIndex = 0;
    for (int count = MinCount; count <= MaxCount; ++count) {
        if (!m_controls.optionValue(count))
            continue;
        m_ninzuu = static_cast<std::uint8_t>(count);
        for (int slot = FirstHideableSlot; slot <= MaxCount; ++slot)
            m_controls.setNameVisible(slot, slot <= count);
        return;
    }
}

void Ruret::runningTick()
{
    m_controls.setResultBackColour(RunningColour);
    if (m_spinIndex >= FirstSlot && m_spinIndex <= m_ninzuu)
        m_controls.setResultCaption(m_controls.nameText(m_spinIndex));
    ++m_spinIndex;
    if (m_spinIndex == m_ninzuu + 1)
        m_spinIndex = FirstSlot;
}
