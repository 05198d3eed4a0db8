#include "pendra_view.h"

#include <QPainter>

#include "artwork.h"
#include "commands.h"
#include "form_registry.h"

CPendraView::CPendraView(QWidget* parent) : QWidget(parent) {
    setObjectName("startPage");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 120);
}

void CPendraView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), artwork::startPageBitmap());
}

static const bool startPageRegistered =
    registerFormView(form::kStart, [](QWidget* parent) { return new CPendraView(parent); });
