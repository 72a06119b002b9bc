#include "ticker.h"

#include <QSignalSpy>
#include <QTest>

class TestTicker : public QObject
{
    Q_OBJECT

private slots:
    void ticksOnlyBetweenStartAndStop()
    {
        Ticker ticker;
        QSignalSpy ticks(&ticker, &Ticker::timeout);
        QVERIFY(!ticker.isActive());
        QTest::qWait(30);
        QCOMPARE(ticks.count(), 0);

        ticker.start(5);
        QVERIFY(ticker.isActive());
        QCOMPARE(ticker.interval(), 5);
        QTRY_VERIFY(ticks.count() >= 5);

        ticker.stop();
        QVERIFY(!ticker.isActive());
        const qsizetype stoppedAt = ticks.count();
        QTest::qWait(30);
        QCOMPARE(ticks.count(), stoppedAt);
    }

    void aBusyLoopDropsMissedTicksInsteadOfCatchingUp()
    {
        Ticker ticker;
        QSignalSpy ticks(&ticker, &Ticker::timeout);
        ticker.start(5);
        QTRY_VERIFY(ticks.count() >= 1);

        // Forty periods pass without the loop running.
        QThread::msleep(200);
        const qsizetype before = ticks.count();
        QCoreApplication::processEvents();
        QCOMPARE(ticks.count(), before + 1);
    }
};

QTEST_MAIN(TestTicker)
#include "tst_ticker.moc"
