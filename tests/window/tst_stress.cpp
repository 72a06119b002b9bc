#include "frameclock.h"
#include "hostilenames.h"
#include "kazerima.h"
#include "messagebox.h"
#include "resultlabel.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

qint64 residentKiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLongLong();
    }
    return -1;
}

} // namespace

// Drives the real window with a long random mix of what a user and the timer can do, and
// checks after every step that the window and the roulette agree with each other and with
// the rules. STRESS_SECONDS sets how long (default 10); make soak runs it for ten minutes.
class TestStress : public QObject
{
    Q_OBJECT

private slots:
    void randomUseKeepsWindowAndRouletteInStep();
};

void TestStress::randomUseKeepsWindowAndRouletteInStep()
{
    const int seconds = qEnvironmentVariableIsSet("STRESS_SECONDS")
        ? qEnvironmentVariableIntValue("STRESS_SECONDS")
        : 10;
    const quint32 seed = QRandomGenerator::system()->generate();
    QRandomGenerator rng(seed);
    qInfo("seed %u, %d s", seed, seconds);

    Kazerima window;
    int boxes = 0;
    // The real modal box, dismissed as soon as it is up.
    window.setMessageBoxPresenter([&boxes, &window](const MessageBoxRequest &request) {
        ++boxes;
        QTimer::singleShot(0, [] {
            if (QWidget *box = QApplication::activeModalWidget())
                box->close();
        });
        showModalMessageBox(&window, request);
    });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *timer = window.findChild<FrameClock *>(u"Timer1"_s);
    timer->hold(true);
    double frameMs = 0; // each frame dealt a period after the last, so that each one ticks

    QList<QLineEdit *> fields;
    QList<QRadioButton *> options;
    for (int i = 1; i <= 5; ++i)
        fields.append(window.findChild<QLineEdit *>(u"Text"_s + QString::number(i)));
    for (int i = 2; i <= 5; ++i)
        options.append(window.findChild<QRadioButton *>(u"Option"_s + QString::number(i)));
    auto *result = window.findChild<ResultLabel *>(u"Label3"_s);
    QWidget *startButton = window.findChild<QPushButton *>(u"Command1"_s);
    QWidget *stopButton = window.findChild<QPushButton *>(u"Command2"_s);
    QAction *startItem = window.findChild<QAction *>(u"Start"_s);
    QAction *stopItem = window.findChild<QAction *>(u"Stop"_s);

    QStringList pool = {QString(), u"佐藤"_s, u"x"_s, u" "_s};
    for (const HostileName &hostile : hostileNames())
        pool.append(hostile.text);

    const QColor cyan(0, 255, 255), red(255, 0, 0);
    QColor expectedColour = cyan;
    const Ruret &ruret = window.roulette();
    // Resident memory at the start and after each tenth of the run: the first tenth warms
    // the caches (glyphs of every script in the pool), after which it should stay flat.
    QList<qint64> resident = {residentKiB()};
    QElapsedTimer clock;
    clock.start();
    qint64 steps = 0;

    while (clock.elapsed() < seconds * 1000) {
        ++steps;
        if (clock.elapsed() >= resident.size() * seconds * 100)
            resident.append(residentKiB());
        const bool wasRunning = ruret.isRunning();
        const int countBefore = ruret.Ninzuu();
        const QString captionBefore = result->caption();
        QString step;

        const quint32 action = rng.bounded(100);
        if (action < 60) {
            step = u"tick"_s;
            emit timer->frame(frameMs += 5);
            if (wasRunning)
                expectedColour = cyan;
        } else if (action < 67) {
            step = u"start"_s;
            rng.bounded(2) ? QTest::mouseClick(startButton, Qt::LeftButton) : startItem->trigger();
        } else if (action < 74) {
            step = u"stop"_s;
            rng.bounded(2) ? QTest::mouseClick(stopButton, Qt::LeftButton) : stopItem->trigger();
            if (wasRunning)
                expectedColour = red;
        } else if (action < 82) {
            step = u"count"_s;
            QTest::mouseClick(options[int(rng.bounded(4))], Qt::LeftButton);
        } else {
            step = u"edit"_s;
            fields[int(rng.bounded(5))]->setText(pool[int(rng.bounded(quint32(pool.size())))]);
        }

        const QByteArray where = "step " + QByteArray::number(steps) + " (" + step.toUtf8()
            + "), seed " + QByteArray::number(seed);
        const int count = ruret.Ninzuu();
        QVERIFY2(count == 0 || (count >= 2 && count <= 5), where);
        QVERIFY2(ruret.SpinIndex() >= 0 && ruret.SpinIndex() <= 5, where);
        QVERIFY2(ruret.SwitchOn().empty() || ruret.SwitchOn() == "T" || ruret.SwitchOn() == "N",
                 where);
        if (wasRunning)
            QVERIFY2(count == countBefore, where);
        if (count != 0) {
            for (int slot = 3; slot <= 5; ++slot)
                QVERIFY2(fields[slot - 1]->isVisibleTo(&window) == (slot <= count), where);
        }
        QVERIFY2(result->backColour() == expectedColour, where);

        // The caption is the name of a slot in use as the tick read it (at most its first 256
        // characters), or what it was.
        if (step == u"tick" && wasRunning && result->caption() != captionBefore) {
            bool inUse = false;
            for (int slot = 1; slot <= count; ++slot)
                inUse = inUse || shownOf(fields[slot - 1]->text()) == result->caption();
            QVERIFY2(inUse, where);
        }
        QVERIFY2(result->geometry() == QRect(16, 216, 369, 113), where);
        // Whatever it holds, the box still paints.
        if (steps % 500 == 0)
            result->repaint();
    }

    resident.append(residentKiB());
    QStringList samples;
    for (qint64 kib : resident)
        samples.append(QString::number(kib));
    qInfo("%lld steps, %d missing-name boxes", steps, boxes);
    qInfo("resident memory, KiB, at start, each tenth and end: %s", qPrintable(samples.join(u' ')));
    qInfo("after warm-up %lld KiB, at end %lld KiB", resident.value(1), resident.back());
    QVERIFY(steps > 1000);
    QVERIFY(boxes > 0);
}

QTEST_MAIN(TestStress)
#include "tst_stress.moc"
