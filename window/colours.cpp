#include "colours.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

constexpr Colour SystemFlag = 0x80000000;

QColor fromBgr(Colour bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

Colour resolveSystemColour(Colour colour)
{
#ifdef Q_OS_WIN
    return ::GetSysColor(static_cast<int>(colour & 0xFF));
#else
    // Where the platform keeps no such table, the standard Windows scheme stands in.
    switch (colour) {
    case SystemColour::Window:
    case SystemColour::HighlightText:
        return 0x00FFFFFF;
    default:
        return 0x00000000;
    }
#endif
}

} // namespace

QColor toQColor(Colour colour)
{
    return fromBgr(colour & SystemFlag ? resolveSystemColour(colour) : colour);
}
