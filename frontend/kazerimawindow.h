#pragma once

#include "design.h"
#include "ruret.h"

#include <functional>
#include <string>

// A box the window is to show, in UTF-8 as the roulette or the version item hands it over.
struct MessageBoxRequest
{
    std::string prompt;
    int style = MsgBoxOkOnly; // or MsgBoxCritical
    std::string title; // empty: the box bears the application's title
};

// Shows a box. On the desktop it returns once the box is dismissed; a page cannot wait, so it
// returns at once, and keeps ticks and input from the window until the box is dismissed.
// The window takes any presenter, so a test can watch what would be shown without a modal
// loop blocking it.
using MessageBoxPresenter = std::function<void(const MessageBoxRequest &request)>;

// What the program's one window does alike on every toolkit. It owns the roulette and lends
// itself to it as RuretControls; the buttons and the menu items both come through Ruret_Start
// and Ruret_Stop, so they always behave alike; a Stop that picks a name has it announced; the
// menu's commands and the boxes are handled here. A front-end implements the control
// operations and announcePick() over its own widgets, and forwards its events here.
class KazerimaWindow : public RuretControls
{
public:
    KazerimaWindow() = default;
    KazerimaWindow(const KazerimaWindow &) = delete;
    KazerimaWindow &operator=(const KazerimaWindow &) = delete;

    void Ruret_Start();
    void Ruret_Stop();
    // One tick of Timer1.
    void tick() { m_ruret.Ruret_Tick(); }
    void runCommand(design::Command command);

    const Ruret &roulette() const { return m_ruret; }
    void setMessageBoxPresenter(MessageBoxPresenter presenter);

protected:
    ~KazerimaWindow() override = default;

    // Tells assistive technology the name in the result box, once, when a Stop has picked it:
    // the caption changes with every frame while spinning, which no one could listen to.
    virtual void announcePick() = 0;

private:
    void messageBox(const std::string &prompt, int style, const std::string &title) final;

    MessageBoxPresenter m_presentMessageBox;
    Ruret m_ruret {*this};
};
