// The page's start, from its first bytes to the program's first frame.
#include "kazerima.h"
#include "keptform.h"

#include <functional>
#include <vector>

Kazerima::Kazerima()
    : KazerimaWindow(FrameScheduler::Idle::AfterChange)
{
    // A slow phone takes a tenth of a second and more to take the page's window over: in steps,
    // so that it stays drawn and answers meanwhile. A press until the program runs is kept by
    // the page's first script, as before the program came.
    std::vector<std::function<void()>> steps {[this] { createWindow(); }};
    createControls(steps, {});
    steps.emplace_back([this] { createMenuBar(); });
    steps.emplace_back([this] { m_box.emplace(); });
    steps.emplace_back([this] { start(); });
    page::runInTasks(std::move(steps));
}

void Kazerima::start()
{
    keptform::restore(m_elements);
    for (const auto &[design, element] : m_elements) {
        if (design->kind == design::Kind::TextBox)
            edited(*design);
    }
    setMessageBoxPresenter([this](const MessageBoxRequest &request) { presentBox(request); });
    page::setEventHandler([this](page::Element element, const page::Event &event) {
        return handleEvent(element, event);
    });

    // The window is laid out with the first frame, once, rather than as soon as it is asked
    // where anything is; the load step runs then, and Timer1 from then on, with the frames.
    page::setFrameHandler([this](double time) { animationFrame(time); });
    page::requestFrame();
}

// A tick runs inside the frame whose paint shows it: every name in the box is one the screen
// presented, and a Stop, which runs no tick, freezes the one in view. The browser hands pending
// input to the page before its frames, so none is waiting when a frame comes.
void Kazerima::animationFrame(double time)
{
    const bool first = !m_shown;
    if (first) {
        m_shown = true;
        fitToViewport();
        runLoadStep();
    }
    if (frame(time))
        ++m_ticksRun;
    // A button pressed before the program ran acts once the first tick has taken the count in:
    // a Start is not lost.
    if (const auto pressed = first ? page::earlyPress() : std::nullopt)
        if (const design::Control *button = design::control(*pressed))
            activate(*button);
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
