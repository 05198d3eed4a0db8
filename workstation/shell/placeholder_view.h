// The view of a form whose own view is not part of this build: it shows the
// form's title, so the window, its tab and the one-window rule work already.
#pragma once

#include <QDialog>
#include <QWidget>

class CPlaceholderView : public QWidget {
    Q_OBJECT
public:
    explicit CPlaceholderView(const QString& title, QWidget* parent = nullptr);
};

// The same for a maintenance dialog that is not part of this build.
class CPlaceholderDialog : public QDialog {
    Q_OBJECT
public:
    CPlaceholderDialog(const QString& caption, int command, QWidget* parent = nullptr);
};
