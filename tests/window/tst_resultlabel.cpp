#include "resultlabel.h"

#include <QElapsedTimer>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Counts the paints of a widget, and remembers what each one showed.
class PaintWatcher : public QObject
{
public:
    explicit PaintWatcher(ResultLabel *label)
        : m_label(label)
    {
        label->installEventFilter(this);
    }
    QStringList painted;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted.append(m_label->caption());
        return false;
    }

private:
    ResultLabel *m_label;
};

} // namespace

class TestResultLabel : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        label = std::make_unique<ResultLabel>();
        label->resize(369, 113);
        label->show();
        QVERIFY(QTest::qWaitForWindowExposed(label.get()));
        QTest::qWait(50);
        watcher = std::make_unique<PaintWatcher>(label.get());
    }
    void cleanup()
    {
        watcher.reset();
        label.reset();
    }

    void aSpinPaintsNoFasterThanTheScreenAndEndsOnTheLastCaption()
    {
        const qreal hz = label->screen()->refreshRate() > 0 ? label->screen()->refreshRate() : 60;
        QElapsedTimer clock;
        clock.start();
        int writes = 0;
        while (clock.elapsed() < 500) {
            label->setCaption(QString::number(++writes));
            QTest::qWait(5);
        }
        const qreal seconds = clock.elapsed() / 1000.0;
        QTRY_COMPARE(watcher->painted.last(), QString::number(writes));

        QVERIFY2(writes > 50, qPrintable(QString::number(writes)));
        QVERIFY2(watcher->painted.size() <= seconds * hz + 2,
                 qPrintable(u"%1 paints for %2 writes"_s.arg(watcher->painted.size()).arg(writes)));
        QVERIFY(watcher->painted.size() >= 5);
    }

    void aNewColourIsPaintedAtOnceWithTheCaptionAsItStands()
    {
        label->setCaption(u"one"_s);
        QTRY_COMPARE(watcher->painted.size(), 1);
        label->setCaption(u"two"_s); // inside the frame: held back

        label->setBackColour(Qt::red);
        QCoreApplication::processEvents();
        QCOMPARE(watcher->painted.value(1), u"two"_s);
        QCOMPARE(label->grab().toImage().pixelColor(200, 100), QColor(Qt::red));
    }

private:
    std::unique_ptr<ResultLabel> label;
    std::unique_ptr<PaintWatcher> watcher;
};

QTEST_MAIN(TestResultLabel)
#include "tst_resultlabel.moc"
