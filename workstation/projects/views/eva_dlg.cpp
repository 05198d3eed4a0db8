#include "eva_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include "eva_run.h"
#include "file_locations.h"
#include "pendra_app.h"
#include "project_message.h"
#include "project_texts.h"
#include "report_list.h"
#include "string_table.h"

namespace {

constexpr int kNotConnected = 101;
constexpr int kChooseFormat = 110;

QString str(int id) {
    return strings::text(id);
}

// A sorted drop-down list: case-insensitive order, as the system list sorts.
void fillSorted(QComboBox* list, QStringList items) {
    items.sort(Qt::CaseInsensitive);
    list->clear();
    list->addItems(items);
}

// The system list's select-string: the first entry that begins with `text`,
// case-insensitively; the selection stays when none does.
void selectPrefix(QComboBox* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
        if (list->itemText(i).startsWith(text, Qt::CaseInsensitive)) {
            list->setCurrentIndex(i);
            return;
        }
}

}  // namespace

CEvaDlg::CEvaDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("327");
    setWindowTitle(str(projtext::kDialogCaption));
    setModal(true);

    auto edit = [this](const char* id) {
        auto* e = new QLineEdit(this);
        e->setObjectName(id);
        return e;
    };
    machineTypes_ = new QComboBox(this);
    machineTypes_->setObjectName("1011");
    cardTypes_ = new QComboBox(this);
    cardTypes_->setObjectName("1012");
    product_ = edit("1034");
    mainboard_ = edit("1035");
    power_ = edit("1037");
    photoHead_ = edit("1036");
    const char* counterIds[5] = {"1038", "1039", "1040", "1041", "1042"};
    for (int i = 0; i < 5; ++i) counters_[i] = edit(counterIds[i]);
    positions_ = new QPlainTextEdit(this);
    positions_->setObjectName("1046");
    positions_->setReadOnly(true);
    details_ = new QTableWidget(0, 2, this);
    details_->setObjectName("1044");
    stopOnErrorBox_ = new QCheckBox(str(projtext::kStopOnError), this);
    stopOnErrorBox_->setObjectName("1043");
    auto button = [this](const char* id, int text) {
        auto* b = new QPushButton(str(text), this);
        b->setObjectName(id);
        b->setAutoDefault(false);
        return b;
    };
    clear_ = button("1000", projtext::kClearErrors);
    read_ = button("1004", projtext::kRead);
    recordAnswer_ = button("1005", projtext::kReadAnswer);
    save_ = button("1006", projtext::kSaveAndClose);

    // Project on the left, counters in the middle, the error details right.
    auto* grid = new QGridLayout;
    const std::pair<int, QWidget*> project[] = {{projtext::kMachineType, machineTypes_},
                                                {projtext::kCardType, cardTypes_},
                                                {projtext::kProductNumber, product_},
                                                {projtext::kMainboardNumber, mainboard_},
                                                {projtext::kPowerNumber, power_},
                                                {projtext::kPhotoHeadNumber, photoHead_}};
    int row = 0;
    for (const auto& [text, w] : project) {
        grid->addWidget(new QLabel(str(text), this), row, 0);
        grid->addWidget(w, row++, 1);
    }
    const int counterTexts[5] = {projtext::kTotalErrors, projtext::kTotalCards, projtext::kCardsThisRun,
                                 projtext::kStopCount, projtext::kSpeed};
    for (int i = 0; i < 5; ++i) {
        grid->addWidget(new QLabel(str(counterTexts[i]), this), i, 2);
        grid->addWidget(counters_[i], i, 3);
        counters_[i]->setMaximumWidth(90);
    }
    grid->addWidget(new QLabel(str(projtext::kSheetsPerSecond), this), 4, 4);
    grid->addWidget(stopOnErrorBox_, 5, 2, 1, 3);
    grid->addWidget(new QLabel(str(projtext::kErrorPositions), this), 6, 0, Qt::AlignTop);
    grid->addWidget(positions_, 6, 1, 1, 4);
    positions_->setMaximumHeight(90);

    auto* detailsBox = new QGroupBox(str(projtext::kErrorDetails), this);
    auto* detailsLayout = new QVBoxLayout(detailsBox);
    detailsLayout->addWidget(details_);
    details_->setMinimumWidth(200);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {clear_, read_, recordAnswer_, save_}) buttons->addWidget(b);
    buttons->insertStretch(1);

    auto* top = new QHBoxLayout;
    top->addLayout(grid, 3);
    top->addWidget(detailsBox, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(cardTypes_, &QComboBox::activated, this, &CEvaDlg::OnCardTypeChosen);
    connect(read_, &QPushButton::clicked, this, &CEvaDlg::OnRead);
    connect(recordAnswer_, &QPushButton::clicked, this, &CEvaDlg::OnRecordAnswer);
    connect(clear_, &QPushButton::clicked, this, &CEvaDlg::OnClearErrors);
    connect(save_, &QPushButton::clicked, this, &CEvaDlg::OnSaveAndClose);
    connect(stopOnErrorBox_, &QCheckBox::clicked, this, &CEvaDlg::OnStopOnError);
    // The program closing ends the loop before any window goes.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &CEvaDlg::stopRun);
}

