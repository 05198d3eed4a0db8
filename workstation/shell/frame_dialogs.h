// The frame's own dialogs: the window manager (command 131) and the toolbar
// customisation (command 126).
#pragma once

#include <QDialog>

class QListWidget;
class QMdiArea;
class QToolBar;

class CWindowManagerDlg : public QDialog {
    Q_OBJECT
public:
    CWindowManagerDlg(QMdiArea* area, QWidget* parent = nullptr);
    QListWidget* list() const { return list_; }
    void activateSelected();
    void closeSelected();

private:
    void refill();
    QMdiArea* area_;
    QListWidget* list_;
};

class CCustomizeDlg : public QDialog {
    Q_OBJECT
public:
    CCustomizeDlg(QToolBar* toolBar, QWidget* parent = nullptr);
};
