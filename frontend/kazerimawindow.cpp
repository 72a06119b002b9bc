#include "kazerimawindow.h"

void KazerimaWindow::Ruret_Start()
{
    m_ruret.Ruret_Start();
}

void KazerimaWindow::Ruret_Stop()
{
    const bool picking = m_ruret.isRunning();
    m_ruret.Ruret_Stop();
    if (picking)
        announcePick();
}

void KazerimaWindow::runCommand(design::Command command)
{
    switch (command) {
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

void KazerimaWindow::messageBox(const std::string &prompt, int style, const std::string &title)
{
    m_presentMessageBox({prompt, style, title});
}
