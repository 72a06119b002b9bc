#pragma once

#include "kazerimawindow.h"

#include <QMainWindow>

#include <string_view>
#include <unordered_map>

class FrameClock;
class QScreen;
class QStyle;

// The program's one window in Qt. It lays out the fixed design, implements the portable
// window's gate over its widgets, and forwards clicks, menu picks, edits and the screen's
// frames to it.
class Kazerima : public QMainWindow, public KazerimaWindow
{
    Q_OBJECT

public:
    explicit Kazerima(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls(QWidget *container, std::string_view containerName);
    QWidget *createControl(const design::Control &design, QWidget *container);
    void createMenus();
    template<typename T> T *control(std::string_view name) const;
    template<typename T> T *widget(const design::Control &control) const;
    void load();
    void followScreen(QScreen *screen);

    // The gate
    std::string fieldText(const design::Control &field) override;
    void setShown(const design::Control &control, bool shown) override;
    bool isOn(const design::Control &option) override;
    void setCaption(const design::Control &label, std::string_view caption) override;
    void setBackColour(const design::Control &label, Colour colour) override;
    void announce(const design::Control &label) override;
    void runFrames(bool run) override;
    void focus(const design::Control &control) override;

    std::unordered_map<const design::Control *, QWidget *> m_widgets;
    FrameClock *m_timer = nullptr; // Timer1's frames
    QMetaObject::Connection m_screenRate;
    QStyle *m_frameStyle = nullptr;

    bool m_loaded = false;
};
