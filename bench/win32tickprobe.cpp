// Spins the Windows window for a while and prints the rate its timer really ticked at, the
// spread of the intervals, the process's CPU and the result box's paints per tick. make bench
// runs it under Wine. Idle, the window has no ticks to count: bench/windows.sh counts its
// wake-ups from outside.
//
//     win32tickprobe spin|menu SECONDS
//       -> rate=60.0 p50=16.667 p99=16.900 max=18.100 cpu=3.10 paints_per_tick=1.00
//
// "menu" spins with the window's first menu held open for the whole run, in the system's own
// menu loop, as a player holding メニュー open would.

#include "kazerima.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

constexpr UINT OpenMenuMessage = WM_APP + 100;

enum class Mode { Spin, Menu };

double now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * double(counter.QuadPart) / double(frequency.QuadPart);
}

double cpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ms = [](const FILETIME &time) {
        return double((ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10'000.0;
    };
    return ms(kernel) + ms(user);
}

// The probe watches the window's messages from in front of its own window procedure, so that
// it sees every frame, whichever loop dispatched it.
struct Probe
{
    Kazerima *window = nullptr;
    WNDPROC windowProc = nullptr;
    WNDPROC resultProc = nullptr;
    int paints = 0; // of the result box
    Mode mode = Mode::Spin;
    double seconds = 10;
    double start = 0;
    std::vector<double> ticks;
    bool menuOpened = false;
    bool done = false; // the window is going
};
Probe probe;

LRESULT CALLBACK watch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == OpenMenuMessage) {
        // The menu loop dispatches this timer's message too, and ends the menu at the deadline.
        SetTimer(nullptr, 0, UINT(probe.seconds * 1000),
                 [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
        POINT at {0, 0};
        ClientToScreen(hwnd, &at);
        TrackPopupMenu(GetSubMenu(GetMenu(hwnd), 0), TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0,
                       hwnd, nullptr);
        probe.done = true;
        DestroyWindow(hwnd);
        return 0;
    }
    const LRESULT result = CallWindowProcW(probe.windowProc, hwnd, message, wParam, lParam);
    if (message != FrameClock::FrameMessage)
        return result;
    probe.ticks.push_back(now());
    if (probe.mode == Mode::Menu && !probe.menuOpened && probe.window->roulette().isRunning()) {
        probe.menuOpened = true;
        PostMessageW(hwnd, OpenMenuMessage, 0, 0);
    } else if (probe.mode != Mode::Menu
               && probe.ticks.back() - probe.start >= probe.seconds * 1000) {
        probe.done = true;
        DestroyWindow(hwnd);
    }
    return result;
}

LRESULT CALLBACK watchResult(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        ++probe.paints;
    return CallWindowProcW(probe.resultProc, hwnd, message, wParam, lParam);
}

} // namespace

extern "C" int wmain(int argc, wchar_t **argv)
{
    probe.mode = argc > 1 && argv[1] == std::wstring(L"menu") ? Mode::Menu : Mode::Spin;
    probe.seconds = argc > 2 ? _wtoi(argv[2]) : 10;

    Kazerima window(GetModuleHandleW(nullptr));
    probe.window = &window;
    probe.windowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watch)));
    probe.resultProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        window.control("Label3"), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchResult)));
    probe.ticks.reserve(std::size_t(probe.seconds) * 250);
    window.show(SW_SHOWNOACTIVATE);
    probe.start = now();
    const double cpuStart = cpuMs();
    // The program's own loop, which starts the spin as soon as the load step's idle tick has set
    // the count (a start before does nothing); idle, the window has no frame to start it from.
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        handleMessage(window, message);
        if (!probe.done && !window.roulette().isRunning())
            window.Ruret_Start();
    }

    const auto &ticks = probe.ticks;
    const double cpu = 100.0 * (cpuMs() - cpuStart) / (ticks.back() - probe.start);
    std::vector<double> gaps;
    for (std::size_t i = 1; i < ticks.size(); ++i)
        gaps.push_back(ticks[i] - ticks[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    const auto at = [&](double q) { return gaps[std::size_t(q * double(gaps.size() - 1))]; };
    std::printf("rate=%.1f p50=%.3f p99=%.3f max=%.3f cpu=%.2f paints_per_tick=%.2f\n",
                1000.0 * double(gaps.size()) / (ticks.back() - ticks.front()), at(0.5), at(0.99),
                gaps.back(), cpu, double(probe.paints) / double(ticks.size()));
    return 0;
}
