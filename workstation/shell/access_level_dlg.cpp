#include "access_level_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "commands.h"
#include "main_frame.h"
#include "pendra_app.h"
#include "service_codes.h"
#include "string_table.h"

CAccessLevelDlg::CAccessLevelDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("accessLevel");
    setWindowTitle(strings::dialogText(900, 0));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(strings::dialogText(900, 1016), this));
    code_ = new QLineEdit(this);
    code_->setObjectName("1016");
    code_->setEchoMode(QLineEdit::Password);
    layout->addWidget(code_);
    refused_ = new QLabel(strings::dialogText(900, 1017), this);
    refused_->setObjectName("1017");
    refused_->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    refused_->hide();
    layout->addWidget(refused_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(strings::dialogText(900, 1));
    buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
    buttons->button(QDialogButtonBox::Cancel)->setText(strings::dialogText(900, 2));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("2");
    connect(buttons, &QDialogButtonBox::accepted, this, &CAccessLevelDlg::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CAccessLevelDlg::OnOK() {
    if (code_->text() != QLatin1String(servicecode::kAdministrator)) {
        refused_->show();
        return;
    }
    CPendraApp* app = theApp();
    if (app) {
        app->accessLevel = kServiceAccessLevel;
        if (app->mainFrame()) app->mainFrame()->UpdateCommandStates();
        app->ShowMessage(190);
    }
    accept();
}
