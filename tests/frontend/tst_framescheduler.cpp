#include "framescheduler.h"

#include <gtest/gtest.h>
#include <ostream>
#include <sstream>
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

int ticksOver(FrameScheduler &scheduler, const std::vector<double> &times)
{
    int ticks = 0;
    for (double time : times)
        ticks += scheduler.frame(time, false) ? 1 : 0;
    return ticks;
}

struct RateCase
{
    const char *screen;
    double reportedHz;
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
    FrameScheduler scheduler(TimerPeriodMs);
    const double hz = 1000 / FrameScheduler::framePeriodMs(row.reportedHz);
    const int count = static_cast<int>(hz + 0.5);
    EXPECT_EQ(ticksOver(scheduler, frames(hz, count)), row.expectedTicksPerSecond);

    // After a stall of a second (a hidden page, a dragged window), the ticks go on at the same
    // rate from the first frame back: none of the missed ones are made up.
    EXPECT_EQ(ticksOver(scheduler, frames(hz, count, 2000)), row.expectedTicksPerSecond);
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreenRate,
                         ::testing::Values(RateCase {"60Hz", 60, 60}, RateCase {"120Hz", 120, 120},
                                           RateCase {"144Hz", 144, 144},
                                           RateCase {"240Hz", 240, 200},
                                           RateCase {"1000Hz", 1000, 200},
                                           // A screen that reports no rate, or Windows' 1 for
                                           // one it does not know, is taken for 60 Hz.
                                           RateCase {"NoRate", 0, 60},
                                           RateCase {"UnknownRate", 1, 60}),
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

TEST_P(Frames, TickWhereTheCadenceAllows)
{
    Cadence cadence(TimerPeriodMs);
    std::string ticked;
    for (double time : GetParam().times)
        ticked += cadence.reached(time) ? 'x' : '.';
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

// What happens in turn, and what the scheduler makes of it. In: a frame at a time in ms with no
// input waiting ("f16.7") or with input waiting ("F16.7"), the input handled ("h"), a change
// an idle tick takes in ("c"), a box that did not wait shown ("b") and dismissed ("d"), the
// roulette starting to spin ("s") and stopping ("t"). Out: the same, with "x" after what ran a
// tick, and "+" or "-" where the front-end's frames are to start or stop ("+" first would ask for
// them with nothing to do).
struct ScheduleCase
{
    const char *name;
    const char *events;
    const char *expected;
};

void PrintTo(const ScheduleCase &row, std::ostream *out)
{
    *out << row.name;
}

class Schedule : public ::testing::TestWithParam<ScheduleCase>
{ };

TEST_P(Schedule, TicksWithTheFramesAndEventsAllow)
{
    const ScheduleCase &row = GetParam();
    FrameScheduler scheduler(TimerPeriodMs);
    bool spinning = false;
    bool wanted = scheduler.wantsFrames(spinning);
    std::string trace = wanted ? "+" : "";
    std::istringstream events(row.events);
    for (std::string event; events >> event;) {
        trace += (trace.empty() ? "" : " ") + event;
        bool ticked = false;
        switch (event.front()) {
        case 'f':
        case 'F':
            ticked = scheduler.frame(std::stod(event.substr(1)), event.front() == 'F');
            break;
        case 'h':
            ticked = scheduler.inputHandled();
            break;
        case 'c':
            scheduler.changed();
            break;
        case 'b':
            scheduler.pause();
            break;
        case 'd':
            scheduler.resume();
            break;
        case 's':
        case 't':
            spinning = event.front() == 's';
            break;
        default:
            FAIL() << "no such event: " << event;
        }
        if (ticked)
            trace += 'x';
        if (scheduler.wantsFrames(spinning) != wanted) {
            wanted = !wanted;
            trace += wanted ? '+' : '-';
        }
    }
    EXPECT_EQ(trace, row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Events, Schedule,
    ::testing::Values(
        ScheduleCase {"NothingWaiting", "s f0 f16.7 h f33.3", "s+ f0x f16.7x h f33.3x"},
        // A press queued with the frame is handled first; the frame's tick comes once it is.
        ScheduleCase {"PressWithTheFrame", "s F0 h f16.7", "s+ F0 hx f16.7x"},
        // Handled with nothing held, the loop runs no tick of its own.
        ScheduleCase {"NothingHeld", "s f0 h h", "s+ f0x h h"},
        // Input still going on at the next frame: the held tick runs then, a frame late.
        ScheduleCase {"InputAllFrame", "s F0 F16.7 F33.3", "s+ F0 F16.7x F33.3"},
        // A held tick still keeps to the timer's period on a 240 Hz screen.
        ScheduleCase {"HeldOnAFastScreen", "s F0 F4.2 f8.3", "s+ F0 F4.2 f8.3x"},
        // Idle, the window wakes for a change, ticks once it may, and sleeps again.
        ScheduleCase {"IdleTickAfterAChange", "c f0", "c+ f0x-"},
        // A change whose frame comes within the timer's period of the last tick keeps the
        // frames coming until one may take it in.
        ScheduleCase {"ChangeTooSoonAfterATick", "c f0 c f3 f16.7", "c+ f0x- c+ f3 f16.7x-"},
        ScheduleCase {"SpinTakesEveryFrame", "c s f0 f16.7 t c f33.3",
                      "c+ s f0x f16.7x t- c+ f33.3x-"},
        // An idle tick held for input is still owed: it runs once the input is handled.
        ScheduleCase {"ChangeHeldForInput", "c F0 h", "c+ F0 hx-"},
        // A box that did not wait stops the ticks until it is dismissed; a press held for its
        // input before it runs once it is.
        ScheduleCase {"BoxPausesTheTicks", "c s f0 b f16.7 h d f33.3",
                      "c+ s f0x b- f16.7 h d+ f33.3x"},
        ScheduleCase {"HeldAcrossABox", "s F0 b h d h", "s+ F0 b- h d+ hx"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
