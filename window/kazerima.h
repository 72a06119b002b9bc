#pragma once

#include "kazerimawindow.h"

#include <QMainWindow>

#include <array>
#include <string_view>

namespace design {
struct Control;
}

class QAction;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScreen;
class QStyle;
class ResultLabel;
class Ticker;

// The program's one window in Qt. It lays out the fixed design, lends its widgets to the
// roulette through RuretControls, and forwards clicks, menu picks and timer ticks to it.
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
    void load();
    void followScreen(QScreen *screen);
    QWidget *optionGroupTabStop() const;

    // RuretControls
    std::string nameText(int slot) override;
    void setNameVisible(int slot, bool visible) override;
    bool optionValue(int count) override;
    void setResultCaption(const std::string &caption) override;
    void setResultBackColour(Colour colour) override;
    void announcePick() override;

    // The text of each field as last handed to the roulette in UTF-8. A spin reads the same
    // names over and over; converting a pasted 100,000-character name costs about a third
    // of a millisecond each way, on every tick.
    struct ConvertedName
    {
        QString text;
        std::string utf8;
    };
    std::array<ConvertedName, 5> m_converted;

    std::array<QLineEdit *, 5> m_names {}; // Text1 .. Text5
    std::array<QRadioButton *, 4> m_options {}; // Option2 .. Option5
    ResultLabel *m_result = nullptr; // Label3
    QPushButton *m_startButton = nullptr; // Command1
    QPushButton *m_stopButton = nullptr; // Command2
    Ticker *m_timer = nullptr; // Timer1
    QMetaObject::Connection m_screenRate;
    QStyle *m_frameStyle = nullptr;

    bool m_loaded = false;
};
