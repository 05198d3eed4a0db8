// The form framework: a form view's hooks and activation, its workers (stop,
// join, close and quit while they run, their messages), the serialised
// device calls, batched updates and the saving of tables and pictures.
#include <QApplication>
#include <QFileDialog>
#include <QMdiArea>
#include <QPointer>
#include <QTest>
#include <thread>

#include "child_frame.h"
#include "form_view.h"
#include "form_worker.h"
#include "grid_ctrl.h"
#include "gray_wnd.h"
#include "main_frame.h"
#include "pendra_doc.h"
#include "shell_test_support.h"

namespace {

// A form that records what the framework asks of it.
class ProbeForm : public CFormView {
public:
    ProbeForm() { watchWorker(&worker); }
    int initialUpdates = 0;
    QSize lastPlacement;
    std::vector<bool> activations;
    std::atomic<int> runFlag{0};
    CFormWorker worker{runFlag};

protected:
    void OnInitialUpdate() override { ++initialUpdates; }
    void placeControls(int w, int h) override { lastPlacement = QSize(w, h); }
    void OnActivateView(bool active) override { activations.push_back(active); }
};

class FormFramework : public ShellTest {
protected:
    void startWith(ReaderRig::Via via) {
        rig = std::make_unique<ReaderRig>(via);
        ASSERT_TRUE(start());
        boxes.records.clear();
    }
    // Opens a probe form in its own window of the tab area.
    ProbeForm* open() {
        auto* form = new ProbeForm;
        auto* frame = new CChildFrame(std::make_unique<CPendraDoc>(), form);
        app->mainFrame()->mdiArea()->addSubWindow(frame);
        frame->showMaximized();
        app->mainFrame()->mdiArea()->setActiveSubWindow(frame);
        pump();
        return form;
    }
    QMdiSubWindow* frameOf(QWidget* form) { return qobject_cast<QMdiSubWindow*>(form->parentWidget()); }
    std::unique_ptr<ReaderRig> rig;
};

}  // namespace

// ---- hooks and activation --------------------------------------------------

using FormViewHooks = FormFramework;

TEST_F(FormViewHooks, InitialUpdateRunsOnceAndEveryResizePlacesTheControls) {
    startWith(ReaderRig::Via::Nothing);
    ProbeForm* form = open();
    EXPECT_EQ(form->initialUpdates, 1);
    EXPECT_EQ(form->lastPlacement, form->size());
    QMdiSubWindow* frame = frameOf(form);
    frame->showNormal();
    frame->resize(500, 400);
    pump();
    EXPECT_EQ(form->lastPlacement, form->size());
    EXPECT_LT(form->lastPlacement.width(), 500);
    frame->hide();
    frame->show();
    pump();
    EXPECT_EQ(form->initialUpdates, 1);
}

TEST_F(FormViewHooks, SwitchingWindowsActivatesDeactivatesAndClearsTheTestRunFlag) {
    startWith(ReaderRig::Via::Nothing);
    ProbeForm* a = open();
    ProbeForm* b = open();
    EXPECT_EQ(a->activations, (std::vector<bool>{true, false}));
    EXPECT_EQ(b->activations, (std::vector<bool>{true}));
    app->testRun = 1;
    app->mainFrame()->mdiArea()->setActiveSubWindow(frameOf(a));
    pump();
    EXPECT_EQ(app->testRun, 0);
    EXPECT_EQ(a->activations.back(), true);
    EXPECT_EQ(b->activations, (std::vector<bool>{true, false}));
}

TEST_F(FormViewHooks, AMessageBoxOrDialogOnTopIsNoActivation) {
    startWith(ReaderRig::Via::Nothing);
    ProbeForm* form = open();
    const auto before = form->activations;
    app->testRun = 1;
    app->ShowMessage(101);
    QDialog dialog(app->mainFrame());
    QTimer::singleShot(50, &dialog, &QDialog::reject);
    dialog.exec();
    pump();
    EXPECT_EQ(boxes.count(QStringLiteral("VAZ尚未联机,请先执行联机操作!")), 1);
    EXPECT_EQ(form->activations, before);
    EXPECT_EQ(form->initialUpdates, 1);
    EXPECT_EQ(app->testRun, 1);
}

// ---- workers ---------------------------------------------------------------

using FormWorkers = FormFramework;

TEST_F(FormWorkers, ShowMessageFromAWorkerIsShownByTheGuiThread) {
    startWith(ReaderRig::Via::Nothing);
    QThread* shownOn = nullptr;
    boxes.setPaused(true);  // until the probe has seen the box
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            shownOn = w->thread();
            boxes.setPaused(false);
        }
    });
    probe.start(2);
    ASSERT_TRUE(runOnWorker([&] { app->ShowMessage(114); }));
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("获取数据失败"));
    EXPECT_EQ(boxes.records[0].title, QStringLiteral("提示:"));
    EXPECT_EQ(shownOn, QApplication::instance()->thread());
}

