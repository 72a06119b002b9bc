#pragma once

#include "ruretcontrols.h"

#include <cstdint>
#include <string>

// The roulette: who takes part, whether the names are spinning, and which name comes next.
// It owns no widgets; everything it shows or reads goes through RuretControls.
class Ruret
{
public:
    explicit Ruret(RuretControls &controls);

    Ruret(const Ruret &) = delete;
    Ruret &operator=(const Ruret &) = delete;

    void Ruret_Start();
    void Ruret_Stop();
    void Ruret_Tick();

    // "T" while spinning, "N" after a stop or a refused start, empty before the first start.
    const std::string &SwitchOn() const { return m_switchOn; }
    // 0 until an idle tick finds a count button on, then 2 to 5.
    std::uint8_t Ninzuu() const { return m_ninzuu; }
    // The slot the next running tick shows; 0 means "show nothing new this tick".
    std::int16_t SpinIndex() const { return m_spinIndex; }

    bool isRunning() const { return m_switchOn == "T"; }

private:
    void idleTick();
    void runningTick();

    RuretControls &m_controls;
    std::string m_switchOn;
    std::uint8_t m_ninzuu = 0;
    std::int16_t m_spinIndex = 0;
};
