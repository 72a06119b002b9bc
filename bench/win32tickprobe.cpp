// Runs the Windows window for a while, idle or spinning, and prints the rate its timer really
// ticked at, the spread of the intervals and the process's CPU. make bench runs it under Wine.
//
//     win32tickprobe idle|spin SECONDS
//       -> rate=200.0 p50=5.000 p99=5.200 max=7.100 cpu=3.10

#include "kazerima.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

double now(const LARGE_INTEGER &frequency)
{
    LARGE_INTEGER counter;
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

} // namespace

extern "C" int wmain(int argc, wchar_t **argv)
{
    const bool spin = argc > 1 && std::wcscmp(argv[1], L"spin") == 0;
    const int seconds = argc > 2 ? _wtoi(argv[2]) : 10;

    Kazerima window(GetModuleHandleW(nullptr));
    window.show(SW_SHOWNOACTIVATE);

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> ticks;
    ticks.reserve(std::size_t(seconds) * 250);
    const double start = now(frequency);
    const double cpuStart = cpuMs();
    runMessageLoop(window, [&] {
        // From the first tick on, which has set the count.
        if (spin && !window.roulette().isRunning())
            window.Ruret_Start();
        ticks.push_back(now(frequency));
        if (ticks.back() - start >= seconds * 1000.0)
            DestroyWindow(window.hwnd());
    });
    const double cpu = 100.0 * (cpuMs() - cpuStart) / (ticks.back() - start);

    std::vector<double> gaps;
    for (std::size_t i = 1; i < ticks.size(); ++i)
        gaps.push_back(ticks[i] - ticks[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    const auto at = [&](double q) { return gaps[std::size_t(q * double(gaps.size() - 1))]; };
    std::printf("rate=%.1f p50=%.3f p99=%.3f max=%.3f cpu=%.2f\n",
                1000.0 * double(gaps.size()) / (ticks.back() - ticks.front()), at(0.5), at(0.99),
                gaps.back(), cpu);
    return 0;
}
