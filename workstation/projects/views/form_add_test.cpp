#include "form_add_test.h"

#include <QPainter>

#include "commands.h"
#include "form_registry.h"
#include "project_texts.h"
#include "string_table.h"

namespace {

const bool registered =
    registerFormView(form::kAddTest, [](QWidget* parent) { return new CFormAddTest(parent); });

const QColor kBlue(0, 0, 255);

}  // namespace

CFormAddTest::CFormAddTest(QWidget* parent) : CFormView(parent) {
    setObjectName("318");
    setAutoFillBackground(true);
}

void CFormAddTest::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Each band ends one pixel short of its bottom and right edge, as a
    // rectangle drawn in the window's device context does.
    const int w = width() - 1;
    // The answer key band: solid blue with white text.
    p.setPen(QPen(kBlue, 1));
    p.setBrush(kBlue);
    p.drawRect(QRect(0, 0, w - 1, 49));
    p.setPen(Qt::white);
    const QFontMetrics fm(font());
    p.drawText(QPoint(20, 10 + fm.ascent()), strings::text(projtext::kAnswerKeySettings));
    // The unit and card band: a blue frame on the page's own background.
    p.setPen(QPen(kBlue, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(0, 50, w - 1, 79));
    p.setPen(kBlue);
    p.drawText(QPoint(20, 60 + fm.ascent()), strings::text(projtext::kUnitAndCardSettings));
}
