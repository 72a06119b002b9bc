#pragma once

#include <cstdint>
#include <string>

// Colours travel as 0x00BBGGRR: red in the low byte, blue in the third. A value with the top
// bit set names a system colour by its index in the low byte; the window resolves those.
using Colour = std::uint32_t;

inline constexpr Colour RunningColour = 0x00FFFF00; // cyan
inline constexpr Colour StoppedColour = 0x000000FF; // red

// Message box styles, as the classic Windows MB_* flags combine them.
inline constexpr int MsgBoxOkOnly = 0;
inline constexpr int MsgBoxCritical = 16; // MB_OK | MB_ICONERROR

// The only window operations the roulette may use. Slots count from 1 (Text1) to 5 (Text5);
// option buttons are named by the count they stand for, 2 (Option2) to 5 (Option5).
class RuretControls
{
public:
    virtual ~RuretControls() = default;

    virtual std::string nameText(int slot) = 0;
    // Only fields 3 to 5 are ever hidden; fields 1 and 2 are always shown.
    virtual void setNameVisible(int slot, bool visible) = 0;
    virtual bool optionValue(int count) = 0;
    virtual void setResultCaption(const std::string &caption) = 0;
    virtual void setResultBackColour(Colour colour) = 0;
    // Modal: no input reaches the window until the user has dismissed the box, though a
    // front-end that cannot wait may return at once. It may go on ticking while the box is open,
    // or pause: Ruret_Start has read every name before it asks, and writes only the running
    // flag after, so the game is the same either way.
    virtual void messageBox(const std::string &prompt, int style, const std::string &title) = 0;
};
