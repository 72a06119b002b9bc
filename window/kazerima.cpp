#include "kazerima.h"

#include "colours.h"
#include "resultlabel.h"
#include "ticker.h"
#include "versionbox.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>
#include <QStyleFactory>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr int TwipsPerPixel = 15;
constexpr int TimerPeriodMs = 5;
constexpr QSize ClientArea(6270 / TwipsPerPixel, 5295 / TwipsPerPixel);

// Positions are designed in twips; every one of them divides into whole logical pixels.
QRect twips(int left, int top, int width, int height)
{
    return QRect(left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel,
                 height / TwipsPerPixel);
}

// The Windows faces come first; the Debian faces after them cover Japanese, half-width
// katakana included, where the Windows ones are missing.
const QStringList PGothic
    = {u"ＭＳ Ｐゴシック"_s, u"MS PGothic"_s, u"IPAPGothic"_s, u"IPA Pゴシック"_s};
const QStringList Gothic = {u"ＭＳ ゴシック"_s, u"MS Gothic"_s, u"IPAGothic"_s, u"IPAゴシック"_s};
const QStringList PopFixed
    = {u"HG創英角ﾎﾟｯﾌﾟ体"_s, u"HGSoeiKakupoptai"_s, u"MotoyaLMaru"_s, u"IPAGothic"_s};
const QStringList PopProportional
    = {u"HGP創英角ﾎﾟｯﾌﾟ体"_s, u"HGPSoeiKakupoptai"_s, u"MotoyaLMaru"_s, u"IPAPGothic"_s};
const QStringList HeavyGothic = {u"HG創英角ｺﾞｼｯｸUB"_s, u"HGSoeiKakugothicUB"_s, u"IPAPGothic"_s};

// Sizes in pixels rather than points, so the design does not grow or shrink with the
// screen's logical DPI.
QFont designFont(const QStringList &families, int pixelSize, QFont::Weight weight = QFont::Normal)
{
    // Only installed faces are handed on: Qt resolves a missing one through a costly
    // platform alias search, for every font and script, before it tries the next.
    static const QStringList installed = QFontDatabase::families();
    QStringList available;
    for (const QString &family : families) {
        if (installed.contains(family, Qt::CaseInsensitive))
            available.append(family);
    }
    QFont font;
    font.setFamilies(available);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
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

template<typename Widget> Widget *place(QWidget *container, const char *name, const QRect &geometry)
{
    auto *widget = new Widget(container);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

QLabel *placeLabel(QWidget *container, const char *name, const QRect &geometry,
                   const QString &caption, const QFont &font, Colour background, Colour text)
{
    auto *label = place<QLabel>(container, name, geometry);
    label->setFont(font);
    label->setText(caption);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setColours(label, background, text);
    return label;
}

} // namespace

Kazerima::Kazerima(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(u"Kazerima"_s);
    setWindowTitle(u"Kazerima"_s);
    createControls();
    createMenus();
}

void Kazerima::createControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(u"client"_s);
    client->setMinimumSize(ClientArea);
    setColours(client, SystemColour::ButtonText, SystemColour::HighlightText);
    setCentralWidget(client);
    resize(ClientArea);

    // Created bottom-most first: a later sibling is drawn over an earlier one.
    m_result = place<ResultLabel>(client, "Label3", twips(240, 3240, 5535, 1695));
    m_result->setFont(designFont(PGothic, 96));
    m_result->setBackColour(toQColor(RunningColour));
    QPalette resultPalette = m_result->palette();
    resultPalette.setColor(QPalette::WindowText, toQColor(SystemColour::ButtonText));
    m_result->setPalette(resultPalette);
    m_result->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_result->setLineWidth(1);

    placeLabel(client, "Label1", twips(480, 120, 5295, 495), u"Kazerima"_s,
               designFont(HeavyGothic, 37, QFont::Bold), 0x00000000, 0x0000FFFF);

    m_startButton = place<QPushButton>(client, "Command1", twips(3480, 840, 2535, 735));
    m_startButton->setFont(designFont(PopProportional, 32));
    m_startButton->setText(u"スタート"_s);

    m_timer = new Ticker(this);
    m_timer->setObjectName(u"Timer1"_s);
    connect(m_timer, &Ticker::timeout, this, [this] { m_ruret.Ruret_Tick(); });

    m_stopButton = place<QPushButton>(client, "Command2", twips(3480, 1680, 2535, 735));
    m_stopButton->setFont(designFont(PopFixed, 32));
    m_stopButton->setText(u"ストップ"_s);

    // The classic style etches the frame in light and shadow, which stays visible on black,
    // and sets the caption into the top edge. It is not inherited by the frames' children.
    QStyle *frameStyle = QStyleFactory::create(u"Windows"_s);
    frameStyle->setParent(this);

    auto *nameFrame = place<QGroupBox>(client, "Frame1", twips(1440, 720, 1935, 2415));
    nameFrame->setStyle(frameStyle);
    nameFrame->setTitle(u"罰ｹﾞｰﾑ候補者"_s);
    setColours(nameFrame, SystemColour::ButtonText, SystemColour::HighlightText);

    placeLabel(nameFrame, "Label2", twips(120, 240, 1695, 255), u"名前を登録して下さい"_s,
               designFont(Gothic, 11), SystemColour::ButtonText, 0x0000FF00);

    const QString sampleNames[] = {u"佐藤"_s, u"鈴木"_s, u"高橋"_s, u"田中"_s, u"伊藤"_s};
    for (int i = 0; i < 5; ++i) {
        const QByteArray name = "Text" + QByteArray::number(i + 1);
        QLineEdit *field
            = place<QLineEdit>(nameFrame, name.constData(), twips(240, 480 + 360 * i, 1215, 375));
        field->setFont(designFont(PGothic, 16));
        field->setText(sampleNames[i]);
        // Qt would cut a longer name at 32,767 characters; the design sets no limit.
        field->setMaxLength(std::numeric_limits<int>::max());
        field->setAccessibleName(QString::number(i + 1) + u"人目の名前"_s);
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, toQColor(SystemColour::Window));
        palette.setColor(QPalette::Text, toQColor(SystemColour::WindowText));
        field->setPalette(palette);
        m_names[i] = field;
    }

    auto *countFrame = place<QGroupBox>(client, "Frame2", twips(240, 720, 1095, 2415));
    countFrame->setStyle(frameStyle);
    countFrame->setTitle(u"対象人数"_s);
    setColours(countFrame, 0x00000000, SystemColour::HighlightText);

    for (int i = 0; i < 4; ++i) {
        const int count = i + 2;
        const QByteArray name = "Option" + QByteArray::number(count);
        auto *option = place<QRadioButton>(countFrame, name.constData(),
                                           twips(120, 360 + 480 * i, 855, 255));
        option->setFont(designFont(PGothic, 19));
        option->setText(QString::number(count) + u'人');
        setColours(option, SystemColour::ButtonText, SystemColour::HighlightText);
        m_options[i] = option;
    }
    m_options.back()->setChecked(true);

    connect(m_startButton, &QPushButton::clicked, this, &Kazerima::Ruret_Start);
    connect(m_stopButton, &QPushButton::clicked, this, &Kazerima::Ruret_Stop);
}