CEvaDlg::~CEvaDlg() {
    stopRun();
}

void CEvaDlg::setProject(int row, const ProjectRecord& record) {
    row_ = row;
    record_ = record;
}

int CEvaDlg::DoModal() {
    OnInitDialog();
    return exec();
}

void CEvaDlg::OnInitDialog() {
    if (CPendraApp* app = theApp()) app->testRun = 0;
    config_ = EvaConfig::load(locations_);
    fillSorted(machineTypes_, config_.machineTypes());
    fillSorted(cardTypes_, config_.cardTypeNames());
    for (QLineEdit* e : counters_) e->setEnabled(false);
    setRunButtons(false);
    recordAnswer_->setText(str(projtext::kReadAnswer));
    details_->setHorizontalHeaderLabels({str(projtext::kErrorPosition), str(projtext::kErrorCount)});
    reportlist::setReportStyle(details_);
    for (int c = 0; c < 2; ++c) details_->horizontalHeaderItem(c)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    details_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    showRecord(record_);
    stopOnErrorBox_->setChecked(stopOnError_);
    showProblems();
}

// What keeps config.ini from working as written, said once per opening.
void CEvaDlg::showProblems() {
    if (!config_.problems().isEmpty()) projectmessage::show(this, config_.problems().join(u'\n'));
}

void CEvaDlg::showRecord(const ProjectRecord& r) {
    selectPrefix(machineTypes_, r.machineType);
    selectPrefix(cardTypes_, r.cardType);
    product_->setText(r.productNumber);
    mainboard_->setText(r.mainboardNumber);
    power_->setText(r.powerNumber);
    photoHead_->setText(r.photoHeadNumber);
    showCounts(r);
}

void CEvaDlg::showCounts(const ProjectRecord& r) {
    const int values[5] = {r.totalErrors, r.totalCards, r.cardsThisRun, r.stopCount, r.speed};
    for (int i = 0; i < 5; ++i) counters_[i]->setText(QString::number(values[i]));
    positions_->setPlainText(r.errorPositions.isEmpty() ? str(projtext::kNoErrors) : r.errorPositions);
    const auto counts = r.errorCounts.used();
    details_->setRowCount(int(counts.size()));
    for (int i = 0; i < int(counts.size()); ++i) {
        details_->setItem(i, 0, new QTableWidgetItem(QString::number(i)));
        details_->setItem(i, 1, new QTableWidgetItem(QString::number(counts[size_t(i)])));
    }
}

ProjectRecord CEvaDlg::recordFromDialog() const {
    ProjectRecord r = record_;
    r.machineType = machineTypes_->currentText();
    r.cardType = cardTypes_->currentText();
    r.productNumber = product_->text();
    r.mainboardNumber = mainboard_->text();
    r.powerNumber = power_->text();
    r.photoHeadNumber = photoHead_->text();
    std::int32_t* fields[5] = {&r.totalErrors, &r.totalCards, &r.cardsThisRun, &r.stopCount, &r.speed};
    for (int i = 0; i < 5; ++i) *fields[i] = counters_[i]->text().toInt();
    return r;
}

