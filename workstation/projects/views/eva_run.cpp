#include "eva_run.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <thread>

#include "eva_dlg.h"
#include "pendra_app.h"
#include "project_message.h"

// The reader as the application binds it.
class EvaRun::Port : public ReaderPort {
public:
    bool connected() const override { return theApp() && theApp()->connected; }
    int send(const char* command) override { return theApp() ? theApp()->device.send(command) : 0; }
    int get(char* buffer) override { return theApp() ? theApp()->device.get(buffer) : 0; }
};

// The dialog as the loop sees it, from the worker thread.
class EvaRun::Host : public EvaRunHost {
public:
    explicit Host(CEvaDlg& dialog) : dialog_(&dialog) {}
    int showDeviceError() override {
        return onGui([this] { return theApp() ? theApp()->ShowDeviceError(dialog_) : 0; });
    }
    void showMessage(int id) override {
        onGui([id] {
            if (theApp()) theApp()->ShowMessage(id);
            return 0;
        });
    }
    void showText(const QString& text) override {
        onGui([this, text] {
            projectmessage::show(dialog_, text);
            return 0;
        });
    }
    void showRecord(const ProjectRecord& record) override {
        QPointer<CEvaDlg> dialog = dialog_;
        QMetaObject::invokeMethod(
            dialog_, [dialog, record] { if (dialog) dialog->showCounts(record); }, Qt::QueuedConnection);
    }

private:
    template <typename F>
    int onGui(F f) {
        int result = 0;
        QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { result = f(); },
                                  Qt::BlockingQueuedConnection);
        return result;
    }
    QPointer<CEvaDlg> dialog_;
};

struct EvaRun::Worker {
    std::thread thread;
};

EvaRun::EvaRun(CEvaDlg& dialog, EvaConfig& config, const ProjectRecord& record, const EvaRunSettings& settings,
               std::atomic<bool>& running, const EvaReadLoop::Clock& clock)
    : port_(std::make_unique<Port>()),
      host_(std::make_unique<Host>(dialog)),
      loop_(std::make_unique<EvaReadLoop>(*port_, *host_, config)),
      running_(running),
      worker_(std::make_unique<Worker>()) {
    if (clock) loop_->setClock(clock);
    QPointer<CEvaDlg> target = &dialog;
    worker_->thread = std::thread([this, record, settings, target] {
        result_ = loop_->run(record, settings, running_);
        lastAnswer_ = loop_->lastAnswer();
        ended_ = true;
        QMetaObject::invokeMethod(
            target, [target] { if (target) target->finishRun(); }, Qt::QueuedConnection);
    });
}

EvaRun::~EvaRun() {
    requestStop();
    join();
}

void EvaRun::requestStop() {
    running_ = false;
}

void EvaRun::join() {
    while (!ended_) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (worker_->thread.joinable()) worker_->thread.join();
}
