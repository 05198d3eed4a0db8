// The consistency test (form 4, "一致性测试"): one line of the last gray read
// across the 48 channels as a staircase, so that a head reading differently
// from its neighbours stands out. Profiles of several lines are drawn over
// each other, each in the next colour.
#pragma once

#include <QRect>

#include "form_view.h"
#include "gray_profile.h"

class CGrayWnd;
class QLabel;
class QLineEdit;
class QPushButton;

class CFormConsist : public CFormView {
    Q_OBJECT
public:
    static constexpr int kFormId = 4;
    static constexpr int kDialog = 331;
    static constexpr int kMinPictureWidth = 720;

    explicit CFormConsist(QWidget* parent = nullptr);

    CGrayWnd* grayWnd() const { return gray_; }
    const grayprofile::Profile& profile() const { return profile_; }

    // Button 1001 "取值": draws the profile of the line in edit 1052.
    void OnGetValues();
    // Button 1000 "清屏".
    void OnClear();

protected:
    void OnInitialUpdate() override;
    void placeControls(int width, int height) override;

private:
    grayprofile::Profile profile_{};
    grayprofile::ColourCycle colours_;
    QRect plotRect_;
    CGrayWnd* gray_ = nullptr;

    QLabel* lineLabel_;
    QLineEdit* line_;
    QLabel* linesLabel_;
    QLineEdit* lines_;
    QPushButton* clear_;
    QPushButton* getValues_;
};
