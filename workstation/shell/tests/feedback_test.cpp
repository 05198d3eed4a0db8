// The feedback dialog: dialog 4001's texts and layout, the submit off the GUI
// thread with the buttons disabled, "提交失败" on a failed send, and
// "问题反馈" in the Help menu running the library's report through the hook.
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <atomic>
#include <mutex>

#include "commands.h"
#include "feedback_dlg.h"
#include "main_frame.h"
#include "shell_test_support.h"

namespace {

// A library submit that waits until the test lets it go, then answers `result`.
struct HeldSubmit {
    std::atomic<bool> release{false};
    std::atomic<int> result{0};
    std::atomic<int> entered{0};
    std::atomic<int> calls{0};
    std::atomic<bool> onGuiThread{false};
    std::mutex mutex;
    std::vector<QByteArray> texts;

    static int submit(void* context, const char* text) {
        auto* self = static_cast<HeldSubmit*>(context);
        self->onGuiThread = QThread::currentThread() == qApp->thread();
        {
            std::lock_guard<std::mutex> lock(self->mutex);
            self->texts.emplace_back(text);
        }
        ++self->entered;
        while (!self->release) QThread::msleep(5);
        self->release = false;
        ++self->calls;
        return self->result;
    }
};

class FeedbackDialogTest : public ShellTest {
protected:
    void SetUp() override {
        for (int i = 0; i < VAZ_FEEDBACK_LINES; ++i) {
            lines.push_back(CPendraApp::ToNarrow(kLines[i]));
            info.lines[i] = lines.back().constData();
        }
        caption = "feedback";
        submitText = CPendraApp::ToNarrow(QStringLiteral("确定"));
        cancelText = CPendraApp::ToNarrow(QStringLiteral("取消"));
        failedText = CPendraApp::ToNarrow(QStringLiteral("提交失败"));
        info.caption = caption.constData();
        info.submitText = submitText.constData();
        info.cancelText = cancelText.constData();
        info.failedText = failedText.constData();
        info.submit = &HeldSubmit::submit;
        info.context = &held;
    }
    // Waits (pumping events) until `done` holds or 10 s have passed.
    bool pumpUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 1000 && !done(); ++i) pump(10);
        return done();
    }
    static inline const QString kLines[VAZ_FEEDBACK_LINES] = {
        QStringLiteral("如果您在阅读机使用过程中，遇到什么问题，"),
        QStringLiteral("或者有什么建议，您可以通过以下方式向我们提供反馈:"),
        QStringLiteral("方式一:拨打我们的售后服务电话   400-000-0000"),
        QStringLiteral("方式二:发送邮件到我们的邮箱    service@vazkit.invalid"),
        QStringLiteral("方式三:您可以在下方编辑框中输入您想要反馈的信息，"),
        QStringLiteral("点击提交，返馈给我们")};
    std::vector<QByteArray> lines;
    QByteArray caption, submitText, cancelText, failedText;
    VazFeedbackDialog info{};
    HeldSubmit held;
};

TEST_F(FeedbackDialogTest, TextsAndLayoutOfDialog4001) {
    CDlgCrashReport dlg(info);
    EXPECT_EQ(dlg.windowTitle(), "feedback");
    std::vector<QLabel*> labels;
    for (int i = 0; i < VAZ_FEEDBACK_LINES; ++i) {
        labels.push_back(dlg.findChild<QLabel*>(QStringLiteral("line%1").arg(i + 1)));
        ASSERT_NE(labels.back(), nullptr);
        EXPECT_EQ(labels.back()->text(), kLines[i]);
    }
    auto* edit = dlg.findChild<QPlainTextEdit*>("1000");
    auto* submit = dlg.findChild<QPushButton*>("3");
    auto* cancel = dlg.findChild<QPushButton*>("2");
    ASSERT_TRUE(edit && submit && cancel);
    EXPECT_EQ(submit->text(), QStringLiteral("确定"));
    EXPECT_EQ(cancel->text(), QStringLiteral("取消"));
    EXPECT_TRUE(submit->isDefault());
    // Top to bottom: the six lines, the edit, the buttons side by side.
    for (int i = 1; i < VAZ_FEEDBACK_LINES; ++i) EXPECT_GT(labels[i]->y(), labels[i - 1]->y());
    EXPECT_GE(edit->y(), labels.back()->geometry().bottom());
    EXPECT_GE(submit->y(), edit->geometry().bottom());
    EXPECT_EQ(submit->y(), cancel->y());
    EXPECT_LT(submit->geometry().right(), cancel->x());
    EXPECT_LE(cancel->geometry().right(), dlg.width());
    EXPECT_LE(cancel->geometry().bottom(), dlg.height());
    // 246 by 156 dialog units, the edit 217 by 46.
    EXPECT_NEAR(double(dlg.width()) / dlg.height(), (246.0 / 156) * (edit->width() / 217.0) / (edit->height() / 46.0),
                0.05);
    for (QLabel* l : labels) EXPECT_GE(l->width(), std::min(l->sizeHint().width(), dlg.width() - l->x())) << l->text().toStdString();
}

