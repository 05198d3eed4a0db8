#include "main_frame.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <memory>

#include "about_dlg.h"
#include "access_level_dlg.h"
#include "artwork.h"
#include "child_frame.h"
#include "commands.h"
#include "connect_dlg.h"
#include "feedback_dlg.h"
#include "form_worker.h"
#include "frame_dialogs.h"
#include "pendra_app.h"
#include "pendra_doc.h"
#include "placeholder_view.h"
#include "settings_keys.h"
#include "string_table.h"
#include "visual_styles.h"

namespace {

constexpr const char* kAppTitle = "Kestrin";

// The commands that open a form window, and their forms.
constexpr struct {
    int command;
    int formId;
} kFormCommands[] = {
    {cmd::kStartPage, form::kStart},         {cmd::kValueTest, form::kValue},
    {cmd::kGrayTest, form::kGray},           {cmd::kLineTest, form::kLine},
    {cmd::kConsistTest, form::kConsist},     {cmd::kWaveTest, form::kWave},
    {cmd::kReadCardTest, form::kReadCard},   {cmd::kEvaluation, form::kEvaluation},
    {cmd::kTestManager, form::kTestManager},
};

int formOfCommand(int command) {
    for (const auto& c : kFormCommands)
        if (c.command == command) return c.formId;
    return -1;
}

}  // namespace

CMainFrame::CMainFrame(CPendraApp& app) : app_(app) {
    setObjectName("310");
    setWindowTitle(kAppTitle);
    setWindowIcon(artwork::commandIcon(cmd::kReadCardTest));
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    // The tab area outlives this part of the frame while it is torn down.
    if (mdi_) {
        mdi_->disconnect(this);
        mdi_->removeEventFilter(this);
    }
}

QAction* CMainFrame::makeAction(int command, const QString& text) {
    auto* a = new QAction(artwork::commandIcon(command), text, this);
    a->setObjectName(QString::number(command));
    const QString prompt = strings::commandPrompt(command);
    if (!prompt.isEmpty()) {
        const QStringList parts = prompt.split('\n');
        a->setStatusTip(parts.value(0));
        a->setToolTip(parts.value(1, parts.value(0)));
    }
    connect(a, &QAction::triggered, this, [this, command] { OnCommand(command); });
    actions_[command] = a;
    return a;
}

QAction* CMainFrame::action(int command) const {
    auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

bool CMainFrame::create(bool serviceMenu) {
    buildTabArea();
    buildMenus();
    buildToolBar();
    buildStatusBar();
    if (!mdi_ || !toolBar_ || !panes_[kConnectionPane]) return false;

    auto* chord = new QShortcut(QKeySequence(kServiceChord), this);
    chord->setContext(Qt::ApplicationShortcut);
    connect(chord, &QShortcut::activated, this,
            [this] { setServiceMenuVisible(!serviceMenu_->menuAction()->isVisible()); });
    setServiceMenuVisible(serviceMenu);

    qApp->installEventFilter(this);  // lock-key indicators
    SetApplicationLook(app_.appLook);

    QSettings settings;
    // The first start fills the screen.
    if (!restoreGeometry(settings.value(settingkey::kWorkspaceGeometry).toByteArray())) {
        firstStart_ = true;
        resize(screen() ? screen()->availableGeometry().size() : QSize(1180, 780));
    }
    restoreState(settings.value(settingkey::kWorkspaceState).toByteArray());
    RefreshConnectionPane();
    UpdateCommandStates();
    return true;
}

void CMainFrame::buildTabArea() {
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName("mdiArea");
    mdi_->setViewMode(QMdiArea::TabbedView);
    mdi_->setDocumentMode(true);
    mdi_->setTabsClosable(true);
    mdi_->setTabsMovable(true);
    mdi_->setTabShape(QTabWidget::Rounded);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { updateTitle(); });

    // The document menu at the right end of the tabs.
    documentMenuButton_ = new QToolButton(mdi_);
    documentMenuButton_->setObjectName("documentMenu");
    documentMenuButton_->setArrowType(Qt::DownArrow);
    documentMenuButton_->setAutoRaise(true);
    documentMenuButton_->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(documentMenuButton_);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillDocumentMenu(menu); });
    documentMenuButton_->setMenu(menu);
    mdi_->installEventFilter(this);
    if (auto* tabs = mdi_->findChild<QTabBar*>()) {
        tabs->setExpanding(false);
        tabs->setIconSize(QSize(0, 0));
        tabs->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(tabs, &QTabBar::customContextMenuRequested, this, [this, tabs](const QPoint& pos) {
            QMenu popup;
            fillDocumentMenu(&popup);
            popup.exec(tabs->mapToGlobal(pos));
        });
    }
}

