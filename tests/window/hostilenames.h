#pragma once

#include "caption.h"

#include <QList>
#include <QString>

#include <algorithm>

// Names a user might type or paste that are hard on text handling. One table serves the
// window's own tests and the stress test.
struct HostileName
{
    const char *tag;
    QString text;
};

// What the result box shows of a name that needs no care where it is cut: its first
// MaxShownCodePoints code points.
inline QString shownOf(const QString &name)
{
    const QList<uint> codePoints = name.toUcs4();
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(codePoints.constData()),
                             std::min<qsizetype>(codePoints.size(), MaxShownCodePoints));
}

inline QList<HostileName> hostileNames()
{
    using namespace Qt::StringLiterals;
    return {
        {"100,000 kanji", QString(100'000, u'罰')},
        {"100,000 letters", QString(100'000, u'w')},
        {"emoji and a joined family", u"🎲😀👨‍👩‍👧‍👦"_s},
        {"astral kanji", u"𠮷野家"_s},
        // Two UTF-16 units each: a cut counted in units would show half as many.
        {"1,000 mathematical letters", u"𝐀"_s.repeated(1000)},
        {"combining marks", u"e\u0301\u0302\u0303ｶﾞｶﾞ"_s},
        {"right to left", u"שלום مرحبا"_s},
        {"right to left, too long for the box", u"שלום"_s + QString(40, u' ') + u"עולם"_s},
        {"bidi override", u"\u202Eevil\u202C"_s},
        {"control characters", u"a\u0007b\u001Bc\u0000d"_s},
        {"pasted lines", u"一行目\n二行目\r\n三行目"_s},
        {"tabs and blanks", u"\t \u3000\t"_s},
    };
}
