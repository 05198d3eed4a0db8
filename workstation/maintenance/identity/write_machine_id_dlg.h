// Dialog 330 (command 32813): gives a reader its 8-digit machine number.
// The administrator code writes it to a reader without an identification;
// the master code writes it over an existing one. The number reaches the
// reader by the version write "V text/", so that "v/" (and the About box)
// answer it from then on; the model letters in front of an existing number
// are kept, since the library tells the device type by them.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

class CDlgWriteMachineId : public QDialog {
    Q_OBJECT
public:
    explicit CDlgWriteMachineId(QWidget* parent = nullptr);

    // The identification that carries `number` (8 digits): `identification`
    // without a machine number at its end (its last 8 characters when they
    // are digits), then the number.
    static QString identificationWith(const QString& identification, const QString& number);
    static bool isMachineNumber(const QString& text);

private:
    void OnInitDialog();
    void OnOK();
    bool writeNumber(const QString& identification, const QString& number);

    QLineEdit* number_;  // edit 1050
    QLineEdit* code_;    // password edit 1016
    QLabel* refused_;    // red static 1051
};
