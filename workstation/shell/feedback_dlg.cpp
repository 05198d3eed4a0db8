#include "feedback_dlg.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <type_traits>

#include "gui_call.h"
#include "log.h"
#include "pendra_app.h"
#include "vaz.h"
#include "vaz_loader.h"

namespace {
// Dialog units of dialog 4001's 8-point font: a quarter of the average
// character width, an eighth of the line height.
struct DialogUnits {
    explicit DialogUnits(const QFont& font) {
        QFontMetrics m(font);
        const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        x = (m.horizontalAdvance(alphabet) / 26.0 + 1) / 2 / 4;
        y = m.height() / 8.0;
    }
    QRect rect(int left, int top, int width, int height) const {
        return QRect(qRound(left * x), qRound(top * y), qRound(width * x), qRound(height * y));
    }
    double x;
    double y;
};

// The static lines: left, top, width of each (height 9).
constexpr int kLineBoxes[VAZ_FEEDBACK_LINES][3] = {{33, 6, 171}, {17, 18, 203}, {33, 31, 177},
                                                   {33, 44, 171}, {33, 57, 196}, {17, 70, 82}};
}  // namespace

CDlgCrashReport::CDlgCrashReport(const VazFeedbackDialog& dialog, QWidget* parent)
    : QDialog(parent), dialog_(dialog) {
    setObjectName("4001");
    setWindowTitle(CPendraApp::ToWide(dialog.caption));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    QFont font = QApplication::font();
    font.setPointSize(8);
    setFont(font);
    const DialogUnits du(font);
    setFixedSize(du.rect(0, 0, 246, 156).size());
    for (int i = 0; i < VAZ_FEEDBACK_LINES; ++i) {
        auto* label = new QLabel(CPendraApp::ToWide(dialog.lines[i]), this);
        label->setObjectName(QStringLiteral("line%1").arg(i + 1));
        // A line wider than its box (a long telephone number or address) is not cut off.
        QRect r = du.rect(kLineBoxes[i][0], kLineBoxes[i][1], kLineBoxes[i][2], 9);
        r.setWidth(std::max(r.width(), std::min(label->sizeHint().width(), width() - r.left())));
        label->setGeometry(r);
    }
    message_ = new QPlainTextEdit(this);
    message_->setObjectName("1000");
    message_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    message_->setGeometry(du.rect(14, 83, 217, 46));
    submit_ = new QPushButton(CPendraApp::ToWide(dialog.submitText), this);
    submit_->setObjectName("3");
    submit_->setDefault(true);
    submit_->setGeometry(du.rect(109, 132, 59, 15));
    cancel_ = new QPushButton(CPendraApp::ToWide(dialog.cancelText), this);
    cancel_->setObjectName("2");
    cancel_->setGeometry(du.rect(171, 132, 59, 15));
    connect(submit_, &QPushButton::clicked, this, &CDlgCrashReport::OnSubmit);
    connect(cancel_, &QPushButton::clicked, this, &CDlgCrashReport::reject);
    message_->setFocus();
}

CDlgCrashReport::~CDlgCrashReport() {
    // The mailer's time-outs bound the wait.
    if (worker_) worker_->wait();
}

void CDlgCrashReport::reject() {
    if (!sending()) QDialog::reject();
}

void CDlgCrashReport::setBusy(bool busy) {
    submit_->setEnabled(!busy);
    cancel_->setEnabled(!busy);
    message_->setReadOnly(busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void CDlgCrashReport::OnSubmit() {
    if (sending()) return;
    const QByteArray text = CPendraApp::ToNarrow(message_->toPlainText());
    setBusy(true);
    worker_.reset(QThread::create([this, text] { result_ = dialog_.submit(dialog_.context, text.constData()); }));
    connect(worker_.get(), &QThread::finished, this, &CDlgCrashReport::submitted);
    worker_->start();
}

void CDlgCrashReport::submitted() {
    worker_->wait();
    worker_.reset();
    setBusy(false);
    if (result_) {
        accept();
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Vaz"), CPendraApp::ToWide(dialog_.failedText),
                    QMessageBox::Ok, this);
    box.setObjectName("submitFailed");
    box.exec();
}

namespace {
void showFeedbackDialog(const VazFeedbackDialog& dialog) {
    CDlgCrashReport dlg(dialog, QApplication::activeWindow());
    dlg.exec();
}
}  // namespace

extern "C" __attribute__((visibility("default"))) void vaz_host_feedback_dialog(const VazFeedbackDialog* dialog) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!dialog) return;
    if (!app) {
        kestrinLog("feedback dialog without a display: nothing sent\n");
        return;
    }
    runOnGuiThread([dialog] { showFeedbackDialog(*dialog); });
}

static_assert(std::is_same_v<decltype(&vaz_host_feedback_dialog), VazHostFeedbackFn>);

bool RunCrashReport(CPendraApp& app) {
    decltype(&VazCrashReport) report = nullptr;
    if (app.libraryHandle()) vazload::Resolve(app.libraryHandle(), "VazCrashReport", report);
    return report && report();
}
