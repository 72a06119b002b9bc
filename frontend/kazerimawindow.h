#pragma once

#include "design.h"
#include "framescheduler.h"
#include "ruret.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

// A box the window is to show, in UTF-8 as the roulette or the version item hands it over.
struct MessageBoxRequest
{
    std::string prompt; // as built: the version text breaks its lines with LF then CR
    int style = MsgBoxOkOnly; // or MsgBoxCritical
    std::string title; // empty: the box bears the application's title

    // What every box shows: its title, never empty, and its prompt with the CR of each LF CR
    // dropped, so that the pair breaks the line once ('\n').
    std::string shownTitle() const;
    std::string shownPrompt() const;
};

// Shows a box. On the desktop it returns once the box is dismissed; a page cannot wait, so it
// returns at once, keeps input from the window, and pauses the ticks (pauseForBox) until the
// box is dismissed.
// The window takes any presenter, so a test can watch what would be shown without a modal
// loop blocking it.
using MessageBoxPresenter = std::function<void(const MessageBoxRequest &request)>;

// The program's one window, as every toolkit has it. It owns the roulette and lends itself to
// it as RuretControls, written here once over a handful of primitive calls that each front-end
// implements on its widgets, each keyed by the design's control (the gate, below). A front-end
// builds its widgets from the design and forwards what happens to them: a control or a menu
// item activated, a name edited, a frame of the screen, whose tick is decided here
// (FrameScheduler). Buttons, menu items and keys thus reach Ruret_Start and Ruret_Stop one way;
// a Stop that picks a name has it announced; the version item's box and the missing-name box go
// to the presenter.
class KazerimaWindow : public RuretControls
{
public:
    KazerimaWindow(const KazerimaWindow &) = delete;
    KazerimaWindow &operator=(const KazerimaWindow &) = delete;

    void Ruret_Start();
    void Ruret_Stop();
    // One tick of Timer1, whatever the frames.
    void tick() { m_ruret.Ruret_Tick(); }

    // A frame the screen presents, at timeMs on any steady clock in milliseconds, with or
    // without input waiting that came before it and that the front-end has not yet handled;
    // it ticks if the frame scheduler says so. Whether it did.
    bool frame(double timeMs, bool inputWaiting = false);
    // The input that was waiting when a frame came is handled.
    void inputHandled();
    // Something an idle tick takes in may have changed, a count button above all: idle, the
    // window ticks only then.
    void changed();
    // A box that did not wait for its dismissal (a page's) pauses the ticks until it is
    // dismissed.
    void pauseForBox();
    void boxDismissed();
    bool boxOpen() const { return m_scheduler.paused(); }

    // A push button clicked, or pressed with a key; a menu item chosen.
    void activate(const design::Control &control);
    void activate(const design::MenuItem &item);
    // A name field's text changed, by the user or otherwise.
    void edited(const design::Control &field);

    const Ruret &roulette() const { return m_ruret; }
    // What the result box shows.
    const std::string &resultCaption() const { return m_resultCaption; }
    void setMessageBoxPresenter(MessageBoxPresenter presenter);

protected:
    KazerimaWindow();
    ~KazerimaWindow() override = default;

    // The load step: the focus on スタート, and Timer1 from now on.
    void runLoadStep();
    // Where Tab (forward) or Shift+Tab moves the focus from the control named `from` (empty:
    // none has it), passing over those that cannot take focus now: the count buttons are one
    // stop, entered at the one that is on. Empty when none can.
    std::string_view nextTabStop(std::string_view from, bool forward,
                                 const std::function<bool(std::string_view)> &canTakeFocus);

    // The gate. Texts are UTF-8; a caption comes already cut to what the box shows, and only
    // when it differs from the one shown, as does a colour.
    virtual std::string fieldText(const design::Control &field) = 0;
    virtual void setShown(const design::Control &control, bool shown) = 0;
    virtual bool isOn(const design::Control &option) = 0;
    virtual void setCaption(const design::Control &label, std::string_view caption) = 0;
    virtual void setBackColour(const design::Control &label, Colour colour) = 0;
    // Tells assistive technology the label's caption, once, when a Stop has picked it: the
    // caption changes with every frame while spinning, which no one could listen to.
    virtual void announce(const design::Control &label) = 0;
    // Starts or stops the frames the front-end reports.
    virtual void runFrames(bool run) = 0;
    // Gives the control the keyboard focus; the page is not scrolled to it.
    virtual void focus(const design::Control &control) = 0;

private:
    void runCommand(design::Command command);
    void followFrames();

    // RuretControls, over the gate
    std::string nameText(int slot) final;
    void setNameVisible(int slot, bool visible) final;
    bool optionValue(int count) final;
    void setResultCaption(const std::string &caption) final;
    void setResultBackColour(Colour colour) final;
    void messageBox(const std::string &prompt, int style, const std::string &title) final;

    std::array<const design::Control *, 5> m_fields {}; // Text1 .. Text5, slots 1 to 5
    std::array<const design::Control *, 4> m_options {}; // Option2 .. Option5, counts 2 to 5
    const design::Control *m_result = nullptr; // Label3
    // Each field's text as last edited: a spin reads the same names with every frame, and
    // fetching and converting a pasted 100,000-character name each time would cost a good
    // part of a millisecond.
    std::array<std::string, 5> m_names;
    // The result box as shown: a tick that changes neither repaints nothing.
    std::string m_resultCaption;
    Colour m_resultColour = 0;
    MessageBoxPresenter m_presentMessageBox;
    FrameScheduler m_scheduler;
    bool m_timerStarted = false;
    bool m_framesRunning = false;
    Ruret m_ruret {*this};
};
