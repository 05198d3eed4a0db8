// The service menu's prompt that raises the access level of the running
// program to 3 with the administrator code; level 3 offers the USB firmware
// update. Nothing is stored: the next start is at level 0 again.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

class CAccessLevelDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAccessLevelDlg(QWidget* parent = nullptr);

private:
    void OnOK();
    QLineEdit* code_;   // password edit 1016
    QLabel* refused_;  // red static 1017, shown after a wrong code
};
