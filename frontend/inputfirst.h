#pragma once

#include <utility>

// A frame's tick waits for input that was waiting when the frame came due.
//
// A press is the game's one chance, and what it stops must be the name the screen showed when
// it was made. A toolkit that takes a due frame before the input queued with it would run the
// frame's tick first, show the next name and freeze that one, a name nobody saw at the press.
// So a tick whose frame finds input waiting is held, and runs once that input has been handled;
// if its input is still going on when the next frame comes, it runs then, a frame late rather
// than never, so that the names never stand still under a moving mouse.
class InputFirst
{
public:
    // A frame that carries a tick: whether the tick runs now, or is held for the input waiting.
    bool tickNow(bool inputWaiting)
    {
        if (!inputWaiting || m_held) {
            m_held = false;
            return true;
        }
        m_held = true;
        return false;
    }

    // The input is handled: whether a held tick runs now.
    bool inputHandled() { return std::exchange(m_held, false); }

private:
    bool m_held = false;
};
