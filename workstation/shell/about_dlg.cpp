#include "about_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "pendra_app.h"
#include "reader_identity.h"
#include "string_table.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("100");
    setWindowTitle(QStringLiteral("关于 Kestrin"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Kestrin，1.0 版"), this));
    layout->addWidget(new QLabel(QStringLiteral("光标阅读机测试与维护工作站"), this));
    counter_ = new QLabel(this);
    counter_->setObjectName("1009");
    machine_ = new QLabel(this);
    machine_->setObjectName("1010");
    machine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(counter_);
    layout->addWidget(machine_);
    auto* init = new QPushButton(QStringLiteral("初始化"), this);
    init->setObjectName("1000");
    init->setEnabled(false);
    init->setVisible(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    OnInitDialog();
}

void CAboutDlg::OnInitDialog() {
    CPendraApp* app = theApp();
    if (!app) return;
    app->testRun = 0;
    if (!app->connected) return;
    if (std::optional<std::uint32_t> counter = readerinfo::readCardCounter(app->device))
        counter_->setText(app->LoadText(104) + QString::number(*counter));
    if (std::optional<QString> ident = readerinfo::readIdentification(app->device))
        machine_->setText(app->LoadText(127) + *ident);
}
