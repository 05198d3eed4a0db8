// The base of the reader test forms: a form view in its own MDI window.
//
// A form derives from CFormView and overrides the hooks it needs:
//   OnInitialUpdate()      once, when the form is first shown, before the
//                          first placement (create the grid, fill edits);
//   placeControls(w, h)    after every resize, with the client size;
//   OnActivateView(on)     when the form's window becomes, or stops being,
//                          the current window of the tab area; the base
//                          has already cleared the test-run flag.
// Activation follows the tab area's current window only: a message box, a
// dialog or another program taking the focus leaves the current window as
// it is, so none of them counts as an activation.
//
// Workers that the form watches (watchWorker) hold its close back: closing
// stops them and the window closes once the last one has ended.
//
// Saving: every table, plot and text log a form registers with
// addSaveTarget gets a context menu entry that saves it (CSV, PNG, text);
// Ctrl+S saves the target that holds the focus, else the first one.
#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

class CFormWorker;
class CGridCtrl;
class CPlotWnd;
class QMdiSubWindow;
class QPlainTextEdit;
class QTextEdit;

class CFormView : public QWidget {
    Q_OBJECT
public:
    explicit CFormView(QWidget* parent = nullptr);
    ~CFormView() override;

    bool initialUpdateDone() const { return initialUpdated_; }
    // The form's window is the current window of its tab area.
    bool isActiveView() const { return active_; }

    // What Ctrl+S and the context menus save.
    void addSaveTarget(CGridCtrl* grid, const QString& fileStem);
    void addSaveTarget(CPlotWnd* plot, const QString& fileStem);
    void addSaveTarget(QTextEdit* log, const QString& fileStem);
    void addSaveTarget(QPlainTextEdit* log, const QString& fileStem);
    // Saves the target under the focus (else the first); false when there
    // is none or the user cancelled.
    bool saveCurrent();

protected:
    virtual void OnInitialUpdate() {}
    virtual void placeControls(int width, int height) {
        (void)width;
        (void)height;
    }
    virtual void OnActivateView(bool active) { (void)active; }

    // The form's close waits for `worker` to end.
    void watchWorker(CFormWorker* worker);

    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    enum class Kind { Table, Picture, Text };
    struct SaveTarget {
        QPointer<QWidget> widget;
        Kind kind;
        QString fileStem;
    };
    void addTarget(QWidget* widget, Kind kind, const QString& fileStem);
    bool save(const SaveTarget& target);
    void followTabArea();
    void currentWindowChanged(QMdiSubWindow* window);

    bool initialUpdated_ = false;
    bool active_ = false;
    bool closeWaiting_ = false;
    QPointer<QMdiSubWindow> frame_;
    std::vector<QPointer<CFormWorker>> workers_;
    std::vector<SaveTarget> saveTargets_;
};
