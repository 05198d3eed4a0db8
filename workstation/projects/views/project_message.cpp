#include "project_message.h"

#include <QMessageBox>

#include "pendra_app.h"
#include "string_table.h"

namespace projectmessage {

void show(QWidget* parent, const QString& text) {
    const QString caption = theApp() ? theApp()->messageCaption : strings::text(103);
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.setObjectName("message");
    box.exec();
}

}  // namespace projectmessage
