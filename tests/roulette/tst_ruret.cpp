#include "recordingcontrols.h"
#include "ruret.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

const std::string Cyan = "Label3.BackColor=00FFFF00";
const std::string Red = "Label3.BackColor=000000FF";
const std::string MissingNameBox = "MsgBox(名前を登録して下さい, 16, 名前入れてね)";
const Log AllOptionsRead = {"Option2?", "Option3?", "Option4?", "Option5?"};

class RuretTest : public ::testing::Test
{
protected:
    RecordingControls window;
    Ruret ruret {window};

    // The idle tick that follows the user turning on a count button.
    void settle(int count)
    {
        window.optionOn = count;
        ruret.Ruret_Tick();
        window.takeLog();
    }
    void startSpin(int count)
    {
        settle(count);
        ruret.Ruret_Start();
        ASSERT_EQ(ruret.SwitchOn(), "T");
        window.takeLog();
    }
    Log tick()
    {
        ruret.Ruret_Tick();
        return window.takeLog();
    }
    Log start()
    {
        ruret.Ruret_Start();
        return window.takeLog();
    }
    Log stop()
    {
        ruret.Ruret_Stop();
        return window.takeLog();
    }
    void probeSwitchOn()
    {
        window.stateProbe = [this] { return "[SwitchOn=" + ruret.SwitchOn() + "]"; };
    }
};

TEST_F(RuretTest, IsIdleAndZeroedAtCreation)
{
    EXPECT_EQ(ruret.SwitchOn(), "");
    EXPECT_EQ(ruret.Ninzuu(), 0);
    EXPECT_EQ(ruret.SpinIndex(), 0);
    EXPECT_FALSE(ruret.isRunning());
    EXPECT_TRUE(window.log.empty());
}

// ---- Idle ticks ---------------------------------------------------------------------------

struct IdleCase
{
    int optionOn;
    Log expected;
};

class IdleTick : public RuretTest, public ::testing::WithParamInterface<IdleCase>
{ };

