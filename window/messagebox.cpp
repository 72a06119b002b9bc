#include "messagebox.h"

#include "ruretcontrols.h"

#include <QGuiApplication>
#include <QMessageBox>

using namespace Qt::StringLiterals;

void showModalMessageBox(QWidget *owner, const MessageBoxRequest &request)
{
    QMessageBox box(owner);
    // A box is a window of its own and inherits no font: it takes the window's, which covers
    // Japanese the same way in every locale.
    if (owner)
        box.setFont(owner->font());
    box.setIcon(request.style & MsgBoxCritical ? QMessageBox::Critical : QMessageBox::NoIcon);
    // Set explicitly: not every platform falls back to the application name for an empty title.
    box.setWindowTitle(request.title.empty() ? QGuiApplication::applicationDisplayName()
                                             : QString::fromStdString(request.title));
    box.setTextFormat(Qt::PlainText);
    // Our texts break lines with LF then CR; Qt would draw each of the two as a line break.
    box.setText(QString::fromStdString(request.prompt).replace(u"\n\r"_s, u"\n"_s));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}
