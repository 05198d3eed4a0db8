#include "form_view.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextEdit>

#include "form_worker.h"
#include "grid_ctrl.h"
#include "pendra_app.h"
#include "plot_wnd.h"
#include "saved_files.h"
#include "string_table.h"

CFormView::CFormView(QWidget* parent) : QWidget(parent) {
    auto* save = new QShortcut(QKeySequence::Save, this);
    save->setContext(Qt::WidgetWithChildrenShortcut);
    connect(save, &QShortcut::activated, this, [this] { saveCurrent(); });
}

CFormView::~CFormView() = default;

void CFormView::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    followTabArea();
    if (initialUpdated_) return;
    initialUpdated_ = true;
    OnInitialUpdate();
    placeControls(width(), height());
}

void CFormView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (initialUpdated_) placeControls(width(), height());
}

// The form learns of its window once it is shown in one.
void CFormView::followTabArea() {
    if (frame_) return;
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
            frame_ = sub;
            if (QMdiArea* area = sub->mdiArea()) {
                connect(area, &QMdiArea::subWindowActivated, this, &CFormView::currentWindowChanged);
                currentWindowChanged(area->currentSubWindow());
            }
            return;
        }
    }
}

void CFormView::currentWindowChanged(QMdiSubWindow* window) {
    // The area reports "none" when its top-level window loses the focus
    // (a box or dialog on top); the current window is still this one then.
    if (!window && frame_ && frame_->mdiArea() && frame_->mdiArea()->currentSubWindow() == frame_) return;
    const bool active = window && window == frame_;
    if (active == active_) return;
    active_ = active;
    if (CPendraApp* app = theApp()) app->testRun = 0;
    OnActivateView(active);
}

void CFormView::watchWorker(CFormWorker* worker) {
    workers_.emplace_back(worker);
}

void CFormView::closeEvent(QCloseEvent* e) {
    bool waiting = false;
    for (const auto& w : workers_) {
        if (!w || !w->running()) continue;
        w->stop();
        waiting = true;
    }
    if (!waiting) {
        QWidget::closeEvent(e);
        return;
    }
    // Closed again once the last worker has ended (after its current
    // card): the window stays until then, and nothing waits nested here.
    e->ignore();
    if (closeWaiting_) return;
    closeWaiting_ = true;
    for (const auto& w : workers_) {
        if (!w || !w->running()) continue;
        connect(w, &CFormWorker::finished, this, [this] {
            for (const auto& other : workers_)
                if (other && other->running()) return;
            closeWaiting_ = false;
            if (frame_)
                frame_->close();
            else
                close();
        });
    }
}

void CFormView::addSaveTarget(CGridCtrl* grid, const QString& fileStem) {
    addTarget(grid, Kind::Table, fileStem);
}

void CFormView::addSaveTarget(CPlotWnd* plot, const QString& fileStem) {
    addTarget(plot, Kind::Picture, fileStem);
}

void CFormView::addSaveTarget(QTextEdit* log, const QString& fileStem) {
    addTarget(log, Kind::Text, fileStem);
}

void CFormView::addSaveTarget(QPlainTextEdit* log, const QString& fileStem) {
    addTarget(log, Kind::Text, fileStem);
}

void CFormView::addTarget(QWidget* widget, Kind kind, const QString& fileStem) {
    if (!widget) return;
    saveTargets_.push_back({widget, kind, fileStem});
    const int textId = kind == Kind::Table ? 401 : kind == Kind::Picture ? 402 : 403;
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widget, &QWidget::customContextMenuRequested, this,
            [this, widget, kind, fileStem, textId](const QPoint& pos) {
                QMenu menu(widget);
                QAction* save = menu.addAction(strings::text(textId));
                save->setShortcut(QKeySequence::Save);
                if (menu.exec(widget->mapToGlobal(pos)) == save) this->save({widget, kind, fileStem});
            });
}

bool CFormView::saveCurrent() {
    const SaveTarget* chosen = nullptr;
    QWidget* focus = focusWidget();
    for (const SaveTarget& t : saveTargets_) {
        if (!t.widget) continue;
        if (!chosen) chosen = &t;
        if (focus && (focus == t.widget || t.widget->isAncestorOf(focus))) {
            chosen = &t;
            break;
        }
    }
    return chosen && save(*chosen);
}

bool CFormView::save(const SaveTarget& t) {
    if (!t.widget) return false;
    switch (t.kind) {
        case Kind::Table:
            return savedfiles::saveWithDialog(this, t.fileStem + ".csv", strings::text(404),
                                              savedfiles::gridCsv(*static_cast<CGridCtrl*>(t.widget.data())));
        case Kind::Picture: {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            static_cast<CPlotWnd*>(t.widget.data())->picture().save(&buffer, "PNG");
            return savedfiles::saveWithDialog(this, t.fileStem + ".png", strings::text(405), png);
        }
        case Kind::Text: {
            QString text;
            if (auto* edit = qobject_cast<QTextEdit*>(t.widget))
                text = edit->toPlainText();
            else if (auto* plain = qobject_cast<QPlainTextEdit*>(t.widget))
                text = plain->toPlainText();
            return savedfiles::saveWithDialog(this, t.fileStem + ".txt", strings::text(406), text.toUtf8());
        }
    }
    return false;
}
