// The exam list and the exam setup page in the main frame.
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>

#include "child_frame.h"
#include "commands.h"
#include "form_add_test.h"
#include "main_frame.h"
#include "test_manager.h"
#include "views_fixture.h"

using ExamPages = ProjectWindows;

TEST_F(ExamPages, ExamListHasItsFiveCentredColumnsAndNoRows) {
    CChildFrame* w = app->mainFrame()->ShowForm(form::kTestManager);
    ASSERT_NE(w, nullptr);
    auto* view = qobject_cast<CTestManager*>(w->widget());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("考试管理"));
    QTableWidget* list = view->list();
    EXPECT_EQ(list->objectName(), "1013");
    ASSERT_EQ(list->columnCount(), 5);
    const char* headers[] = {"考试名称", "考试科目", "考试班级", "考试描述信息", "考试时间"};
    const int widths[] = {100, 100, 100, 500, 100};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list->horizontalHeaderItem(i)->text(), QString::fromUtf8(headers[i]));
        EXPECT_EQ(list->columnWidth(i), widths[i]);
        EXPECT_EQ(list->horizontalHeaderItem(i)->textAlignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    }
    EXPECT_EQ(list->rowCount(), 0);
    view->findChild<QPushButton*>("1014")->click();
    EXPECT_EQ(list->rowCount(), 0);
}

TEST_F(ExamPages, ButtonsAndListArePlacedOnResize) {
    CTestManager view;
    view.resize(800, 600);
    view.show();
    pump(10);
    EXPECT_EQ(view.findChild<QPushButton*>("1000")->geometry(), QRect(0, 0, 100, 30));
    EXPECT_EQ(view.findChild<QPushButton*>("1014")->geometry(), QRect(0, 35, 100, 30));
    EXPECT_EQ(view.list()->geometry(), QRect(105, 0, 695, 600));
}

TEST_F(ExamPages, AddingAnExamTwiceShowsTheOneSetupPage) {
    CChildFrame* w = app->mainFrame()->ShowForm(form::kTestManager);
    auto* add = w->widget()->findChild<QPushButton*>("1000");
    add->click();
    pump(10);
    QMdiArea* area = app->mainFrame()->mdiArea();
    auto* page = area->activeSubWindow();
    ASSERT_NE(page, nullptr);
    EXPECT_NE(qobject_cast<CFormAddTest*>(page->widget()), nullptr);
    EXPECT_EQ(page->windowTitle(), QStringLiteral("增加考试"));
    const int windows = int(area->subWindowList().size());
    app->mainFrame()->ShowForm(form::kTestManager);
    add->click();
    pump(10);
    EXPECT_EQ(area->activeSubWindow(), page);
    EXPECT_EQ(int(area->subWindowList().size()), windows);
}

TEST_F(ExamPages, SetupPageDrawsItsTwoBlueBands) {
    CFormAddTest page;
    page.resize(400, 200);
    const QImage image = page.grab().toImage();
    EXPECT_EQ(image.pixelColor(200, 25), QColor(0, 0, 255));   // the filled heading band
    EXPECT_EQ(image.pixelColor(200, 129), QColor(0, 0, 255));  // the second band's lower edge
    EXPECT_NE(image.pixelColor(200, 131), QColor(0, 0, 255));  // below both bands
    EXPECT_NE(image.pixelColor(200, 90), QColor(0, 0, 255));   // inside it, the page's own background
    // White heading text inside the first band.
    bool white = false;
    for (int x = 20; x < 120 && !white; ++x)
        for (int y = 10; y < 40 && !white; ++y) white = image.pixelColor(x, y) == QColor(Qt::white);
    EXPECT_TRUE(white);
}
