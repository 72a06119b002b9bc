// The Windows frame clock with a stand-in for the display: the display's waits are the frames
// while they are real; when they fail or return at once, a timer on the display's grid stands
// in, without spinning on the display; once they are real again, they are the frames again.

#include "frameclock.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The stand-in's grid, in 100 ns units: 60 Hz, offset so that the moment a real wait ends falls
// on it only by a chance of one in a hundred thousand.
constexpr LPARAM Period = 166'667;
constexpr LPARAM Phase = 12'345;

bool onGrid(LPARAM time)
{
    return (time - Phase) % Period == 0;
}

enum class Display { Real, Instant, Failing, Held };

const char *name(Display display)
{
    return display == Display::Instant ? "ReturningAtOnce" : "Failing";
}

void PrintTo(Display display, std::ostream *out)
{
    *out << name(display);
}

class ScriptedVBlank final : public VBlankSource
{
public:
    bool wait() override
    {
        ++waits;
        switch (display.load()) {
        case Display::Real:
            Sleep(7);
            return true;
        case Display::Instant:
            return true;
        case Display::Failing:
            break;
        case Display::Held:
            while (display.load() == Display::Held) {
                held = true;
                Sleep(1);
            }
            held = false;
            return true;
        }
        return false;
    }
    Grid grid() override { return {double(Phase), double(Period)}; }

    std::atomic<Display> display = Display::Real;
    std::atomic<int> waits = 0;
    std::atomic<bool> held = false; // a wait is under way that a held display holds
};

using Frames = std::vector<LPARAM>;

class Clock : public ::testing::Test
{
protected:
    ~Clock() override
    {
        display->display = Display::Real;
        clock.reset();
        DestroyWindow(window);
    }

    // The frames that come, each taken as the window takes them, until enough of them have, or
    // the time given has passed.
    Frames framesUntil(const std::function<bool(const Frames &)> &enough, ULONGLONG ms = 10'000)
    {
        Frames frames;
        for (const ULONGLONG end = GetTickCount64() + ms;
             !enough(frames) && GetTickCount64() < end;) {
            MSG message;
            if (PeekMessageW(&message, window, FrameClock::FrameMessage, FrameClock::FrameMessage,
                             PM_REMOVE)) {
                if (clock->take(message.lParam))
                    frames.push_back(message.lParam);
            } else {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_POSTMESSAGE);
            }
        }
        return frames;
    }

    ScriptedVBlank *display = new ScriptedVBlank;
    std::unique_ptr<FrameClock> clock
        = std::make_unique<FrameClock>(std::unique_ptr<VBlankSource>(display));
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                  nullptr);
};

const auto atLeast = [](std::size_t count) {
    return [count](const Frames &frames) { return frames.size() >= count; };
};

// A window held up leaves its frame waiting in the queue; it is posted again, and when the window
// comes back, only the newest runs. A modal loop may take a frame from the queue and drop it:
// the frames go on.
TEST_F(Clock, AFrameNotTakenIsPostedAgainAndOnlyTheNewestRuns)
{
    clock->start(window);
    ASSERT_EQ(framesUntil(atLeast(3)).size(), 3U);

    Sleep(150);
    // The display held, no frame comes while the queue is read.
    display->display = Display::Held;
    for (const ULONGLONG end = GetTickCount64() + 10'000; !display->held;) {
        ASSERT_LT(GetTickCount64(), end) << "the clock did not wait on the display again";
        Sleep(1);
    }
    std::vector<MSG> queued;
    for (MSG message; PeekMessageW(&message, window, FrameClock::FrameMessage,
                                   FrameClock::FrameMessage, PM_REMOVE);)
        queued.push_back(message);
    ASSERT_GE(queued.size(), 2U);
    for (std::size_t i = 0; i + 1 < queued.size(); ++i)
        EXPECT_FALSE(clock->take(queued[i].lParam)) << i;
    EXPECT_TRUE(clock->take(queued.back().lParam));

    display->display = Display::Real;
    MSG dropped;
    while (!PeekMessageW(&dropped, window, FrameClock::FrameMessage, FrameClock::FrameMessage,
                         PM_REMOVE))
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_POSTMESSAGE);
    EXPECT_EQ(framesUntil(atLeast(3), 2000).size(), 3U) << "the frames stopped";
}

class UnrealWaits : public Clock, public ::testing::WithParamInterface<Display>
{ };

TEST_P(UnrealWaits, GiveWayToTheTimerOnTheDisplaysGridUntilTheyAreRealAgain)
{
    clock->start(window);
    Frames frames = framesUntil(atLeast(10));
    ASSERT_EQ(frames.size(), 10U);
    EXPECT_EQ(std::ranges::count_if(frames, onGrid), 0) << "frames not from the display's waits";

    display->display = GetParam();
    frames = framesUntil([](const Frames &frames) {
        return frames.size() >= 10 && std::all_of(frames.end() - 10, frames.end(), onGrid);
    });
    ASSERT_GE(frames.size(), 10U) << "no frames from the timer";
    const int waits = display->waits;
    frames = framesUntil(atLeast(30));
    ASSERT_EQ(frames.size(), 30U);
    EXPECT_TRUE(std::ranges::all_of(frames, onGrid));
    // Half a second of frames tries the display once at most.
    EXPECT_LE(display->waits - waits, 1);

    display->display = Display::Real;
    frames = framesUntil(
        [](const Frames &frames) { return frames.size() >= 2 && !onGrid(frames.back()); });
    ASSERT_FALSE(frames.empty());
    EXPECT_FALSE(onGrid(frames.back())) << "the display's waits were not tried again";

    // Stopped, the clock posts no frame and no longer waits on the display, but for the wait
    // under way; a frame posted before may still be in the queue.
    clock->stop();
    const int waitsAtStop = display->waits;
    EXPECT_LE(framesUntil([](const Frames &) { return false; }, 300).size(), 1U);
    EXPECT_LE(display->waits - waitsAtStop, 1);
}

INSTANTIATE_TEST_SUITE_P(Displays, UnrealWaits,
                         ::testing::Values(Display::Instant, Display::Failing),
                         [](const auto &info) { return std::string(name(info.param)); });

} // namespace
