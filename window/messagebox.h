#pragma once

#include <QString>

#include <functional>

class QWidget;

struct MessageBoxRequest
{
    QString prompt;
    int style = 0; // MsgBoxOkOnly or MsgBoxCritical
    QString title; // empty: the box bears the application's title
};

// Shows a box and returns once it is dismissed. The window takes any presenter, so tests can
// watch what would be shown without a modal loop blocking them.
using MessageBoxPresenter = std::function<void(QWidget *owner, const MessageBoxRequest &request)>;

// The real presenter: a modal box with a single OK button.
void showModalMessageBox(QWidget *owner, const MessageBoxRequest &request);
