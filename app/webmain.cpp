#include "kazerima.h"

#include <emscripten/eventloop.h>

namespace {

Kazerima *window = nullptr;

} // namespace

// How many ticks the page has run, for a measurement to read from the page; none before the
// window is made, a task after main.
extern "C" __attribute__((used)) double kazerima_ticks()
{
    return window ? static_cast<double>(window->ticksRun()) : 0;
}

// The page's program: the window lives on after main returns, run by the page's own events.
// It is made in a task of its own: the task that calls main has readied the WebAssembly, which
// takes a slow phone's task most of the way to the 50 ms a tap may wait.
int main()
{
    emscripten_set_timeout(
        [](void *) {
            static Kazerima page;
            window = &page;
        },
        0, nullptr);
    return 0;
}
