// The device library's message boxes as Qt dialogs, on the GUI thread and
// from worker threads.
#include <QApplication>
#include <QThread>
#include <thread>

#include "shell_test_support.h"
#include "vaz_host_hooks.h"

extern "C" int vaz_host_message_box(const char* caption, const char* text, int buttons, int icon);

using LibraryBox = ShellTest;

TEST_F(LibraryBox, OnTheGuiThreadTheBoxIsShownDirectly) {
    boxes.setButton(QMessageBox::No);
    const QByteArray text = CPendraApp::ToNarrow(QStringLiteral("确定要删除这些记录吗？"));
    EXPECT_EQ(vaz_host_message_box("Tip", text.constData(), VAZ_BOX_YESNO, VAZ_ICON_QUESTION), VAZ_ANSWER_NO);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].title, "Tip");
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("确定要删除这些记录吗？"));
    EXPECT_EQ(boxes.records[0].icon, QMessageBox::Question);
    boxes.setButton(QMessageBox::Yes);
    EXPECT_EQ(vaz_host_message_box("Tip", "x", VAZ_BOX_YESNO, VAZ_ICON_NONE), VAZ_ANSWER_YES);
    EXPECT_EQ(vaz_host_message_box("Tip", "x", VAZ_BOX_OK, VAZ_ICON_ERROR), VAZ_ANSWER_OK);
    EXPECT_EQ(boxes.records.back().icon, QMessageBox::Critical);
}

TEST_F(LibraryBox, FromAWorkerThreadTheBoxRunsOnTheGuiThread) {
    boxes.setButton(QMessageBox::Yes);
    QThread* boxThread = nullptr;
    boxes.setDialogHandler(nullptr);
    int answers[3] = {};
    QObject probe;
    auto timer = new QTimer(&probe);
    QObject::connect(timer, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget()) boxThread = QApplication::activeModalWidget()->thread();
    });
    timer->start(5);
    ASSERT_TRUE(runOnWorker([&] {
        for (int& a : answers) a = vaz_host_message_box("Tip", "worker", VAZ_BOX_YESNO, VAZ_ICON_QUESTION);
    }));
    for (int a : answers) EXPECT_EQ(a, VAZ_ANSWER_YES);
    EXPECT_EQ(boxes.records.size(), 3u);
    EXPECT_EQ(boxThread, QApplication::instance()->thread());
}

// "No" is not the answer a box that was never shown gives (the first button).
TEST_F(LibraryBox, TwoWorkersAskingAtOnceEachGetTheirOwnBoxAndAnswer) {
    boxes.setButton(QMessageBox::No);
    int a = -1, b = -1;
    ASSERT_TRUE(runOnWorker([&] {
        std::thread other([&] { b = vaz_host_message_box("Tip", "b", VAZ_BOX_YESNO, VAZ_ICON_QUESTION); });
        a = vaz_host_message_box("Tip", "a", VAZ_BOX_YESNO, VAZ_ICON_QUESTION);
        other.join();
    }));
    EXPECT_EQ(a, VAZ_ANSWER_NO);
    EXPECT_EQ(b, VAZ_ANSWER_NO);
    EXPECT_EQ(boxes.count("a"), 1);
    EXPECT_EQ(boxes.count("b"), 1);
}

TEST_F(LibraryBox, TheLibraryReachesTheHookFromAWorkerThread) {
    ReaderRig rig(ReaderRig::Via::Nothing);
    ASSERT_TRUE(start());
    boxes.records.clear();
    int result = -1;
    ASSERT_TRUE(runOnWorker([&] { result = app->device.init(1); }));
    EXPECT_EQ(result & 0xFF, 0);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text,
              QStringLiteral("Not find Vaz device,make sure Vaz device has been connected!"));
    EXPECT_EQ(boxes.records[0].title, "Tip");
}
