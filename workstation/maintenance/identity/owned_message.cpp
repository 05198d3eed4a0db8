#include "owned_message.h"

#include <QMessageBox>

#include "pendra_app.h"

void showOwnedMessage(QWidget* owner, int stringId) {
    CPendraApp* app = theApp();
    if (!app) return;
    QMessageBox box(QMessageBox::NoIcon, app->messageCaption, app->LoadText(stringId), QMessageBox::Ok, owner);
    box.setObjectName("message");
    box.exec();
}
