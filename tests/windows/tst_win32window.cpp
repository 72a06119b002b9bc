// The Windows window on a real message queue, under Wine, with its own frame clock: the test
// stands in for the display and says when each frame comes, so that what comes first in the
// queue is the test's to say.

#include "kazerima.h"
#include "text.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

// A display whose frames the test deals. Each wait lasts a frame at least, as a display's does,
// so the clock takes it for a real one and every frame may carry a tick.
class DealtVBlank final : public VBlankSource
{
public:
    struct Deck
    {
        HANDLE dealt = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        HANDLE closed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        ~Deck()
        {
            CloseHandle(dealt);
            CloseHandle(closed);
        }
    };

    explicit DealtVBlank(std::shared_ptr<Deck> deck)
        : m_deck(std::move(deck))
    { }

    bool wait() override
    {
        const ULONGLONG began = GetTickCount64();
        const HANDLE handles[] = {m_deck->dealt, m_deck->closed};
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0)
            return false;
        const ULONGLONG waited = GetTickCount64() - began;
        if (waited < FrameMs)
            Sleep(DWORD(FrameMs - waited));
        return true;
    }
    Grid grid() override { return {0, FrameMs * 10'000}; }

private:
    static constexpr ULONGLONG FrameMs = 20;
    std::shared_ptr<Deck> m_deck;
};

// A key going down or up, queued to the window that has the focus.
void keyEvent(WORD key, DWORD flags)
{
    INPUT input {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    ASSERT_EQ(SendInput(1, &input, sizeof input), 1U);
}

void pressKey(WORD key)
{
    keyEvent(key, 0);
    keyEvent(key, KEYEVENTF_KEYUP);
}

class Win32Window : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.show(SW_SHOWNORMAL);
        SetForegroundWindow(window.hwnd());
        handleAll();
        frame(); // the load step's idle tick, after which the clock sleeps
        ASSERT_FALSE(window.frameClock().isActive());
    }
    ~Win32Window() override { SetEvent(deck->closed); }

    // Handles what the queue holds, as the program's message loop does, then returns.
    void handleAll()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            handleMessage(window, message);
    }

    // The display's next frame, which the clock posts; false if no frame came, as when the clock
    // sleeps.
    bool queueFrame()
    {
        SetEvent(deck->dealt);
        for (const ULONGLONG end = GetTickCount64() + 10'000; GetTickCount64() < end;) {
            MSG message;
            if (PeekMessageW(&message, window.hwnd(), FrameClock::FrameMessage,
                             FrameClock::FrameMessage, PM_NOREMOVE))
                return true;
            Sleep(1);
        }
        ResetEvent(deck->dealt);
        return false;
    }
    void frame()
    {
        ASSERT_TRUE(queueFrame()) << "no frame came: the clock sleeps";
        handleAll();
    }

    std::wstring windowText(std::string_view control) const
    {
        HWND hwnd = window.control(control);
        std::wstring text(std::size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
        text.resize(std::size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
        return text;
    }

    void chooseTwo()
    {
        SendMessageW(window.control("Option2"), BM_CLICK, 0, 0);
        frame();
    }
    void startSpinning()
    {
        SendMessageW(window.control("Command1"), BM_CLICK, 0, 0);
        frame();
        frame();
        ASSERT_TRUE(window.roulette().isRunning());
    }

    std::shared_ptr<DealtVBlank::Deck> deck = std::make_shared<DealtVBlank::Deck>();
    Kazerima window {GetModuleHandleW(nullptr), std::make_unique<DealtVBlank>(deck)};
};

// Windows queues posted messages before input, so a frame and a key waiting together would
// reach the window in that order; the key is handled first all the same, and ストップ freezes
// the name that was on screen when it was pressed. A screen reader is told that name.
TEST_F(Win32Window, AKeyQueuedWithADueFrameStopsTheNameOnScreen)
{
    chooseTwo();
    startSpinning();
    const std::string onScreen = window.resultCaption();
    ASSERT_EQ(toWide(onScreen), windowText("Text1"));

    SetFocus(window.control("Command2"));
    handleAll();
    pressKey(VK_RETURN);
    ASSERT_TRUE(queueFrame());
    ASSERT_NE(HIWORD(GetQueueStatus(QS_INPUT)), 0) << "the key is not waiting with the frame";
    handleAll();

    EXPECT_FALSE(window.roulette().isRunning());
    EXPECT_EQ(window.resultCaption(), onScreen);
    EXPECT_EQ(windowText("Label3"), toWide(onScreen));
}

// A menu posts the command chosen in it, after the keys that chose it: the frame's tick that
// waited for the keys waits for that too, and ストップ chosen from the menu freezes the name that
// was on screen.
TEST_F(Win32Window, StopChosenFromTheMenuWithADueFrameStopsTheNameOnScreen)
{
    chooseTwo();
    startSpinning();
    const std::string onScreen = window.resultCaption();

    // F10 opens the menu bar, Down its first menu, Down again moves to ストップ, Return chooses it
    // as it goes down, and the menu is gone before it comes up.
    for (WORD key : {VK_F10, VK_DOWN, VK_DOWN})
        pressKey(key);
    keyEvent(VK_RETURN, 0);
    ASSERT_TRUE(queueFrame());
    handleAll();

    EXPECT_FALSE(window.roulette().isRunning());
    EXPECT_EQ(window.resultCaption(), onScreen);
    keyEvent(VK_RETURN, KEYEVENTF_KEYUP);
    handleAll();
}

// The frame's tick waits for the key, and runs as soon as the key is handled: the next name
// shows then, not a frame later.
TEST_F(Win32Window, ATickHeldForAKeyThatLeavesTheSpinGoingRunsOnceTheKeyIsHandled)
{
    chooseTwo();
    startSpinning();
    ASSERT_EQ(toWide(window.resultCaption()), windowText("Text1"));

    pressKey(VK_SHIFT);
    ASSERT_TRUE(queueFrame());
    ASSERT_NE(HIWORD(GetQueueStatus(QS_INPUT)), 0) << "the key is not waiting with the frame";
    handleAll();

    EXPECT_TRUE(window.roulette().isRunning());
    EXPECT_EQ(toWide(window.resultCaption()), windowText("Text2"));
}

// Every way a count button is turned on wakes the sleeping clock, and the idle tick that follows
// shows the fields of that count. The arrow keys move among the buttons as drawn, 2人 at the top,
// and wrap around at both ends.
struct CountCase
{
    const char *name;
    const char *focused; // the button focused, and on, before
    void (*turn)(HWND target);
    const char *target; // the button turned on
};

template<WORD key> void press(HWND)
{
    pressKey(key);
}

DWORD WINAPI checkFromOutside(void *button)
{
    SendMessageW(static_cast<HWND>(button), BM_SETCHECK, BST_CHECKED, 0);
    return 0;
}

const CountCase countCases[] = {
    {"Space", "Option2",
     [](HWND target) {
         SetFocus(target);
         pressKey(VK_SPACE);
     },
     "Option4"},
    {"DownToTheOneBelow", "Option2", press<VK_DOWN>, "Option3"},
    {"RightToTheOneBelow", "Option4", press<VK_RIGHT>, "Option5"},
    {"UpToTheOneAbove", "Option4", press<VK_UP>, "Option3"},
    {"LeftToTheOneAbove", "Option3", press<VK_LEFT>, "Option2"},
    {"DownFromTheLastWrapsToTheFirst", "Option5", press<VK_DOWN>, "Option2"},
    {"UpFromTheFirstWrapsToTheLast", "Option2", press<VK_UP>, "Option5"},
    // What an assistive technology does: the button's default action...
    {"Click", "Option5", [](HWND target) { SendMessageW(target, BM_CLICK, 0, 0); }, "Option3"},
    // ...or the check set from another program, which notifies nobody.
    {"CheckSetFromOutside", "Option5",
     [](HWND target) {
         HANDLE other = CreateThread(nullptr, 0, checkFromOutside, target, 0, nullptr);
         // Its message is handled as this thread waits for it.
         MSG message;
         while (MsgWaitForMultipleObjects(1, &other, FALSE, INFINITE, QS_SENDMESSAGE)
                != WAIT_OBJECT_0)
             PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
         CloseHandle(other);
     },
     "Option2"},
};

// One window for every way, each from where the one before left it: under Wine without a window
// manager, closing a window takes two seconds.
TEST_F(Win32Window, ACountButtonTurnedOnAnyWayTakesEffect)
{
    for (const CountCase &row : countCases) {
        SCOPED_TRACE(row.name);
        HWND focused = window.control(row.focused);
        SendMessageW(focused, BM_CLICK, 0, 0);
        SetFocus(focused);
        frame();
        ASSERT_FALSE(window.frameClock().isActive());

        row.turn(window.control(row.target));
        handleAll();
        frame();

        for (int count = 2; count <= 5; ++count) {
            const std::string option = design::optionButton(count);
            EXPECT_EQ(SendMessageW(window.control(option), BM_GETCHECK, 0, 0) == BST_CHECKED,
                      option == row.target)
                << option;
        }
        const int count = row.target[6] - '0';
        for (int slot = 3; slot <= 5; ++slot) {
            const std::string field = design::nameField(slot);
            EXPECT_EQ(IsWindowVisible(window.control(field)) != FALSE, slot <= count) << field;
        }
        EXPECT_FALSE(window.frameClock().isActive()) << "the clock did not sleep again";
    }
}

} // namespace
