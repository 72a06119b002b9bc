#include "frameclock.h"
#include "hostilenames.h"
#include "kazerima.h"
#include "messagebox.h"
#include "resultlabel.h"
#include "translations.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QColor Cyan(0, 255, 255);
const QColor Red(255, 0, 0);
const QString MissingNamePrompt = u"名前を登録して下さい"_s;

// WCAG's contrast ratio of two colours, 1 to 21.
qreal contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &colour) {
        const auto linear
            = [](qreal c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
            + 0.0722 * linear(colour.blueF());
    };
    const qreal la = luminance(a);
    const qreal lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class TestKazerima : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensReadyToPlay();
    void controlsStandWhereTheyAreDesigned_data();
    void controlsStandWhereTheyAreDesigned();
    void siblingsStackAsDesigned();
    void resizingMovesNothing();
    void menusHoldTheirItemsAndNothingElse();
    void timerTicksWithTheScreensFrames();
    void aClickQueuedWithADueFrameStopsTheNameOnScreen();

    void buttonAndMenuItemAgree_data();
    void buttonAndMenuItemAgree();
    void countButtonTakesEffectOnTheNextTick();
    void aCountChosenAnyWayWakesTheSleepingClock_data();
    void aCountChosenAnyWayWakesTheSleepingClock();
    void missingNameRefusesAndStopsTheSpinLeavingTheLabelCyan();
    void stopFreezesTheLastNameShownOnRed();
    void stopDuringARealSpinPicksANameInUse();
    void anEditDuringASpinShowsOnItsNextTurn();

    void focusStartsOnStartAndSpaceStarts();
    void tabVisitsTheDesignOrder();
    void tabSkipsHiddenFieldsAndEntersCountsAtTheOneOn();
    void focusStandsOutAndEnterClicksOnlyButtons_data();
    void focusStandsOutAndEnterClicksOnlyButtons();
    void menuBarTakesTheKeyboardVisibly_data();
    void menuBarTakesTheKeyboardVisibly();

    void controlsTellAssistiveTechnologyWhatTheyAre();
    void aStopIsAnnouncedOnceWithThePickedName();
    void hostileNamesSurviveASpin_data();
    void hostileNamesSurviveASpin();

    void qtsOwnTextsFollowTheUsersLanguage();
    void versionBoxTextIsExact();
    void realBoxesAreModalWithOneOkButton_data();
    void realBoxesAreModalWithOneOkButton();

private:
    template<typename T = QWidget> T *control(const QString &name) const
    {
        T *found = window->findChild<T *>(name);
        if (!found)
            qFatal("no control named %s", qPrintable(name));
        return found;
    }
    ResultLabel *result() const { return control<ResultLabel>(u"Label3"_s); }
    QColor resultColour() const { return result()->backColour(); }
    // A frame of the screen, presented to the window's clock as its platform would present
    // one, on the steady clock and far enough from the last that it carries a tick.
    void tick()
    {
        frameMs = std::max(FrameClock::nowMs(), frameMs + 5);
        control<FrameClock>(u"Timer1"_s)->present(frameMs);
    }
    void triggerMenu(const QString &name) { control<QAction>(name)->trigger(); }

    std::unique_ptr<Kazerima> window;
    QList<MessageBoxRequest> shown;
    double frameMs = 0;
};

void TestKazerima::initTestCase()
{
    QApplication::setApplicationName(u"Kazerima"_s);
}

void TestKazerima::init()
{
    shown.clear();
    window = std::make_unique<Kazerima>();
    window->setMessageBoxPresenter(
        [this](const MessageBoxRequest &request) { shown.append(request); });
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    // The tests deal out ticks one by one, except where a real spin is the point.
    control<FrameClock>(u"Timer1"_s)->hold(true);
    tick();
}

void TestKazerima::cleanup()
{
    window.reset();
}

