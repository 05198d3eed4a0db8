// The project list form as the technician uses it: opening eva.dat,
// deleting rows, a project coming back from the dialog, a damaged file.
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>

#include "eva_file.h"
#include "form_evaluation.h"
#include "views_fixture.h"

namespace {

ProjectRecord project(const QString& product, int cards) {
    ProjectRecord r;
    r.machineType = "R6KTM";
    r.cardType = "T4";
    r.productNumber = product;
    r.totalCards = cards;
    r.errorCounts[cards % 4] = cards;
    return r;
}

}  // namespace

class ProjectListForm : public ProjectWindows {
protected:
    void writeProjects(int n) {
        std::vector<ProjectRecord> records;
        for (int i = 0; i < n; ++i) records.push_back(project(QStringLiteral("P%1").arg(i), i + 1));
        ASSERT_TRUE(evafile::save(locations.evaDat(), records));
    }
    std::unique_ptr<CFormEvaluation> showForm() {
        auto form = std::make_unique<CFormEvaluation>();
        form->setLocations(locations);
        form->resize(900, 500);
        form->show();
        pump(20);
        return form;
    }
    void select(CFormEvaluation& form, std::initializer_list<int> rows) {
        QItemSelectionModel* s = form.list()->selectionModel();
        s->clearSelection();
        for (int row : rows)
            s->select(form.projects()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QStringList products(const std::vector<ProjectRecord>& records) {
        QStringList p;
        for (const ProjectRecord& r : records) p << r.productNumber;
        return p;
    }
};

TEST_F(ProjectListForm, OpensEveryProjectOfTheFile) {
    writeProjects(3);
    auto form = showForm();
    ASSERT_EQ(form->projects()->rowCount(), 3);
    EXPECT_EQ(form->projects()->index(2, ProjectList::ProductNumber).data().toString(), "P2");
    EXPECT_EQ(form->projects()->index(2, ProjectList::ErrorPositions).data().toString(), "3-3;");
}

TEST_F(ProjectListForm, DeletingRowsOneAndThreeOfFiveKeepsTheOthersInOrder) {
    writeProjects(5);
    auto form = showForm();
    select(*form, {3, 1});
    boxes.setButton(QMessageBox::Yes);
    click(*form, "1001");
    EXPECT_EQ(boxes.count(QStringLiteral("确定要删除这些记录吗？")), 1);
    EXPECT_EQ(products(form->projects()->records()), QStringList({"P0", "P2", "P4"}));
    const evafile::Loaded stored = evafile::read(locations.evaDat());
    EXPECT_EQ(products(stored.records), QStringList({"P0", "P2", "P4"}));
}

TEST_F(ProjectListForm, AnsweringNoDeletesNothing) {
    writeProjects(5);
    const QByteArray before = [&] {
        QFile f(locations.evaDat());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    auto form = showForm();
    select(*form, {0});
    boxes.setButton(QMessageBox::No);
    click(*form, "1001");
    EXPECT_EQ(form->projects()->rowCount(), 5);
    QFile f(locations.evaDat());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST_F(ProjectListForm, DeletingWithoutSelectionAsksNothing) {
    writeProjects(2);
    auto form = showForm();
    select(*form, {});
    click(*form, "1001");
    pump(50);
    EXPECT_TRUE(boxes.records.empty());
    EXPECT_EQ(form->projects()->rowCount(), 2);
}

TEST_F(ProjectListForm, SavedNewProjectBecomesTheLastRow) {
    writeProjects(2);
    auto form = showForm();
    CEvaDlg* dlg = form->dialog();
    open(*dlg);
    dlg->findChild<QLineEdit*>("1034")->setText("NEW-1");
    feed({"XBCD"});
    ASSERT_TRUE(compareRun(*dlg));
    click(*dlg, "1006");
    ASSERT_EQ(form->projects()->rowCount(), 3);
    EXPECT_EQ(form->projects()->index(2, ProjectList::ProductNumber).data().toString(), "NEW-1");
    EXPECT_EQ(form->projects()->index(2, ProjectList::ErrorPositions).data().toString(), "0-1;");
    const evafile::Loaded stored = evafile::read(locations.evaDat());
    ASSERT_EQ(stored.records.size(), 3u);
    EXPECT_EQ(stored.records[2].totalCards, 1);
    EXPECT_EQ(stored.records[2].errorCounts.at(0), 1);
}

TEST_F(ProjectListForm, OpeningASecondProjectShowsNoneOfTheFirstsErrors) {
    writeProjects(2);
    auto form = showForm();
    CEvaDlg* dlg = form->dialog();
    open(*dlg, form->projects()->record(0));
    feed({"XXXX"});
    ASSERT_TRUE(compareRun(*dlg));
    dlg->reject();
    dlg->setProject(1, form->projects()->record(1));
    dlg->OnInitDialog();
    EXPECT_EQ(text(*dlg, "1046"), QStringLiteral("无错"));
    EXPECT_EQ(dlg->record().errorCounts, form->projects()->record(1).errorCounts);
    EXPECT_EQ(text(*dlg, "1039"), "2");
}

TEST_F(ProjectListForm, DamagedFileIsKeptAsideAndTheMessageSaysWhere) {
    writeProjects(3);
    QFile f(locations.evaDat());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() - 6));  // the last record cut short
    const qint64 damagedSize = f.size();
    f.close();
    auto form = showForm();
    ASSERT_EQ(boxes.records.size(), 1u);
    const QStringList kept = QDir(dir.path()).entryList({"eva.dat.damaged-*"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(boxes.records[0].text.contains(kept[0])) << boxes.records[0].text.toStdString();
    EXPECT_EQ(form->projects()->rowCount(), 2);  // the records intact before the damage
    // The next save writes a new eva.dat; the damaged one stays as it was.
    select(*form, {0});
    boxes.setButton(QMessageBox::Yes);
    click(*form, "1001");
    EXPECT_EQ(evafile::read(locations.evaDat()).records.size(), 1u);
    EXPECT_EQ(QFileInfo(dir.filePath(kept[0])).size(), damagedSize);
}
