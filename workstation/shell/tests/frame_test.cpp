// The main frame: menu and toolbar, one window per form, message 1025, the
// service menu, the visual styles and the start page.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QStyle>
#include <QTest>
#include <QToolBar>

#include "artwork.h"
#include "child_frame.h"
#include "frame_dialogs.h"
#include <QListWidget>
#include "commands.h"
#include "main_frame.h"
#include "pendra_view.h"
#include "shell_test_support.h"
#include "visual_styles.h"

class MainFrame : public ShellTest {
protected:
    void SetUp() override {
        setenv("FAKE_VAZ_INIT", "0", 1);
        ASSERT_TRUE(start(PARTIAL_VAZ_LIBRARY));
        frame = app->mainFrame();
    }
    QStringList windowTitles() const {
        QStringList t;
        for (QMdiSubWindow* w : frame->mdiArea()->subWindowList()) t << w->windowTitle();
        return t;
    }
    QString activeTitle() const {
        QMdiSubWindow* w = frame->mdiArea()->activeSubWindow();
        return w ? w->windowTitle() : QString();
    }
    CMainFrame* frame = nullptr;
};

TEST_F(MainFrame, MenuAndToolbarCarryTheCommandsInOrder) {
    QStringList popups;
    for (QAction* a : frame->menuBar()->actions())
        if (a->isVisible()) popups << a->text();
    EXPECT_EQ(popups, (QStringList{"文件", "阅读机设置", "读卡测试", "帮助"}));

    QStringList buttons;
    for (QAction* a : frame->toolBar()->actions()) buttons << (a->isSeparator() ? "|" : a->objectName());
    EXPECT_EQ(buttons, (QStringList{"32780", "|", "32785", "32786", "32811", "|", "32799", "32801", "32817", "32815",
                                    "32819", "32788", "|", "57664", "57665", "customizeButton"}));
    EXPECT_EQ(frame->toolBar()->windowTitle(), QStringLiteral("标准"));
    for (QAction* a : frame->toolBar()->actions()) {
        if (a->isSeparator() || a->objectName() == "customizeButton") continue;
        const QPixmap pm = a->icon().pixmap(24, 24);
        EXPECT_FALSE(pm.isNull()) << a->objectName().toStdString();
        EXPECT_FALSE(pm.toImage().allGray() && pm.toImage().pixelColor(12, 12).alpha() == 0)
            << a->objectName().toStdString();
    }
    EXPECT_EQ(frame->action(cmd::kGrayTest)->statusTip(), QStringLiteral("检测灰度值"));
}

TEST_F(MainFrame, StatusBarHasFivePanesWithConnectionSecond) {
    for (int i = 0; i < 5; ++i) ASSERT_NE(frame->pane(i), nullptr);
    EXPECT_EQ(frame->pane(1), frame->connectionPane());
    EXPECT_EQ(frame->pane(1)->text(), QStringLiteral("未连接"));
    EXPECT_EQ(frame->pane(2)->text(), "CAP");
    EXPECT_LT(frame->pane(0)->x(), frame->pane(1)->x());
    EXPECT_LT(frame->pane(1)->x(), frame->pane(2)->x());
    EXPECT_LT(frame->pane(3)->x(), frame->pane(4)->x());
}

TEST_F(MainFrame, OneWindowPerFormAndActivationOnTheSecondCommand) {
    frame->OnCommand(cmd::kGrayTest);
    frame->OnCommand(cmd::kValueTest);
    EXPECT_EQ(activeTitle(), QStringLiteral("瞬值测试"));
    QMdiSubWindow* gray = frame->mdiArea()->subWindowList().at(1);
    frame->OnCommand(cmd::kGrayTest);
    EXPECT_EQ(activeTitle(), QStringLiteral("灰度测试"));
    EXPECT_EQ(frame->mdiArea()->activeSubWindow(), gray);
    EXPECT_EQ(windowTitles(), (QStringList{"起始页", "灰度测试", "瞬值测试"}));
    EXPECT_EQ(app->currentForm, form::kGray);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("灰度测试 - Kestrin"));

    // Closing the window keeps the template; the command opens a new window.
    gray->close();
    pump();
    EXPECT_EQ(windowTitles(), (QStringList{"起始页", "瞬值测试"}));
    EXPECT_NE(app->forms.templateFor(form::kGray), nullptr);
    frame->OnCommand(cmd::kGrayTest);
    EXPECT_EQ(windowTitles(), (QStringList{"起始页", "瞬值测试", "灰度测试"}));
}

TEST_F(MainFrame, EveryFormCommandOpensItsTitledWindow) {
    const std::pair<int, const char*> forms[] = {
        {cmd::kValueTest, "瞬值测试"},   {cmd::kGrayTest, "灰度测试"},    {cmd::kLineTest, "线性测试"},
        {cmd::kConsistTest, "一致性测试"}, {cmd::kWaveTest, "波形测试"},   {cmd::kReadCardTest, "读卡测试"},
        {cmd::kEvaluation, "起始页"},     {cmd::kTestManager, "考试管理"}, {cmd::kStartPage, "起始页"}};
    for (auto [command, title] : forms) {
        frame->OnCommand(command);
        EXPECT_EQ(activeTitle(), QString::fromUtf8(title)) << command;
    }
    // The start page existed already; the evaluation form is a window of its own.
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 9);
}