void TestKazerima::opensReadyToPlay()
{
    QCOMPARE(window->windowTitle(), u"Kazerima"_s);
    QVERIFY(control<QRadioButton>(u"Option5"_s)->isChecked());
    for (const char *name : {"Option2", "Option3", "Option4"})
        QVERIFY(!control<QRadioButton>(QLatin1String(name))->isChecked());

    QStringList names;
    for (int slot = 1; slot <= 5; ++slot) {
        auto *field = control<QLineEdit>(u"Text"_s + QString::number(slot));
        QVERIFY(field->isVisible());
        QCOMPARE(field->text().size(), 2);
        names.append(field->text());
    }
    names.removeDuplicates();
    QCOMPARE(names.size(), 5);

    QCOMPARE(result()->caption(), QString());
    QCOMPARE(resultColour(), Cyan);
    QCOMPARE(window->roulette().Ninzuu(), 5);
    QCOMPARE(window->centralWidget()->size(), QSize(418, 353));
}

void TestKazerima::controlsStandWhereTheyAreDesigned_data()
{
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");

    // Pixels are the design's twips divided by 15.
    const QString client = u"client"_s;
    QTest::newRow("Frame2") << client << QRect(16, 48, 73, 161) << u"対象人数"_s;
    QTest::newRow("Option5") << u"Frame2"_s << QRect(8, 120, 57, 17) << u"5人"_s;
    QTest::newRow("Option4") << u"Frame2"_s << QRect(8, 88, 57, 17) << u"4人"_s;
    QTest::newRow("Option3") << u"Frame2"_s << QRect(8, 56, 57, 17) << u"3人"_s;
    QTest::newRow("Option2") << u"Frame2"_s << QRect(8, 24, 57, 17) << u"2人"_s;
    QTest::newRow("Frame1") << client << QRect(96, 48, 129, 161) << u"罰ｹﾞｰﾑ候補者"_s;
    QTest::newRow("Text5") << u"Frame1"_s << QRect(16, 128, 81, 25) << QString();
    QTest::newRow("Text4") << u"Frame1"_s << QRect(16, 104, 81, 25) << QString();
    QTest::newRow("Text3") << u"Frame1"_s << QRect(16, 80, 81, 25) << QString();
    QTest::newRow("Text2") << u"Frame1"_s << QRect(16, 56, 81, 25) << QString();
    QTest::newRow("Text1") << u"Frame1"_s << QRect(16, 32, 81, 25) << QString();
    QTest::newRow("Label2") << u"Frame1"_s << QRect(8, 16, 113, 17) << u"名前を登録して下さい"_s;
    QTest::newRow("Command2") << client << QRect(232, 112, 169, 49) << u"ストップ"_s;
    QTest::newRow("Command1") << client << QRect(232, 56, 169, 49) << u"スタート"_s;
    QTest::newRow("Label1") << client << QRect(32, 8, 353, 33) << u"Kazerima"_s;
    QTest::newRow("Label3") << client << QRect(16, 216, 369, 113) << QString();
}

void TestKazerima::controlsStandWhereTheyAreDesigned()
{
    QFETCH(QString, container);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);

    QWidget *widget = control(QString::fromLatin1(QTest::currentDataTag()));
    QCOMPARE(widget->parentWidget()->objectName(), container);
    QCOMPARE(widget->geometry(), geometry);
    if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), caption);
    else if (auto *result = qobject_cast<ResultLabel *>(widget))
        QCOMPARE(result->caption(), caption);
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(button->text(), caption);
    else if (auto *frame = qobject_cast<QGroupBox *>(widget))
        QCOMPARE(frame->title(), caption);
}

void TestKazerima::siblingsStackAsDesigned()
{
    // Topmost first; Qt keeps children bottom-most first, so each list is read backwards.
    const auto stack = [this](const QString &container) {
        QStringList names;
        for (QObject *child : control(container)->children()) {
            if (child->isWidgetType()
                && child->objectName().contains(QRegularExpression(u"\\d$"_s)))
                names.prepend(child->objectName());
        }
        return names;
    };
    QCOMPARE(stack(u"client"_s),
             QStringList({u"Frame2"_s, u"Frame1"_s, u"Command2"_s, u"Command1"_s, u"Label1"_s,
                          u"Label3"_s}));
    QCOMPARE(stack(u"Frame2"_s),
             QStringList({u"Option5"_s, u"Option4"_s, u"Option3"_s, u"Option2"_s}));
    QCOMPARE(
        stack(u"Frame1"_s),
        QStringList({u"Text5"_s, u"Text4"_s, u"Text3"_s, u"Text2"_s, u"Text1"_s, u"Label2"_s}));
}

