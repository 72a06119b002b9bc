#include "resultlabel.h"

#include <QAccessibleWidget>
#include <QPainter>

namespace {

// More than the five names of a spin.
constexpr qsizetype MaxDrawnCaptions = 8;

class ResultLabelAccessible : public QAccessibleWidget
{
public:
    explicit ResultLabelAccessible(ResultLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    { }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Name)
            return static_cast<const ResultLabel *>(widget())->caption();
        return QAccessibleWidget::text(type);
    }
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("ResultLabel") && object->isWidgetType())
        return new ResultLabelAccessible(static_cast<ResultLabel *>(object));
    return nullptr;
}

} // namespace

ResultLabel::ResultLabel(QWidget *parent)
    : QFrame(parent)
{
    // Once per process: Qt asks every installed factory for every widget's interface.
    [[maybe_unused]] static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ResultLabel::setCaption(const QString &caption)
{
    m_caption = caption;
    repaint();
}

void ResultLabel::setBackColour(const QColor &colour)
{
    m_backColour = colour;
    repaint();
}

void ResultLabel::announce()
{
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
    emit announced(m_caption);
}

void ResultLabel::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.fillRect(rect(), m_backColour);
        painter.drawImage(contentsRect().topLeft(), drawnCaption());
    }
    QFrame::paintEvent(event);
}

// At 96 pixels Qt draws each glyph from its outline, and would do so on every paint, with every
// frame of a spin: each of a spin's few names is drawn once, and its later paints copy it.
const QImage &ResultLabel::drawnCaption()
{
    // On a screen of another scale (the window moved to it, or its scale changed) the names
    // are drawn again at its ratio of pixels, or they would be blurred or coarse there.
    const qreal ratio = devicePixelRatioF();
    if (ratio != m_drawnRatio) {
        m_drawn.clear();
        m_drawnRatio = ratio;
    }
    if (const auto found = m_drawn.constFind(m_caption); found != m_drawn.cend())
        return *found;
    if (m_drawn.size() >= MaxDrawnCaptions)
        m_drawn.clear();

    QImage image(contentsRect().size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    // A name too long for the box keeps its beginning: the leading edge of a right-to-left name
    // is the right-hand one. One line whatever the caption holds: a pasted line break must not
    // split the box.
    painter.setLayoutDirection(m_caption.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    painter.drawText(QRect(QPoint(), contentsRect().size()),
                     Qt::AlignLeading | Qt::AlignTop | Qt::TextSingleLine, m_caption);
    return *m_drawn.insert(m_caption, image);
}

void ResultLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        m_drawn.clear();
    QFrame::changeEvent(event);
}

void ResultLabel::resizeEvent(QResizeEvent *event)
{
    m_drawn.clear();
    QFrame::resizeEvent(event);
}
