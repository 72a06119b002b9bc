#pragma once

#include "ruretcontrols.h"

#include <QColor>

// The system colours the design names, by their index in the low byte of a system colour.
namespace SystemColour {
inline constexpr Colour Window = 0x80000005;
inline constexpr Colour WindowText = 0x80000008;
inline constexpr Colour HighlightText = 0x8000000E;
inline constexpr Colour ButtonText = 0x80000012;
} // namespace SystemColour

// Turns a 0x00BBGGRR value, or a system colour, into the colour to paint with.
QColor toQColor(Colour colour);
