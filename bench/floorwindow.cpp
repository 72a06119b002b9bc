// The floor for the window's measurements: a bare Qt window of the same size with a 5 ms
// timer that does nothing. With "text", it also shows one line of Japanese, which is what it
// takes to bring in fontconfig and a Japanese face; with "still", it has no timer, the floor of
// a window left alone.
//
//   floorwindow [SECONDS_TO_STAY_OPEN|0] [text|still]
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("floor"));
    window.resize(418, 371);

    if (argc > 2 && qstrcmp(argv[2], "text") == 0) {
        auto *label = new QLabel(&window);
        QFont font;
        font.setFamilies({QStringLiteral("IPAPGothic")});
        font.setPixelSize(16);
        label->setFont(font);
        label->setText(QStringLiteral("名前を登録して下さい"));
    }

    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &timer, [] {});
    if (argc <= 2 || qstrcmp(argv[2], "still") != 0)
        timer.start(5);

    if (const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 0; seconds > 0)
        QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    window.show();
    return app.exec();
}
