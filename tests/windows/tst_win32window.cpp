// The Windows window on a real message queue, under Wine: the window's own clock is held, and
// the test deals out the frames, so that what comes first in the queue is the test's to say.

#include "kazerima.h"
#include "text.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Frames the test posts carry this mark; the clock's own are dropped unacknowledged, after
// which it posts no more.
constexpr WPARAM DealtFrame = 1;
WNDPROC windowProc = nullptr;

LRESULT CALLBACK dealtFramesOnly(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == FrameClock::FrameMessage && wParam != DealtFrame)
        return 0;
    return CallWindowProcW(windowProc, hwnd, message, wParam, lParam);
}

class Win32Window : public ::testing::Test
{
protected:
    void SetUp() override
    {
        windowProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            window.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(dealtFramesOnly)));
        window.show(SW_SHOWNORMAL);
        SetForegroundWindow(window.hwnd());
        handleAll();
    }

    // Handles what the queue holds, as the program's message loop does, then returns.
    void handleAll()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            handleMessage(window, message);
    }

    // A frame of the screen, far enough from the last that it carries a tick.
    void queueFrame()
    {
        frameUnits += 200'000; // 20 ms
        PostMessageW(window.hwnd(), FrameClock::FrameMessage, DealtFrame, frameUnits);
    }
    void frame()
    {
        queueFrame();
        handleAll();
    }

    std::wstring windowText(std::string_view control) const
    {
        HWND hwnd = window.control(control);
        std::wstring text(std::size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
        text.resize(std::size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
        return text;
    }

    Kazerima window {GetModuleHandleW(nullptr)};
    LPARAM frameUnits = 0;
};

// Windows queues posted messages before input, so a frame and a key waiting together would
// reach the window in that order; the key is handled first all the same, and ストップ freezes
// the name that was on screen when it was pressed. A screen reader is told that name.
TEST_F(Win32Window, AKeyQueuedWithADueFrameStopsTheNameOnScreen)
{
    SendMessageW(window.control("Option2"), BM_CLICK, 0, 0);
    frame();
    SendMessageW(window.control("Command1"), BM_CLICK, 0, 0);
    frame();
    frame();
    ASSERT_TRUE(window.roulette().isRunning());
    const std::string onScreen = window.resultCaption();
    ASSERT_EQ(toWide(onScreen), windowText("Text1"));

    SetFocus(window.control("Command2"));
    handleAll();
    INPUT keys[2] {};
    for (INPUT &key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = VK_RETURN;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, keys, sizeof *keys), 2U);
    queueFrame();
    ASSERT_NE(HIWORD(GetQueueStatus(QS_INPUT)), 0) << "the key is not waiting with the frame";
    handleAll();

    EXPECT_FALSE(window.roulette().isRunning());
    EXPECT_EQ(window.resultCaption(), onScreen);
    EXPECT_EQ(windowText("Label3"), toWide(onScreen));
}

} // namespace
