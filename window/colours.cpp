#include "colours.h"

QColor toQColor(Colour colour)
{
    // The Qt build runs on Linux, where no system colours exist: the design's come from the
    // standard scheme.
    const Colour bgr
        = design::isSystemColour(colour) ? design::standardSchemeColour(colour) : colour;
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
