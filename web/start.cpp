// The page's start, in the order it happens. A guest may tap スタート the moment the window
// appears, on a phone that takes a good part of a second to get the program going: every press
// counts from the first frame drawn, once, as soon as the program can act on it.
//
// 1. The page's first bytes draw the window: index.html holds it as this program made it when
//    the page was built (prerender.mjs), with its style sheet and faces, and the CSS fits it to
//    the viewport. The page's first script (start.js) keeps every event of the kinds the program
//    listens to, in order, from then on.
// 2. The program's script arrives, deferred; main (webmain.cpp) makes this window in a task after
//    the one that readies the WebAssembly.
// 3. The take-over (Kazerima(), below): the window's elements are taken over from the markup in
//    steps, a few to a task, so that a slow phone stays drawn and answers between them. Each is
//    found where the program would make it, by its design name where it has one (page::create),
//    and takes its listeners, which leave every event to the first script meanwhile. A name typed
//    or a count chosen meanwhile stays; the form a reload left comes back where none was.
// 4. The first frame (firstFrame): the window is fitted to the viewport, the load step runs (the
//    focus on スタート, Timer1 from now on) and the frame's tick, the first, takes the count in.
// 5. Ready, the program takes the events (page::takeEvents): first those kept, in the order they
//    came, each as it would have reached the program then; then each as it comes. A press and
//    its release reach the program by the same rule, whichever side of this moment each falls:
//    a finger put down on スタート before it and lifted after starts the spin at the press, and
//    the click of its release does nothing more, as any finger's.
#include "kazerima.h"
#include "keptform.h"

#include <functional>
#include <vector>

Kazerima::Kazerima()
{
    std::vector<std::function<void()>> steps {[this] { createWindow(); }};
    createControls(steps, {});
    steps.emplace_back([this] { createMenuBar(); });
    steps.emplace_back([this] { m_box.emplace(); });
    steps.emplace_back([this] { start(); });
    page::runInTasks(std::move(steps));
}

// The window made, what it shows is the program's, and it waits for its first frame.
void Kazerima::start()
{
    keptform::restore(m_elements);
    for (const auto &[design, element] : m_elements) {
        if (design->kind == design::Kind::TextBox)
            edited(*design);
    }
    setMessageBoxPresenter([this](const MessageBoxRequest &request) { presentBox(request); });
    // The window is laid out with the first frame, once, rather than as soon as it is asked
    // where anything is.
    page::setFrameHandler([this](double time) { animationFrame(time); });
    page::requestFrame();
}

void Kazerima::firstFrame(double time)
{
    fitToViewport();
    runLoadStep();
    if (frame(time))
        ++m_ticksRun;
    page::takeEvents([this](page::Element element, const page::Event &event) {
        return handleEvent(element, event);
    });
}

// A tick runs inside the frame whose paint shows it: every name in the box is one the screen
// presented, and a Stop, which runs no tick, freezes the one in view. The browser hands pending
// input to the page before its frames, so none is waiting when a frame comes.
void Kazerima::animationFrame(double time)
{
    if (!m_shown) {
        m_shown = true;
        firstFrame(time);
    } else if (frame(time)) {
        ++m_ticksRun;
    }
    if (m_framesWanted)
        page::requestFrame();
}

// A spin asks for every frame; idle, a frame comes after each event, and nothing wakes a phone
// while nothing changes.
void Kazerima::runFrames(bool run)
{
    m_framesWanted = run;
    if (run)
        page::requestFrame();
}
