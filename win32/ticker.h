#pragma once

#include <windows.h>

// A periodic timer for the window's own thread, waited on by the message loop. SetTimer cannot
// tick every 5 ms: Windows clamps it to 10 ms and rounds it up to the 15.6 ms system clock,
// about 64 ticks a second. A high-resolution waitable timer keeps the period; before
// Windows 10 1803, which lacks them, a plain waitable timer with the system clock raised to
// 1 ms stands in.
class Ticker
{
public:
    Ticker();
    ~Ticker();
    Ticker(const Ticker &) = delete;
    Ticker &operator=(const Ticker &) = delete;

    void start(int intervalMs);
    void stop();
    bool isActive() const { return m_active; }
    int interval() const { return m_intervalMs; }

    // Signalled once a period while active; the message loop waits on it.
    HANDLE handle() const { return m_timer; }

private:
    HANDLE m_timer = nullptr;
    bool m_raisedClock = false;
    bool m_active = false;
    int m_intervalMs = 0;
};
