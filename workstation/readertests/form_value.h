// The instantaneous value test (form 1, "瞬值测试"): the raw values of all
// heads as a growing hexadecimal table, one row per sample, each cell
// coloured by how steady its head reads (CValueSteadiness). A worker
// samples while the application's test-run flag is set; activating any
// form view clears the flag and so ends the sampling.
#pragma once

#include <QColor>
#include <array>
#include <atomic>
#include <vector>

#include "form_view.h"
#include "form_worker.h"

class CGridCtrl;
class QPushButton;

class CFormValue : public CFormView {
    Q_OBJECT
public:
    static constexpr int kFormId = 1;
    static constexpr int kDialog = 320;  // the dialog resource of its controls
    static constexpr int kPreparedRows = 40;  // the header row and 39 blank rows
    static constexpr int kColumns = 51;       // heading, D, S, channels 1..48
    static constexpr int kSampleIntervalMs = 200;

    explicit CFormValue(QWidget* parent = nullptr);
    ~CFormValue() override;

    CGridCtrl* grid() const { return grid_; }
    // The pause between samples; the benchmark drives the worker without it.
    void setSampleInterval(int ms) { intervalMs_ = ms; }
    bool sampling() const { return worker_.running(); }

    // Button 1000 "取值": starts or stops the sampling.
    void OnGetValue();
    // Button 1001 "步进进纸": ends the sampling, then steps the paper.
    void OnStepPaper();

protected:
    void OnInitialUpdate() override;
    void placeControls(int width, int height) override;

private:
    // One sampled row as the worker hands it over; an empty one stays blank
    // (the read after its append failed).
    struct Row {
        std::vector<int> values;
        std::vector<QRgb> colours;
    };
    void sample(int columns);
    void appendRows(std::vector<Row>& rows);

    CGridCtrl* grid_ = nullptr;
    QPushButton* getValue_ = nullptr;
    QPushButton* stepPaper_ = nullptr;
    std::atomic<int> intervalMs_{kSampleIntervalMs};
    CUpdateBatch<Row> rows_;
    CFormWorker worker_;  // last: ends before the members it uses
};
