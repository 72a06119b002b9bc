#include "framepacer.h"
#include "inputfirst.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr double TimerPeriodMs = 5;

// Frame times of a screen refreshing hz times a second, from startMs on.
std::vector<double> frames(double hz, int count, double startMs = 0)
{
    std::vector<double> times;
    for (int i = 0; i < count; ++i)
        times.push_back(startMs + 1000.0 * i / hz);
    return times;
}

int ticksOver(FramePacer &pacer, const std::vector<double> &times)
{
    int ticks = 0;
    for (double time : times)
        ticks += pacer.tickAt(time) ? 1 : 0;
    return ticks;
}

struct RateCase
{
    const char *screen;
    double hz;
    int expectedTicksPerSecond;
};

void PrintTo(const RateCase &row, std::ostream *out)
{
    *out << row.screen;
}

class ScreenRate : public ::testing::TestWithParam<RateCase>
{ };

TEST_P(ScreenRate, OneTickEachFrameAndNoMoreThanTheTimerAllows)
{
    const RateCase &row = GetParam();
    FramePacer pacer(TimerPeriodMs);
    const int count = static_cast<int>(row.hz);
    EXPECT_EQ(ticksOver(pacer, frames(row.hz, count)), row.expectedTicksPerSecond);

    // After a stall of a second (a hidden page, a dragged window), the ticks go on at the same
    // rate from the first frame back: none of the missed ones are made up.
    EXPECT_EQ(ticksOver(pacer, frames(row.hz, count, 2000)), row.expectedTicksPerSecond);
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreenRate,
                         ::testing::Values(RateCase {"60Hz", 60, 60}, RateCase {"120Hz", 120, 120},
                                           RateCase {"144Hz", 144, 144},
                                           RateCase {"240Hz", 240, 200},
                                           RateCase {"1000Hz", 1000, 200}),
                         [](const auto &info) { return std::string(info.param.screen); });

// Frame times in, which of them tick out ('x' a tick, '.' none).
struct FrameCase
{
    const char *name;
    std::vector<double> times;
    std::string expected;
};

void PrintTo(const FrameCase &row, std::ostream *out)
{
    *out << row.name;
}

class Frames : public ::testing::TestWithParam<FrameCase>
{ };

TEST_P(Frames, TickWhereTheScheduleAllows)
{
    FramePacer pacer(TimerPeriodMs);
    std::string ticked;
    for (double time : GetParam().times)
        ticked += pacer.tickAt(time) ? 'x' : '.';
    EXPECT_EQ(ticked, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Schedule, Frames,
    ::testing::Values(
        // The first frame ticks, whatever its clock reads.
        FrameCase {"FirstFrame", {123456.7}, "x"},
        // A frame that comes before the period is out runs none; the next one on time does.
        FrameCase {"EarlyFrame", {0, 16.7, 18.0, 33.3}, "xx.x"},
        // Two frames at the same moment run one tick.
        FrameCase {"SameFrameTwice", {10, 10, 10}, "x.."},
        // A frame a little late keeps the schedule: the next is due 5 ms after the last was.
        FrameCase {"JitterKeepsTheSchedule", {0, 5.4, 10.0, 14.9, 20.1}, "xxx.x"},
        // Late by a period or more, the schedule starts again from the late frame.
        FrameCase {"StallRestartsTheSchedule", {0, 100, 103, 104.9, 105}, "xx..x"}),
    [](const auto &info) { return std::string(info.param.name); });

// What comes in turn, a frame due with no input waiting ('f'), with input waiting ('F'), the
// message loop after handling something with input still waiting ('w') or none ('h'); when a
// tick runs out ('x' after what ran it).
struct InputCase
{
    const char *name;
    std::string events;
    std::string expected;
};

void PrintTo(const InputCase &row, std::ostream *out)
{
    *out << row.name;
}

class Input : public ::testing::TestWithParam<InputCase>
{ };

TEST_P(Input, TickAfterTheInputWaitingWithItsFrame)
{
    InputFirst inputFirst;
    std::string ticked;
    for (char event : GetParam().events) {
        ticked += event;
        const bool tick = event == 'f' || event == 'F' ? inputFirst.tickNow(event == 'F')
            : event == 'h'                             ? inputFirst.inputHandled()
                                                       : false;
        if (tick)
            ticked += 'x';
    }
    EXPECT_EQ(ticked, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Order, Input,
    ::testing::Values(
        InputCase {"NothingWaiting", "ffhf", "fxfxhfx"},
        // A press queued with the frame is handled first; the frame's tick comes once it is.
        InputCase {"PressWithTheFrame", "Fwhf", "Fwhxfx"},
        // Handled with nothing held, the loop runs no tick of its own.
        InputCase {"NothingHeld", "fhh", "fxhh"},
        // Input still going on at the next frame: the held tick runs then, a frame late.
        InputCase {"InputAllFrame", "FwFwF", "FwFxwF"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