TEST_F(FormWorkers, ShowDeviceErrorFromAWorkerShowsTheCodeAndHandsBackTheResult) {
    startWith(ReaderRig::Via::Hid);
    ASSERT_TRUE(app->connected);
    vazsim::Fault f;
    f.kind = vazsim::Fault::Kind::Code;
    f.code = "03";
    rig->reader.injectFault("K", f);
    int result = -1;
    ASSERT_TRUE(runOnWorker([&] {
        app->device.send("K 1/");
        result = app->ShowDeviceError(nullptr);
    }));
    EXPECT_EQ(result, CPendraApp::kDeviceErrorShown);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("03: Double sheet"));
}

TEST_F(FormWorkers, JoinServesAWorkerThatWaitsInAMessageBox) {
    startWith(ReaderRig::Via::Nothing);
    ProbeForm* form = open();
    bool after = false;
    form->worker.start([&] {
        app->ShowMessage(118);
        after = true;
    });
    form->worker.join();
    EXPECT_FALSE(form->worker.running());
    EXPECT_TRUE(after);
    EXPECT_EQ(boxes.count(QStringLiteral("操作失败")), 1);
}

TEST_F(FormWorkers, OnlyOneWorkerPerRunAndStopClearsTheFlag) {
    startWith(ReaderRig::Via::Nothing);
    ProbeForm* form = open();
    std::atomic<int> rounds{0};
    ASSERT_TRUE(form->worker.start([&] {
        while (form->worker.keepGoing()) rounds++;
    }));
    EXPECT_EQ(form->runFlag, 1);
    EXPECT_FALSE(form->worker.start([] {}));
    form->worker.stop(false);
    EXPECT_EQ(form->runFlag, 0);
    form->worker.join();
    EXPECT_FALSE(form->worker.running());
    EXPECT_TRUE(form->worker.start([] {}));
    form->worker.join();
}

TEST_F(FormWorkers, AFormClosesOnlyAfterItsWorkerHasEnded) {
    startWith(ReaderRig::Via::Hid);
    ProbeForm* form = open();
    QPointer<QMdiSubWindow> frame = frameOf(form);
    std::atomic<int> exchanges{0};
    std::atomic<bool> bodyDone{false};
    form->worker.start([&] {
        while (form->worker.keepGoing()) {
            app->device.send("K 1/");
            exchanges++;
        }
        bodyDone = true;
    });
    ASSERT_TRUE(pumpUntil([&] { return exchanges > 3; }));
    frame->close();
    // The window waits for the worker: it is still there after the close.
    ASSERT_FALSE(frame.isNull());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(form->runFlag, 0);
    ASSERT_TRUE(pumpUntil([&] { return frame.isNull(); }));
    EXPECT_TRUE(bodyDone);
    EXPECT_FALSE(CFormWorker::anyRunning());
}

TEST_F(FormWorkers, QuitWhileAWorkerWaitsInALibraryMessageBoxEndsWithoutDeadlock) {
    startWith(ReaderRig::Via::Nothing);
    ProbeForm* form = open();
    boxes.setPaused(true);
    bool closeDeferred = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w->objectName() != "libraryMessage" || closeDeferred) return;
        app->mainFrame()->close();
        closeDeferred = app->mainFrame()->isVisible();
        boxes.setPaused(false);
    });
    watch.start(5);
    int result = -1;
    form->worker.start([&] { result = app->device.init(1); });
    ASSERT_TRUE(pumpUntil([&] { return !app->mainFrame()->isVisible(); }));
    EXPECT_TRUE(closeDeferred);
    EXPECT_FALSE(form->worker.running());
    EXPECT_EQ(result & 0xFF, 0);
    EXPECT_EQ(boxes.count(QStringLiteral("Not find Vaz device,make sure Vaz device has been connected!")), 1);
}

TEST_F(FormWorkers, ExitJoinsAWorkerThatIsStillRunning) {
    startWith(ReaderRig::Via::Hid);
    ProbeForm* form = open();
    std::atomic<bool> bodyDone{false};
    form->worker.start([&] {
        while (form->worker.keepGoing()) app->device.send("K 1/");
        bodyDone = true;
    });
    app->ExitInstance();
    EXPECT_TRUE(bodyDone);
    EXPECT_FALSE(CFormWorker::anyRunning());
}

// ---- serialised device calls -------------------------------------------------

using DeviceCalls = FormFramework;

TEST_F(DeviceCalls, AnotherCallerWaitsUntilAWorkersSequenceIsDone) {
    startWith(ReaderRig::Via::Hid);
    rig->reader.clearTrace();
    std::atomic<int> stage{0};
    std::thread worker([&] {
        DeviceLock::Hold hold(app->device.lock);
        stage = 1;
        while (stage != 2) std::this_thread::yield();
        for (const char* c : {"K 1/", "K 0/", "K 1/", "K 0/"}) app->device.send(c);
    });
    ASSERT_TRUE(pumpUntil([&] { return stage == 1; }));
    stage = 2;
    EXPECT_EQ(app->device.send("H/"), 1);
    worker.join();
    EXPECT_EQ(rig->reader.commands(), (std::vector<std::string>{"K 1/", "K 0/", "K 1/", "K 0/", "H/"}));
}

