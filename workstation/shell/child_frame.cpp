#include "child_frame.h"

#include "pendra_doc.h"

CChildFrame::CChildFrame(CPendraDoc* doc, QWidget* view) : doc_(doc) {
    doc_->setParent(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view);
    setWindowTitle(doc_->title());
}
