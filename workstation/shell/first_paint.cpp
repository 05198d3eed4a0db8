#include "first_paint.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

FirstPaintWatcher::FirstPaintWatcher(QWidget* window, std::function<void()> done)
    : QObject(window), window_(window), done_(std::move(done)) {
    qApp->installEventFilter(this);
}

bool FirstPaintWatcher::eventFilter(QObject* watched, QEvent* e) {
    if (!seen_ && e->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == window_) {
        seen_ = true;
        qApp->removeEventFilter(this);
        // Report once the paint in progress has finished.
        QTimer::singleShot(0, this, [this] { done_(); });
    }
    return false;
}
