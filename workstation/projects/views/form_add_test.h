// The exam setup page (form 10, dialog resource 318): two headed bands,
// "标准答案设置" and "单位及答题卡设置", still without controls.
#pragma once

#include "form_view.h"

class CFormAddTest : public CFormView {
    Q_OBJECT
public:
    explicit CFormAddTest(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
