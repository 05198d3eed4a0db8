#include "shell_test_support.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <atomic>
#include <cstdlib>
#include <thread>

#include "main_frame.h"

ModalAnswerer::ModalAnswerer() {
    connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::poll);
    timer_.start(10);
}

int ModalAnswerer::count(const QString& text) const {
    int n = 0;
    for (const auto& r : records) n += r.text == text;
    return n;
}

void ModalAnswerer::poll() {
    QWidget* w = QApplication::activeModalWidget();
    if (paused_ || !w || w->property("answered").toBool() || !w->isVisible()) return;
    w->setProperty("answered", true);
    ModalRecord r;
    r.objectName = w->objectName();
    r.title = w->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
        r.text = box->text();
        r.icon = box->icon();
        records.push_back(r);
        QAbstractButton* b = box->button(button_);
        if (!b && !box->buttons().isEmpty()) b = box->buttons().first();
        if (b) b->click();
        return;
    }
    records.push_back(r);
    if (handler_)
        handler_(w);
    else if (auto* d = qobject_cast<QDialog*>(w))
        d->reject();
}

ReaderRig::ReaderRig(Via via) {
    const std::string sock = dir_.filePath("hid.sock").toStdString();
    const std::string tty = dir_.filePath("ttyVAZ").toStdString();
    setenv("VAZ_HID_DEVICES", "", 1);
    setenv("VAZ_SERIAL_PORTS", "", 1);
    if (via == Via::Hid) {
        hid_ = std::make_unique<vazsim::HidSocketTransport>(reader, sock);
        setenv("VAZ_HID_DEVICES", hid_->path().c_str(), 1);
    } else if (via == Via::Serial) {
        pty_ = std::make_unique<vazsim::PtyTransport>(reader, tty);
        setenv("VAZ_SERIAL_PORTS", pty_->path().c_str(), 1);
    }
}

ReaderRig::~ReaderRig() {
    hid_.reset();
    pty_.reset();
}

bool ShellTest::start(const char* library, bool serviceMenu) {
    StartupOptions options;
    options.libraryFile = library;
    options.serviceMenu = serviceMenu;
    const bool ok = app->InitInstance(options);
    pump();
    return ok;
}

void ShellTest::TearDown() {
    // The library keeps its one connection for the whole process.
    if (app && app->libraryHandle() && app->connected) app->device.init(-1);
    if (app) app->ExitInstance();
    app.reset();
    pump(10);
}

void ShellTest::pump(int ms) {
    QElapsedTimer t;
    t.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    } while (t.elapsed() < ms);
}

bool ShellTest::pumpUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs) pump(5);
    return done();
}

QString ShellTest::statusText() const {
    return app->mainFrame() ? app->mainFrame()->connectionPane()->text() : QString();
}

bool runOnWorker(const std::function<void()>& body, int limitMs) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        body();
        done = true;
    });
    QElapsedTimer t;
    t.start();
    while (!done && t.elapsed() < limitMs) QApplication::processEvents(QEventLoop::AllEvents, 10);
    const bool finished = done;
    if (finished) worker.join();
    else worker.detach();  // the test fails; the process ends soon after
    return finished;
}
