// The line test (form 3, "线性测试"): one head's gray level on every line of
// the last gray read, as a bar chart along the card. It reads nothing from
// the reader; the data is the test data record the gray test filled.
#pragma once

#include <QFrame>
#include <QImage>

#include "form_view.h"
#include "line_chart.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

// The plot frame (control 1057): shows the chart the form drew into it.
class CLineChartFrame : public QFrame {
    Q_OBJECT
public:
    explicit CLineChartFrame(QWidget* parent);
    QImage& picture() { return picture_; }
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage picture_;
};

class CFormLine : public CFormView {
    Q_OBJECT
public:
    static constexpr int kFormId = 3;
    static constexpr int kDialog = 332;

    explicit CFormLine(QWidget* parent = nullptr);

    int lineCount() const { return lineCount_; }
    int firstLine() const { return firstLine_; }
    int scrollMaximum() const { return scrollMax_; }
    const linechart::LineValues& lineValues() const { return values_; }
    const CLineChartFrame* chart() const { return chart_; }

    // Button 1001 "取值": the chosen head's levels.
    void OnGetValues();
    // Button 1000 "清屏".
    void OnClear();

protected:
    void OnInitialUpdate() override;
    void placeControls(int width, int height) override;

private:
    void redraw();
    void onScrollAction(int action);
    void onThumbReleased();

    linechart::LineValues values_{};
    int lineCount_ = 100;
    int firstLine_ = 0;
    int scrollMax_ = 0;

    CLineChartFrame* chart_;
    QScrollBar* scroll_;
    QLabel* headLabel_;
    QLineEdit* head_;
    QLabel* linesLabel_;
    QLineEdit* lines_;
    QPushButton* clear_;
    QPushButton* getValues_;
};
