#include "child_frame.h"

#include "pendra_doc.h"

CChildFrame::CChildFrame(std::unique_ptr<CPendraDoc> doc, QWidget* view) : doc_(doc.release()) {
    doc_->setParent(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view);
    setWindowTitle(doc_->title());
}