TEST_F(MainFrame, Message1025OpensOrActivatesTheGrayTest) {
    QApplication::postEvent(frame, new QEvent(kShowGrayTestEvent));
    pump();
    EXPECT_EQ(activeTitle(), QStringLiteral("灰度测试"));
    frame->OnCommand(cmd::kStartPage);
    QApplication::postEvent(frame, new QEvent(kShowGrayTestEvent));
    pump();
    EXPECT_EQ(activeTitle(), QStringLiteral("灰度测试"));
    EXPECT_EQ(windowTitles().count(QStringLiteral("灰度测试")), 1);
}

TEST_F(MainFrame, ServiceMenuIsHiddenUntilTheKeyChord) {
    QMenu* service = frame->serviceMenu();
    EXPECT_FALSE(service->menuAction()->isVisible());
    frame->activateWindow();
    QTest::keySequence(frame, QKeySequence(CMainFrame::kServiceChord));
    EXPECT_TRUE(service->menuAction()->isVisible());
    QStringList ids;
    for (QAction* a : service->actions())
        if (!a->isSeparator()) ids << a->objectName();
    ids.sort();
    EXPECT_EQ(ids, (QStringList{"32793", "32797", "32804", "32807", "32813", "32835", "32841", "32851"}));
    QTest::keySequence(frame, QKeySequence(CMainFrame::kServiceChord));
    EXPECT_FALSE(service->menuAction()->isVisible());
}

TEST_F(MainFrame, UsbFirmwareUpdateOnlyAtAccessLevel3) {
    frame->UpdateCommandStates();
    EXPECT_FALSE(frame->action(cmd::kUsbFirmwareUpdate)->isEnabled());
    EXPECT_TRUE(frame->action(cmd::kFirmwareUpdate)->isEnabled());
    // A disabled command does nothing, not even a placeholder dialog.
    frame->OnCommand(cmd::kUsbFirmwareUpdate);
    EXPECT_TRUE(boxes.records.empty());
    app->accessLevel = 3;
    emit frame->serviceMenu()->aboutToShow();
    EXPECT_TRUE(frame->action(cmd::kUsbFirmwareUpdate)->isEnabled());
    frame->OnCommand(cmd::kUsbFirmwareUpdate);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].objectName, "32804");
}

TEST_F(MainFrame, VisualStylesAreAppliedCheckedAndStored) {
    for (int look = cmd::kLookFirst; look <= cmd::kLookLast; ++look) {
        frame->OnCommand(look);
        EXPECT_EQ(QApplication::style()->name().toLower(), looks::styleKey(look).toLower()) << look;
        EXPECT_TRUE(frame->action(look)->isChecked()) << look;
        EXPECT_EQ(QSettings().value("ApplicationLook").toInt(), look);
    }
    frame->OnCommand(216);
    EXPECT_LT(QApplication::palette().color(QPalette::Window).lightness(), 100);
    EXPECT_FALSE(frame->action(215)->isChecked());
    // The next start restores the stored style.
    TearDown();
    app = std::make_unique<CPendraApp>();
    ASSERT_TRUE(start(PARTIAL_VAZ_LIBRARY));
    EXPECT_EQ(app->appLook, 216);
    EXPECT_TRUE(app->mainFrame()->action(216)->isChecked());
}

TEST_F(MainFrame, StartPageStretchesItsPictureOverTheView) {
    auto* view = frame->mdiArea()->subWindowList().at(0)->findChild<CPendraView*>();
    ASSERT_NE(view, nullptr);
    view->resize(2046, 1218);  // twice the picture
    const QImage shot = view->grab().toImage();
    const QImage& art = artwork::startPageBitmap();
    ASSERT_EQ(art.size(), QSize(1023, 609));
    for (QPoint p : {QPoint(10, 10), QPoint(760, 420), QPoint(1000, 600), QPoint(150, 180)}) {
        const QColor want = art.pixelColor(p);
        const QColor got = shot.pixelColor(p * 2 + QPoint(1, 1));
        EXPECT_NEAR(got.red(), want.red(), 40) << p.x() << "," << p.y();
        EXPECT_NEAR(got.blue(), want.blue(), 40) << p.x() << "," << p.y();
    }
}

TEST_F(MainFrame, EditContextMenuIsRegisteredUnderItsName) {
    QMenu* menu = app->contextMenu(QStringLiteral("编辑"));
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (QAction* a : menu->actions()) items << a->text();
    EXPECT_EQ(items, (QStringList{"剪切(&T)", "复制(&C)", "粘贴(&P)"}));
}

TEST_F(MainFrame, WindowManagerActivatesAndClosesWindows) {
    frame->OnCommand(cmd::kWaveTest);
    frame->OnCommand(cmd::kLineTest);
    boxes.setDialogHandler([](QWidget* w) {
        auto* dlg = qobject_cast<CWindowManagerDlg*>(w);
        ASSERT_NE(dlg, nullptr);
        // Most recently active first: 线性测试, 波形测试, 起始页.
        ASSERT_EQ(dlg->list()->count(), 3);
        dlg->list()->setCurrentRow(2);
        dlg->closeSelected();
        ASSERT_EQ(dlg->list()->count(), 2);
        dlg->list()->setCurrentRow(1);
        dlg->activateSelected();
    });
    frame->OnCommand(cmd::kWindowManager);
    pump();
    EXPECT_EQ(windowTitles(), (QStringList{"波形测试", "线性测试"}));
    EXPECT_EQ(activeTitle(), QStringLiteral("波形测试"));
}