void CMainFrame::fillDocumentMenu(QMenu* menu) {
    menu->clear();
    for (QMdiSubWindow* w : mdi_->subWindowList()) {
        QAction* a = menu->addAction(w->windowTitle());
        a->setCheckable(true);
        a->setChecked(w == mdi_->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, w] { mdi_->setActiveSubWindow(w); });
    }
    if (!menu->isEmpty()) menu->addSeparator();
    menu->addAction(action(cmd::kWindowManager));
}

void CMainFrame::placeDocumentMenuButton() {
    if (!documentMenuButton_) return;
    const int h = 22;
    int top = 0;
    if (auto* tabs = mdi_->findChild<QTabBar*>(); tabs && tabs->isVisible()) top = tabs->geometry().top();
    documentMenuButton_->setGeometry(mdi_->width() - h - 2, top + 1, h, h);
    documentMenuButton_->raise();
}

void CMainFrame::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("menu310");
    QMenu* file = bar->addMenu(QStringLiteral("文件"));
    file->addAction(makeAction(cmd::kStartPage, QStringLiteral("首页")));
    file->addSeparator();
    file->addAction(makeAction(cmd::kAppExit, QStringLiteral("退出")));

    QMenu* reader = bar->addMenu(QStringLiteral("阅读机设置"));
    reader->addAction(makeAction(cmd::kConnect, QStringLiteral("联机设置")));
    reader->addAction(makeAction(cmd::kMotorSpeed, QStringLiteral("电机速度")));
    reader->addAction(makeAction(cmd::kCalibration, QStringLiteral("校准设置")));

    QMenu* tests = bar->addMenu(QStringLiteral("读卡测试"));
    tests->addAction(makeAction(cmd::kValueTest, QStringLiteral("瞬值测试")));
    tests->addAction(makeAction(cmd::kGrayTest, QStringLiteral("灰度测试")));
    tests->addAction(makeAction(cmd::kLineTest, QStringLiteral("线性测试")));
    tests->addAction(makeAction(cmd::kConsistTest, QStringLiteral("一致性测试")));
    tests->addAction(makeAction(cmd::kWaveTest, QStringLiteral("波形测试")));
    tests->addAction(makeAction(cmd::kReadCardTest, QStringLiteral("读卡测试")));

    serviceMenu_ = bar->addMenu(QStringLiteral("维护(&M)"));
    serviceMenu_->setObjectName("serviceMenu");
    serviceMenu_->addAction(makeAction(cmd::kEvaluation, QStringLiteral("综合测评")));
    serviceMenu_->addAction(makeAction(cmd::kTestManager, QStringLiteral("考试管理")));
    serviceMenu_->addSeparator();
    serviceMenu_->addAction(makeAction(cmd::kMachineNumber, QStringLiteral("机器号")));
    serviceMenu_->addAction(makeAction(cmd::kDeviceInfo, QStringLiteral("设备信息")));
    serviceMenu_->addAction(makeAction(cmd::kPrintHead, QStringLiteral("打印头设置")));
    serviceMenu_->addSeparator();
    serviceMenu_->addAction(makeAction(cmd::kFirmwareUpdate, QStringLiteral("在线升级")));
    serviceMenu_->addAction(makeAction(cmd::kUsbFirmwareUpdate, QStringLiteral("USB在线升级")));
    serviceMenu_->addAction(makeAction(cmd::kAccessLevel, QStringLiteral("访问级别...")));
    connect(serviceMenu_, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);

    QMenu* help = bar->addMenu(QStringLiteral("帮助"));
    help->addAction(makeAction(cmd::kCrashReport, QStringLiteral("问题反馈")));
    help->addAction(makeAction(cmd::kAbout, QStringLiteral("关于")));
    connect(help, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);

    // Frame commands without a place in menu 310: the customise dialog and
    // the styles live in the toolbar's drop-down and the bars' context menu,
    // the window manager in the tabs' document menu.
    makeAction(cmd::kCustomize, strings::text(125));
    makeAction(cmd::kWindowManager, strings::text(132));
    auto* group = new QActionGroup(this);
    for (int look = cmd::kLookFirst; look <= cmd::kLookLast; ++look) {
        QAction* a = makeAction(look, looks::name(look));
        a->setCheckable(true);
        group->addAction(a);
    }
}