void CEvaDlg::OnCardTypeChosen(int index) {
    CPendraApp* app = theApp();
    if (!app || !app->connected) {
        if (app) app->ShowMessage(kNotConnected);
        return;
    }
    if (running_) return;
    const QString name = cardTypes_->itemText(index);
    if (name.isEmpty()) {
        app->ShowMessage(kChooseFormat);
        return;
    }
    chosenCardType_ = name;
    const EvaConfig::FormatFile format = config_.formatFile(name);
    if (!format.problem.isEmpty()) {
        projectmessage::show(this, format.problem);
        return;
    }
    formatLoaded_ = app->SendFormatFile(format.path);
    // The reader refused the format: say why rather than run against the old one.
    if (!formatLoaded_ && app->connected) app->ShowDeviceError(this);
}

void CEvaDlg::setRunButtons(bool running) {
    read_->setText(str(running ? projtext::kStop : projtext::kRead));
    recordAnswer_->setEnabled(!running);
    clear_->setEnabled(!running);
    cardTypes_->setEnabled(!running);
}

void CEvaDlg::OnRead() {
    CPendraApp* app = theApp();
    if (!app || !app->connected) {
        if (app) app->ShowMessage(kNotConnected);
        return;
    }
    if (run_) {
        run_->requestStop();  // the loop ends after its card and restores the buttons
        return;
    }
    startRun(evaluation::Mode::Compare);
}

void CEvaDlg::OnRecordAnswer() {
    CPendraApp* app = theApp();
    if (!app || !app->connected) {
        if (app) app->ShowMessage(kNotConnected);
        return;
    }
    if (run_) return;
    startRun(evaluation::Mode::RecordAnswer);
    recordAnswer_->setText(str(projtext::kStop));
}

void CEvaDlg::startRun(evaluation::Mode mode) {
    // What the technician typed stays: the loop's record starts from the dialog.
    record_ = recordFromDialog();
    EvaRunSettings settings;
    settings.mode = mode;
    settings.stopOnError = stopOnError_;
    settings.cardType = chosenCardType_;
    running_ = true;
    setRunButtons(true);
    run_ = std::make_unique<EvaRun>(*this, config_, record_, settings, running_, clock_);
}

void CEvaDlg::finishRun() {
    if (!run_ || stopping_ || !run_->ended()) return;
    run_->join();
    std::unique_ptr<EvaRun> run = std::move(run_);
    record_ = recordFromDialog();  // the serial numbers as they are now
    const ProjectRecord& counted = run->result();
    record_.totalErrors = counted.totalErrors;
    record_.totalCards = counted.totalCards;
    record_.cardsThisRun = counted.cardsThisRun;
    record_.stopCount = counted.stopCount;
    record_.speed = counted.speed;
    record_.errorPositions = counted.errorPositions;
    record_.errorCounts = counted.errorCounts;
    lastAnswer_ = run->lastAnswer();
    showCounts(record_);
    setRunButtons(false);
    recordAnswer_->setText(str(projtext::kRecordAnswer));
    emit runEnded();
}

void CEvaDlg::stopRun() {
    if (!run_) return;
    stopping_ = true;
    run_->requestStop();
    run_->join();
    stopping_ = false;
    finishRun();
}

void CEvaDlg::OnClearErrors() {
    if (run_) return;
    record_ = recordFromDialog();
    evaluation::clearErrors(record_);
    showRecord(record_);
}

void CEvaDlg::OnStopOnError(bool checked) {
    stopOnError_ = checked;
}

void CEvaDlg::OnSaveAndClose() {
    stopRun();
    record_ = recordFromDialog();
    emit projectUpdated();
    accept();
}

void CEvaDlg::closeEvent(QCloseEvent* event) {
    stopRun();
    QDialog::closeEvent(event);
}

void CEvaDlg::reject() {
    stopRun();
    QDialog::reject();
}
