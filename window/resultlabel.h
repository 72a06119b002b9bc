#pragma once

#include <QFrame>
#include <QHash>
#include <QImage>

// The big box that shows the spinning names and the pick. A new caption or colour is painted
// before the call that sets it returns: a tick comes with a frame of the screen, and the name
// it shows reaches the screen in the same turn of the event loop, so no click or key can come
// between a name and its paint, and a Stop freezes the name in view. Assistive technology reads
// the caption as the box's name, and hears of it only when announce() says so: told of every
// change, a screen reader would talk with every frame.
class ResultLabel : public QFrame
{
    Q_OBJECT

public:
    explicit ResultLabel(QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    QColor backColour() const { return m_backColour; }
    void setBackColour(const QColor &colour);

    // Tells assistive technology the caption as it stands, as a change of the box's name.
    void announce();

signals:
    void announced(const QString &caption);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    const QImage &drawnCaption();

    QString m_caption;
    QColor m_backColour;
    // Each caption drawn once, for the box's size, font, text colour and the screen's ratio of
    // device pixels to the box's as they stand.
    QHash<QString, QImage> m_drawn;
    qreal m_drawnRatio = 0;
};
