#include "form_controls.h"

#include <QApplication>
#include <QMessageBox>

#include "gui_call.h"

namespace formcontrols {

void showOwnedMessage(QWidget* owner, int id) {
    QMessageBox box(QMessageBox::NoIcon, strings::text(103), strings::text(id), QMessageBox::Ok, owner);
    box.setObjectName("message");
    box.exec();
}

void showProgramMessage(int id) {
    runOnGuiThread([id] {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), strings::text(id),
                        QMessageBox::Ok);
        box.setObjectName("message");
        box.exec();
    });
}

int editNumber(const QLineEdit* edit, int fallback) {
    bool ok = false;
    const int n = edit->text().trimmed().toInt(&ok);
    return ok ? n : fallback;
}

}  // namespace formcontrols
