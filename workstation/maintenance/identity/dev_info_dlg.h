// Dialog 334 (command 32835), "设备信息": after the device information code,
// the reader's fed-card counter and its identification.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class CDlgDevInfo : public QDialog {
    Q_OBJECT
public:
    explicit CDlgDevInfo(QWidget* parent = nullptr);

private:
    void OnOK();
    void place(QWidget* w, int x, int y, int width, int height);

    QLabel* prompt_;    // static 1068: the prompt, later the machine number
    QLineEdit* code_;   // password edit 1016
    QPushButton* ok_;   // 1000
    QLabel* refused_;   // red static 1069
    QLabel* counter_;   // static 1070, over the code entry once it is hidden
};
