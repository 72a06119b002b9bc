#include "resultlabel.h"

#include <QPainter>
#include <QScreen>

namespace {

constexpr int FallbackRefreshHz = 60;

int framePeriodMs(const QWidget *widget)
{
    const QScreen *screen = widget->screen();
    const qreal hz
        = screen && screen->refreshRate() >= 1 ? screen->refreshRate() : FallbackRefreshHz;
    return qMax(1, qRound(1000 / hz));
}

} // namespace

ResultLabel::ResultLabel(QWidget *parent)
    : QFrame(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_frameTimer.setSingleShot(true);
    connect(&m_frameTimer, &QTimer::timeout, this, &ResultLabel::paintPendingCaption);
}

void ResultLabel::setCaption(const QString &caption)
{
    m_caption = caption;
    if (m_frameTimer.isActive()) {
        m_captionPending = true;
        return;
    }
    update();
    m_frameTimer.start(framePeriodMs(this));
}

void ResultLabel::paintPendingCaption()
{
    if (!m_captionPending)
        return;
    m_captionPending = false;
    update();
    m_frameTimer.start(framePeriodMs(this));
}

void ResultLabel::setBackColour(const QColor &colour)
{
    if (colour == m_backColour)
        return;
    m_backColour = colour;
    // Paints the caption as it stands too, so a stop shows its pick without waiting a frame.
    m_captionPending = false;
    update();
}

void ResultLabel::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.fillRect(rect(), m_backColour);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         m_caption);
    }
    QFrame::paintEvent(event);
}
