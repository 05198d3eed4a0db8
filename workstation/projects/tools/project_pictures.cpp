// project-pictures DIR: draws docs/project_list.png and docs/project_dialog.png
// (the list with the sample projects, the dialog after a compare run over
// the production deck against the in-process virtual reader with the
// sample config.ini). Run under a display (xvfb-run) for the real style.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QComboBox>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "eva_dlg.h"
#include "eva_file.h"
#include "form_evaluation.h"
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
}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: project-pictures OUT_DIR SAMPLE_DIR DECK\n");
        return 2;
    }
    const QString out = argv[1];
    QTemporaryDir dir;
    vazsim::VirtualReader reader;
    vazsim::HidSocketTransport hid(reader, dir.filePath("hid.sock").toStdString());
    setenv("VAZ_HID_DEVICES", hid.path().c_str(), 1);
    setenv("VAZ_SERIAL_PORTS", "", 1);
    reader.loadDeck(vazsim::loadDeckFile(argv[3]));
    CPendraApp app;
    if (!app.InitInstance() || !app.connected) return 1;
    FileLocations loc;
    loc.programFolder = loc.workingFolder = dir.path();
    loc.configHome = dir.filePath("home");
    loc.shippedFolder = argv[2];

    CFormEvaluation form;
    form.setLocations(loc);
    form.resize(1100, 420);
    form.show();
    pump(200);
    CEvaDlg* dlg = form.dialog();
    dlg->setProject(-1, {});
    dlg->OnInitDialog();
    dlg->show();
    auto* types = dlg->findChild<QComboBox*>("1012");
    const int i = types->findText(QString::fromUtf8("标准答题卡"));
    types->setCurrentIndex(i);
    emit types->activated(i);
    dlg->findChild<QLineEdit*>("1034")->setText("R6KTM-2026-0042");
    dlg->findChild<QLineEdit*>("1035")->setText("MB-7731");
    dlg->findChild<QLineEdit*>("1037")->setText("PW-0915");
    dlg->findChild<QLineEdit*>("1036")->setText("PH-4410");
    bool ended = false;
    QObject::connect(dlg, &CEvaDlg::runEnded, [&] { ended = true; });
    dlg->findChild<QPushButton*>("1004")->click();
    while (reader.hopperSize() > 0) pump(20);
    pump(400);
    dlg->findChild<QPushButton*>("1004")->click();
    while (!ended) pump(20);
    pump(200);
    dlg->grab().save(out + "/project_dialog.png");
    dlg->findChild<QPushButton*>("1006")->click();
    pump(200);
    form.grab().save(out + "/project_list.png");
    if (app.connected) app.device.init(-1);
    app.ExitInstance();
    return 0;
}
