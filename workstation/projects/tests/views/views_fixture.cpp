#include "views_fixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "vazsim/card_deck.h"

void ProjectWindows::SetUp() {
    // The project dialog is the window under test: the answerer leaves it open.
    boxes.setDialogHandler([](QWidget* w) {
        if (qobject_cast<CEvaDlg*>(w)) return;
        if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
    });
    rig = std::make_unique<ReaderRig>(ReaderRig::Via::Hid);
    ASSERT_TRUE(start());
    ASSERT_TRUE(app->connected);
    locations.programFolder = dir.path();
    locations.workingFolder = dir.path();
    locations.configHome = dir.filePath("home");
    locations.shippedFolder = dir.filePath("shipped");
    writeKey("ABCD");
}

void ProjectWindows::writeConfig(const QByteArray& text) {
    QFile f(dir.filePath("config.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

void ProjectWindows::writeKey(const QByteArray& key) {
    const QByteArray format = KESTRIN_SAMPLE_DIR "/formats/answer_sheet_50.fmt";
    writeConfig("[main]\nmachineType=R6KTS;R6KTM\ncardType=T4\n[T4]\nname=T4\npath=" + format +
                "\nanswer=" + key + "\n");
}

void ProjectWindows::feed(std::initializer_list<std::string> texts) {
    for (const std::string& t : texts) {
        vazsim::Sheet s = vazsim::blankSheet();
        s.answers = {{"", t}};
        rig->reader.addCard(s);
    }
}

void ProjectWindows::open(CEvaDlg& dlg, const ProjectRecord& record) {
    dlg.setLocations(locations);
    dlg.setProject(-1, record);
    dlg.OnInitDialog();
    dlg.show();
    pump(10);
    chooseCardType(dlg, QStringLiteral("T4"));
}

void ProjectWindows::chooseCardType(CEvaDlg& dlg, const QString& name) {
    auto* list = dlg.findChild<QComboBox*>("1012");
    const int index = list->findText(name);
    ASSERT_GE(index, 0);
    list->setCurrentIndex(index);
    emit list->activated(index);  // as the user's choice
}

bool ProjectWindows::waitFor(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs) pump(10);
    return done();
}

bool ProjectWindows::runAndWait(CEvaDlg& dlg, const char* id, int limitMs) {
    bool ended = false;
    auto c = QObject::connect(&dlg, &CEvaDlg::runEnded, [&] { ended = true; });
    click(dlg, id);
    const bool ok = waitFor([&] { return ended; }, limitMs);
    QObject::disconnect(c);
    return ok;
}

int ProjectWindows::feedCommands() const {
    int n = 0;
    for (const std::string& c : rig->reader.commands()) n += c == "R/";
    return n;
}

QString ProjectWindows::text(CEvaDlg& dlg, const char* id) const {
    if (auto* e = dlg.findChild<QLineEdit*>(id)) return e->text();
    if (auto* e = dlg.findChild<QPlainTextEdit*>(id)) return e->toPlainText();
    if (auto* b = dlg.findChild<QAbstractButton*>(id)) return b->text();
    return {};
}

void ProjectWindows::click(QWidget& w, const char* id) {
    auto* b = w.findChild<QAbstractButton*>(id);
    ASSERT_NE(b, nullptr) << id;
    b->click();
}

bool ProjectWindows::compareRun(CEvaDlg& dlg) {
    bool ended = false;
    auto c = QObject::connect(&dlg, &CEvaDlg::runEnded, [&] { ended = true; });
    const int before = feedCommands();
    const int cards = int(rig->reader.hopperSize());
    click(dlg, "1004");
    // Every card fed and the empty hopper polled once: the technician stops.
    waitFor([&] { return ended || feedCommands() > before + cards; });
    if (!ended) click(dlg, "1004");
    const bool ok = waitFor([&] { return ended; });
    QObject::disconnect(c);
    return ok;
}
