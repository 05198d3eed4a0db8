// The exam list (form 9, dialog resource 317): its five columns, "新增考试"
// opening the exam setup page, and "删除考试". Exams have no store yet, so the
// list stays empty and deleting changes nothing.
#pragma once

#include "form_view.h"

class QPushButton;
class QTableWidget;

class CTestManager : public CFormView {
    Q_OBJECT
public:
    explicit CTestManager(QWidget* parent = nullptr);

    QTableWidget* list() const { return list_; }

protected:
    void placeControls(int width, int height) override;

private:
    void OnAddExam();
    void OnDeleteExam();

    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    QTableWidget* list_ = nullptr;
};
