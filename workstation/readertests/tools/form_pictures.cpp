// kestrin-form-pictures: pictures of the reader test forms after a run
// against the virtual reader, for the documentation.
//
//     kestrin-form-pictures DECK OUTPUT_FOLDER
//
// The value test samples a reader with one unsteady head (channel 8); the
// gray test reads the first card of DECK. Writes form_value.png and
// form_gray.png (the main window as shown).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "child_frame.h"
#include "form_gray.h"
#include "form_value.h"
#include "grid_ctrl.h"
#include "main_frame.h"
#include "pendra_app.h"
#include "vazsim/card_deck.h"
#include "vazsim/transports.h"
#include "vazsim/virtual_reader.h"

namespace {

void pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool save(CPendraApp& app, const QString& file) {
    pump(300);
    const bool ok = app.mainFrame()->grab().save(file);
    std::printf("%s %s\n", ok ? "wrote" : "cannot write", qPrintable(file));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kestrin-form-pictures DECK OUTPUT_FOLDER\n");
        return 2;
    }
    QTemporaryDir tmp;
    qputenv("XDG_CONFIG_HOME", tmp.filePath("config").toLocal8Bit());
    vazsim::VirtualReader reader;
    reader.setSeed(3);
    reader.setUnsteadyHead(9);  // channel 8
    reader.loadDeck(vazsim::loadDeckFile(argv[1]));
    auto hid = std::make_unique<vazsim::HidSocketTransport>(reader, tmp.filePath("hid.sock").toStdString());
    qputenv("VAZ_HID_DEVICES", QByteArray::fromStdString(hid->path()));
    qputenv("VAZ_SERIAL_PORTS", "");

    CPendraApp app;
    if (!app.InitInstance() || !app.connected) return 1;
    app.mainFrame()->setWindowState(Qt::WindowNoState);
    app.mainFrame()->resize(1240, 860);
    const QDir out(QString::fromLocal8Bit(argv[2]));

    auto* value = qobject_cast<CFormValue*>(app.mainFrame()->ShowForm(CFormValue::kFormId)->widget());
    pump(200);
    value->setSampleInterval(20);
    value->OnGetValue();
    while (value->grid()->rowCount() < CFormValue::kPreparedRows + 60) pump(20);
    value->OnGetValue();
    while (value->sampling()) pump(20);
    bool ok = save(app, out.filePath("form_value.png"));

    auto* gray = qobject_cast<CFormGray*>(app.mainFrame()->ShowForm(CFormGray::kFormId)->widget());
    pump(200);
    gray->findChild<QLineEdit*>("1022")->setText("73");
    gray->OnReadCard();
    gray->grid()->ensureCellVisible(48, 50);
    ok = save(app, out.filePath("form_gray.png")) && ok;

    app.device.init(-1);
    app.ExitInstance();
    return ok ? 0 : 1;
}
