#pragma once

#include "design.h"

#include <QColor>

// Turns a 0x00BBGGRR value, or a system colour, into the colour to paint with.
QColor toQColor(Colour colour);
