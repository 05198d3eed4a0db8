// usb-update-picture FILE: a picture of the USB update dialog in service
// mode during a transfer to the in-process virtual reader at USB full speed
// (the README's docs/usb_update.png). Run it on a display, e.g. under
// xvfb-run. Exits 1 when the transfer did not get under way.
#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>

#include "update_online_usb_dlg.h"
#include "vazsim/transports.h"
#include "vazsim/virtual_reader.h"

namespace {

bool waitUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limitMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: usb-update-picture FILE.png\n");
        return 2;
    }
    QApplication qapp(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Kestrin"));
    QTemporaryDir dir;
    vazsim::VirtualReader reader;
    reader.setWireSpeed(true);
    reader.setModel("R6KTM20260417");
    const std::string socket = dir.filePath("hid.sock").toStdString();
    vazsim::HidSocketTransport transport(reader, socket);
    setenv("VAZ_HID_DEVICES", (socket + ",release=0102,product=VAZ Reader").c_str(), 1);
    const QString image = dir.filePath("R6KTM_v2.14.bin");
    {
        std::mt19937 gen(7);
        std::string bytes(96 * 1024, '\0');
        for (char& c : bytes) c = static_cast<char>(gen() & 0xFF);
        std::ofstream(image.toStdString(), std::ios::binary) << bytes;
    }

    CUpdateOnlineUsbDlg dlg(true);
    dlg.show();
    dlg.findChild<QPushButton*>("1003")->click();
    auto* list = dlg.findChild<QListWidget*>("1004");
    if (list->count() == 0) return 1;
    list->setCurrentRow(0);
    emit list->itemDoubleClicked(list->item(0));
    dlg.findChild<QLineEdit*>("1025")->setText(QStringLiteral("R6KTM20260417"));
    dlg.findChild<QLineEdit*>("1011")->setText(QStringLiteral("IAP/"));
    dlg.findChild<QPushButton*>("1015")->click();
    auto* received = dlg.findChild<QPlainTextEdit*>("1010");
    if (!waitUntil([&] { return received->toPlainText().endsWith("C\n"); }, 5000)) return 1;
    dlg.chooseFirmwareFile(image);
    dlg.findChild<QPushButton*>("1017")->click();
    auto* progress = dlg.findChild<QProgressBar*>("1019");
    if (!waitUntil([&] { return progress->maximum() > 1 && progress->value() >= progress->maximum() * 2 / 5; }, 20000))
        return 1;
    const bool saved = dlg.grab().save(QString::fromLocal8Bit(argv[1]));
    std::fprintf(stderr, "usb-update-picture: %s %s\n", saved ? "wrote" : "cannot write", argv[1]);
    dlg.reject();  // ends the transfer first
    return saved ? 0 : 1;
}
