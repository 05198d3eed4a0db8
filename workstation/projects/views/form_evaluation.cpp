#include "form_evaluation.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>

#include "commands.h"
#include "eva_dlg.h"
#include "file_locations.h"
#include "form_registry.h"
#include "pendra_app.h"
#include "project_csv.h"
#include "project_message.h"
#include "project_texts.h"
#include "report_list.h"
#include "saved_files.h"
#include "string_table.h"

namespace {

const bool registered =
    registerFormView(form::kEvaluation, [](QWidget* parent) { return new CFormEvaluation(parent); });

}  // namespace

CFormEvaluation::CFormEvaluation(QWidget* parent) : CFormView(parent) {
    setObjectName("324");
    projects_ = new ProjectList(this);
    new_ = new QPushButton(strings::text(projtext::kNewProject), this);
    new_->setObjectName("1000");
    delete_ = new QPushButton(strings::text(projtext::kDeleteProjects), this);
    delete_->setObjectName("1001");
    export_ = new QPushButton(strings::text(projtext::kExportCsv), this);
    export_->setObjectName("1002");
    list_ = new QTableView(this);
    list_->setObjectName("1032");
    list_->setModel(projects_);
    reportlist::setReportStyle(list_);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (int c = 0; c < ProjectList::ColumnCount; ++c) list_->setColumnWidth(c, ProjectList::columnWidth(c));

    connect(new_, &QPushButton::clicked, this, &CFormEvaluation::OnNewProject);
    connect(delete_, &QPushButton::clicked, this, &CFormEvaluation::OnDeleteProjects);
    connect(export_, &QPushButton::clicked, this, &CFormEvaluation::OnExportProjects);
    connect(list_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) OnOpenProject(index.row());
    });
}

CFormEvaluation::~CFormEvaluation() = default;

void CFormEvaluation::placeControls(int width, int height) {
    new_->setGeometry(5, 40, 100, 40);
    delete_->setGeometry(5, 85, 100, 40);
    export_->setGeometry(5, 130, 100, 40);
    list_->setGeometry(110, 5, std::max(0, width - 110), std::max(0, height - 5));
}

void CFormEvaluation::OnInitialUpdate() {
    const QString message = projects_->load(locations_.evaDat());
    if (!message.isEmpty()) projectmessage::show(this, message);
}

CEvaDlg* CFormEvaluation::dialog() {
    if (!dialog_) {
        dialog_ = new CEvaDlg(this);
        dialog_->setLocations(locations_);
        connect(dialog_, &CEvaDlg::projectUpdated, this, &CFormEvaluation::OnProjectUpdated);
    }
    return dialog_;
}

void CFormEvaluation::openDialog(int row, const ProjectRecord& record) {
    CEvaDlg* dlg = dialog();
    dlg->setProject(row, record);
    dlg->DoModal();
}

void CFormEvaluation::OnNewProject() {
    openDialog(-1, ProjectRecord{});
}

void CFormEvaluation::OnOpenProject(int row) {
    if (row < 0 || row >= projects_->rowCount()) return;
    openDialog(row, projects_->record(row));
}

void CFormEvaluation::OnDeleteProjects() {
    QList<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows()) rows << index.row();
    if (rows.isEmpty()) return;
    QMessageBox box(QMessageBox::Question, theApp() ? theApp()->messageCaption : QString(),
                    strings::text(projtext::kConfirmDelete), QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName("confirmDelete");
    if (box.exec() != QMessageBox::Yes) return;
    projects_->deleteRows(rows);
    save();
}

void CFormEvaluation::OnProjectUpdated() {
    const int row = projects_->setRecord(dialog_->rowIndex(), dialog_->record());
    dialog_->setProject(row, dialog_->record());
    save();
}

void CFormEvaluation::save() {
    QString message;
    if (!projects_->save(&message)) projectmessage::show(this, message);
}

void CFormEvaluation::OnExportProjects() {
    const QString path =
        savedfiles::askSavePath(this, QStringLiteral("projects.csv"), strings::text(projtext::kCsvFilter));
    if (path.isEmpty()) return;
    QString error;
    if (!savedfiles::write(path, projectcsv::encode(projects_->records()), &error))
        projectmessage::show(this, strings::text(projtext::kExportFailed).arg(error));
    else
        projectmessage::show(this, strings::text(projtext::kExported).arg(projects_->rowCount()).arg(path));
}
