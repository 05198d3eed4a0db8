#include "about_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "pendra_app.h"
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

std::uint32_t CAboutDlg::cardCounter(const char* reply, int n) {
    std::uint32_t value = 0;
    // Bytes past the fourth weigh 256^4 or more and vanish in 32 bits.
    for (int i = 0; i < n && i < 4; ++i)
        value |= std::uint32_t(static_cast<unsigned char>(reply[i])) << (8 * i);
    return value;
}

void CAboutDlg::OnInitDialog() {
    CPendraApp* app = theApp();
    if (!app) return;
    app->testRun = 0;
    if (!app->connected) return;
    // The reader decides the reply length, so the buffer takes the longest
    // reply the library can deliver.
    std::vector<char> buffer(VAZ_REPLY_SIZE, 0);
    int n = app->device.sendGet("N/", buffer.data());
    if (n > 0) {
        n = std::min<int>(n, int(VAZ_REPLY_SIZE) - 1);
        counter_->setText(app->LoadText(104) + QString::number(cardCounter(buffer.data(), n)));
    }
    std::vector<char> ident(VAZ_REPLY_SIZE, 0);
    if (app->device.sendGet("v/", ident.data()) != 0) {
        ident.back() = 0;
        QString text = CPendraApp::ToWide(ident.data());
        text.chop(1);  // the identification's final character
        machine_->setText(app->LoadText(127) + text);
    }
}
