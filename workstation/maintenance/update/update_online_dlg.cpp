#include "update_online_dlg.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "commands.h"
#include "form_registry.h"
#include "pendra_app.h"
#include "service_codes.h"
#include "string_table.h"
#include "update_texts.h"

namespace {
const bool registered =
    registerCommandDialog(cmd::kFirmwareUpdate, [](QWidget* parent) { return new CUpdateOnlineDlg(parent); });
}  // namespace

CUpdateOnlineDlg::CUpdateOnlineDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("322");
    setWindowTitle(strings::dialogText(322, 0));
    auto* grid = new QGridLayout(this);
    auto* choose = new QPushButton(strings::dialogText(322, 1000), this);
    choose->setObjectName("1000");
    grid->addWidget(choose, 0, 0);
    pathEdit_ = new QLineEdit(this);
    pathEdit_->setObjectName("1027");
    pathEdit_->setReadOnly(true);
    pathEdit_->setMinimumWidth(280);
    grid->addWidget(pathEdit_, 0, 1);
    grid->addWidget(new QLabel(strings::dialogText(322, 1016), this), 1, 0);
    code_ = new QLineEdit(this);
    code_->setObjectName("1016");
    code_->setEchoMode(QLineEdit::Password);
    grid->addWidget(code_, 1, 1);
    refused_ = new QLabel(strings::dialogText(322, 1017), this);
    refused_->setObjectName("1017");
    refused_->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    refused_->hide();
    grid->addWidget(refused_, 2, 1);
    auto* update = new QPushButton(strings::dialogText(322, 1028), this);
    update->setObjectName("1028");
    update->setDefault(true);
    grid->addWidget(update, 3, 1, Qt::AlignRight);
    connect(choose, &QPushButton::clicked, this, &CUpdateOnlineDlg::OnChooseFile);
    connect(update, &QPushButton::clicked, this, &CUpdateOnlineDlg::OnUpdate);
    if (CPendraApp* app = theApp()) app->testRun = 0;
}

void CUpdateOnlineDlg::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, this);
    box.setObjectName("message");
    box.exec();
}

void CUpdateOnlineDlg::OnChooseFile() {
    QFileDialog dlg(this, strings::dialogText(322, 1000), QString(), QString::fromUtf8(firmware::texts::kFirmwareFilter));
    dlg.setObjectName("fileDialog");
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::ExistingFile);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    chooseFile(dlg.selectedFiles().first());
}

void CUpdateOnlineDlg::chooseFile(const QString& path) {
    if (path == path_) {
        message(QString::fromUtf8(firmware::texts::kFileAlreadyLoaded));
        return;
    }
    path_ = path;
    pathEdit_->setText(path_);
}

void CUpdateOnlineDlg::OnUpdate() {
    if (path_.isEmpty()) {
        message(QString::fromUtf8(firmware::texts::kNoUpdateFile));
        return;
    }
    if (code_->text() != QLatin1String(servicecode::kAdministrator)) {
        refused_->show();
        return;
    }
    refused_->hide();
    CPendraApp* app = theApp();
    // A library without VazUpdateFlash leaves the entry null: the update fails with 0.
    const int result = app ? app->device.updateFlash(CPendraApp::ToNarrow(path_).constData()) : 0;
    message(QString::fromUtf8(result ? firmware::texts::kUpdateSucceeded : firmware::texts::kUpdateFailed));
}
