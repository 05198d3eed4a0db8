// The About box (dialog 100): the program's name and version and, while a
// reader is connected, its card counter and machine number.
#pragma once

#include <QDialog>

class QLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

private:
    void OnInitDialog();
    QLabel* counter_;  // static 1009
    QLabel* machine_;  // static 1010
};
