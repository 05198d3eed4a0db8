// The project dialog (dialog 327, "新建测试项目"): one test project's models
// and serial numbers, and runs of cards through the reader compared with the
// chosen card type's answer key, or one card recorded as that key.
//
// The read loop (EvaReadLoop) runs on a worker thread on its own copy of the
// record; each card's counts come back to the GUI thread, and the run's
// record replaces the dialog's when the loop has ended. However the dialog
// is closed ("保存退出", Esc, the close box, the program closing), it first
// asks the loop to stop and waits for it, serving events meanwhile (the loop
// may be waiting for a message box), so no card is counted into a project
// the dialog has already handed back.
#pragma once

#include <QDialog>
#include <atomic>
#include <memory>

#include "answer_evaluation.h"
#include "eva_config.h"
#include "eva_read_loop.h"
#include "file_locations.h"
#include "project_record.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class EvaRun;

class CEvaDlg : public QDialog {
    Q_OBJECT
public:
    explicit CEvaDlg(QWidget* parent = nullptr);
    ~CEvaDlg() override;

    // Set by the project list before each opening.
    void setProject(int row, const ProjectRecord& record);
    int rowIndex() const { return row_; }
    // The record as the dialog holds it (after "保存退出": as the dialog showed it).
    const ProjectRecord& record() const { return record_; }

    // Where config.ini and the format files are looked for (the running
    // program's places unless set).
    void setLocations(const FileLocations& locations) { locations_ = locations; }

    // The clock the loop measures the speed by (a steady clock unless set).
    void setRunClock(EvaReadLoop::Clock clock) { clock_ = std::move(clock); }

    // Runs the dialog modally, rereading config.ini first.
    int DoModal();
    void OnInitDialog();

    bool running() const { return running_; }
    const EvaConfig& config() const { return config_; }
    // The card type last chosen while connected: its answer key is used.
    const QString& chosenCardType() const { return chosenCardType_; }
    bool formatLoaded() const { return formatLoaded_; }
    const QString& lastAnswer() const { return lastAnswer_; }

    // Button and list handlers.
    void OnCardTypeChosen(int index);
    void OnRead();
    void OnRecordAnswer();
    void OnClearErrors();
    void OnSaveAndClose();
    void OnStopOnError(bool checked);

    // Esc and the close box: the loop ends first, the edits are discarded.
    void reject() override;

protected:
    // The close box (and close()): the loop ends first.
    void closeEvent(QCloseEvent* event) override;

signals:
    // Message 1124 to the project list: record() is the project to store.
    void projectUpdated();
    // A run's loop has ended and its record is shown.
    void runEnded();

private:
    friend class EvaRun;
    void showRecord(const ProjectRecord& record);
    void showCounts(const ProjectRecord& record);
    ProjectRecord recordFromDialog() const;
    void startRun(evaluation::Mode mode);
    // Takes the run's record once its loop has ended (queued by the loop's
    // last step, or called after a stop's wait).
    void finishRun();
    // Asks a running loop to stop and waits until it has ended.
    void stopRun();
    void setRunButtons(bool running);
    void showProblems();

    FileLocations locations_ = FileLocations::current();
    int row_ = -1;
    ProjectRecord record_;
    EvaConfig config_;
    QString chosenCardType_;  // survives from one opening to the next
    bool stopOnError_ = false;  // likewise
    bool formatLoaded_ = false;
    QString lastAnswer_;
    std::atomic<bool> running_{false};
    EvaReadLoop::Clock clock_;
    std::unique_ptr<EvaRun> run_;
    bool stopping_ = false;

    QComboBox* machineTypes_ = nullptr;  // 1011
    QComboBox* cardTypes_ = nullptr;     // 1012
    QLineEdit* product_ = nullptr;       // 1034
    QLineEdit* mainboard_ = nullptr;     // 1035
    QLineEdit* power_ = nullptr;         // 1037
    QLineEdit* photoHead_ = nullptr;     // 1036
    QLineEdit* counters_[5] = {};        // 1038..1042
    QPlainTextEdit* positions_ = nullptr;  // 1046
    QTableWidget* details_ = nullptr;      // 1044
    QCheckBox* stopOnErrorBox_ = nullptr;  // 1043
    QPushButton* clear_ = nullptr;         // 1000
    QPushButton* read_ = nullptr;          // 1004
    QPushButton* recordAnswer_ = nullptr; // 1005
    QPushButton* save_ = nullptr;          // 1006
};
