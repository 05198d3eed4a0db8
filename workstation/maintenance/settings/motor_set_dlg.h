// The motor settings dialog (dialog 328, command 32786): the speed of the
// paper-transport motor and the forward and reverse coefficients of the
// sheet-feeding motor, sent to the reader and remembered in init.ini.
#pragma once

#include <QDialog>
#include <QString>

#include "device_settings.h"

class QComboBox;

class CMotorSetDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 328;

    // `initIni`: the settings file, by default where FileLocations puts it.
    explicit CMotorSetDlg(QWidget* parent = nullptr, QString initIni = {});

    // The settings as stored on opening, or as last accepted by the reader.
    const devicesettings::MotorSettings& current() const { return current_; }

private:
    void OnInitDialog();
    void OnOK();  // "设置"

    QString initIni_;
    devicesettings::MotorSettings current_;
    QComboBox* speedList_;    // 1011
    QComboBox* forwardList_;  // 1012
    QComboBox* reverseList_;  // 1015
};
