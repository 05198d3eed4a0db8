#include "test_manager.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include "commands.h"
#include "main_frame.h"
#include "pendra_app.h"
#include "project_texts.h"
#include "report_list.h"
#include "string_table.h"

namespace {

const bool registered =
    registerFormView(form::kTestManager, [](QWidget* parent) { return new CTestManager(parent); });

constexpr int kColumnWidths[] = {100, 100, 100, 500, 100};

}  // namespace

CTestManager::CTestManager(QWidget* parent) : CFormView(parent) {
    setObjectName("317");
    add_ = new QPushButton(strings::text(projtext::kAddExam), this);
    add_->setObjectName("1000");
    delete_ = new QPushButton(strings::text(projtext::kDeleteExam), this);
    delete_->setObjectName("1014");
    list_ = new QTableWidget(0, 5, this);
    list_->setObjectName("1013");
    QStringList headers;
    for (int i = 0; i < 5; ++i) headers << strings::text(projtext::kExamColumnFirst + i);
    list_->setHorizontalHeaderLabels(headers);
    reportlist::setReportStyle(list_);
    for (int i = 0; i < 5; ++i) {
        list_->setColumnWidth(i, kColumnWidths[i]);
        list_->horizontalHeaderItem(i)->setTextAlignment(Qt::AlignCenter);
    }
    connect(add_, &QPushButton::clicked, this, &CTestManager::OnAddExam);
    connect(delete_, &QPushButton::clicked, this, &CTestManager::OnDeleteExam);
}

void CTestManager::placeControls(int width, int height) {
    add_->setGeometry(0, 0, 100, 30);
    delete_->setGeometry(0, 35, 100, 30);
    list_->setGeometry(105, 0, std::max(0, width - 105), height);
}

void CTestManager::OnAddExam() {
    if (CPendraApp* app = theApp(); app && app->mainFrame()) app->mainFrame()->ShowForm(form::kAddTest);
}

// Exams are not stored anywhere yet: there is nothing to delete.
void CTestManager::OnDeleteExam() {}