void Kazerima::createMenus()
{
    QMenu *mainMenu = menuBar()->addMenu(u"メニュー"_s);
    mainMenu->setObjectName(u"メニュー"_s);
    QAction *start = mainMenu->addAction(u"スタート"_s, this, &Kazerima::Ruret_Start);
    start->setObjectName(u"Start"_s);
    QAction *stop = mainMenu->addAction(u"ストップ"_s, this, &Kazerima::Ruret_Stop);
    stop->setObjectName(u"Stop"_s);

    QMenu *versionMenu = menuBar()->addMenu(u"バージョン"_s);
    versionMenu->setObjectName(u"バージョン"_s);
    QAction *version = versionMenu->addAction(u"バージョン"_s, this, &Kazerima::showVersion);
    version->setObjectName(u"Ver"_s);
}

void Kazerima::Ruret_Start()
{
    m_ruret.Ruret_Start();
}

void Kazerima::Ruret_Stop()
{
    const bool picking = m_ruret.isRunning();
    m_ruret.Ruret_Stop();
    if (picking)
        m_result->announce();
}

void Kazerima::setMessageBoxPresenter(MessageBoxPresenter presenter)
{
    m_presentMessageBox = std::move(presenter);
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
    m_startButton->setFocus();
    m_timer->start(TimerPeriodMs);
}

void Kazerima::showVersion()
{
    m_presentMessageBox(this, {versionText(), MsgBoxOkOnly, QString()});
}

// The design's tab stops, in order: the buttons, the name fields, then the count buttons as a
// single stop entered at the one that is on. Hidden fields are passed over.
bool Kazerima::focusNextPrevChild(bool next)
{
    const std::array<QWidget *, 8> stops
        = {m_startButton, m_stopButton, m_names[0], m_names[1],
           m_names[2],    m_names[3],   m_names[4], optionGroupTabStop()};
    const int count = static_cast<int>(stops.size());

    QWidget *focus = focusWidget();
    if (qobject_cast<QRadioButton *>(focus))
        focus = stops.back();
    const auto found = std::find(stops.begin(), stops.end(), focus);
    const int current = found == stops.end() ? (next ? -1 : count) : int(found - stops.begin());

    for (int step = 1; step <= count; ++step) {
        const int index = ((current + (next ? step : -step)) % count + count) % count;
        QWidget *candidate = stops[index];
        if (candidate->isVisible() && candidate->isEnabled()) {
            candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

QWidget *Kazerima::optionGroupTabStop() const
{
    for (QRadioButton *option : m_options) {
        if (option->isChecked())
            return option;
    }
    return m_options.front();
}

std::string Kazerima::nameText(int slot)
{
    ConvertedName &name = m_converted.at(slot - 1);
    const QString text = m_names.at(slot - 1)->text();
    // Any edit gives the field a new string, so sharing data means the same text.
    if (!text.isSharedWith(name.text)) {
        name.text = text;
        name.utf8 = text.toStdString();
    }
    return name.utf8;
}

void Kazerima::setNameVisible(int slot, bool visible)
{
    m_names.at(slot - 1)->setVisible(visible);
}

bool Kazerima::optionValue(int count)
{
    return m_options.at(count - 2)->isChecked();
}

void Kazerima::setResultCaption(const std::string &caption)
{
    // A running tick shows a name it has just read: find it rather than convert it again.
    for (const ConvertedName &name : m_converted) {
        if (name.utf8 == caption) {
            m_result->setCaption(name.text);
            return;
        }
    }
    m_result->setCaption(QString::fromStdString(caption));
}

void Kazerima::setResultBackColour(Colour colour)
{
    m_result->setBackColour(toQColor(colour));
}

void Kazerima::messageBox(const std::string &prompt, int style, const std::string &title)
{
    m_presentMessageBox(this,
                        {QString::fromStdString(prompt), style, QString::fromStdString(title)});
}
