// The read-card test (form 6, "读卡测试"): a format file is opened or
// written, loaded into the reader, and then the reader reads card after
// card while the log lists each card's number in the run, its sync mark
// count and the recognised answers, the newest on top. A worker does the
// reading; the application's card-reading flag keeps it going.
#pragma once

#include <QString>

#include "form_view.h"
#include "form_worker.h"

class QGroupBox;
class QPushButton;
class QTextEdit;

class CFormTest : public CFormView {
    Q_OBJECT
public:
    static constexpr int kFormId = 6;
    static constexpr int kDialog = 315;

    explicit CFormTest(QWidget* parent = nullptr);

    QString formatPath() const { return formatPath_; }
    const CFormWorker& reader() const { return worker_; }

    // Button 1003 "打开格式文件": asks for a file and opens it.
    void OnOpenFormat();
    // Makes `path` the format path and shows its text in edit 1002.
    void openFormatFile(const QString& path);
    // Button 1004 "加载格式文件": saves edit 1002 as the format file and
    // loads it into the reader.
    void OnLoadFormat();
    // Button 1072 "载入评分标准" (hidden): the same with the lower-case
    // format command.
    void OnLoadStandard();
    // Button 1005 "读卡": starts or stops the reading worker.
    void OnReadCard();
    // Button 1000 "取灰度": hands the last card to the gray test.
    void OnGrayOfCard();
    // Button 1073 "读标准答案卡" (hidden): reads one standard answer card.
    void OnReadStandardCard();

protected:
    void OnInitialUpdate() override;
    void placeControls(int width, int height) override;

private:
    void readCards();  // the worker's loop
    void addToLog(const QString& entry);

    QString formatPath_;
    CFormWorker worker_;

    QTextEdit* log_;
    QTextEdit* format_;
    QPushButton* open_;
    QPushButton* load_;
    QPushButton* readCard_;
    QPushButton* gray_;
    QPushButton* loadStandard_;
    QPushButton* readStandard_;
    QGroupBox* group_;
    QGroupBox* group2_;
    QGroupBox* group3_;
};
