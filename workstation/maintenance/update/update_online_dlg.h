// Dialog 322 (command 32797), "Update-Online": hands a firmware file to the
// device library's VazUpdateFlash after the administrator code. The library
// of this kit has no such export, so the update reports failure; firmware is
// updated through the USB dialog (command 32804) instead.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

class CUpdateOnlineDlg : public QDialog {
    Q_OBJECT
public:
    explicit CUpdateOnlineDlg(QWidget* parent = nullptr);
    // The file "选择文件" chose; the same file again is only reported.
    void chooseFile(const QString& path);

private:
    void OnChooseFile();
    void OnUpdate();
    void message(const QString& text);

    QString path_;
    QLineEdit* pathEdit_;  // 1027
    QLineEdit* code_;      // password edit 1016
    QLabel* refused_;      // red static 1017
};