void CMainFrame::addLookItems(QMenu* menu) {
    QMenu* sub = menu->addMenu(QStringLiteral("界面风格"));
    for (int look = cmd::kLookFirst; look <= cmd::kLookLast; ++look) sub->addAction(action(look));
}

void CMainFrame::buildToolBar() {
    toolBar_ = new QToolBar(strings::text(124), this);
    toolBar_->setObjectName("toolbar310");
    toolBar_->setIconSize(QSize(artwork::kToolbarIconSize, artwork::kToolbarIconSize));
    toolBar_->setMovable(true);
    const int layout[] = {cmd::kStartPage,
                          0,
                          cmd::kConnect,
                          cmd::kMotorSpeed,
                          cmd::kCalibration,
                          0,
                          cmd::kValueTest,
                          cmd::kGrayTest,
                          cmd::kLineTest,
                          cmd::kConsistTest,
                          cmd::kWaveTest,
                          cmd::kReadCardTest,
                          0,
                          cmd::kAbout,
                          cmd::kAppExit};
    for (int c : layout) c ? (void)toolBar_->addAction(action(c)) : (void)toolBar_->addSeparator();

    auto* customize = new QToolButton(toolBar_);
    customize->setObjectName("customizeButton");
    customize->setArrowType(Qt::DownArrow);
    customize->setAutoRaise(true);
    customize->setPopupMode(QToolButton::InstantPopup);
    customize->setToolTip(strings::text(125));
    auto* menu = new QMenu(customize);
    menu->addAction(action(cmd::kCustomize));
    addLookItems(menu);
    customize->setMenu(menu);
    toolBar_->addWidget(customize)->setObjectName("customizeButton");
    addToolBar(Qt::TopToolBarArea, toolBar_);
}

void CMainFrame::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("statusBar");
    panes_[kReadyPane] = new QLabel(QStringLiteral("就绪"), bar);
    bar->addWidget(panes_[kReadyPane], 1);
    const char* names[kPaneCount] = {"", "connection", "CAP", "NUM", "SCRL"};
    for (int i = kConnectionPane; i < kPaneCount; ++i) {
        panes_[i] = new QLabel(bar);
        panes_[i]->setObjectName(names[i]);
        panes_[i]->setAlignment(Qt::AlignCenter);
        panes_[i]->setMinimumWidth(i == kConnectionPane ? 140 : 44);
        bar->addPermanentWidget(panes_[i]);
    }
    for (int i = kCapsLockPane; i < kPaneCount; ++i) {  // the lock keys: their names, off
        panes_[i]->setText(names[i]);
        panes_[i]->setEnabled(false);
    }
}

QString CMainFrame::connectionText(bool connected, int mode) {
    if (!connected) return strings::text(143);
    QString t = strings::text(142);
    const int link = VAZ_LINK_OF(mode);
    if (link == VAZ_LINK_USB) t += "__" + strings::text(131);
    if (link == VAZ_LINK_SERIAL) t += "__" + strings::text(133);
    return t;
}

void CMainFrame::RefreshConnectionPane() {
    panes_[kConnectionPane]->setText(connectionText(app_.connected, app_.connectionMode));
    panes_[kConnectionPane]->repaint();
    UpdateCommandStates();
}

void CMainFrame::UpdateCommandStates() {
    if (QAction* a = action(cmd::kUsbFirmwareUpdate)) a->setEnabled(app_.accessLevel == kServiceAccessLevel);
    if (QAction* a = action(cmd::kCrashReport)) a->setEnabled(app_.connected);
}

void CMainFrame::setServiceMenuVisible(bool on) {
    UpdateCommandStates();
    serviceMenu_->menuAction()->setVisible(on);
}

void CMainFrame::SetApplicationLook(int command) {
    const int applied = looks::apply(command);
    if (QAction* a = action(applied)) a->setChecked(true);
    app_.appLook = applied;
    QSettings().setValue(settingkey::kApplicationLook, applied);
    repaint();
}

