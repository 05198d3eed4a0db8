// The test project list (form 7, dialog resource 324): every project of
// eva.dat in list 1032, "新建项目" and a double-click opening the project
// dialog, "删除项目" after confirmation, and the list exported as CSV. Every
// change is saved to eva.dat at once.
#pragma once

#include "form_view.h"
#include <memory>

#include "file_locations.h"
#include "project_list.h"

class CEvaDlg;
class QPushButton;
class QTableView;

class CFormEvaluation : public CFormView {
    Q_OBJECT
public:
    explicit CFormEvaluation(QWidget* parent = nullptr);
    ~CFormEvaluation() override;

    ProjectList* projects() const { return projects_; }
    QTableView* list() const { return list_; }
    // The project dialog, made on first use and kept for the form's life.
    CEvaDlg* dialog();

    // Where eva.dat and config.ini are (the running program's places unless
    // set before the form is first shown).
    void setLocations(const FileLocations& locations) { locations_ = locations; }


    void OnNewProject();
    void OnOpenProject(int row);
    void OnDeleteProjects();
    void OnExportProjects();
    // Message 1124 of the project dialog: its record into its row, then saved.
    void OnProjectUpdated();

protected:
    // Reads eva.dat from the working folder into the list; a damaged file is
    // moved aside and the message says where.
    void OnInitialUpdate() override;
    void placeControls(int width, int height) override;

private:
    void openDialog(int row, const ProjectRecord& record);
    void save();

    FileLocations locations_ = FileLocations::current();
    ProjectList* projects_ = nullptr;
    QPushButton* new_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* export_ = nullptr;
    QTableView* list_ = nullptr;
    CEvaDlg* dialog_ = nullptr;
};
