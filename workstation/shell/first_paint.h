// Watches for the first paint of the main frame, for the start-up figure and
// the screenshot option.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

class FirstPaintWatcher : public QObject {
    Q_OBJECT
public:
    // Calls `done` once, from the event loop, after the first paint of a
    // widget inside `window` has been delivered.
    FirstPaintWatcher(QWidget* window, std::function<void()> done);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QWidget* window_;
    std::function<void()> done_;
    bool seen_ = false;
};
