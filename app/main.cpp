#include "kazerima.h"
#include "kazerima_version.h"
#include "translations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(KAZERIMA_NAME));
    QApplication::setApplicationVersion(QStringLiteral(KAZERIMA_VERSION));
    QApplication::setOrganizationName(QStringLiteral(KAZERIMA_COMPANY));
    installQtTranslations(app);

    Kazerima window;
    window.show();
    return app.exec();
}