CChildFrame* CMainFrame::ShowForm(int formId) {
    CChildFrame* w = app_.forms.showForm(formId, mdi_, app_.currentForm);
    updateTitle();
    return w;
}

void CMainFrame::OpenDialog(int command, const QString& caption) {
    DialogFactory factory = commandDialogFactory(command);
    std::unique_ptr<QDialog> dlg(factory ? factory(this) : new CPlaceholderDialog(caption, command, this));
    if (dlg) dlg->exec();
}

void CMainFrame::OnCommand(int command) {
    if (QAction* a = action(command); a && !a->isEnabled()) return;
    if (const int f = formOfCommand(command); f >= 0) {
        ShowForm(f);
        return;
    }
    if (looks::isLook(command)) {
        SetApplicationLook(command);
        return;
    }
    switch (command) {
        case cmd::kConnect: {
            CConnectDlg dlg(this);
            dlg.exec();
            break;
        }
        case cmd::kAbout: {
            CAboutDlg dlg(this);
            dlg.exec();
            break;
        }
        case cmd::kCrashReport:
            if (app_.connected) RunCrashReport(app_);
            break;
        case cmd::kAccessLevel: {
            CAccessLevelDlg dlg(this);
            dlg.exec();
            break;
        }
        case cmd::kAppExit:
            close();
            break;
        case cmd::kCustomize: {
            CCustomizeDlg dlg(toolBar_, this);
            dlg.exec();
            break;
        }
        case cmd::kWindowManager: {
            CWindowManagerDlg dlg(mdi_, this);
            dlg.exec();
            break;
        }
        case cmd::kMotorSpeed:
        case cmd::kCalibration:
        case cmd::kFirmwareUpdate:
        case cmd::kUsbFirmwareUpdate:
        case cmd::kMachineNumber:
        case cmd::kDeviceInfo:
        case cmd::kPrintHead:
            OpenDialog(command, action(command)->text());
            break;
        default:
            break;
    }
}

void CMainFrame::updateTitle() {
    // The current window stays current while a dialog has the focus.
    QMdiSubWindow* w = mdi_->currentSubWindow();
    setWindowTitle(w ? w->windowTitle() + " - " + kAppTitle : QString(kAppTitle));
}

QMenu* CMainFrame::createPopupMenu() {
    QMenu* menu = QMainWindow::createPopupMenu();
    if (!menu) menu = new QMenu(this);
    menu->addSeparator();
    menu->addAction(action(cmd::kCustomize));
    addLookItems(menu);
    return menu;
}

bool CMainFrame::event(QEvent* e) {
    if (e->type() == kShowGrayTestEvent) {
        ShowForm(form::kGray);
        return true;
    }
    return QMainWindow::event(e);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* e) {
    if (watched == mdi_ && (e->type() == QEvent::Resize || e->type() == QEvent::LayoutRequest))
        placeDocumentMenuButton();
    if (e->type() == QEvent::KeyPress && !static_cast<QKeyEvent*>(e)->isAutoRepeat() &&
        watched->isWidgetType()) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        const int lock = key == Qt::Key_CapsLock     ? 0
                         : key == Qt::Key_NumLock    ? 1
                         : key == Qt::Key_ScrollLock ? 2
                                                     : -1;
        // One key press reaches several widgets on its way up; count it once.
        if (lock >= 0 && watched == QApplication::focusWidget()) {
            locks_[lock] = !locks_[lock];
            panes_[kCapsLockPane + lock]->setEnabled(locks_[lock]);
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    // Workers end first (after their current card); the frame closes again
    // when the last has. Nothing blocks here: a worker may be waiting for a
    // box that this thread has to show.
    if (CFormWorker::anyRunning()) {
        e->ignore();
        CFormWorker::stopAll();
        if (closeWaiting_) return;
        closeWaiting_ = true;
        CFormWorker::whenAllEnded(this, [this] {
            closeWaiting_ = false;
            close();
        });
        return;
    }
    QSettings settings;
    settings.setValue(settingkey::kWorkspaceGeometry, saveGeometry());
    settings.setValue(settingkey::kWorkspaceState, saveState());
    QMainWindow::closeEvent(e);
}
