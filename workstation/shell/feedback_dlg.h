// The device library's feedback dialog (dialog 4001) as a Qt dialog, shown
// through the library's hook vaz_host_feedback_dialog when "问题反馈" runs
// VazCrashReport.
#pragma once

#include <QDialog>
#include <QThread>
#include <atomic>
#include <memory>

#include "vaz_host_hooks.h"

class QPlainTextEdit;
class QPushButton;
class CPendraApp;

class CDlgCrashReport : public QDialog {
public:
    // `dialog` (its texts and its submit) outlives the dialog.
    CDlgCrashReport(const VazFeedbackDialog& dialog, QWidget* parent = nullptr);
    ~CDlgCrashReport() override;
    bool sending() const { return worker_ != nullptr; }
    void reject() override;  // not while a mail is on its way

private:
    // Button 3: hands the message to the library's submit on a worker thread,
    // with the buttons and the edit disabled until it returns.
    void OnSubmit();
    void submitted();
    void setBusy(bool busy);

    const VazFeedbackDialog& dialog_;
    QPlainTextEdit* message_ = nullptr;
    QPushButton* submit_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::unique_ptr<QThread> worker_;
    std::atomic<int> result_{0};
};

// "问题反馈": calls the library's VazCrashReport (resolved by name; a library
// without it does nothing). Returns its result.
bool RunCrashReport(CPendraApp& app);
