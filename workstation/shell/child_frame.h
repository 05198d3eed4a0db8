// The MDI child window of one form: owns its document and shows its view.
#pragma once

#include <QMdiSubWindow>
#include <memory>

class CPendraDoc;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    // Takes the document (a Qt child from then on) and the view.
    CChildFrame(std::unique_ptr<CPendraDoc> doc, QWidget* view);
    CPendraDoc* document() const { return doc_; }

private:
    CPendraDoc* doc_;
};
