// Helpers of the shell's tests: answering modal boxes and dialogs from the
// event loop, a virtual reader on a socket or a pseudo-terminal, and a
// fixture that starts the workstation.
#pragma once

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "pendra_app.h"
#include "vazsim/transports.h"
#include "vazsim/virtual_reader.h"

struct ModalRecord {
    QString objectName;
    QString title;
    QString text;  // a message box's text
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Watches for modal widgets and answers each once: message boxes by
// clicking `button` (or their only button), other dialogs through the
// handler, or by rejecting them.
class ModalAnswerer : public QObject {
public:
    ModalAnswerer();
    void setButton(QMessageBox::StandardButton b) { button_ = b; }
    // Called for a modal widget that is not a message box; it must close it.
    void setDialogHandler(std::function<void(QWidget*)> h) { handler_ = std::move(h); }
    // While paused, boxes stay open (a test closes or quits behind them).
    void setPaused(bool on) { paused_ = on; }
    std::vector<ModalRecord> records;
    int count(const QString& text) const;

private:
    void poll();
    QTimer timer_;
    QMessageBox::StandardButton button_ = QMessageBox::Ok;
    std::function<void(QWidget*)> handler_;
    bool paused_ = false;
};

// A virtual reader reached over one link; the other link finds nothing.
class ReaderRig {
public:
    enum class Via { Hid, Serial, Nothing };
    explicit ReaderRig(Via via);
    ~ReaderRig();
    vazsim::VirtualReader reader;
    void dropHid() { hid_.reset(); }

private:
    QTemporaryDir dir_;
    std::unique_ptr<vazsim::HidSocketTransport> hid_;
    std::unique_ptr<vazsim::PtyTransport> pty_;
};

// Starts the workstation with the real library (or another one) and
// disconnects it again afterwards.
class ShellTest : public ::testing::Test {
protected:
    void TearDown() override;
    // Starts with `library`; false when start-up ended.
    bool start(const char* library = REAL_VAZ_LIBRARY, bool serviceMenu = false);
    void pump(int ms = 50);
    // Pumps until `done` holds, at most `limitMs`; returns whether it holds.
    bool pumpUntil(const std::function<bool()>& done, int limitMs = 20000);
    QString statusText() const;

    ModalAnswerer boxes;
    std::unique_ptr<CPendraApp> app = std::make_unique<CPendraApp>();
};

// Runs `body` on a worker thread while the GUI thread keeps its event loop
// running; returns when the worker has finished (at most `limitMs`).
bool runOnWorker(const std::function<void()>& body, int limitMs = 20000);
