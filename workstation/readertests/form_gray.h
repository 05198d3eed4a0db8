// The gray test (form 2, "灰度测试"): the gray levels a card gave, line by
// line for 48 channels, as a coloured hexadecimal table (channel 1 at the
// bottom, the first line read at the right), and after "读卡(&R)" the
// verdict on where the head sits, drawn below the table.
//
// Opening or activating it with the application's gray-from-card flag set
// fetches the last card: that is how the read-card test hands a card over
// (message 1025).
#pragma once

#include "form_view.h"
#include "head_position.h"

class CGridCtrl;
class QLabel;
class QLineEdit;
class QPushButton;

class CFormGray : public CFormView {
    Q_OBJECT
public:
    static constexpr int kFormId = 2;
    static constexpr int kDialog = 321;
    static constexpr int kRows = 49;            // the header row and channels 48 to 1
    static constexpr int kInitialColumns = 74;  // the heading and 73 lines

    explicit CFormGray(QWidget* parent = nullptr);

    CGridCtrl* grid() const { return grid_; }
    const HeadPosition& headPosition() const { return position_; }

    // Button 1000 "取上一张卡的灰度" (hidden): the last card's levels.
    void OnLastCardGray();
    // Button 1005 "读卡(&R)": reads a card and judges the head.
    void OnReadCard();
    // Button 1071 "取同步框数": the sync mark count of the last card.
    void OnGetSyncCount();

protected:
    void OnInitialUpdate() override;
    void OnActivateView(bool active) override;
    void placeControls(int width, int height) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void refreshView();
    void createGrid();
    // Fetches with `mode` (GrayFetch) and fills the table; false when the
    // fetch failed (message 114 shown).
    bool fillTable(int mode);
    void resizeColumns(int columns);
    int textHeight() const;

    CGridCtrl* grid_ = nullptr;
    QPushButton* readCard_;
    QLineEdit* syncCount_;
    QLabel* syncLabel_;
    QPushButton* getSyncCount_;
    QLineEdit* channels_;
    QLabel* channelsLabel_;
    QPushButton* lastCard_;
    QLabel* dLabel_;
    QLineEdit* dValue_;
    QLabel* sLabel_;
    QLineEdit* sValue_;
    HeadPosition position_;
};
