#include "connect_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>

#include "pendra_app.h"
#include "string_table.h"

CConnectDlg::CConnectDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("313");
    setWindowTitle(QStringLiteral("联机"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("请确定PC与设备已经连接好，然后点击联机操作"), this));
    list_ = new QComboBox(this);
    list_->setObjectName("1062");
    layout->addWidget(list_, 0, Qt::AlignLeft);
    auto* button = new QPushButton(QStringLiteral("联机"), this);
    button->setObjectName("1000");
    button->setDefault(true);
    layout->addWidget(button, 0, Qt::AlignRight);
    connect(button, &QPushButton::clicked, this, &CConnectDlg::OnConnect);
    OnInitDialog();
}

void CConnectDlg::OnInitDialog() {
    if (CPendraApp* app = theApp()) app->testRun = 0;
    // The item index is the mode VazInit takes.
    const int ids[] = {134, 131, 133};
    const QFontMetrics fm(list_->font());
    int widest = 0;
    for (int id : ids) {
        const QString t = strings::text(id);
        list_->addItem(t);
        widest = std::max(widest, fm.horizontalAdvance(t));
    }
    list_->setCurrentIndex(0);
    // Wide enough for the longest text plus the control's own frame and arrow.
    QStyleOptionComboBox opt;
    opt.initFrom(list_);
    const QSize full =
        list_->style()->sizeFromContents(QStyle::CT_ComboBox, &opt, QSize(widest, fm.height()), list_);
    list_->setFixedWidth(full.width());
}

void CConnectDlg::OnConnect() {
    if (CPendraApp* app = theApp()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        app->Connect(list_->currentIndex());
        QApplication::restoreOverrideCursor();
    }
    accept();
}
