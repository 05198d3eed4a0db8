#include "motor_set_dlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialog_texts.h"
#include "form_registry.h"
#include "ini_file.h"
#include "pendra_app.h"
#include "settings_action.h"
#include "string_table.h"

using namespace devicesettings;
using dialogtexts::addStatics;
using dialogtexts::numberList;
using dialogtexts::staticText;

namespace {
const bool registered = registerCommandDialog(cmd::kMotorSpeed, [](QWidget* parent) {
    return new CMotorSetDlg(parent);
});
}  // namespace

CMotorSetDlg::CMotorSetDlg(QWidget* parent, QString initIni)
    : QDialog(parent), initIni_(initIniOr(std::move(initIni))) {
    constexpr int d = kDialogId;
    dialogtexts::nameDialog(this, d);
    auto* layout = new QVBoxLayout(this);

    auto* lists = new QFormLayout;
    speedList_ = numberList(1011, kMinSpeed, kMaxSpeed, this);
    forwardList_ = numberList(1012, kMinCoefficient, kMaxCoefficient, this);
    reverseList_ = numberList(1015, kMinCoefficient, kMaxCoefficient, this);
    lists->addRow(staticText(d, -7, this), speedList_);
    lists->addRow(staticText(d, -8, this), forwardList_);
    lists->addRow(staticText(d, -9, this), reverseList_);
    layout->addLayout(lists);

    auto* notes = new QGroupBox(strings::dialogText(d, -1), this);
    auto* notesLayout = new QVBoxLayout(notes);
    addStatics(notesLayout, d, -2, -2, notes);
    addStatics(notesLayout, d, -3, -3, notes);
    addStatics(notesLayout, d, -4, -6, notes);
    layout->addWidget(notes);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* ok = dialogtexts::button(d, 1, this);
    ok->setDefault(true);
    QPushButton* cancel = dialogtexts::button(d, 2, this);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CMotorSetDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    OnInitDialog();
}

void CMotorSetDlg::OnInitDialog() {
    if (CPendraApp* app = theApp()) app->testRun = 0;
    current_ = storedMotorSettings(CIni(initIni_));
    speedList_->setCurrentIndex(current_.speed - kMinSpeed);
    forwardList_->setCurrentIndex(current_.forward - kMinCoefficient);
    reverseList_->setCurrentIndex(current_.reverse - kMinCoefficient);
}

void CMotorSetDlg::OnOK() {
    const MotorSettings chosen{dialogtexts::chosenNumber(speedList_), dialogtexts::chosenNumber(forwardList_),
                               dialogtexts::chosenNumber(reverseList_)};
    bool accepted = false;
    runSettingsAction(initIni_, [&](ReaderPort& reader, CIni& ini) {
        const MotorResult r = applyMotorSettings(reader, ini, current_, chosen);
        current_ = r.current;
        accepted = r.accepted;
        return r.message;
    });
    if (accepted) accept();
}
