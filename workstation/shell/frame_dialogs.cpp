#include "frame_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

CWindowManagerDlg::CWindowManagerDlg(QMdiArea* area, QWidget* parent) : QDialog(parent), area_(area) {
    setObjectName("131");
    setWindowTitle(QStringLiteral("窗口"));
    auto* layout = new QHBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(list_, 1);
    auto* column = new QVBoxLayout;
    auto* activate = new QPushButton(QStringLiteral("激活(&A)"), this);
    auto* close = new QPushButton(QStringLiteral("关闭窗口(&C)"), this);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    activate->setObjectName("activate");
    close->setObjectName("close");
    column->addWidget(activate);
    column->addWidget(close);
    column->addStretch();
    column->addWidget(ok);
    layout->addLayout(column);
    connect(activate, &QPushButton::clicked, this, &CWindowManagerDlg::activateSelected);
    connect(close, &QPushButton::clicked, this, &CWindowManagerDlg::closeSelected);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(list_, &QListWidget::itemDoubleClicked, this, &CWindowManagerDlg::activateSelected);
    refill();
}

void CWindowManagerDlg::refill() {
    list_->clear();
    const auto windows = area_->subWindowList(QMdiArea::StackingOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        auto* item = new QListWidgetItem((*it)->windowTitle(), list_);
        item->setData(Qt::UserRole, QVariant::fromValue<QObject*>(*it));
    }
    if (list_->count()) list_->setCurrentRow(0);
}

void CWindowManagerDlg::activateSelected() {
    QListWidgetItem* item = list_->currentItem();
    if (!item) return;
    if (auto* w = qobject_cast<QMdiSubWindow*>(item->data(Qt::UserRole).value<QObject*>())) {
        area_->setActiveSubWindow(w);
        accept();
    }
}

void CWindowManagerDlg::closeSelected() {
    for (QListWidgetItem* item : list_->selectedItems())
        if (auto* w = qobject_cast<QMdiSubWindow*>(item->data(Qt::UserRole).value<QObject*>())) w->close();
    refill();
}

CCustomizeDlg::CCustomizeDlg(QToolBar* toolBar, QWidget* parent) : QDialog(parent) {
    setObjectName("126");
    setWindowTitle(QStringLiteral("自定义"));
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    layout->addWidget(tabs);

    auto* barsPage = new QWidget(tabs);
    auto* bars = new QVBoxLayout(barsPage);
    auto* visible = new QCheckBox(toolBar->windowTitle(), barsPage);
    visible->setObjectName("toolbarVisible");
    visible->setChecked(toolBar->isVisible());
    connect(visible, &QCheckBox::toggled, toolBar, &QToolBar::setVisible);
    bars->addWidget(visible);
    bars->addStretch();
    tabs->addTab(barsPage, QStringLiteral("工具栏"));

    auto* commandsPage = new QWidget(tabs);
    auto* commands = new QVBoxLayout(commandsPage);
    for (QAction* a : toolBar->actions()) {
        if (a->isSeparator() || a->text().isEmpty() || a->objectName() == "customizeButton") continue;
        auto* box = new QCheckBox(a->text(), commandsPage);
        box->setIcon(a->icon());
        box->setObjectName("button" + a->objectName());
        box->setChecked(a->isVisible());
        connect(box, &QCheckBox::toggled, a, &QAction::setVisible);
        commands->addWidget(box);
    }
    commands->addStretch();
    tabs->addTab(commandsPage, QStringLiteral("命令"));

    auto* optionsPage = new QWidget(tabs);
    auto* options = new QVBoxLayout(optionsPage);
    auto* labels = new QCheckBox(QStringLiteral("在图标旁显示文字"), optionsPage);
    labels->setChecked(toolBar->toolButtonStyle() == Qt::ToolButtonTextBesideIcon);
    connect(labels, &QCheckBox::toggled, toolBar, [toolBar](bool on) {
        toolBar->setToolButtonStyle(on ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    });
    options->addWidget(labels);
    options->addStretch();
    tabs->addTab(optionsPage, QStringLiteral("选项"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
