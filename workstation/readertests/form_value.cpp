#include "form_value.h"

#include <QPushButton>
#include <chrono>
#include <thread>

#include "form_registry.h"
#include "grid_ctrl.h"
#include "pendra_app.h"
#include "reader_grid.h"
#include "string_table.h"
#include "value_steadiness.h"
#include "vaz.h"

namespace {

const bool registered = registerFormView(CFormValue::kFormId, [](QWidget* parent) { return new CFormValue(parent); });

constexpr int kRowHeight = 18;
// Rows one turn of the event loop appends at most, and rows the sampler may
// be ahead of the table before it waits: a sampler without pause (the
// benchmark) then neither stalls the screen nor piles up rows in memory.
constexpr std::size_t kRowsPerDelivery = 32;
constexpr std::size_t kMaxRowsAhead = 256;

// Room for the whole first half of any value block the library may hand
// over ("I 4/" announces its length in four digits), of which the table
// uses 50.
using ValueBuffer = std::array<int, VAZ_REPLY_SIZE>;

// "I 4/" and the copy of its values, as one exchange; false on failure
// (after message 114 when the reader refused the command).
bool readSample(CPendraApp& app, ValueBuffer& values, bool& refused) {
    DeviceLock::Hold hold(app.device.lock);
    refused = app.device.send("I 4/") < 1;
    return !refused && app.device.getValue('A', values.data()) > 0;
}

// One of the three samples a run starts with; a failed one leaves zeros.
CValueSteadiness::Sample initialSample(CPendraApp& app) {
    auto values = std::make_unique<ValueBuffer>();
    CValueSteadiness::Sample s{};
    bool refused = false;
    const bool ok = readSample(app, *values, refused);
    if (refused) app.ShowMessage(114);
    if (ok) std::copy_n(values->begin(), s.size(), s.begin());
    return s;
}

}  // namespace

CFormValue::CFormValue(QWidget* parent)
    : CFormView(parent),
      rows_(this, [this](std::vector<Row>& rows) { appendRows(rows); }, kRowsPerDelivery),
      worker_(theApp()->testRun) {
    setObjectName(QString::number(kDialog));
    getValue_ = new QPushButton(strings::text(158), this);
    getValue_->setObjectName("1000");
    getValue_->setDefault(true);
    stepPaper_ = new QPushButton(strings::dialogText(kDialog, 1001), this);
    stepPaper_->setObjectName("1001");
    connect(getValue_, &QPushButton::clicked, this, &CFormValue::OnGetValue);
    connect(stepPaper_, &QPushButton::clicked, this, &CFormValue::OnStepPaper);
    watchWorker(&worker_);
}

CFormValue::~CFormValue() = default;

void CFormValue::OnInitialUpdate() {
    grid_ = new CGridCtrl(this);
    grid_->setObjectName("grid");
    grid_->setDefaultColumnWidth(20);
    grid_->setDefaultRowHeight(kRowHeight);
    if (!readergrid::setUp(*grid_, kPreparedRows, kColumns)) return;
    grid_->setItemText(0, 0, "A");
    grid_->setItemText(0, 1, "D");
    grid_->setItemText(0, 2, "S");
    for (int c = 3; c < kColumns; ++c) grid_->setItemText(0, c, QString::asprintf("%2d", c - 2));
    for (int c = 0; c < kColumns; ++c) grid_->setColumnWidth(c, 20);
    grid_->setRowHeight(0, 20);
    for (int r = 1; r < kPreparedRows; ++r) {
        grid_->setItemText(r, 0, "A");
        grid_->setRowHeight(r, kRowHeight);
        for (int c = 1; c < kColumns; ++c) readergrid::clearCell(*grid_, r, c);
    }
    grid_->show();
    addSaveTarget(grid_, strings::text(136));
}

void CFormValue::placeControls(int w, int h) {
    if (grid_) grid_->setGeometry(0, 0, w, h - 44);
    getValue_->setGeometry(w - 100, h - 35, 80, 30);
    stepPaper_->setGeometry(w - 200, h - 35, 80, 30);
}

void CFormValue::OnGetValue() {
    CPendraApp& app = *theApp();
    if (!app.RequireConnection()) return;
    if (getValue_->text() != strings::text(158)) {
        app.testRun = 0;
        getValue_->setText(strings::text(158));
        return;
    }
    // A run that was told to stop may still be finishing its exchange.
    if (worker_.running()) worker_.join();
    getValue_->setText(strings::text(107));
    const int columns = grid_ ? grid_->columnCount() : kColumns;
    worker_.start([this, columns] { sample(columns); },
                  [this] {
                      rows_.deliver(true);
                      getValue_->setText(strings::text(158));
                  });
}

void CFormValue::OnStepPaper() {
    // The step waits until the sampler has really let go of the reader.
    if (worker_.running()) {
        worker_.stop(false);
        worker_.join();
    }
    theApp()->testRun = 0;
    theApp()->device.send("T 020/");
}

// The worker: three initial samples, then one row per sample while the
// test-run flag stays set.
void CFormValue::sample(int columns) {
    CPendraApp& app = *theApp();
    const CValueSteadiness::Sample minimum = initialSample(app);
    const CValueSteadiness::Sample maximum = initialSample(app);
    const CValueSteadiness::Sample reference = initialSample(app);
    CValueSteadiness steadiness(minimum, maximum, reference);
    auto current = std::make_unique<ValueBuffer>();
    const int count = std::min(columns - 1, CValueSteadiness::kValues);
    while (worker_.keepGoing()) {
        bool refused = false;
        const bool ok = readSample(app, *current, refused);
        Row row;
        if (ok) {
            row.values.resize(size_t(count));
            row.colours.resize(size_t(count));
            for (int i = 0; i < count; ++i) {
                const int d = (*current)[size_t(i)];
                row.values[size_t(i)] = d;
                row.colours[size_t(i)] = steadiness.take(i, d).rgb();
            }
        }
        rows_.push(std::move(row));  // appended even when its read failed
        if (refused) {
            app.ShowMessage(114);
            break;
        }
        if (!ok) break;
        while (rows_.waiting() > kMaxRowsAhead && worker_.keepGoing())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // The pause ends early when the run is stopped.
        using namespace std::chrono;
        const auto until = steady_clock::now() + milliseconds(intervalMs_.load());
        while (worker_.keepGoing() && steady_clock::now() < until) std::this_thread::sleep_for(milliseconds(5));
    }
}

// GUI thread: the rows that arrived since the last delivery, in order.
void CFormValue::appendRows(std::vector<Row>& rows) {
    if (!grid_) return;
    int last = -1;
    for (const Row& row : rows) {
        last = grid_->appendRow("A");
        if (last < 0) return;
        grid_->setRowHeight(last, kRowHeight);
        for (size_t i = 0; i < row.values.size(); ++i) {
            const int col = int(i) + 1;
            grid_->setItemText(last, col, QString::asprintf("%02X", row.values[i]));
            grid_->setItemBkColour(last, col, QColor::fromRgb(row.colours[i]));
        }
    }
    if (last >= 0) grid_->ensureCellVisible(last);
    grid_->refresh();
}
