#include "host_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <type_traits>

#include "gui_call.h"
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

}  // namespace

int showLibraryMessageBox(const char* caption, const char* text, int buttons, int icon) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) {
        kestrinLog("%s: %s\n", caption ? caption : "", text ? text : "");
        return firstButton(buttons);
    }
    const QString c = CPendraApp::ToWide(caption);
    const QString t = CPendraApp::ToWide(text);
    return runOnGuiThread([&] { return showBox(c, t, buttons, icon); });
}

extern "C" __attribute__((visibility("default"))) int vaz_host_message_box(const char* caption,
                                                                           const char* text, int buttons,
                                                                           int icon) {
    return showLibraryMessageBox(caption, text, buttons, icon);
}

static_assert(std::is_same_v<decltype(&vaz_host_message_box), VazHostMessageBoxFn>);
