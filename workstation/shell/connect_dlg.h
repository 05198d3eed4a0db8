// The connection dialog (dialog 313): connects over the chosen link and
// replaces the connection state with the result.
#pragma once

#include <QDialog>

class QComboBox;

class CConnectDlg : public QDialog {
    Q_OBJECT
public:
    explicit CConnectDlg(QWidget* parent = nullptr);
    QComboBox* linkList() const { return list_; }

private:
    void OnInitDialog();
    void OnConnect();
    QComboBox* list_;  // 1062
};