TEST_P(IdleTick, ReadsButtonsUpToTheOneOnThenSetsCountBeforeVisibility)
{
    window.stateProbe = [this] { return "[Ninzuu=" + std::to_string(ruret.Ninzuu()) + "]"; };
    window.optionOn = GetParam().optionOn;

    // The writes repeat on every idle tick, whether or not anything changes.
    EXPECT_EQ(tick(), GetParam().expected);
    EXPECT_EQ(tick(), GetParam().expected);
    EXPECT_EQ(ruret.Ninzuu(), GetParam().optionOn);
    EXPECT_EQ(ruret.SpinIndex(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EachCount, IdleTick,
    ::testing::Values(
        IdleCase {2,
                  {"Option2?", "Text3.Visible=false [Ninzuu=2]", "Text4.Visible=false [Ninzuu=2]",
                   "Text5.Visible=false [Ninzuu=2]"}},
        IdleCase {3,
                  {"Option2?", "Option3?", "Text3.Visible=true [Ninzuu=3]",
                   "Text4.Visible=false [Ninzuu=3]", "Text5.Visible=false [Ninzuu=3]"}},
        IdleCase {4,
                  {"Option2?", "Option3?", "Option4?", "Text3.Visible=true [Ninzuu=4]",
                   "Text4.Visible=true [Ninzuu=4]", "Text5.Visible=false [Ninzuu=4]"}},
        IdleCase {5,
                  {"Option2?", "Option3?", "Option4?", "Option5?", "Text3.Visible=true [Ninzuu=5]",
                   "Text4.Visible=true [Ninzuu=5]", "Text5.Visible=true [Ninzuu=5]"}}),
    [](const auto &info) { return "Option" + std::to_string(info.param.optionOn); });

TEST_F(RuretTest, IdleTickWithNoButtonOnKeepsCountAndVisibilityButResetsCursor)
{
    window.optionOn = 0;
    EXPECT_EQ(tick(), AllOptionsRead) << "no button on at all: nothing but reads";
    EXPECT_EQ(ruret.Ninzuu(), 0);

    startSpin(3);
    tick();
    tick();
    stop();
    ASSERT_NE(ruret.SpinIndex(), 0);

    window.optionOn = 0;
    EXPECT_EQ(tick(), AllOptionsRead);
    EXPECT_EQ(ruret.Ninzuu(), 3);
    EXPECT_EQ(ruret.SpinIndex(), 0);
    EXPECT_EQ(window.visible, (std::array<bool, 6> {true, true, true, true, false, false}));
}

// ---- Running ticks ------------------------------------------------------------------------

TEST_F(RuretTest, ThreeNamesCycleOneTickEachAfterOneSilentTick)
{
    startSpin(3);

    const struct
    {
        Log ops;
        int cursorAfter;
    } ticks[] = {
        {{Cyan}, 1},
        {{Cyan, "Text1?", "Label3.Caption=佐藤"}, 2},
        {{Cyan, "Text2?", "Label3.Caption=鈴木"}, 3},
        {{Cyan, "Text3?", "Label3.Caption=高橋"}, 1},
        {{Cyan, "Text1?", "Label3.Caption=佐藤"}, 2},
        {{Cyan, "Text2?", "Label3.Caption=鈴木"}, 3},
    };
    int n = 1;
    for (const auto &expected : ticks) {
        SCOPED_TRACE("running tick " + std::to_string(n++));
        EXPECT_EQ(tick(), expected.ops);
        EXPECT_EQ(ruret.SpinIndex(), expected.cursorAfter);
    }
}

class RunningCycle : public RuretTest, public ::testing::WithParamInterface<int>
{ };

TEST_P(RunningCycle, ShowsSlotsOneToCountInTurnWithoutTouchingTheOthers)
{
    const int count = GetParam();
    startSpin(count);
    tick();

    std::vector<std::string> shown, expected;
    for (int round = 0; round < 3; ++round) {
        for (int slot = 1; slot <= count; ++slot) {
            expected.push_back(window.names[slot]);
            tick();
            shown.push_back(window.caption);
            EXPECT_GE(ruret.SpinIndex(), 1);
            EXPECT_LE(ruret.SpinIndex(), count);
        }
    }
    EXPECT_EQ(shown, expected);
}

INSTANTIATE_TEST_SUITE_P(EachCount, RunningCycle, ::testing::Values(2, 3, 4, 5));

TEST_F(RuretTest, CaptionFollowsEditsMadeDuringASpin)
{
    startSpin(2);
    tick();

    window.names[1] = "変更";
    tick();
    EXPECT_EQ(window.caption, "変更");

    window.names[2] = "";
    EXPECT_EQ(tick(), (Log {Cyan, "Text2?", "Label3.Caption="}));
}

TEST_F(RuretTest, CountChangeDuringASpinWaitsForTheFirstIdleTick)
{
    startSpin(2);
    window.optionOn = 5;
    for (int i = 0; i < 5; ++i) {
        const Log ops = tick();
        EXPECT_EQ(ops.front(), Cyan) << "no option is read while running";
    }
    EXPECT_EQ(ruret.Ninzuu(), 2);
    EXPECT_FALSE(window.visible[3] || window.visible[4] || window.visible[5]);

    stop();
    tick();
    EXPECT_EQ(ruret.Ninzuu(), 5);
    EXPECT_TRUE(window.visible[3] && window.visible[4] && window.visible[5]);
}

// ---- Start --------------------------------------------------------------------------------

TEST_F(RuretTest, StartBeforeAnyCountIsKnownDoesNothingAtAll)
{
    EXPECT_EQ(start(), Log {});
    EXPECT_EQ(ruret.SwitchOn(), "");

    window.optionOn = 0;
    tick();
    EXPECT_EQ(start(), Log {}) << "no button on: the count is still 0";
}

struct StartCase
{
    const char *name;
    int count;
    std::array<std::string, 6> names;
    Log expected;
    std::string switchOn;
};

class Start : public RuretTest, public ::testing::WithParamInterface<StartCase>
{ };

TEST_P(Start, ReadsEverySlotInUseThenDecides)
{
    const StartCase &c = GetParam();
    probeSwitchOn();
    window.names = c.names;
    settle(c.count);

    EXPECT_EQ(start(), c.expected);
    EXPECT_EQ(ruret.SwitchOn(), c.switchOn);
    EXPECT_EQ(ruret.Ninzuu(), c.count);
    EXPECT_EQ(ruret.SpinIndex(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Names, Start,
    ::testing::Values(
        StartCase {"SecondOfTwoEmpty",
                   2,
                   {"", "a", "", "c", "d", "e"},
                   {"Text1?", "Text2?", MissingNameBox + " [SwitchOn=]"},
                   "N"},
        StartCase {"HiddenFieldsAreNeverRead",
                   3,
                   {"", "a", "b", "c", "", ""},
                   {"Text1?", "Text2?", "Text3?"},
                   "T"},
        StartCase {
            "OneMessageForManyGaps",
            5,
            {"", "", "b", "", "d", ""},
            {"Text1?", "Text2?", "Text3?", "Text4?", "Text5?", MissingNameBox + " [SwitchOn=]"},
            "N"},
        StartCase {
            "BlanksAreNames", 2, {"", " ", "\xE3\x80\x80", "", "", ""}, {"Text1?", "Text2?"}, "T"},
        StartCase {"AllFive",
                   5,
                   {"", "a", "b", "c", "d", "e"},
                   {"Text1?", "Text2?", "Text3?", "Text4?", "Text5?"},
                   "T"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(RuretTest, RefusedStartDuringASpinStopsItButLeavesTheLabelCyan)
{
    probeSwitchOn();
    startSpin(3);
    tick();
    tick();
    ASSERT_EQ(window.caption, "佐藤");

    window.names[2] = "";
    // The box is shown while the flag still says running; only its dismissal stops the spin.
    EXPECT_EQ(start(), (Log {"Text1?", "Text2?", "Text3?", MissingNameBox + " [SwitchOn=T]"}));
    EXPECT_EQ(ruret.SwitchOn(), "N");

    EXPECT_EQ(tick(),
              (Log {"Option2?", "Option3?", "Text3.Visible=true [SwitchOn=N]",
                    "Text4.Visible=false [SwitchOn=N]", "Text5.Visible=false [SwitchOn=N]"}));
    EXPECT_EQ(window.backColour, RunningColour);
    EXPECT_EQ(window.caption, "佐藤");
}

TEST_F(RuretTest, StartWhileRunningKeepsTheCycleGoing)
{
    startSpin(3);
    tick();
    tick();
    ASSERT_EQ(ruret.SpinIndex(), 2);

    start();
    EXPECT_EQ(ruret.SwitchOn(), "T");
    EXPECT_EQ(ruret.SpinIndex(), 2);
    EXPECT_EQ(tick(), (Log {Cyan, "Text2?", "Label3.Caption=鈴木"}));
}

TEST_F(RuretTest, EachNewSpinBeginsAtTheFirstName)
{
    startSpin(3);
    for (int i = 0; i < 3; ++i)
        tick();
    stop();
    tick();

    start();
    EXPECT_EQ(tick(), Log {Cyan});
    EXPECT_EQ(tick(), (Log {Cyan, "Text1?", "Label3.Caption=佐藤"}));
}

// ---- Stop ---------------------------------------------------------------------------------

TEST_F(RuretTest, StopFreezesTheLastNameShownAndThenPaintsRed)
{
    probeSwitchOn();
    startSpin(4);
    for (int i = 0; i < 4; ++i)
        tick();
    ASSERT_EQ(window.caption, "高橋");

    EXPECT_EQ(stop(), Log {Red + " [SwitchOn=N]"});
    EXPECT_EQ(ruret.SwitchOn(), "N");
    EXPECT_EQ(window.caption, "高橋");

    EXPECT_EQ(tick().front(), "Option2?") << "the tick after a stop is idle";
    EXPECT_EQ(window.backColour, StoppedColour) << "and does not repaint the label";
}

TEST_F(RuretTest, StopWhenNotRunningChangesNothing)
{
    EXPECT_EQ(stop(), Log {}) << "before the first start";
    EXPECT_EQ(ruret.SwitchOn(), "");

    startSpin(2);
    stop();
    EXPECT_EQ(stop(), Log {}) << "a second stop";

    window.names[1] = "";
    start();
    ASSERT_EQ(ruret.SwitchOn(), "N");
    EXPECT_EQ(stop(), Log {}) << "after a refused start";
}

// ---- Random use ---------------------------------------------------------------------------

TEST_F(RuretTest, InvariantsHoldUnderLongRandomUse)
{
    const unsigned seed = std::random_device {}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const std::string pool[] = {"", " ", "佐藤", "x", "ﾊﾞﾂ"};

    for (int step = 0; step < 200'000; ++step) {
        const bool wasRunning = ruret.isRunning();
        const int countBefore = ruret.Ninzuu();
        const int boxesBefore = window.messageBoxes;

        switch (std::uniform_int_distribution(0, 9)(rng)) {
        case 0:
            ruret.Ruret_Start();
            break;
        case 1:
            ruret.Ruret_Stop();
            break;
        case 2:
            window.optionOn = std::uniform_int_distribution(2, 5)(rng);
            break;
        case 3:
            window.names[std::uniform_int_distribution(1, 5)(rng)]
                = pool[std::uniform_int_distribution<std::size_t>(0, std::size(pool) - 1)(rng)];
            break;
        default:
            ruret.Ruret_Tick();
            break;
        }
        const Log ops = window.takeLog();

        ASSERT_GE(ruret.SpinIndex(), 0);
        ASSERT_LE(ruret.SpinIndex(), 5);
        const int count = ruret.Ninzuu();
        ASSERT_TRUE(count == 0 || (count >= 2 && count <= 5)) << count;
        ASSERT_TRUE(ruret.SwitchOn() == "" || ruret.SwitchOn() == "T" || ruret.SwitchOn() == "N");
        ASSERT_LE(window.messageBoxes - boxesBefore, 1);
        if (wasRunning) {
            ASSERT_EQ(count, countBefore) << "the count moved during a spin";
        }
        if (!ruret.isRunning() && !ops.empty() && ops.front() == "Option2?") {
            for (const std::string &op : ops)
                ASSERT_NE(op, Cyan) << "an idle tick painted the label";
        }
        if (ruret.isRunning()) {
            ASSERT_LE(ruret.SpinIndex(), count);
        }
    }
}

} // namespace
