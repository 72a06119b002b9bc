#include "resultlabel.h"

#include <QGuiApplication>
#include <QScreen>
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

    // A tick's name reaches the screen in the same turn of the event loop as the tick: nothing
    // queued meanwhile (a click on ストップ, a key) can come between the name and its paint.
    void eachChangeIsPaintedOnceBeforeTheCallReturns()
    {
        label->setCaption(u"one"_s);
        QCOMPARE(watcher->painted, QStringList {u"one"_s});

        label->setCaption(u"two"_s);
        label->setBackColour(Qt::red);
        QCOMPARE(watcher->painted, (QStringList {u"one"_s, u"two"_s, u"two"_s}));
        QCOMPARE(label->grab().toImage().pixelColor(200, 100), QColor(Qt::red));
    }

    // Moved to a screen of twice the pixels, the box draws its names as sharp as a box that was
    // there from the start, not its first pictures enlarged. The test runs on two screens side
    // by side, the second at twice the pixels of the first.
    void namesStaySharpOnAScreenOfAnotherScale()
    {
        const QList<QScreen *> screens = QGuiApplication::screens();
        QCOMPARE(screens.size(), 2);
        QCOMPARE(label->screen(), screens[0]);
        QCOMPARE(screens[1]->devicePixelRatio(), 2);
        QFont font = label->font();
        font.setPixelSize(48);
        label->setFont(font);
        label->setBackColour(Qt::cyan);
        label->setCaption(u"佐藤"_s);
        label->move(screens[1]->geometry().topLeft() + QPoint(50, 50));
        QTRY_COMPARE(label->devicePixelRatioF(), 2);

        ResultLabel there;
        there.setFont(font);
        there.setBackColour(Qt::cyan);
        there.setCaption(u"佐藤"_s);
        there.setGeometry(QRect(screens[1]->geometry().topLeft() + QPoint(50, 50), label->size()));
        there.show();
        QVERIFY(QTest::qWaitForWindowExposed(&there));
        QCOMPARE(there.devicePixelRatioF(), 2);
        QCOMPARE(label->grab().toImage(), there.grab().toImage());
    }

private:
    std::unique_ptr<ResultLabel> label;
    std::unique_ptr<PaintWatcher> watcher;
};

QTEST_MAIN(TestResultLabel)
#include "tst_resultlabel.moc"
