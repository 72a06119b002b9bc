#include "kazerima.h"
#include "kazerima_version.h"
#include "translations.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Qt ends the process with abort() when it can open no display, after lines meant for its own
// developers. While the application starts, its messages are held: that failure is told in
// one line with an ordinary exit status, and on success the held messages go out as usual.
std::vector<std::pair<QtMsgType, QString>> heldMessages;

void holdStartUpMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fputs(KAZERIMA_EXECUTABLE ": no display could be opened\n", stderr);
        std::_Exit(EXIT_FAILURE);
    }
    heldMessages.emplace_back(type, message);
}

std::unique_ptr<QApplication> startApplication(int &argc, char **argv)
{
    const QtMessageHandler previous = qInstallMessageHandler(holdStartUpMessage);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    for (const auto &[type, message] : std::exchange(heldMessages, {}))
        qt_message_output(type, QMessageLogContext(), message);
    return app;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QApplication> app = startApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral(KAZERIMA_NAME));
    QApplication::setApplicationVersion(QStringLiteral(KAZERIMA_VERSION));
    QApplication::setOrganizationName(QStringLiteral(KAZERIMA_COMPANY));
    QApplication::setDesktopFileName(QStringLiteral(KAZERIMA_APP_ID));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/kazerima-32.png"));
    icon.addFile(QStringLiteral(":/icons/kazerima-64.png"));
    QApplication::setWindowIcon(icon);
    // The window's texts are Japanese and its design runs left to right. Qt would turn the
    // layout round under a right-to-left language once its own translation is loaded.
    QApplication::setLayoutDirection(Qt::LeftToRight);
    installQtTranslations(*app);

    Kazerima window;
    window.show();
    return app->exec();
}