void TestKazerima::resizingMovesNothing()
{
    QHash<QWidget *, QRect> before;
    for (QWidget *widget : window->findChildren<QWidget *>())
        before.insert(widget, widget->geometry());

    window->resize(window->width() + 300, window->height() + 200);
    QTRY_COMPARE(window->centralWidget()->width(), 418 + 300);
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (it.key()->parentWidget() == window->centralWidget()
            || it.key()->parentWidget()->inherits("QGroupBox"))
            QCOMPARE(it.key()->geometry(), it.value());
    }
}

void TestKazerima::menusHoldTheirItemsAndNothingElse()
{
    QStringList tree;
    for (QAction *top : window->menuBar()->actions()) {
        tree.append(top->menu()->objectName() + u':' + top->text());
        for (QAction *item : top->menu()->actions()) {
            tree.append(u"  "_s + item->objectName() + u':' + item->text());
            QVERIFY(item->shortcut().isEmpty());
            QVERIFY(!item->isCheckable());
            QVERIFY(!item->isSeparator());
        }
    }
    QCOMPARE(tree,
             QStringList({u"メニュー:メニュー"_s, u"  Start:スタート"_s, u"  Stop:ストップ"_s,
                          u"バージョン:バージョン"_s, u"  Ver:バージョン"_s}));
}

void TestKazerima::timerTicksWithTheScreensFrames()
{
    auto *timer = control<FrameClock>(u"Timer1"_s);

    // A window that was never shown has not run its load step: nothing ticks yet.
    Kazerima unshown;
    QVERIFY(!unshown.findChild<FrameClock *>(u"Timer1"_s)->isActive());

    // Where its frames are a timer, it runs at the rate of the window's screen, and follows a
    // change of that rate.
    QScreen *screen = window->windowHandle()->screen();
    emit screen->refreshRateChanged(144);
    QCOMPARE(timer->frameRate(), 144);
}

void TestKazerima::buttonAndMenuItemAgree_data()
{
    QTest::addColumn<bool>("viaMenu");
    QTest::newRow("buttons") << false;
    QTest::newRow("menu items") << true;
}

void TestKazerima::buttonAndMenuItemAgree()
{
    QFETCH(bool, viaMenu);
    const auto start = [&] {
        viaMenu ? triggerMenu(u"Start"_s)
                : QTest::mouseClick(control(u"Command1"_s), Qt::LeftButton);
    };
    const auto stop = [&] {
        viaMenu ? triggerMenu(u"Stop"_s)
                : QTest::mouseClick(control(u"Command2"_s), Qt::LeftButton);
    };

    start();
    QCOMPARE(window->roulette().SwitchOn(), "T");
    for (int i = 0; i < 3; ++i)
        tick();
    QCOMPARE(result()->caption(), control<QLineEdit>(u"Text2"_s)->text());
    QCOMPARE(resultColour(), Cyan);

    stop();
    QCOMPARE(window->roulette().SwitchOn(), "N");
    QCOMPARE(resultColour(), Red);

    control<QLineEdit>(u"Text4"_s)->clear();
    start();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(QString::fromStdString(shown.front().prompt), MissingNamePrompt);
    QCOMPARE(window->roulette().SwitchOn(), "N");
}

void TestKazerima::countButtonTakesEffectOnTheNextTick()
{
    QTest::mouseClick(control(u"Option2"_s), Qt::LeftButton);
    QVERIFY2(control(u"Text5"_s)->isVisible(), "nothing happens before the tick");
    tick();
    QCOMPARE(window->roulette().Ninzuu(), 2);
    for (const char *name : {"Text3", "Text4", "Text5"})
        QVERIFY(!control(QLatin1String(name))->isVisible());

    QTest::mouseClick(control(u"Option4"_s), Qt::LeftButton);
    tick();
    QVERIFY(control(u"Text3"_s)->isVisible());
    QVERIFY(control(u"Text4"_s)->isVisible());
    QVERIFY(!control(u"Text5"_s)->isVisible());

    // Clicking the button that is on leaves it on: the group never ends up empty.
    QTest::mouseClick(control(u"Option4"_s), Qt::LeftButton);
    QVERIFY(control<QRadioButton>(u"Option4"_s)->isChecked());
}

// Left alone the window's clock sleeps, and a count chosen wakes it for the tick that takes the
// count in, however it is chosen.
void TestKazerima::aCountChosenAnyWayWakesTheSleepingClock_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("mouse") << u"mouse"_s;
    QTest::newRow("arrow key") << u"arrow key"_s;
    QTest::newRow("accessibility action") << u"accessibility action"_s;
}

