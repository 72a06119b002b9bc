#include "versionbox.h"

#include "kazerima_version.h"

QString versionText()
{
    // LF before CR, in that order, is how this box has always separated its lines.
    const QString separator = QStringLiteral("\n\r");
    const QString version
        = QString::number(KAZERIMA_VERSION_MAJOR) + u'.' + QString::number(KAZERIMA_VERSION_MINOR);
    const QString company = QStringLiteral(KAZERIMA_COMPANY);

    QString text = QStringLiteral("     ﾊﾞｰｼﾞｮﾝ") + version + separator;
    text += separator;
    for (const QString &line :
         {QStringLiteral("ﾌﾟﾛﾃﾞｭｰｽ   ") + company, QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ     ") + company,
          QStringLiteral("企画         ") + company,
          QStringLiteral("Date         " KAZERIMA_RELEASE_DATE)})
        text += line + separator;
    text += separator;
    text += QStringLiteral("   Made in Quendal");
    return text;
}
