#include "form_test.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

#include "card_log.h"
#include "form_controls.h"
#include "form_registry.h"
#include "gui_call.h"
#include "main_frame.h"
#include "pendra_app.h"
#include "saved_files.h"

namespace {

const bool registered =
    registerFormView(CFormTest::kFormId, [](QWidget* parent) { return new CFormTest(parent); });

const QColor kEditBackground(199, 237, 204);

QTextEdit* richEdit(QWidget* form, int id) {
    auto* e = new QTextEdit(form);
    e->setObjectName(QString::number(id));
    e->setAcceptRichText(false);
    return e;
}

QGroupBox* groupBox(QWidget* form, int id) {
    auto* g = new QGroupBox(strings::dialogText(CFormTest::kDialog, id), form);
    g->setObjectName(QString::number(id));
    g->hide();
    return g;
}

}  // namespace

CFormTest::CFormTest(QWidget* parent) : CFormView(parent), worker_(theApp()->readingCard) {
    using namespace formcontrols;
    setObjectName(QString::number(kDialog));
    group_ = groupBox(this, 1007);
    group2_ = groupBox(this, 1006);
    group3_ = groupBox(this, 1008);
    log_ = richEdit(this, 1001);
    log_->setReadOnly(true);
    format_ = richEdit(this, 1002);
    open_ = button(this, kDialog, 1003);
    load_ = button(this, kDialog, 1004);
    readCard_ = button(this, kDialog, 1005);
    gray_ = button(this, kDialog, 1000);
    loadStandard_ = button(this, kDialog, 1072);
    loadStandard_->hide();
    readStandard_ = button(this, kDialog, 1073);
    readStandard_->hide();
    connect(open_, &QPushButton::clicked, this, &CFormTest::OnOpenFormat);
    connect(load_, &QPushButton::clicked, this, &CFormTest::OnLoadFormat);
    connect(readCard_, &QPushButton::clicked, this, &CFormTest::OnReadCard);
    connect(gray_, &QPushButton::clicked, this, &CFormTest::OnGrayOfCard);
    connect(loadStandard_, &QPushButton::clicked, this, &CFormTest::OnLoadStandard);
    connect(readStandard_, &QPushButton::clicked, this, &CFormTest::OnReadStandardCard);
    watchWorker(&worker_);
    addSaveTarget(log_, strings::text(141));
}

void CFormTest::OnInitialUpdate() {
    for (QTextEdit* e : {log_, format_}) {
        QPalette pal = e->palette();
        pal.setColor(QPalette::Base, kEditBackground);
        e->setPalette(pal);
    }
}

void CFormTest::placeControls(int w, int h) {
    const int m = h / 2;
    log_->setGeometry(50, 50, w - 100, m - 70);
    format_->setGeometry(50, m, w - 300, m - 50);
    open_->setGeometry(w - 200, m, 100, 40);
    load_->setGeometry(w - 200, m + 50, 100, 40);
    readCard_->setGeometry(w - 200, m + 100, 100, 40);
    gray_->setGeometry(w - 200, m + 150, 100, 40);
    loadStandard_->setGeometry(w - 200, m + 200, 100, 40);
    readStandard_->setGeometry(w - 200, m + 250, 100, 40);
    group_->setGeometry(20, 20, w - 40, m - 20);
}

void CFormTest::OnOpenFormat() {
    const QString path = savedfiles::askOpenPath(this, strings::text(410));
    if (!path.isEmpty()) openFormatFile(path);
}

void CFormTest::openFormatFile(const QString& path) {
    formatPath_ = path;
    // Reading is all the form does with the file here: a read-only format
    // (a shipped one) opens as well as one of the technician's own.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        theApp()->ShowMessage(130);
        return;
    }
    format_->setPlainText(CPendraApp::ToWide(file.readAll().constData()));
}

void CFormTest::OnLoadFormat() {
    CPendraApp& app = *theApp();
    if (formatPath_.isEmpty()) {
        QString path = savedfiles::askSavePath(this, QString(), strings::text(411), strings::text(412));
        if (path.isEmpty()) return;
        if (QFileInfo(path).suffix().isEmpty()) path += ".txt";
        formatPath_ = path;
    }
    // The old format file stays whole until the new text has been written.
    if (!savedfiles::write(formatPath_, CPendraApp::ToNarrow(format_->toPlainText()))) {
        app.ShowMessage(130);
        return;
    }
    if (!app.RequireConnection()) return;
    app.ShowMessage(app.SendFormatFile(formatPath_) ? 119 : 118);
}

void CFormTest::OnLoadStandard() {
    CPendraApp& app = *theApp();
    app.lowerCaseFormat = 1;
    OnLoadFormat();
    app.lowerCaseFormat = 0;
}

void CFormTest::OnReadCard() {
    CPendraApp& app = *theApp();
    if (!app.RequireConnection()) return;
    if (app.readingCard) {
        readCard_->setText(strings::text(108));
        worker_.stop();  // after the current card; a card awaited in the hopper is no longer awaited
        return;
    }
    readCard_->setText(strings::text(107));
    // While the last run's worker is still finishing its card, setting the
    // flag again lets that worker go on with the run.
    if (!worker_.start([this] { readCards(); }, [this] { readCard_->setText(strings::text(108)); }))
        app.readingCard = 1;
}

void CFormTest::readCards() {
    CPendraApp& app = *theApp();
    int card = 0;
    while (worker_.keepGoing()) {
        if (app.device.send(cardlog::kReadCard) <= 0) {
            if (app.ShowDeviceError(this) == CPendraApp::kDeviceErrorNoCard) continue;
            break;
        }
        ++card;
        cardlog::CardData data;
        const cardlog::CardText got = cardlog::fetchCardText(app.device, data);
        if (got == cardlog::CardText::BlockRefused) app.ShowDeviceError(this);
        if (got == cardlog::CardText::NoData) formcontrols::showProgramMessage(114);
        if (got != cardlog::CardText::Fetched) break;
        const QString entry = cardlog::runEntry(card, data.syncCount, data.answer);
        worker_.post([this, entry] { addToLog(entry); });
    }
    app.readingCard = 0;
}

void CFormTest::addToLog(const QString& entry) {
    QTextCursor at(log_->document());
    at.movePosition(QTextCursor::Start);
    at.insertText(entry);
}

void CFormTest::OnGrayOfCard() {
    CPendraApp& app = *theApp();
    app.grayFromCard = 1;
    if (CMainFrame* frame = app.mainFrame())
        QCoreApplication::postEvent(frame, new QEvent(kShowGrayTestEvent));
}

void CFormTest::OnReadStandardCard() {
    CPendraApp& app = *theApp();
    if (!app.RequireConnection()) return;
    if (app.device.send(cardlog::kReadStandardCard) <= 0) {
        app.ShowDeviceError(this);
        return;
    }
    cardlog::CardData data;
    const cardlog::CardText got = cardlog::fetchCardText(app.device, data);
    if (got == cardlog::CardText::BlockRefused) app.ShowDeviceError(this);
    if (got == cardlog::CardText::NoData) app.ShowMessage(114);
    if (got == cardlog::CardText::Fetched) addToLog(cardlog::standardEntry(data.syncCount, data.answer));
}
