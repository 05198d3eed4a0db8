// However the project dialog is closed while its read loop runs, the loop
// has ended first: "保存退出", Esc, the close box, the dialog destroyed
// (the program closing: program_closing_test.cpp).
#include <QTest>

#include "views_fixture.h"

class ClosingWhileRunning : public ProjectWindows {
protected:
    // A run that has read its one card and now polls the empty hopper.
    void startRun(CEvaDlg& dlg) {
        feed({"ABXD"});
        click(dlg, "1004");
        ASSERT_TRUE(waitFor([&] { return feedCommands() >= 2; }));
        ASSERT_TRUE(dlg.running());
    }
    void expectEndedWithTheCard(CEvaDlg& dlg) {
        EXPECT_FALSE(dlg.running());
        EXPECT_FALSE(dlg.isVisible());
        const int fed = feedCommands();
        pump(300);
        EXPECT_EQ(feedCommands(), fed);  // nothing feeds cards any more
    }
};

TEST_F(ClosingWhileRunning, SaveAndCloseHandsBackTheRecordAfterTheLoopEnded) {
    CEvaDlg dlg;
    open(dlg);
    startRun(dlg);
    bool runningAtUpdate = true;
    ProjectRecord handedBack;
    QObject::connect(&dlg, &CEvaDlg::projectUpdated, [&] {
        runningAtUpdate = dlg.running();
        handedBack = dlg.record();
    });
    click(dlg, "1006");
    EXPECT_FALSE(runningAtUpdate);
    EXPECT_EQ(handedBack.totalCards, 1);
    EXPECT_EQ(handedBack.totalErrors, 1);
    EXPECT_EQ(handedBack.cardType, "T4");
    expectEndedWithTheCard(dlg);
}

TEST_F(ClosingWhileRunning, EscapeEndsTheLoopAndDiscards) {
    CEvaDlg dlg;
    open(dlg);
    startRun(dlg);
    bool updated = false;
    QObject::connect(&dlg, &CEvaDlg::projectUpdated, [&] { updated = true; });
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(updated);
    expectEndedWithTheCard(dlg);
}

TEST_F(ClosingWhileRunning, CloseBoxEndsTheLoopAndDiscards) {
    CEvaDlg dlg;
    open(dlg);
    startRun(dlg);
    bool updated = false;
    QObject::connect(&dlg, &CEvaDlg::projectUpdated, [&] { updated = true; });
    dlg.close();
    EXPECT_FALSE(updated);
    expectEndedWithTheCard(dlg);
}

TEST_F(ClosingWhileRunning, DestroyingTheDialogWaitsForTheLoop) {
    auto dlg = std::make_unique<CEvaDlg>();
    open(*dlg);
    startRun(*dlg);
    dlg.reset();
    const int fed = feedCommands();
    pump(300);
    EXPECT_EQ(feedCommands(), fed);
}
