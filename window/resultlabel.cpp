#include "resultlabel.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QTextBoundaryFinder>

namespace {

// At 96 pixels even the narrowest glyphs are about 20 wide, so the box shows fewer than twenty
// characters; this leaves ample room for combining marks and other zero-width characters.
// Laying out the rest of a pasted 100,000-character name on every paint would cost
// milliseconds for nothing.
constexpr qsizetype MaxPaintedLength = 256;

QString visiblePart(const QString &caption)
{
    if (caption.size() <= MaxPaintedLength)
        return caption;
    // Cut between graphemes, never inside a surrogate pair or a cluster of combining marks.
    // The finder looks only a little past the cut: it analyses all the text it is given.
    const QString head = caption.first(MaxPaintedLength + 32);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, head);
    graphemes.setPosition(MaxPaintedLength);
    if (!graphemes.isAtBoundary())
        graphemes.toPreviousBoundary();
    return head.first(qMax<qsizetype>(graphemes.position(), 0));
}

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
    if (caption == m_caption)
        return;
    m_caption = caption;
    repaint();
}

void ResultLabel::setBackColour(const QColor &colour)
{
    if (colour == m_backColour)
        return;
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
        painter.setPen(palette().color(QPalette::WindowText));
        // A name too long for the box keeps its beginning: the leading edge of a right-to-left
        // name is the right-hand one. One line whatever the caption holds: a pasted line break
        // must not split the box.
        const QString visible = visiblePart(m_caption);
        painter.setLayoutDirection(visible.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
        painter.drawText(contentsRect(), Qt::AlignLeading | Qt::AlignTop | Qt::TextSingleLine,
                         visible);
    }
    QFrame::paintEvent(event);
}
