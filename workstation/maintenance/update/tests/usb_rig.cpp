#include "usb_rig.h"

#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "update_online_usb_dlg.h"

UsbReaderRig::UsbReaderRig() : path_(dir_.filePath("hid.sock").toStdString()) {
    // Another HID device first: the list must pass it over.
    const std::string devices = dir_.filePath("other.sock").toStdString() + ",pid=2002;" + path_ + ",product=VAZ Reader";
    setenv("VAZ_HID_DEVICES", devices.c_str(), 1);
    plug();
}

UsbReaderRig::~UsbReaderRig() {
    transport_.reset();
    unsetenv("VAZ_HID_DEVICES");
}

void UsbReaderRig::plug() {
    transport_ = std::make_unique<vazsim::HidSocketTransport>(reader, path_);
}

bool waitUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limitMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

bool openFirstReader(CUpdateOnlineUsbDlg& dlg) {
    click(dlg, "1003");
    auto* list = dlg.findChild<QListWidget*>("1004");
    if (list->count() == 0) return false;
    list->setCurrentRow(0);
    emit list->itemDoubleClicked(list->item(0));
    return dlg.deviceConnected();
}

QString receiveArea(const QWidget& dlg) {
    return dlg.findChild<QPlainTextEdit*>("1010")->toPlainText();
}

void click(const QWidget& dlg, const char* id) {
    dlg.findChild<QPushButton*>(id)->click();
}

void type(const QWidget& dlg, const char* id, const QString& text) {
    dlg.findChild<QLineEdit*>(id)->setText(text);
}

