#include "form_consist.h"

#include <algorithm>
#include <span>

#include "form_controls.h"
#include "form_registry.h"
#include "gray_wnd.h"
#include "pendra_app.h"

namespace {
const bool registered =
    registerFormView(CFormConsist::kFormId, [](QWidget* parent) { return new CFormConsist(parent); });
}  // namespace

CFormConsist::CFormConsist(QWidget* parent) : CFormView(parent) {
    using namespace formcontrols;
    setObjectName(QString::number(kDialog));
    lineLabel_ = label(this, kDialog, 1053);
    line_ = edit(this, kDialog, 1052);
    linesLabel_ = label(this, kDialog, 1054);
    lines_ = edit(this, kDialog, 1049);
    lines_->setReadOnly(true);
    clear_ = button(this, kDialog, 1000);
    getValues_ = button(this, kDialog, 1001);
    connect(getValues_, &QPushButton::clicked, this, &CFormConsist::OnGetValues);
    connect(clear_, &QPushButton::clicked, this, &CFormConsist::OnClear);
}

void CFormConsist::OnInitialUpdate() {
    line_->setText("1");
    lines_->setText(QString::asprintf("%d", theApp()->testData->lineCount));
    gray_ = new CGrayWnd(this);
    gray_->createWindow(this, plotRect_);
    addSaveTarget(gray_, strings::text(139));
    gray_->viewport()->update();
}

void CFormConsist::placeControls(int w, int h) {
    lineLabel_->setGeometry(w - 75, h - 125, 40, 15);
    line_->setGeometry(w - 40, h - 127, 30, 20);
    linesLabel_->setGeometry(w - 75, h - 105, 50, 15);
    lines_->setGeometry(w - 40, h - 107, 30, 20);
    clear_->setGeometry(w - 60, h - 60, 50, 20);
    getValues_->setGeometry(w - 60, h - 30, 50, 20);
    // (10, h / 7) to (w - 90, h * 25 / 28), the right and bottom edges outside.
    plotRect_ = QRect(QPoint(10, h / 7), QPoint(w - 91, h * 25 / 28 - 1));
    if (gray_) {
        gray_->setPictureSize(std::max(w - 100, kMinPictureWidth), plotRect_.height());
        gray_->placeAt(plotRect_);  // redraws the axes; a profile drawn before is gone
    }
}

void CFormConsist::OnGetValues() {
    const TestDataRecord& record = *theApp()->testData;
    if (record.gray.empty()) {
        formcontrols::showOwnedMessage(this, 117);
        return;
    }
    const int lineNumber = formcontrols::editNumber(line_);
    if (!grayprofile::profileForLine(record, lineNumber, profile_)) return;
    if (!gray_) return;
    gray_->setProfileColour(colours_.next());
    gray_->drawProfile(std::span<const int>(profile_.data(), CGrayWnd::kChannels));
    gray_->viewport()->update();
    update();
}

void CFormConsist::OnClear() {
    if (!gray_) return;
    gray_->clear();
    gray_->drawAxes();
    gray_->viewport()->update();
}
