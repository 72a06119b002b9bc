#include "kazerimawindow.h"

#include "caption.h"
#include "kazerima_version.h"

#include <algorithm>

namespace {

constexpr int FirstCount = 2;

} // namespace

std::string MessageBoxRequest::shownTitle() const
{
    return title.empty() ? KAZERIMA_NAME : title;
}

std::string MessageBoxRequest::shownPrompt() const
{
    std::string shown;
    for (std::size_t i = 0; i < prompt.size(); ++i) {
        shown += prompt[i];
        if (prompt.compare(i, 2, "\n\r") == 0)
            ++i; // the CR of the pair
    }
    return shown;
}

KazerimaWindow::KazerimaWindow()
    : m_scheduler(design::TimerIntervalMs)
{
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        m_fields[i] = design::control(design::nameField(static_cast<int>(i) + 1));
        m_names[i] = m_fields[i]->caption;
    }
    for (std::size_t i = 0; i < m_options.size(); ++i)
        m_options[i] = design::control(design::optionButton(static_cast<int>(i) + FirstCount));
    m_result = design::control(design::ResultLabel);
    m_resultCaption = shownCaption(m_result->caption);
    m_resultColour = m_result->background;
}

void KazerimaWindow::runLoadStep()
{
    focus(*design::control(design::StartButton));
    m_timerStarted = true;
    m_scheduler.changed(); // the first idle tick takes in the count that is on
    followFrames();
}

std::string_view
KazerimaWindow::nextTabStop(std::string_view from, bool forward,
                            const std::function<bool(std::string_view)> &canTakeFocus)
{
    const auto on = std::find_if(m_options.begin(), m_options.end(),
                                 [this](const design::Control *option) { return isOn(*option); });
    return design::nextTabStop(
        from, forward, (on == m_options.end() ? m_options.front() : *on)->name, canTakeFocus);
}

bool KazerimaWindow::frame(double timeMs, bool inputWaiting)
{
    const bool ticks = m_scheduler.frame(timeMs, inputWaiting);
    if (ticks)
        tick();
    followFrames();
    return ticks;
}

void KazerimaWindow::inputHandled()
{
    if (m_scheduler.inputHandled())
        tick();
    followFrames();
}

void KazerimaWindow::changed()
{
    m_scheduler.changed();
    followFrames();
}

void KazerimaWindow::pauseForBox()
{
    m_scheduler.pause();
    followFrames();
}

void KazerimaWindow::boxDismissed()
{
    m_scheduler.resume();
    followFrames();
}

// Told only when it changes: a page asks for each frame anew, and a desktop's clock runs on.
void KazerimaWindow::followFrames()
{
    const bool wanted = m_timerStarted && m_scheduler.wantsFrames(m_ruret.isRunning());
    if (wanted == m_framesRunning)
        return;
    m_framesRunning = wanted;
    runFrames(wanted);
}

// A spin begun asks for the frames; a spin ended owes the idle tick that sets the cursor back and
// takes in a count chosen meanwhile.
void KazerimaWindow::Ruret_Start()
{
    const bool spinning = m_ruret.isRunning();
    m_ruret.Ruret_Start();
    if (m_ruret.isRunning() != spinning)
        changed();
}

void KazerimaWindow::Ruret_Stop()
{
    const bool picking = m_ruret.isRunning();
    m_ruret.Ruret_Stop();
    if (picking) {
        announce(*m_result);
        changed();
    }
}

void KazerimaWindow::activate(const design::Control &control)
{
    runCommand(control.command);
}

void KazerimaWindow::activate(const design::MenuItem &item)
{
    runCommand(item.command);
}

void KazerimaWindow::edited(const design::Control &field)
{
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i] == &field)
            m_names[i] = fieldText(field);
    }
}

void KazerimaWindow::runCommand(design::Command command)
{
    switch (command) {
    case design::Command::None:
        return;
    case design::Command::Start:
        return Ruret_Start();
    case design::Command::Stop:
        return Ruret_Stop();
    case design::Command::Version:
        // Built afresh on each click; no title of its own, so it bears the application's.
        return m_presentMessageBox({design::versionText(), MsgBoxOkOnly, {}});
    }
}

void KazerimaWindow::setMessageBoxPresenter(MessageBoxPresenter presenter)
{
    m_presentMessageBox = std::move(presenter);
}

std::string KazerimaWindow::nameText(int slot)
{
    return m_names.at(static_cast<std::size_t>(slot - 1));
}

void KazerimaWindow::setNameVisible(int slot, bool visible)
{
    setShown(*m_fields.at(static_cast<std::size_t>(slot - 1)), visible);
}

bool KazerimaWindow::optionValue(int count)
{
    return isOn(*m_options.at(static_cast<std::size_t>(count - FirstCount)));
}

void KazerimaWindow::setResultCaption(const std::string &caption)
{
    const std::string_view shown = shownCaption(caption);
    if (shown == m_resultCaption)
        return;
    m_resultCaption = shown;
    setCaption(*m_result, m_resultCaption);
}

void KazerimaWindow::setResultBackColour(Colour colour)
{
    if (colour == m_resultColour)
        return;
    m_resultColour = colour;
    setBackColour(*m_result, colour);
}

void KazerimaWindow::messageBox(const std::string &prompt, int style, const std::string &title)
{
    m_presentMessageBox({prompt, style, title});
}
