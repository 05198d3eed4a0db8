#include "config_print_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>
#include <vector>

#include "commands.h"
#include "form_registry.h"
#include "pendra_app.h"
#include "print_settings.h"
#include "string_table.h"

namespace {
const bool registered =
    registerCommandDialog(cmd::kPrintHead, [](QWidget* parent) { return new CDlgConfigPrint(parent); });

QLineEdit* addEdit(QWidget* owner, QGridLayout* grid, int row, const char* id, const QString& label,
                   const QString& note) {
    grid->addWidget(new QLabel(label, owner), row, 0);
    auto* edit = new QLineEdit(owner);
    edit->setObjectName(id);
    grid->addWidget(edit, row, 1);
    if (!note.isEmpty()) grid->addWidget(new QLabel(note, owner), row + 1, 1);
    return edit;
}
}  // namespace

CDlgConfigPrint::CDlgConfigPrint(QWidget* parent) : QDialog(parent) {
    setObjectName("335");
    setWindowTitle(strings::dialogText(335, 0));
    auto* grid = new QGridLayout(this);
    serialPrefix_ = addEdit(this, grid, 0, "1075", strings::dialogText(335, 1075),
                            strings::dialogText(335, -1));
    serialStart_ = addEdit(this, grid, 2, "1076", strings::dialogText(335, 1076),
                           strings::dialogText(335, -2));
    scorePrefix_ = addEdit(this, grid, 4, "1077", strings::dialogText(335, 1077), strings::dialogText(335, -3));
    printScore_ = new QCheckBox(strings::dialogText(335, 1067), this);
    printScore_->setObjectName("1067");
    grid->addWidget(printScore_, 6, 1);
    auto* buttons = new QHBoxLayout;
    auto* save = new QPushButton(strings::dialogText(335, 1001), this);
    save->setObjectName("1001");
    auto* ok = new QPushButton(strings::dialogText(335, 1000), this);
    ok->setObjectName("1000");
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(ok);
    grid->addLayout(buttons, 7, 0, 1, 2);
    connect(ok, &QPushButton::clicked, this, &CDlgConfigPrint::OnOK);
    connect(save, &QPushButton::clicked, this, &CDlgConfigPrint::OnSaveCounter);
    OnInitDialog();
}

void CDlgConfigPrint::OnInitDialog() {
    CPendraApp* app = theApp();
    if (!app) return;
    app->testRun = 0;
    if (!app->connected) {
        app->ShowMessage(101);
        return;
    }
    if (app->device.send("X 2/") <= 0) {
        app->ShowDeviceError(this);
        return;
    }
    // The reader decides the reply length: the buffer takes the longest the library delivers.
    std::vector<char> reply(VAZ_REPLY_SIZE, 0);
    app->device.get(reply.data());
    reply.back() = 0;
    const PrintSettings s = parsePrintSettings(CPendraApp::ToWide(reply.data()));
    serialPrefix_->setText(s.serialPrefix);
    serialStart_->setText(s.serialStart);
    scorePrefix_->setText(s.scorePrefix);
    printScore_->setChecked(s.printScore);
}

void CDlgConfigPrint::OnOK() {
    CPendraApp* app = theApp();
    if (!app) return;
    if (!app->connected) {
        app->ShowMessage(101);
        return;
    }
    const std::optional<QByteArray> command = printSettingsCommand(
        {serialPrefix_->text(), serialStart_->text(), scorePrefix_->text(), printScore_->isChecked()});
    if (!command) {
        app->ShowMessage(192);
        return;
    }
    if (app->device.send(command->constData()) > 0) {
        app->ShowMessage(119);
        accept();
    } else {
        app->ShowMessage(118);
    }
}

void CDlgConfigPrint::OnSaveCounter() {
    CPendraApp* app = theApp();
    if (!app) return;
    app->ShowMessage(app->device.send("X 1/") > 0 ? 119 : 118);
}
