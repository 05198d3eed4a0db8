// The main multi-document frame: menu 310, toolbar 310, the status bar with
// the connection pane, tabbed form windows, visual styles and the hidden
// service menu.
#pragma once

#include <QEvent>
#include <QMainWindow>
#include <map>

class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;
class QToolButton;
class CChildFrame;
class CPendraApp;

// Posting this event to the frame opens or activates the gray test, exactly
// as command 32801 does (window message 1025).
constexpr QEvent::Type kShowGrayTestEvent = QEvent::Type(QEvent::User + 1025);

// Owned by the application object, which it serves; it reaches the
// application through the reference it was made with.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // The panes of the status bar, left to right.
    enum Pane { kReadyPane, kConnectionPane, kCapsLockPane, kNumLockPane, kScrollLockPane, kPaneCount };

    explicit CMainFrame(CPendraApp& app);
    ~CMainFrame() override;

    // Builds menus, toolbar, status bar and the tab area; false when a part
    // cannot be created.
    bool create(bool serviceMenu);

    // Runs a command of the menu, toolbar, service menu or frame.
    void OnCommand(int command);
    // Shows a form's window (see FormRegistry::showForm).
    CChildFrame* ShowForm(int formId);

    void RefreshConnectionPane();
    static QString connectionText(bool connected, int mode);

    QAction* action(int command) const;
    QMdiArea* mdiArea() const { return mdi_; }
    QToolBar* toolBar() const { return toolBar_; }
    QMenu* serviceMenu() const { return serviceMenu_; }
    QLabel* connectionPane() const { return panes_[kConnectionPane]; }
    QLabel* pane(int index) const { return index >= 0 && index < kPaneCount ? panes_[index] : nullptr; }

    // Shows or hides the service menu (key chord Ctrl+Alt+Shift+S).
    void setServiceMenuVisible(bool on);
    // Applies a visual style, checks its item and stores it.
    void SetApplicationLook(int command);
    // Refreshes the enabled state of commands that depend on the application.
    void UpdateCommandStates();

    bool firstStart() const { return firstStart_; }

    static constexpr const char* kServiceChord = "Ctrl+Alt+Shift+S";

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    QMenu* createPopupMenu() override;

private:
    QAction* makeAction(int command, const QString& text);
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void buildTabArea();
    void OpenDialog(int command, const QString& caption);
    void updateTitle();
    void placeDocumentMenuButton();
    void fillDocumentMenu(QMenu* menu);
    void addLookItems(QMenu* menu);

    CPendraApp& app_;
    QMdiArea* mdi_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QMenu* serviceMenu_ = nullptr;
    QToolButton* documentMenuButton_ = nullptr;
    QLabel* panes_[kPaneCount] = {};
    bool locks_[3] = {};  // caps, num, scroll as the keyboard toggled them
    bool firstStart_ = false;
    bool closeWaiting_ = false;  // a close waits for the workers to end
    std::map<int, QAction*> actions_;
};
