// The MDI child window of one form: owns its document and shows its view.
#pragma once

#include <QMdiSubWindow>

class CPendraDoc;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    CChildFrame(CPendraDoc* doc, QWidget* view);
    CPendraDoc* document() const { return doc_; }

private:
    CPendraDoc* doc_;
};
