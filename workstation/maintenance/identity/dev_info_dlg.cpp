#include "dev_info_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <optional>

#include "commands.h"
#include "form_registry.h"
#include "pendra_app.h"
#include "reader_identity.h"
#include "service_codes.h"
#include "string_table.h"

namespace {
const bool registered =
    registerCommandDialog(cmd::kDeviceInfo, [](QWidget* parent) { return new CDlgDevInfo(parent); });
}  // namespace

CDlgDevInfo::CDlgDevInfo(QWidget* parent) : QDialog(parent) {
    setObjectName("334");
    setWindowTitle(strings::dialogText(334, 0));
    prompt_ = new QLabel(strings::dialogText(334, 1068), this);
    prompt_->setObjectName("1068");
    code_ = new QLineEdit(this);
    code_->setObjectName("1016");
    code_->setEchoMode(QLineEdit::Password);
    ok_ = new QPushButton(strings::dialogText(334, 1000), this);
    ok_->setObjectName("1000");
    ok_->setDefault(true);
    refused_ = new QLabel(strings::dialogText(334, 1069), this);
    refused_->setObjectName("1069");
    refused_->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    refused_->hide();
    counter_ = new QLabel(strings::dialogText(334, 1070), this);
    counter_->setObjectName("1070");
    counter_->hide();
    counter_->setEnabled(false);
    place(prompt_, 10, 10, 200, 20);
    place(code_, 10, 35, 50, 20);
    place(ok_, 65, 35, 50, 20);
    place(refused_, 12, 60, 100, 20);
    place(counter_, 10, 35, 200, 20);
    setFixedSize(230, 90);
    connect(ok_, &QPushButton::clicked, this, &CDlgDevInfo::OnOK);
    if (CPendraApp* app = theApp()) app->testRun = 0;
}

void CDlgDevInfo::place(QWidget* w, int x, int y, int width, int height) {
    w->setGeometry(x, y, width, height);
}

void CDlgDevInfo::OnOK() {
    if (code_->text() != QLatin1String(servicecode::kDeviceInfo)) {
        refused_->show();
        return;
    }
    code_->hide();
    ok_->hide();
    refused_->hide();
    CPendraApp* app = theApp();
    if (!app || !app->connected) {
        prompt_->setText(strings::text(101));
        prompt_->adjustSize();
        return;
    }
    counter_->show();
    counter_->setEnabled(true);
    const std::uint32_t counter = readerinfo::readCardCounter(app->device).value_or(0);
    counter_->setText(app->LoadText(104) + QString::number(counter));
    if (std::optional<QString> ident = readerinfo::readIdentification(app->device))
        prompt_->setText(app->LoadText(127) + *ident);
    // The texts keep the places of the dialog; they are only as wide as they need.
    for (QLabel* l : {prompt_, counter_}) l->resize(std::max(200, l->sizeHint().width()), 20);
    setFixedSize(std::max(width(), std::max(prompt_->width(), counter_->width()) + 20), height());
}
