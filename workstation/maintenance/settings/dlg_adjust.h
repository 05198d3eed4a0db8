// The calibration dialog (dialog 329, command 32811): calibrates the
// reader's standard gray level and the thickness of the information card
// about to be read, and remembers the gray level in init.ini.
#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;

class CDlgAdjust : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 329;

    // `initIni`: the settings file, by default where FileLocations puts it.
    explicit CDlgAdjust(QWidget* parent = nullptr, QString initIni = {});

private:
    void OnInitDialog();
    void OnCalibrateGray();  // 1049
    void OnCalibrateCard();  // 1050

    QString initIni_;
    QComboBox* grayList_;   // 1011
    QLineEdit* syncCount_;  // 1048, hidden: the reader counts the marks itself
    int storedSync_ = 0;    // read on opening, not used further
};
