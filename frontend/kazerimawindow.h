#pragma once

#include "design.h"
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

    // What every box shows: its title, never empty, and its prompt with one line break ('\n')
    // for each LF CR.
    std::string shownTitle() const;
    std::string shownPrompt() const;
};

// Shows a box. On the desktop it returns once the box is dismissed; a page cannot wait, so it
// returns at once, and keeps ticks and input from the window until the box is dismissed.
// The window takes any presenter, so a test can watch what would be shown without a modal
// loop blocking it.
using MessageBoxPresenter = std::function<void(const MessageBoxRequest &request)>;

// The program's one window, as every toolkit has it. It owns the roulette and lends itself to
// it as RuretControls, written here once over a handful of primitive calls that each front-end
// implements on its widgets, each keyed by the design's control (the gate, below). A front-end
// builds its widgets from the design and forwards what happens to them: a control or a menu
// item activated, a name edited, a frame's tick. Buttons, menu items and keys thus reach
// Ruret_Start and Ruret_Stop one way; a Stop that picks a name has it announced; the version
// item's box and the missing-name box go to the presenter.
class KazerimaWindow : public RuretControls
{
public:
    KazerimaWindow();
    KazerimaWindow(const KazerimaWindow &) = delete;
    KazerimaWindow &operator=(const KazerimaWindow &) = delete;

    void Ruret_Start();
    void Ruret_Stop();
    // One tick of Timer1.
    void tick() { m_ruret.Ruret_Tick(); }

    // A push button clicked, or pressed with a key; a menu item chosen.
    void activate(const design::Control &control);
    void activate(const design::MenuItem &item);
    // A name field's text changed, by the user or otherwise.
    void edited(const design::Control &field);

    const Ruret &roulette() const { return m_ruret; }
    void setMessageBoxPresenter(MessageBoxPresenter presenter);

protected:
    ~KazerimaWindow() override = default;

    // The gate. Texts are UTF-8; a caption comes already cut to what the box shows.
    virtual std::string fieldText(const design::Control &field) = 0;
    virtual void setShown(const design::Control &control, bool shown) = 0;
    virtual bool isOn(const design::Control &option) = 0;
    virtual void setCaption(const design::Control &label, std::string_view caption) = 0;
    virtual void setBackColour(const design::Control &label, Colour colour) = 0;
    // Tells assistive technology the label's caption, once, when a Stop has picked it: the
    // caption changes with every frame while spinning, which no one could listen to.
    virtual void announce(const design::Control &label) = 0;

private:
    void runCommand(design::Command command);

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
    MessageBoxPresenter m_presentMessageBox;
    Ruret m_ruret {*this};
};