TEST_F(FeedbackDialogTest, SubmitRunsOffTheGuiThreadFailureShownThenSentClosesIt) {
    CDlgCrashReport dlg(info);
    dlg.show();
    auto* edit = dlg.findChild<QPlainTextEdit*>("1000");
    auto* submit = dlg.findChild<QPushButton*>("3");
    auto* cancel = dlg.findChild<QPushButton*>("2");
    edit->setPlainText(QStringLiteral("卡纸\n第二行"));

    held.result = 0;
    submit->click();
    ASSERT_TRUE(pumpUntil([&] { return held.entered == 1; }));
    // The mail is on its way: the GUI thread runs, nothing can be pressed.
    EXPECT_FALSE(held.onGuiThread);
    EXPECT_FALSE(submit->isEnabled());
    EXPECT_FALSE(cancel->isEnabled());
    EXPECT_TRUE(edit->isReadOnly());
    dlg.reject();  // Escape or the close button meanwhile: ignored
    EXPECT_TRUE(dlg.isVisible());
    held.release = true;
    ASSERT_TRUE(pumpUntil([&] { return boxes.count(QStringLiteral("提交失败")) == 1; }));
    EXPECT_EQ(boxes.records.back().objectName, "submitFailed");
    ASSERT_TRUE(pumpUntil([&] { return submit->isEnabled(); }));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(cancel->isEnabled());
    EXPECT_FALSE(edit->isReadOnly());

    held.result = 1;
    submit->click();
    held.release = true;
    ASSERT_TRUE(pumpUntil([&] { return !dlg.isVisible(); }));
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(held.calls, 2);
    std::lock_guard<std::mutex> lock(held.mutex);
    ASSERT_EQ(held.texts.size(), 2u);
    EXPECT_EQ(held.texts[0], CPendraApp::ToNarrow(QStringLiteral("卡纸\n第二行")));
    EXPECT_EQ(held.texts[1], held.texts[0]);
    EXPECT_EQ(boxes.count(QStringLiteral("提交失败")), 1);
}

TEST_F(FeedbackDialogTest, HelpMenuItemRunsTheLibrarysDialogWhileConnected) {
    setenv("VAZ_MAIL_SERVER", "127.0.0.1", 1);
    setenv("VAZ_MAIL_PORT", "9", 1);
    {
        ReaderRig none(ReaderRig::Via::Nothing);
        ASSERT_TRUE(start());
        CMainFrame* frame = app->mainFrame();
        QAction* item = frame->action(cmd::kCrashReport);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), QStringLiteral("问题反馈"));
        QMenu* help = nullptr;
        for (QAction* a : frame->menuBar()->actions())
            if (a->text() == QStringLiteral("帮助")) help = a->menu();
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->actions().first(), item);
        EXPECT_FALSE(item->isEnabled());
        const size_t before = boxes.records.size();  // start-up's own boxes
        frame->OnCommand(cmd::kCrashReport);
        pump();
        EXPECT_EQ(boxes.records.size(), before);
        TearDown();
    }
    app = std::make_unique<CPendraApp>();
    ReaderRig rig(ReaderRig::Via::Hid);
    ASSERT_TRUE(start());
    ASSERT_TRUE(app->connected);
    CMainFrame* frame = app->mainFrame();
    EXPECT_TRUE(frame->action(cmd::kCrashReport)->isEnabled());
    QString shownLine;
    boxes.setDialogHandler([&](QWidget* w) {
        if (auto* l = w->findChild<QLabel*>("line1")) shownLine = l->text();
        static_cast<QDialog*>(w)->reject();
    });
    const size_t before = boxes.records.size();
    frame->OnCommand(cmd::kCrashReport);
    ASSERT_EQ(boxes.records.size(), before + 1);
    EXPECT_EQ(boxes.records.back().objectName, "4001");
    EXPECT_EQ(boxes.records.back().title, "feedback");
    EXPECT_EQ(shownLine, kLines[0]);
}

}  // namespace
