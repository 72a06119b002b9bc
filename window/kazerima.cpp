#include "kazerima.h"

#include "colours.h"
#include "design.h"
#include "focusring.h"
#include "frameclock.h"
#include "messagebox.h"
#include "resultlabel.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>
#include <QStyleFactory>
#include <QWindow>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

const QSize ClientArea(design::pixels(design::ClientWidth), design::pixels(design::ClientHeight));

QRect pixels(const design::Rect &twips)
{
    return QRect(design::pixels(twips.left), design::pixels(twips.top), design::pixels(twips.width),
                 design::pixels(twips.height));
}

// Sizes in pixels rather than points, so the design does not grow or shrink with the
// screen's logical DPI.
QFont designFont(const design::Font &design)
{
    // Only installed faces are handed on: Qt resolves a missing one through a costly
    // platform alias search, for every font and script, before it tries the next.
    static const QStringList installed = QFontDatabase::families();
    QStringList available;
    for (std::string_view face : design.faces) {
        const QString family = toQString(face);
        if (installed.contains(family, Qt::CaseInsensitive))
            available.append(family);
    }
    QFont font;
    font.setFamilies(available);
    font.setPixelSize(design.pixelSize);
    font.setWeight(QFont::Weight(design.weight));
    return font;
}

void setColours(QWidget *widget, Colour background, Colour text)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, toQColor(background));
    palette.setColor(QPalette::WindowText, toQColor(text));
    widget->setPalette(palette);
    // Buttons paint from the Button role by default; the design colours their whole face.
    widget->setBackgroundRole(QPalette::Window);
    widget->setForegroundRole(QPalette::WindowText);
    widget->setAutoFillBackground(true);
}

} // namespace

Kazerima::Kazerima(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(toQString(design::WindowName));
    setWindowTitle(toQString(design::WindowCaption));
    setFont(designFont(design::userInterfaceFont()));

    auto *client = new QWidget(this);
    client->setObjectName(u"client"_s);
    client->setMinimumSize(ClientArea);
    setColours(client, design::WindowBackground, design::WindowText);
    setCentralWidget(client);
    resize(ClientArea);

    // The classic style etches the frame in light and shadow, which stays visible on black,
    // and sets the caption into the top edge. It is not inherited by the frames' children.
    m_frameStyle = QStyleFactory::create(u"Windows"_s);
    m_frameStyle->setParent(this);

    createControls(client, {});
    createMenus();
    m_timer = new FrameClock(this);
    m_timer->setObjectName(toQString(design::TickTimer));

    QList<QWidget *> tabStops;
    for (const design::Control *stop : design::tabOrder())
        tabStops.append(control<QWidget>(stop->name));
    new FocusRing(tabStops, client);

    setMessageBoxPresenter(
        [this](const MessageBoxRequest &request) { showModalMessageBox(this, request); });
    // The clock reports a frame once the input that came before it is handled.
    connect(m_timer, &FrameClock::frame, this, [this](double timeMs) { frame(timeMs); });
}

template<typename T> T *Kazerima::control(std::string_view name) const
{
    return findChild<T *>(toQString(name));
}

template<typename T> T *Kazerima::widget(const design::Control &control) const
{
    return static_cast<T *>(m_widgets.at(&control));
}

// Created bottom-most first, since a later sibling is drawn over an earlier one; each frame's
// controls right after the frame.
void Kazerima::createControls(QWidget *container, std::string_view containerName)
{
    const std::vector<const design::Control *> held = design::children(containerName);
    for (auto made = held.rbegin(); made != held.rend(); ++made) {
        const design::Control &design = **made;
        QWidget *widget = createControl(design, container);
        m_widgets.emplace(&design, widget);
        widget->setObjectName(toQString(design.name));
        widget->setGeometry(pixels(design.rect));
        if (design.font)
            widget->setFont(designFont(*design.font));
        if (!design.accessibleName.empty())
            widget->setAccessibleName(toQString(design.accessibleName));
        if (design.kind == design::Kind::Frame)
            createControls(widget, design.name);
    }
}

