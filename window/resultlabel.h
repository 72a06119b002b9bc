#pragma once

#include <QFrame>
#include <QTimer>

// The big box that shows the spinning names and the pick. A spin changes its caption 200
// times a second, more often than any screen can show, so it paints a new caption at most
// once per screen refresh; a new colour, such as the red of a stop, is painted at once.
// Assistive technology reads the caption as the box's name, and hears of it only when
// announce() says so: told of every change, a screen reader would talk 200 times a second.
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

private:
    void paintPendingCaption();

    QString m_caption;
    QColor m_backColour;
    QTimer m_frameTimer;
    bool m_captionPending = false;
};
