#include "write_machine_id_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

#include "commands.h"
#include "form_registry.h"
#include "owned_message.h"
#include "pendra_app.h"
#include "reader_identity.h"
#include "service_codes.h"
#include "string_table.h"

namespace {
const bool registered = registerCommandDialog(
    cmd::kMachineNumber, [](QWidget* parent) { return new CDlgWriteMachineId(parent); });

constexpr int kMachineNumberDigits = 8;
}  // namespace

CDlgWriteMachineId::CDlgWriteMachineId(QWidget* parent) : QDialog(parent) {
    setObjectName("330");
    setWindowTitle(strings::dialogText(330, 0));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(strings::dialogText(330, 1050), this), 0, 0);
    number_ = new QLineEdit(this);
    number_->setObjectName("1050");
    grid->addWidget(number_, 0, 1);
    grid->addWidget(new QLabel(strings::dialogText(330, 1016), this), 1, 0);
    code_ = new QLineEdit(this);
    code_->setObjectName("1016");
    code_->setEchoMode(QLineEdit::Password);
    grid->addWidget(code_, 1, 1);
    refused_ = new QLabel(strings::dialogText(330, 1051), this);
    refused_->setObjectName("1051");
    refused_->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    grid->addWidget(refused_, 2, 0, 1, 2);
    auto* write = new QPushButton(strings::dialogText(330, 1), this);
    write->setObjectName("1");
    write->setDefault(true);
    grid->addWidget(write, 3, 1, Qt::AlignRight);
    connect(write, &QPushButton::clicked, this, &CDlgWriteMachineId::OnOK);
    OnInitDialog();
}

void CDlgWriteMachineId::OnInitDialog() {
    if (CPendraApp* app = theApp()) app->testRun = 0;
    refused_->hide();
}

bool CDlgWriteMachineId::isMachineNumber(const QString& text) {
    if (text.size() != kMachineNumberDigits) return false;
    for (QChar c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

QString CDlgWriteMachineId::identificationWith(const QString& identification, const QString& number) {
    // A "/" would end the version write early.
    QString model = identification.left(identification.indexOf('/'));
    if (model.size() >= kMachineNumberDigits && isMachineNumber(model.right(kMachineNumberDigits)))
        model.chop(kMachineNumberDigits);
    return model + number;
}

void CDlgWriteMachineId::OnOK() {
    CPendraApp* app = theApp();
    if (!app) return;
    if (!app->connected) {
        showOwnedMessage(this, 101);
        return;
    }
    const QString number = number_->text().trimmed();
    if (!isMachineNumber(number)) {
        showOwnedMessage(this, 191);
        return;
    }
    bool forced = false;
    if (code_->text() == QLatin1String(servicecode::kAdministrator)) {
        forced = false;
    } else if (code_->text() == QLatin1String(servicecode::kMaster)) {
        forced = true;
    } else {
        refused_->show();
        return;
    }
    refused_->hide();
    const QString identification = readerinfo::readIdentification(app->device).value_or(QString());
    if (!forced && !identification.isEmpty()) {
        showOwnedMessage(this, 145);
        reject();
        return;
    }
    if (!writeNumber(identification, number)) {
        showOwnedMessage(this, 118);
        return;
    }
    showOwnedMessage(this, 119);
    accept();
}

bool CDlgWriteMachineId::writeNumber(const QString& identification, const QString& number) {
    CPendraApp* app = theApp();
    const QString text = identificationWith(identification, number);
    const QByteArray command = "V " + CPendraApp::ToNarrow(text) + "/";
    if (app->device.send(command.constData()) <= 0) return false;
    // Written is what the reader answers from now on.
    return readerinfo::readIdentification(app->device) == text;
}