TEST_F(DeviceCalls, TheGuiThreadWaitingForTheReaderServesTheWorkersMessage) {
    startWith(ReaderRig::Via::Hid);
    rig->reader.clearTrace();
    std::atomic<int> stage{0};
    std::thread worker([&] {
        DeviceLock::Hold hold(app->device.lock);
        stage = 1;
        while (stage != 2) std::this_thread::yield();
        app->ShowMessage(118);
        app->device.send("K 1/");
    });
    ASSERT_TRUE(pumpUntil([&] { return stage == 1; }));
    stage = 2;
    EXPECT_EQ(app->device.send("H/"), 1);
    worker.join();
    EXPECT_EQ(boxes.count(QStringLiteral("操作失败")), 1);
    EXPECT_EQ(rig->reader.commands(), (std::vector<std::string>{"K 1/", "H/"}));
}

TEST_F(DeviceCalls, TheStopNeedsNoLock) {
    startWith(ReaderRig::Via::Hid);
    std::atomic<int> stage{0};
    std::thread worker([&] {
        DeviceLock::Hold hold(app->device.lock);
        stage = 1;
        while (stage != 2) std::this_thread::yield();
    });
    ASSERT_TRUE(pumpUntil([&] { return stage == 1; }));
    EXPECT_TRUE(app->device.setStop());
    stage = 2;
    worker.join();
}

// ---- batched updates ---------------------------------------------------------

using UpdateBatches = FormFramework;

TEST_F(UpdateBatches, ItemsPushedWhileTheGuiIsBusyArriveInOneBatchInOrder) {
    QObject receiver;
    std::vector<int> got;
    int deliveries = 0;
    CUpdateBatch<int> batch(&receiver, [&](std::vector<int>& items) {
        ++deliveries;
        got.insert(got.end(), items.begin(), items.end());
    });
    std::thread worker([&] {
        for (int i = 0; i < 1000; ++i) batch.push(i);
    });
    worker.join();
    pump();
    EXPECT_EQ(deliveries, 1);
    ASSERT_EQ(got.size(), 1000u);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(got[size_t(i)], i);
    batch.push(7);
    pump();
    EXPECT_EQ(deliveries, 2);
    EXPECT_EQ(got.back(), 7);
}

// ---- saving ------------------------------------------------------------------

using FormSaving = FormFramework;

TEST_F(FormSaving, CtrlSSavesTheTableAsCsvAndTheNextDialogStartsInThatFolder) {
    startWith(ReaderRig::Via::Nothing);
    ProbeForm* form = open();
    auto* grid = new CGridCtrl(form);
    grid->setRowCount(2);
    grid->setColumnCount(3);
    grid->setItemText(0, 0, "A");
    grid->setItemText(0, 1, " 1");
    grid->setItemText(0, 2, "x,\"y\"");
    grid->setItemText(1, 1, "3F");
    grid->show();
    form->addSaveTarget(grid, "values");
    QTemporaryDir dir;
    const QString target = dir.filePath("table.csv");
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    QStringList startFolders;
    boxes.setDialogHandler([&](QWidget* w) {
        auto* fd = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(fd, nullptr);
        startFolders << fd->directory().absolutePath();
        fd->setOption(QFileDialog::DontConfirmOverwrite);  // the overwrite itself is under test
        fd->selectFile(target);
        static_cast<QDialog*>(fd)->accept();
    });
    app->mainFrame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app->mainFrame()));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_S, Qt::ControlModifier);
    pump();
    ASSERT_EQ(startFolders.size(), 1);
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("A,1,\"x,\"\"y\"\"\"\r\n,3F,\r\n"));
    EXPECT_TRUE(form->saveCurrent());
    ASSERT_EQ(startFolders.size(), 2);
    EXPECT_EQ(startFolders[1], QDir(dir.path()).absolutePath());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"table.csv"});
}

TEST_F(FormSaving, APlotIsSavedAsItsPicture) {
    startWith(ReaderRig::Via::Nothing);
    ProbeForm* form = open();
    auto* plot = new CGrayWnd;
    ASSERT_TRUE(plot->createWindow(form, QRect(0, 0, 300, 200)));
    form->addSaveTarget(plot, "profile");
    QTemporaryDir dir;
    const QString target = dir.filePath("profile.png");
    boxes.setDialogHandler([&](QWidget* w) {
        auto* fd = qobject_cast<QFileDialog*>(w);
        fd->selectFile(target);
        static_cast<QDialog*>(fd)->accept();
    });
    ASSERT_TRUE(form->saveCurrent());
    QImage png(target);
    EXPECT_EQ(png.size(), plot->picture().size());
    EXPECT_EQ(png.pixelColor(1, 1), plot->picture().pixelColor(1, 1));
}
