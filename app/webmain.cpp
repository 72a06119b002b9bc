#include "kazerima.h"

namespace {

Kazerima *window = nullptr;

} // namespace

// How many ticks the page has run, for a measurement to read from the page.
extern "C" __attribute__((used)) double kazerima_ticks()
{
    return static_cast<double>(window->ticksRun());
}

// The page's program: the window lives on after main returns, run by the page's own events.
int main()
{
    static Kazerima page;
    window = &page;
    return 0;
}
