#include "host_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <type_traits>

#include "log.h"
#include "pendra_app.h"
#include "vaz_host_hooks.h"

namespace {

int firstButton(int buttons) {
    return buttons == VAZ_BOX_YESNO ? VAZ_ANSWER_YES : VAZ_ANSWER_OK;
}

QMessageBox::Icon qtIcon(int icon) {
    switch (icon) {
        case VAZ_ICON_INFORMATION:
            return QMessageBox::Information;
        case VAZ_ICON_ERROR:
            return QMessageBox::Critical;
        case VAZ_ICON_QUESTION:
            return QMessageBox::Question;
        default:
            return QMessageBox::NoIcon;
    }
}

// Runs on the GUI thread.
int showBox(const QString& caption, const QString& text, int buttons, int icon) {
    const bool yesNo = buttons == VAZ_BOX_YESNO;
    QMessageBox box(qtIcon(icon), caption, text,
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
    box.setObjectName("libraryMessage");
    if (yesNo) box.setEscapeButton(QMessageBox::No);
    // A caller may have set a wait cursor around the library call.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();
    if (!yesNo) return VAZ_ANSWER_OK;
    return box.clickedButton() == box.button(QMessageBox::Yes) ? VAZ_ANSWER_YES : VAZ_ANSWER_NO;
}

// A box a worker thread asked for. The worker fills it in and waits; the GUI
// thread takes it and answers it. Both meet under `mutex`, and Qt's queued
// call only wakes the GUI thread and carries no data: Qt's own locks are
// invisible to the thread sanitizer, which then sees the texts and the
// answer cross threads unguarded.
struct BoxRequest {
    QString caption, text;
    int buttons = 0, icon = 0;
    bool taken = false;  // the GUI thread is showing it
    bool answered = false;
    int answer = 0;
};

std::mutex mutex;
std::condition_variable answered;
std::deque<BoxRequest*> requests;

// GUI thread: shows every waiting box in turn. A box's own event loop may
// run this again for a later request.
void answerRequests() {
    for (;;) {
        BoxRequest* r = nullptr;
        {
            std::lock_guard lock(mutex);
            if (requests.empty()) return;
            r = requests.front();
            requests.pop_front();
            r->taken = true;
        }
        const int answer = showBox(r->caption, r->text, r->buttons, r->icon);
        {
            std::lock_guard lock(mutex);
            r->answer = answer;
            r->answered = true;
        }
        answered.notify_all();
    }
}

int askGuiThread(QApplication* app, BoxRequest& r) {
    {
        std::lock_guard lock(mutex);
        requests.push_back(&r);
    }
    QMetaObject::invokeMethod(app, [] { answerRequests(); }, Qt::BlockingQueuedConnection);
    std::unique_lock lock(mutex);
    if (!r.taken) {  // the call was dropped undelivered: the application is going away
        std::erase(requests, &r);
        return firstButton(r.buttons);
    }
    // Taken by an earlier call that is still showing another box.
    answered.wait(lock, [&] { return r.answered; });
    return r.answer;
}

}  // namespace

int showLibraryMessageBox(const char* caption, const char* text, int buttons, int icon) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) {
        kestrinLog("%s: %s\n", caption ? caption : "", text ? text : "");
        return firstButton(buttons);
    }
    const QString c = CPendraApp::ToWide(caption);
    const QString t = CPendraApp::ToWide(text);
    if (QThread::currentThread() == app->thread()) return showBox(c, t, buttons, icon);
    BoxRequest request{c, t, buttons, icon};
    return askGuiThread(app, request);
}

extern "C" __attribute__((visibility("default"))) int vaz_host_message_box(const char* caption,
                                                                           const char* text, int buttons,
                                                                           int icon) {
    return showLibraryMessageBox(caption, text, buttons, icon);
}

static_assert(std::is_same_v<decltype(&vaz_host_message_box), VazHostMessageBoxFn>);
