#include "eva_run.h"

#include <QCoreApplication>

#include "eva_dlg.h"
#include "form_worker.h"
#include "gui_call.h"
#include "pendra_app.h"
#include "project_message.h"

// The reader as the application binds it.
class EvaRun::Port : public ReaderPort {
public:
    bool connected() const override { return theApp() && theApp()->connected; }
    int send(const char* command) override { return theApp() ? theApp()->device.send(command) : 0; }
    int get(char* buffer) override { return theApp() ? theApp()->device.get(buffer) : 0; }
    void holdReader() override {
        if (theApp()) theApp()->device.lock.lock();
    }
    void releaseReader() override {
        if (theApp()) theApp()->device.lock.unlock();
    }
};

// The dialog as the loop sees it, from the worker thread.
class EvaRun::Host : public EvaRunHost {
public:
    explicit Host(CEvaDlg& dialog) : dialog_(&dialog) {}
    // ShowMessage and ShowDeviceError run their box on the GUI thread.
    int showDeviceError() override { return theApp() ? theApp()->ShowDeviceError(dialog_) : 0; }
    void showMessage(int id) override {
        if (theApp()) theApp()->ShowMessage(id);
    }
    void showText(const QString& text) override {
        runOnGuiThread([this, text] { projectmessage::show(dialog_, text); });
    }
    void showRecord(const ProjectRecord& record) override {
        QPointer<CEvaDlg> dialog = dialog_;
        guicall::post(dialog_, [dialog, record] { if (dialog) dialog->showCounts(record); });
    }

private:
    QPointer<CEvaDlg> dialog_;
};

EvaRun::EvaRun(CEvaDlg& dialog, EvaConfig& config, const ProjectRecord& record, const EvaRunSettings& settings,
               std::atomic<bool>& running, const EvaReadLoop::Clock& clock)
    : port_(std::make_unique<Port>()),
      host_(std::make_unique<Host>(dialog)),
      loop_(std::make_unique<EvaReadLoop>(*port_, *host_, config)),
      running_(running),
      worker_(std::make_unique<CFormWorker>(workerFlag_)) {
    if (clock) loop_->setClock(clock);
    QPointer<CEvaDlg> target = &dialog;
    worker_->start(
        [this, record, settings] {
            result_ = loop_->run(record, settings, running_);
            lastAnswer_ = loop_->lastAnswer();
            ended_ = true;
        },
        // Queued: finishRun deletes this run and its worker, which is still
        // inside this call.
        [target] { guicall::post(target, [target] { if (target) target->finishRun(); }); });
}

EvaRun::~EvaRun() {
    requestStop();
    join();
}

void EvaRun::requestStop() {
    running_ = false;
    worker_->stop();
}

void EvaRun::join() {
    worker_->join();
}