QWidget *Kazerima::createControl(const design::Control &design, QWidget *container)
{
    const QString caption = toQString(design.caption);
    switch (design.kind) {
    case design::Kind::Frame: {
        auto *frame = new QGroupBox(container);
        frame->setStyle(m_frameStyle);
        frame->setTitle(caption);
        setColours(frame, design.background, design.text);
        return frame;
    }
    case design::Kind::OptionButton: {
        auto *option = new QRadioButton(caption, container);
        setColours(option, design.background, design.text);
        option->setChecked(design.on);
        // However it is turned on, by the mouse, the keys or assistive technology, the idle
        // tick that follows takes the count in.
        connect(option, &QRadioButton::toggled, this, [this] { changed(); });
        return option;
    }
    case design::Kind::TextBox: {
        auto *field = new QLineEdit(caption, container);
        // Qt would cut a longer name at 32,767 characters; the design sets no limit.
        field->setMaxLength(std::numeric_limits<int>::max());
        connect(field, &QLineEdit::textChanged, this, [this, &design] { edited(design); });
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, toQColor(design.background));
        palette.setColor(QPalette::Text, toQColor(design.text));
        field->setPalette(palette);
        return field;
    }
    case design::Kind::Label: {
        if (design.name == design::ResultLabel) {
            auto *result = new ResultLabel(container);
            result->setCaption(caption);
            result->setBackColour(toQColor(design.background));
            QPalette palette = result->palette();
            palette.setColor(QPalette::WindowText, toQColor(design.text));
            result->setPalette(palette);
            if (design.border) {
                result->setFrameStyle(QFrame::Box | QFrame::Plain);
                result->setLineWidth(1);
            }
            return result;
        }
        auto *label = new QLabel(container);
        label->setTextFormat(Qt::PlainText);
        label->setText(caption);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setColours(label, design.background, design.text);
        return label;
    }
    case design::Kind::PushButton: {
        // The design's colours for these are the standard button face and text, which is
        // what the style draws.
        auto *button = new QPushButton(caption, container);
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, &design] { activate(design); });
        return button;
    }
    case design::Kind::Timer:
        break; // no widget: its frames are a FrameClock
    }
    return nullptr;
}

void Kazerima::createMenus()
{
    // Alt hands the keyboard to the menu bar. The classic style shows which menu it is on;
    // the default one shows nothing until a menu opens, so a keyboard user would be lost.
    menuBar()->setStyle(m_frameStyle);
    // F10 opens the first menu, as on the usual Linux desktops; from there the arrows move
    // among the menus and their items, and Escape steps back to the menu bar, then to the
    // control that had the keyboard.
    auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(menuBar()->actions().constFirst()); });
    for (const design::Menu &design : design::menus()) {
        QMenu *menu = menuBar()->addMenu(toQString(design.caption));
        menu->setObjectName(toQString(design.name));
        menu->setFont(font()); // a pop-up is a window of its own, which inherits no font
        for (const design::MenuItem &item : design.items) {
            QAction *action
                = menu->addAction(toQString(item.caption), this, [this, &item] { activate(item); });
            action->setObjectName(toQString(item.name));
        }
    }
}

void Kazerima::showEvent(QShowEvent *event)
{
    if (!m_loaded && !event->spontaneous()) {
        m_loaded = true;
        load();
    }
    QMainWindow::showEvent(event);
}

// Runs once, just before the window first appears.
void Kazerima::load()
{
    resize(ClientArea.width(), menuBar()->sizeHint().height() + ClientArea.height());
    followScreen(windowHandle()->screen());
    connect(windowHandle(), &QWindow::screenChanged, this, &Kazerima::followScreen);
    m_timer->follow(windowHandle(), control<ResultLabel>(design::ResultLabel));
    runLoadStep();
}

// Where Timer1's frames are a timer, they come at the rate of the screen the window is on.
void Kazerima::followScreen(QScreen *screen)
{
    disconnect(m_screenRate);
    m_timer->setFrameRate(screen ? screen->refreshRate() : 0);
    if (screen)
        m_screenRate
            = connect(screen, &QScreen::refreshRateChanged, m_timer, &FrameClock::setFrameRate);
}

// Return and Enter click a focused push button, as they do on Windows and in KDE. Neither button
// is a default button, so Return in a name field still starts nothing.
bool Kazerima::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            static_cast<QPushButton *>(watched)->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// Tab follows the design's order rather than the order the widgets were made in.
bool Kazerima::focusNextPrevChild(bool next)
{
    const QWidget *focused = focusWidget();
    const std::string from = focused ? focused->objectName().toStdString() : std::string();
    const std::string_view to = nextTabStop(from, next, [this](std::string_view name) {
        const QWidget *candidate = control<QWidget>(name);
        return candidate->isVisible() && candidate->isEnabled();
    });
    if (to.empty())
        return false;
    control<QWidget>(to)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

std::string Kazerima::fieldText(const design::Control &field)
{
    return widget<QLineEdit>(field)->text().toStdString();
}

void Kazerima::setShown(const design::Control &control, bool shown)
{
    widget<QWidget>(control)->setVisible(shown);
}

bool Kazerima::isOn(const design::Control &option)
{
    return widget<QRadioButton>(option)->isChecked();
}

void Kazerima::setCaption(const design::Control &label, std::string_view caption)
{
    widget<ResultLabel>(label)->setCaption(toQString(caption));
}

void Kazerima::setBackColour(const design::Control &label, Colour colour)
{
    widget<ResultLabel>(label)->setBackColour(toQColor(colour));
}

void Kazerima::announce(const design::Control &label)
{
    widget<ResultLabel>(label)->announce();
}

void Kazerima::runFrames(bool run)
{
    if (run)
        m_timer->start();
    else
        m_timer->stop();
}

void Kazerima::focus(const design::Control &control)
{
    widget<QWidget>(control)->setFocus();
}
