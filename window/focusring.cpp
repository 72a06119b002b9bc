#include "focusring.h"

#include <QApplication>
#include <QPainter>

FocusRing::FocusRing(QList<QWidget *> controls, QWidget *parent)
    : QWidget(parent)
    , m_controls(std::move(controls))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *focused) { follow(focused); });
}

// Sits beside the control, over it in the stacking order, a pixel clear of its edges: the
// control is painted as it always is, and the ring stands on the colours around it.
void FocusRing::follow(QWidget *focused)
{
    if (!m_controls.contains(focused)) {
        hide();
        return;
    }
    setParent(focused->parentWidget());
    const int margin = Gap + Width;
    setGeometry(focused->geometry().adjusted(-margin, -margin, margin, margin));
    raise();
    show();
}

void FocusRing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRegion ring = QRegion(rect()) - QRegion(rect().adjusted(Width, Width, -Width, -Width));
    for (const QRect &part : ring)
        painter.fillRect(part, QColor::fromRgb(Colour));
}
