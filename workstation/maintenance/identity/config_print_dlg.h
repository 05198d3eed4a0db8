// Dialog 335 (command 32841), "打印头参数设置": reads the print head's
// settings from the reader when it opens, sets them with "确定" and makes
// the reader store its serial counter with "保存计数器的值".
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

class CDlgConfigPrint : public QDialog {
    Q_OBJECT
public:
    explicit CDlgConfigPrint(QWidget* parent = nullptr);

private:
    void OnInitDialog();
    void OnOK();
    void OnSaveCounter();

    QLineEdit* serialPrefix_;  // edit 1075
    QLineEdit* serialStart_;   // edit 1076
    QLineEdit* scorePrefix_;   // edit 1077
    QCheckBox* printScore_;    // check box 1067
};
