#include "kazerimawindow.h"

#include "caption.h"
#include "kazerima_version.h"

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
{
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        m_fields[i] = design::control(design::nameField(static_cast<int>(i) + 1));
        m_names[i] = m_fields[i]->caption;
    }
    for (std::size_t i = 0; i < m_options.size(); ++i)
        m_options[i] = design::control(design::optionButton(static_cast<int>(i) + FirstCount));
    m_result = design::control(design::ResultLabel);
}

void KazerimaWindow::Ruret_Start()
{
    m_ruret.Ruret_Start();
}

void KazerimaWindow::Ruret_Stop()
{
    const bool picking = m_ruret.isRunning();
    m_ruret.Ruret_Stop();
    if (picking)
        announce(*m_result);
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
    setCaption(*m_result, shownCaption(caption));
}

void KazerimaWindow::setResultBackColour(Colour colour)
{
    setBackColour(*m_result, colour);
}

void KazerimaWindow::messageBox(const std::string &prompt, int style, const std::string &title)
{
    m_presentMessageBox({prompt, style, title});
}