void TestKazerima::aCountChosenAnyWayWakesTheSleepingClock()
{
    QFETCH(QString, way);
    auto *timer = control<FrameClock>(u"Timer1"_s);
    timer->hold(false);
    QVERIFY(!timer->isActive());
    auto *four = control<QRadioButton>(u"Option4"_s);
    if (way == u"mouse") {
        QTest::mouseClick(four, Qt::LeftButton);
    } else if (way == u"arrow key") {
        QWidget *five = control(u"Option5"_s);
        five->setFocus();
        QTest::keyClick(five, Qt::Key_Up);
    } else {
        QAccessibleActionInterface *actions
            = QAccessible::queryAccessibleInterface(four)->actionInterface();
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        actions->doAction(QAccessibleActionInterface::toggleAction());
    }
    QVERIFY(four->isChecked());
    QTRY_COMPARE_WITH_TIMEOUT(window->roulette().Ninzuu(), 4, 1000);
    QVERIFY(!control(u"Text5"_s)->isVisible());
    QTRY_VERIFY(!timer->isActive());
}

void TestKazerima::missingNameRefusesAndStopsTheSpinLeavingTheLabelCyan()
{
    window->Ruret_Start();
    for (int i = 0; i < 4; ++i)
        tick();
    const QString lastShown = result()->caption();
    QCOMPARE(lastShown, control<QLineEdit>(u"Text3"_s)->text());

    control<QLineEdit>(u"Text1"_s)->clear();
    control<QLineEdit>(u"Text5"_s)->clear();
    window->Ruret_Start();

    QCOMPARE(shown.size(), 1);
    QCOMPARE(QString::fromStdString(shown.front().prompt), MissingNamePrompt);
    QCOMPARE(QString::fromStdString(shown.front().title), u"名前入れてね"_s);
    QCOMPARE(shown.front().style, 16);
    QCOMPARE(window->roulette().SwitchOn(), "N");

    tick();
    QCOMPARE(resultColour(), Cyan);
    QCOMPARE(result()->caption(), lastShown);
}

void TestKazerima::stopFreezesTheLastNameShownOnRed()
{
    control<QLineEdit>(u"Text2"_s)->setText(u"ﾊﾞﾂ ゲーム"_s);
    window->Ruret_Start();
    tick();
    tick();
    tick();
    window->Ruret_Stop();

    QCOMPARE(result()->caption(), u"ﾊﾞﾂ ゲーム"_s);
    QCOMPARE(resultColour(), Red);
    for (int i = 0; i < 10; ++i)
        tick();
    QCOMPARE(result()->caption(), u"ﾊﾞﾂ ゲーム"_s);
    QCOMPARE(resultColour(), Red);
}

void TestKazerima::stopDuringARealSpinPicksANameInUse()
{
    control<FrameClock>(u"Timer1"_s)->hold(false);
    QTest::mouseClick(control(u"Option3"_s), Qt::LeftButton);
    QTRY_COMPARE(window->roulette().Ninzuu(), 3);

    QTest::mouseClick(control(u"Command1"_s), Qt::LeftButton);
    QTRY_VERIFY(!result()->caption().isEmpty());
    QTest::qWait(50);
    QTest::mouseClick(control(u"Command2"_s), Qt::LeftButton);

    const QString picked = result()->caption();
    QVERIFY(
        QStringList({control<QLineEdit>(u"Text1"_s)->text(), control<QLineEdit>(u"Text2"_s)->text(),
                     control<QLineEdit>(u"Text3"_s)->text()})
            .contains(picked));
    QTest::qWait(50);
    QCOMPARE(result()->caption(), picked);
    QCOMPARE(resultColour(), Red);
}

