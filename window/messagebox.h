#pragma once

#include "kazerimawindow.h"

class QWidget;

// The real presenter: a modal box with a single OK button, over the window that owns it.
void showModalMessageBox(QWidget *owner, const MessageBoxRequest &request);
