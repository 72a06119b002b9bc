#include "colours.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

QColor fromBgr(Colour bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

Colour resolveSystemColour(Colour colour)
{
#ifdef Q_OS_WIN
    return ::GetSysColor(design::systemColourIndex(colour));
#else
    return design::standardSchemeColour(colour);
#endif
}

} // namespace

QColor toQColor(Colour colour)
{
    return fromBgr(design::isSystemColour(colour) ? resolveSystemColour(colour) : colour);
}