// The window system has queued a click on ストップ when a frame comes due: the click is handled
// first, and the name it freezes is the one on screen, not the one the frame would have shown.
void TestKazerima::aClickQueuedWithADueFrameStopsTheNameOnScreen()
{
    QTest::mouseClick(control(u"Option2"_s), Qt::LeftButton);
    tick();
    QTest::mouseClick(control(u"Command1"_s), Qt::LeftButton);
    tick();
    tick();
    const QString onScreen = result()->caption();
    QCOMPARE(onScreen, control<QLineEdit>(u"Text1"_s)->text());

    QWidget *stop = control(u"Command2"_s);
    const QPointF at = QRectF(stop->rect()).center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(
            stop,
            new QMouseEvent(type, at, stop->mapToGlobal(at), Qt::LeftButton,
                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                            Qt::NoModifier));
    tick();
    QCOMPARE(window->roulette().SwitchOn(), "N");
    QCOMPARE(result()->caption(), onScreen);
    QCOMPARE(resultColour(), Red);
}

void TestKazerima::anEditDuringASpinShowsOnItsNextTurn()
{
    QTest::mouseClick(control(u"Option2"_s), Qt::LeftButton);
    tick();
    window->Ruret_Start();
    tick();
    tick();
    QCOMPARE(result()->caption(), u"佐藤"_s);

    auto *field = control<QLineEdit>(u"Text1"_s);
    field->setFocus();
    field->end(false);
    QTest::keyClicks(field, u"-san"_s);
    tick();
    tick();
    QCOMPARE(result()->caption(), u"佐藤-san"_s);

    QTest::keyClick(field, Qt::Key_Backspace);
    tick();
    tick();
    QCOMPARE(result()->caption(), u"佐藤-sa"_s);
}

void TestKazerima::focusStartsOnStartAndSpaceStarts()
{
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(QApplication::focusWidget(), control(u"Command1"_s));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(window->roulette().SwitchOn(), "T");
}

void TestKazerima::tabVisitsTheDesignOrder()
{
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    const auto walk = [](Qt::KeyboardModifiers modifiers) {
        QStringList visited;
        for (int i = 0; i < 9; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
            visited.append(QApplication::focusWidget()->objectName());
        }
        return visited;
    };

    const QStringList forward
        = {u"Command2"_s, u"Text1"_s,   u"Text2"_s,    u"Text3"_s,   u"Text4"_s,
           u"Text5"_s,    u"Option5"_s, u"Command1"_s, u"Command2"_s};
    QCOMPARE(walk(Qt::NoModifier), forward);

    control(u"Command1"_s)->setFocus();
    const QStringList backward
        = {u"Option5"_s, u"Text5"_s,    u"Text4"_s,    u"Text3"_s,  u"Text2"_s,
           u"Text1"_s,   u"Command2"_s, u"Command1"_s, u"Option5"_s};
    QCOMPARE(walk(Qt::ShiftModifier), backward);
}

void TestKazerima::tabSkipsHiddenFieldsAndEntersCountsAtTheOneOn()
{
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::mouseClick(control(u"Option2"_s), Qt::LeftButton);
    tick();

    control(u"Text2"_s)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"Option2"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"Command1"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"Option2"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"Text2"_s);
}

void TestKazerima::focusStandsOutAndEnterClicksOnlyButtons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("spinning");
    QTest::addColumn<QByteArray>("switchOn");

    QTest::newRow("Return on スタート") << u"Command1"_s << int(Qt::Key_Return) << false << "T"_ba;
    QTest::newRow("keypad Enter on スタート")
        << u"Command1"_s << int(Qt::Key_Enter) << false << "T"_ba;
    QTest::newRow("Return on ストップ") << u"Command2"_s << int(Qt::Key_Return) << true << "N"_ba;
    QTest::newRow("Return in a name field") << u"Text3"_s << int(Qt::Key_Return) << false << ""_ba;
    QTest::newRow("Return on a count") << u"Option5"_s << int(Qt::Key_Return) << false << ""_ba;
}

void TestKazerima::focusStandsOutAndEnterClicksOnlyButtons()
{
    QFETCH(QString, name);
    QFETCH(int, key);
    QFETCH(bool, spinning);
    QFETCH(QByteArray, switchOn);
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    if (spinning)
        window->Ruret_Start();

    QWidget *focused = control(name);
    focused->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();

    // Left of the control, halfway down: the cue against what lies on either side of it.
    const QImage shot = window->centralWidget()->grab().toImage();
    const QPoint edge = focused->mapTo(window->centralWidget(), QPoint(0, focused->height() / 2));
    const QColor inside = shot.pixelColor(edge - QPoint(1, 0));
    const QColor cue = shot.pixelColor(edge - QPoint(2, 0));
    const QColor outside = shot.pixelColor(edge - QPoint(4, 0));
    QVERIFY2(
        contrast(cue, outside) >= 3 && contrast(cue, inside) >= 3,
        qPrintable(u"cue %1 between %2 and %3"_s.arg(cue.name(), inside.name(), outside.name())));

    const auto modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    QTest::keyClick(focused, Qt::Key(key), modifiers);
    QCOMPARE(QByteArray::fromStdString(window->roulette().SwitchOn()), switchOn);
}

