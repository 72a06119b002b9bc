#pragma once

#include <QWidget>

// A ring drawn around whichever of the given controls has keyboard focus. The styles' own
// focus marks vanish on the design's black (a dark blue dot ring round the count buttons, a
// one-pixel line in the push buttons); this one stands out against black, white and the
// button face alike, at better than 3:1.
class FocusRing : public QWidget
{
    Q_OBJECT

public:
    explicit FocusRing(QList<QWidget *> controls, QWidget *parent = nullptr);

    // Windows' focus blue: about 4.5:1 against both black and white.
    static constexpr QRgb Colour = 0xFF0078D7;
    static constexpr int Width = 2;
    static constexpr int Gap = 1; // between the control and the ring

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void follow(QWidget *focused);

    QList<QWidget *> m_controls;
};
