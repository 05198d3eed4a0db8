// The USB update dialog's tests: a virtual reader on a HID socket that can
// be unplugged and plugged back, found through VAZ_HID_DEVICES behind
// another HID device, and helpers that drive the dialog from the event loop
// (files and bytes: firmware_rig.h).
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

#include "vazsim/transports.h"
#include "vazsim/virtual_reader.h"

class CUpdateOnlineUsbDlg;
class QWidget;

class UsbReaderRig {
public:
    UsbReaderRig();
    ~UsbReaderRig();
    vazsim::VirtualReader reader;
    // The socket closes and its path goes, as a reader's node does on unplug.
    void unplug() { transport_.reset(); }
    void plug();
    std::string path() const { return path_; }

private:
    QTemporaryDir dir_;
    std::string path_;
    std::unique_ptr<vazsim::HidSocketTransport> transport_;
};

// Runs the event loop until `done` holds; false when it never did (the
// limit only keeps a broken test from hanging).
bool waitUntil(const std::function<bool()>& done, int limitMs = 20000);
// Finds the reader in the list and opens it with a double-click.
bool openFirstReader(CUpdateOnlineUsbDlg& dlg);
QString receiveArea(const QWidget& dlg);
void click(const QWidget& dlg, const char* id);
void type(const QWidget& dlg, const char* id, const QString& text);