void TestKazerima::menuBarTakesTheKeyboardVisibly_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("opensTheMenu");
    QTest::newRow("Alt highlights the first menu") << int(Qt::Key_Alt) << false;
    QTest::newRow("F10 opens it") << int(Qt::Key_F10) << true;
}

// The version box is reachable only through the menus: a keyboard user must see where the
// keyboard went, and get it back where it was.
void TestKazerima::menuBarTakesTheKeyboardVisibly()
{
    QFETCH(int, key);
    QFETCH(bool, opensTheMenu);
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QWidget *field = control(u"Text2"_s);
    field->setFocus(Qt::TabFocusReason);
    QMenuBar *bar = window->menuBar();
    auto *first = control<QMenu>(u"メニュー"_s);
    const QImage resting = bar->grab().toImage();

    QTest::keyClick(field, Qt::Key(key), key == Qt::Key_Alt ? Qt::AltModifier : Qt::NoModifier);
    QCOMPARE(bar->activeAction(), first->menuAction());
    QCOMPARE(first->isVisible(), opensTheMenu);
    QVERIFY2(bar->grab().toImage() != resting, "nothing shows which menu has the keyboard");

    QWidget *keys = opensTheMenu ? static_cast<QWidget *>(first) : bar;
    QTest::keyClick(keys, Qt::Key_Right);
    QCOMPARE(bar->activeAction(), control<QMenu>(u"バージョン"_s)->menuAction());
    while (QApplication::activePopupWidget())
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTest::keyClick(bar, Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), field);
}

void TestKazerima::controlsTellAssistiveTechnologyWhatTheyAre()
{
    const auto described = [this](const QString &name) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control(name));
        return std::pair(accessible->role(), accessible->text(QAccessible::Name));
    };
    for (int slot = 1; slot <= 5; ++slot) {
        QCOMPARE(described(u"Text"_s + QString::number(slot)),
                 std::pair(QAccessible::EditableText, QString::number(slot) + u"人目の名前"_s));
    }
    for (int count = 2; count <= 5; ++count) {
        QCOMPARE(described(u"Option"_s + QString::number(count)),
                 std::pair(QAccessible::RadioButton, QString::number(count) + u"人"_s));
    }
    QCOMPARE(described(u"Command1"_s), std::pair(QAccessible::Button, u"スタート"_s));
    QCOMPARE(described(u"Frame1"_s), std::pair(QAccessible::Grouping, u"罰ｹﾞｰﾑ候補者"_s));

    window->Ruret_Start();
    tick();
    tick();
    QCOMPARE(described(u"Label3"_s), std::pair(QAccessible::StaticText, u"佐藤"_s));
}

void TestKazerima::aStopIsAnnouncedOnceWithThePickedName()
{
    QSignalSpy announced(result(), &ResultLabel::announced);

    window->Ruret_Start();
    for (int i = 0; i < 40; ++i)
        tick();
    QCOMPARE(announced.count(), 0);
    window->Ruret_Stop();
    window->Ruret_Stop();
    tick();

    QCOMPARE(announced.count(), 1);
    QCOMPARE(announced.front().front().toString(), result()->caption());
}

void TestKazerima::hostileNamesSurviveASpin_data()
{
    QTest::addColumn<QString>("name");
    for (const HostileName &hostile : hostileNames())
        QTest::newRow(hostile.tag) << hostile.text;
}

