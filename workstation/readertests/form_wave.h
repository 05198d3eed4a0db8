// The waveform test (form 5, "波形测试"): the raw signal of one head and of
// the sync track while the last card passed, the sync track squared into
// two levels, and a numbered mark under the centre of every sync mark.
#pragma once

#include <vector>

#include "form_view.h"

class CCurveWnd;
class QLabel;
class QLineEdit;
class QPushButton;

class CFormWave : public CFormView {
    Q_OBJECT
public:
    static constexpr int kFormId = 5;
    static constexpr int kDialog = 333;
    static constexpr int kScrollPage = 300;

    explicit CFormWave(QWidget* parent = nullptr);

    // The length of the curves last fetched by any waveform form; it
    // outlives the form.
    static int sampleCount();

    CCurveWnd* curveWnd() const { return curve_; }
    // What the last drawing found on the sync track.
    int syncThreshold() const { return threshold_; }
    const std::vector<int>& marks() const { return marks_; }

    // Button 1000 "读卡": fetches and draws the curves.
    void OnReadCard();
    // Button 1001 "清屏" (hidden).
    void OnClear();

protected:
    void OnInitialUpdate() override;
    void placeControls(int width, int height) override;

private:
    // "I 6 %d/" with `argument` and the curve into `buffer`, newest sample
    // first; the samples kept (0 when none came).
    int fetchCurve(int argument, std::vector<int>& buffer);
    void draw();

    std::vector<int> channel_;
    std::vector<int> sync_;
    std::vector<int> marks_;
    int threshold_ = 0;

    CCurveWnd* curve_ = nullptr;
    QLabel* headLabel_;
    QLineEdit* head_;
    QLabel* syncLabel_;
    QLineEdit* syncCount_;
    QPushButton* clear_;
    QPushButton* readCard_;
};
