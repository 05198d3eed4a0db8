// Pictures of the reader test forms for the documentation: each form after a
// run against an in-process virtual reader loaded with the sample decks,
// saved as OUTDIR/form_line.png, form_consist.png, form_wave.png and
// form_test.png. Message boxes the runs raise are answered with OK.
//   kestrin-form-pictures DECKDIR OUTDIR      (needs a display: xvfb-run)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "commands.h"
#include "form_test.h"
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

// Clicks OK on every message box that comes up.
void answerBoxes() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "box: %s\n", qPrintable(box->text()));
            box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->accept();
        }
    });
    timer->start(50);
}

QWidget* openForm(CPendraApp& app, int command) {
    app.mainFrame()->OnCommand(command);
    pump(300);
    QMdiSubWindow* w = app.mainFrame()->mdiArea()->activeSubWindow();
    return w ? w->widget() : nullptr;
}

void click(QWidget* form, const char* id) {
    if (auto* b = form->findChild<QPushButton*>(id)) b->click();
    pump(500);
}

void type(QWidget* form, const char* id, const QString& text) {
    if (auto* e = form->findChild<QLineEdit*>(id)) e->setText(text);
}

bool save(CPendraApp& app, const QString& file) {
    pump(300);
    const bool ok = app.mainFrame()->grab().save(file);
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "cannot write", qPrintable(file));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kestrin-form-pictures DECKDIR OUTDIR\n");
        return 2;
    }
    const QDir decks(QString::fromLocal8Bit(argv[1])), out(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir tmp;
    vazsim::VirtualReader reader;
    reader.loadDeck(vazsim::loadDeckFile(decks.filePath("waveform.ini").toStdString()));
    vazsim::HidSocketTransport hid(reader, tmp.filePath("hid.sock").toStdString());
    setenv("VAZ_HID_DEVICES", hid.path().c_str(), 1);
    setenv("VAZ_SERIAL_PORTS", "", 1);

    CPendraApp app;
    if (!app.InitInstance()) return 1;
    app.mainFrame()->showNormal();
    app.mainFrame()->resize(1100, 760);
    answerBoxes();
    pump(500);
    bool ok = app.connected != 0;

    // A card of the waveform deck through the gray test fills the record.
    QWidget* gray = openForm(app, cmd::kGrayTest);
    type(gray, "1022", "40");
    click(gray, "1005");

    QWidget* line = openForm(app, cmd::kLineTest);
    click(line, "1001");
    ok = save(app, out.filePath("form_line.png")) && ok;

    QWidget* wave = openForm(app, cmd::kWaveTest);
    click(wave, "1000");
    ok = save(app, out.filePath("form_wave.png")) && ok;

    // The consistency test over the question rows of a sample answer sheet
    // (lines 22, 27, ... of 73; line number 1 is the last line read).
    reader.clearHopper();
    reader.loadDeck(vazsim::loadDeckFile(decks.filePath("sample.ini").toStdString()));
    type(gray, "1022", "73");
    click(gray, "1005");
    QWidget* consist = openForm(app, cmd::kConsistTest);
    for (const char* lineNumber : {"52", "47", "42", "37", "32"}) {
        type(consist, "1052", lineNumber);
        click(consist, "1001");
    }
    ok = save(app, out.filePath("form_consist.png")) && ok;

    // The read-card test with the sample answer sheets and their format,
    // from a copy so that loading it leaves the shipped file alone.
    reader.clearHopper();
    reader.loadDeck(vazsim::loadDeckFile(decks.filePath("sample.ini").toStdString()));
    const QString format = tmp.filePath("answer_sheet.fmt");
    QFile::copy(decks.filePath("answer_sheet.fmt"), format);
    auto* test = qobject_cast<CFormTest*>(openForm(app, cmd::kReadCardTest));
    if (test) {
        test->openFormatFile(format);
        click(test, "1004");
        click(test, "1005");
        pump(3000);  // five sheets, then the double sheet ends the run
    }
    ok = test && save(app, out.filePath("form_test.png")) && ok;

    app.device.init(-1);
    app.ExitInstance();
    return ok ? 0 : 1;
}
