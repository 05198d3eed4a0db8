// kestrin-form-pictures: pictures of the reader test forms after a run
// against an in-process virtual reader, for the documentation.
//
//     kestrin-form-pictures DECK_FOLDER OUTPUT_FOLDER      (under xvfb-run -a)
//
// The value test samples a reader with one unsteady head (channel 8); the
// gray test reads the first card of head_high.ini; the line and waveform
// tests a card of waveform.ini, the consistency test one of sample.ini, and
// the read-card test runs sample.ini with answer_sheet.fmt. Writes
// form_value.png, form_gray.png, form_line.png, form_wave.png,
// form_consist.png and form_test.png (the main window as shown). Message
// boxes the runs raise are answered with OK.
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

#include "commands.h"
#include "form_gray.h"
#include "form_test.h"
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
    std::printf("%s %s\n", ok ? "wrote" : "cannot write", qPrintable(file));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kestrin-form-pictures DECK_FOLDER OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir decks(QString::fromLocal8Bit(argv[1])), out(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir tmp;
    qputenv("XDG_CONFIG_HOME", tmp.filePath("config").toLocal8Bit());
    vazsim::VirtualReader reader;
    reader.setSeed(3);
    reader.setUnsteadyHead(9);  // channel 8
    reader.loadDeck(vazsim::loadDeckFile(decks.filePath("head_high.ini").toStdString()));
    vazsim::HidSocketTransport hid(reader, tmp.filePath("hid.sock").toStdString());
    qputenv("VAZ_HID_DEVICES", QByteArray::fromStdString(hid.path()));
    qputenv("VAZ_SERIAL_PORTS", "");

    CPendraApp app;
    if (!app.InitInstance() || !app.connected) return 1;
    app.mainFrame()->setWindowState(Qt::WindowNoState);
    app.mainFrame()->resize(1240, 860);
    answerBoxes();
    pump(500);

    auto* value = qobject_cast<CFormValue*>(openForm(app, cmd::kValueTest));
    if (!value) return 1;
    value->setSampleInterval(20);
    value->OnGetValue();
    while (value->grid()->rowCount() < CFormValue::kPreparedRows + 60) pump(20);
    value->OnGetValue();
    while (value->sampling()) pump(20);
    bool ok = save(app, out.filePath("form_value.png"));

    auto* gray = qobject_cast<CFormGray*>(openForm(app, cmd::kGrayTest));
    if (!gray) return 1;
    type(gray, "1022", "73");
    gray->OnReadCard();
    gray->grid()->ensureCellVisible(48, 50);
    ok = save(app, out.filePath("form_gray.png")) && ok;

    // A card of the waveform deck through the gray test fills the record.
    reader.clearHopper();
    reader.loadDeck(vazsim::loadDeckFile(decks.filePath("waveform.ini").toStdString()));
    openForm(app, cmd::kGrayTest);
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
