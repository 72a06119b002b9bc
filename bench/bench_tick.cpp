// What one tick of the roulette costs, next to the floor of making the same control calls
// on a window stand-in that does nothing: the difference is the roulette's own work.
#include "ruret.h"

#include <array>
#include <benchmark/benchmark.h>

namespace {

class NullControls : public RuretControls
{
public:
    std::array<std::string, 6> names {"", "佐藤", "鈴木", "高橋", "田中", "伊藤"};
    int optionOn = 5;

    std::string nameText(int slot) override { return names[slot]; }
    void setNameVisible(int slot, bool visible) override
    {
        benchmark::DoNotOptimize(slot + visible);
    }
    bool optionValue(int count) override { return count == optionOn; }
    void setResultCaption(const std::string &caption) override
    {
        benchmark::DoNotOptimize(caption.data());
    }
    void setResultBackColour(Colour colour) override { benchmark::DoNotOptimize(colour); }
    void messageBox(const std::string &, int, const std::string &) override { }
};

// Hides the object's type from the optimiser, so that every call stays virtual, as it is
// when the roulette calls the window.
RuretControls &opaque(NullControls &controls)
{
    RuretControls *pointer = &controls;
    benchmark::DoNotOptimize(pointer);
    return *pointer;
}

void IdleTick(benchmark::State &state)
{
    NullControls controls;
    Ruret ruret(opaque(controls));
    for (auto _ : state)
        ruret.Ruret_Tick();
}
BENCHMARK(IdleTick);

void IdleTickFloor(benchmark::State &state)
{
    NullControls null;
    RuretControls &controls = opaque(null);
    for (auto _ : state) {
        for (int count = 2; count <= 5; ++count)
            benchmark::DoNotOptimize(controls.optionValue(count));
        for (int slot = 3; slot <= 5; ++slot)
            controls.setNameVisible(slot, true);
    }
}
BENCHMARK(IdleTickFloor);

void RunningTick(benchmark::State &state)
{
    NullControls controls;
    Ruret ruret(opaque(controls));
    ruret.Ruret_Tick();
    ruret.Ruret_Start();
    ruret.Ruret_Tick();
    for (auto _ : state)
        ruret.Ruret_Tick();
}
BENCHMARK(RunningTick);

void RunningTickFloor(benchmark::State &state)
{
    NullControls null;
    RuretControls &controls = opaque(null);
    int slot = 1;
    for (auto _ : state) {
        controls.setResultBackColour(RunningColour);
        controls.setResultCaption(controls.nameText(slot));
        slot = slot % 5 + 1;
    }
}
BENCHMARK(RunningTickFloor);

} // namespace

BENCHMARK_MAIN();