void TestKazerima::hostileNamesSurviveASpin()
{
    QFETCH(QString, name);
    auto *field = control<QLineEdit>(u"Text2"_s);
    field->setFocus();
    field->selectAll();
    field->insert(name); // as a paste arrives
    QCOMPARE(field->text(), name);

    window->Ruret_Start();
    tick();
    tick();
    tick();
    window->Ruret_Stop();
    // The box shows at most a name's first 256 characters; the field keeps all of it.
    QCOMPARE(result()->caption(), shownOf(name));
    QCOMPARE(field->text(), name);

    // The box clips: nothing grows, and painting the whole window stays quick.
    QElapsedTimer clock;
    clock.start();
    const QImage shot = window->grab().toImage();
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed()) + u" ms"_s));
    QCOMPARE(result()->geometry(), QRect(16, 216, 369, 113));
    QCOMPARE(shot.pixelColor(16 + 360, 216 + 110), Red); // below any caption

    // A name too long for the box keeps its beginning, at the edge its direction starts from.
    const QRect inside = result()->contentsRect();
    if (QFontMetrics(result()->font()).horizontalAdvance(name.left(300)) > inside.width()) {
        const QImage box = result()->grab().toImage();
        const int strip = 32;
        const int from = name.isRightToLeft() ? inside.right() - strip : inside.left();
        int caption = 0;
        for (int x = from; x < from + strip; ++x) {
            for (int y = inside.top(); y <= inside.bottom(); ++y)
                caption += box.pixelColor(x, y) == Qt::black;
        }
        QVERIFY2(caption > 0, "the name's beginning is cut off");
    }
}

void TestKazerima::qtsOwnTextsFollowTheUsersLanguage()
{
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    const std::unique_ptr<QTranslator> translator(installQtTranslations(*qApp));
    QLocale::setDefault(QLocale::system());
    QVERIFY2(translator, "no Qt translations for Japanese");

    const std::unique_ptr<QMenu> menu(control<QLineEdit>(u"Text1"_s)->createStandardContextMenu());
    QVERIFY(menu->actions().constFirst()->text().startsWith(u"元に戻す(&U)"_s));
    // The design's own texts stay as they are.
    QCOMPARE(control<QPushButton>(u"Command1"_s)->text(), u"スタート"_s);
}

void TestKazerima::versionBoxTextIsExact()
{
    window->Ruret_Start();
    tick();
    tick();
    const std::string switchOn = window->roulette().SwitchOn();
    const int count = window->roulette().Ninzuu();
    const int cursor = window->roulette().SpinIndex();

    triggerMenu(u"Ver"_s);
    triggerMenu(u"Ver"_s);

    const QString expected = u"     ﾊﾞｰｼﾞｮﾝ1.0\n\r"
                             u"\n\r"
                             u"ﾌﾟﾛﾃﾞｭｰｽ   Mavoru\n\r"
                             u"ﾌﾟﾛｸﾞﾗﾑ     Mavoru\n\r"
                             u"企画         Mavoru\n\r"
                             u"Date         2002-11-23\n\r"
                             u"\n\r"
                             u"   Made in Quendal"_s;
    QCOMPARE(shown.size(), 2);
    for (const MessageBoxRequest &request : shown) {
        QCOMPARE(QString::fromStdString(request.prompt), expected);
        QCOMPARE(request.style, 0);
        QCOMPARE(request.title, std::string());
    }
    QCOMPARE(window->roulette().SwitchOn(), switchOn);
    QCOMPARE(window->roulette().Ninzuu(), count);
    QCOMPARE(window->roulette().SpinIndex(), cursor);
}

void TestKazerima::realBoxesAreModalWithOneOkButton_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<int>("icon");
    QTest::newRow("missing name") << 16 << u"名前入れてね"_s << u"名前入れてね"_s
                                  << int(QMessageBox::Critical);
    QTest::newRow("version") << 0 << QString() << u"Kazerima"_s << int(QMessageBox::NoIcon);
}

void TestKazerima::realBoxesAreModalWithOneOkButton()
{
    QFETCH(int, style);
    QFETCH(QString, title);
    QFETCH(QString, shownTitle);
    QFETCH(int, icon);

    QString seenTitle;
    int seenIcon = -1;
    QList<QAbstractButton *> buttons;
    bool modal = false;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        modal = box->isModal();
        seenTitle = box->windowTitle();
        seenIcon = box->icon();
        buttons = box->buttons();
        QTest::keyClick(box, Qt::Key_Return);
    });
    showModalMessageBox(window.get(), {"text", style, title.toStdString()});

    QVERIFY(modal);
    QCOMPARE(seenTitle, shownTitle);
    QCOMPARE(seenIcon, icon);
    QCOMPARE(buttons.size(), 1);
}

QTEST_MAIN(TestKazerima)
#include "tst_kazerima.moc"
