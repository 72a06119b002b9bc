#include "messagebox.h"

#include "ruretcontrols.h"

#include <QMessageBox>

void showModalMessageBox(QWidget *owner, const MessageBoxRequest &request)
{
    QMessageBox box(owner);
    // A box is a window of its own and inherits no font: it takes the window's, which covers
    // Japanese the same way in every locale.
    if (owner)
        box.setFont(owner->font());
    box.setIcon(request.style & MsgBoxCritical ? QMessageBox::Critical : QMessageBox::NoIcon);
    box.setWindowTitle(QString::fromStdString(request.shownTitle()));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(request.shownPrompt()));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}
