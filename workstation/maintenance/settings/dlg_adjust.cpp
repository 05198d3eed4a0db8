#include "dlg_adjust.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "device_settings.h"
#include "dialog_texts.h"
#include "form_registry.h"
#include "ini_file.h"
#include "pendra_app.h"
#include "settings_action.h"
#include "string_table.h"

using dialogtexts::addStatics;
using dialogtexts::staticText;

namespace {
const bool registered = registerCommandDialog(cmd::kCalibration, [](QWidget* parent) {
    return new CDlgAdjust(parent);
});
}  // namespace

CDlgAdjust::CDlgAdjust(QWidget* parent, QString initIni)
    : QDialog(parent), initIni_(initIniOr(std::move(initIni))) {
    constexpr int d = kDialogId;
    dialogtexts::nameDialog(this, d);
    auto* layout = new QVBoxLayout(this);

    auto* gray = new QGroupBox(strings::dialogText(d, -1), this);
    auto* grayLayout = new QVBoxLayout(gray);
    addStatics(grayLayout, d, -2, -2, gray);
    addStatics(grayLayout, d, -3, -3, gray);
    addStatics(grayLayout, d, -4, -4, gray);
    addStatics(grayLayout, d, -5, -6, gray);
    auto* grayRow = new QHBoxLayout;
    grayRow->addWidget(staticText(d, -7, gray));
    grayList_ = dialogtexts::numberList(1011, devicesettings::kMinGray, devicesettings::kMaxGray, gray);
    grayRow->addWidget(grayList_);
    grayRow->addStretch();
    auto* grayButton = dialogtexts::button(d, 1049, gray);
    grayRow->addWidget(grayButton);
    grayLayout->addLayout(grayRow);
    layout->addWidget(gray);

    auto* card = new QGroupBox(strings::dialogText(d, -8), this);
    auto* cardLayout = new QVBoxLayout(card);
    addStatics(cardLayout, d, -9, -10, card);
    addStatics(cardLayout, d, -11, -12, card);
    auto* cardRow = new QHBoxLayout;
    QLabel* syncLabel = staticText(d, -13, card);
    syncCount_ = new QLineEdit(card);
    syncCount_->setObjectName("1048");
    syncLabel->hide();
    syncCount_->hide();
    cardRow->addWidget(syncLabel);
    cardRow->addWidget(syncCount_);
    cardRow->addStretch();
    auto* cardButton = dialogtexts::button(d, 1050, card);
    cardRow->addWidget(cardButton);
    cardLayout->addLayout(cardRow);
    layout->addWidget(card);

    connect(grayButton, &QPushButton::clicked, this, &CDlgAdjust::OnCalibrateGray);
    connect(cardButton, &QPushButton::clicked, this, &CDlgAdjust::OnCalibrateCard);
    OnInitDialog();
}

void CDlgAdjust::OnInitDialog() {
    if (CPendraApp* app = theApp()) app->testRun = 0;
    const CIni ini(initIni_);
    storedSync_ = devicesettings::storedSyncMarker(ini);
    grayList_->setCurrentIndex(devicesettings::storedGrayLevel(ini) - devicesettings::kMinGray);
}

void CDlgAdjust::OnCalibrateGray() {
    const int level = dialogtexts::chosenNumber(grayList_);
    runSettingsAction(initIni_, [level](ReaderPort& reader, CIni& ini) {
        return devicesettings::calibrateGray(reader, ini, level);
    });
}

void CDlgAdjust::OnCalibrateCard() {
    runSettingsAction(initIni_, devicesettings::calibrateCard);
}
