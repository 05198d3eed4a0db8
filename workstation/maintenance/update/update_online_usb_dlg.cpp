#include "update_online_usb_dlg.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "commands.h"
#include "form_registry.h"
#include "main_frame.h"
#include "pendra_app.h"
#include "update_texts.h"
#include "version_commands.h"
#include "string_table.h"

namespace {

bool serviceModeOfTheFrame() {
    CPendraApp* app = theApp();
    CMainFrame* frame = app ? app->mainFrame() : nullptr;
    return frame && frame->serviceMenu() && frame->serviceMenu()->menuAction()->isVisible();
}

const bool registered = registerCommandDialog(cmd::kUsbFirmwareUpdate, [](QWidget* parent) {
    return new CUpdateOnlineUsbDlg(serviceModeOfTheFrame(), parent);
});

// A virtual reader's socket appears a moment before it listens: an arrival
// is opened again at this pace for a while.
constexpr int kArrivalAttempts = 40;
constexpr int kArrivalRetryMs = 50;

QPushButton* button(QWidget* owner, const char* id, const QString& text) {
    auto* b = new QPushButton(text, owner);
    b->setObjectName(id);
    return b;
}

QLineEdit* edit(QWidget* owner, const char* id, bool readOnly) {
    auto* e = new QLineEdit(owner);
    e->setObjectName(id);
    e->setReadOnly(readOnly);
    return e;
}

QString hex(unsigned v) {
    return QString::number(v, 16).toUpper();
}

}  // namespace

CUpdateOnlineUsbDlg::CUpdateOnlineUsbDlg(bool serviceMode, QWidget* parent) : QDialog(parent) {
    setObjectName("102");
    setWindowTitle(strings::dialogText(102, 0));
    auto* grid = new QGridLayout(this);

    auto* find = button(this, "1003", strings::dialogText(102, 1003));
    grid->addWidget(find, 0, 0);
    list_ = new QListWidget(this);
    list_->setObjectName("1004");
    list_->setMinimumHeight(70);
    grid->addWidget(list_, 1, 0, 1, 4);

    vendor_ = edit(this, "1007", true);
    product_ = edit(this, "1008", true);
    release_ = edit(this, "1009", true);
    auto* ids = new QHBoxLayout;
    ids->addWidget(new QLabel(strings::dialogText(102, 1007), this));
    ids->addWidget(vendor_);
    ids->addWidget(new QLabel(strings::dialogText(102, 1008), this));
    ids->addWidget(product_);
    ids->addWidget(new QLabel(strings::dialogText(102, 1009), this));
    ids->addWidget(release_);
    grid->addLayout(ids, 2, 0, 1, 4);

    versionOut_ = edit(this, "1025", true);
    writeVersion_ = button(this, "1001", strings::dialogText(102, 1001));
    versionIn_ = edit(this, "1027", true);
    readVersion_ = button(this, "1002", strings::dialogText(102, 1002));
    grid->addWidget(versionOut_, 3, 0, 1, 3);
    grid->addWidget(writeVersion_, 3, 3);
    grid->addWidget(versionIn_, 4, 0, 1, 3);
    grid->addWidget(readVersion_, 4, 3);

    // The console and the transfer: hidden unless in service mode.
    service_ = new QWidget(this);
    service_->setObjectName("serviceControls");
    auto* sg = new QGridLayout(service_);
    sg->setContentsMargins(0, 0, 0, 0);
    sg->addWidget(new QLabel(strings::dialogText(102, 1010), service_), 0, 0);
    auto* clearReceived = button(service_, "1014", strings::dialogText(102, 1014));
    sg->addWidget(clearReceived, 0, 3);
    received_ = new QPlainTextEdit(service_);
    received_->setObjectName("1010");
    received_->setReadOnly(true);
    received_->setMinimumHeight(120);
    sg->addWidget(received_, 1, 0, 1, 4);
    sg->addWidget(new QLabel(strings::dialogText(102, 1011), service_), 2, 0);
    command_ = edit(service_, "1011", false);
    sg->addWidget(command_, 2, 1);
    auto* clearCommand = button(service_, "1013", strings::dialogText(102, 1013));
    auto* send = button(service_, "1015", strings::dialogText(102, 1015));
    sg->addWidget(clearCommand, 2, 2);
    sg->addWidget(send, 2, 3);
    auto* browse = button(service_, "1016", strings::dialogText(102, 1016));
    file_ = edit(service_, "1018", true);
    sendFile_ = button(service_, "1017", strings::dialogText(102, 1017));
    sg->addWidget(browse, 3, 0);
    sg->addWidget(file_, 3, 1, 1, 2);
    sg->addWidget(sendFile_, 3, 3);
    progress_ = new QProgressBar(service_);
    progress_->setObjectName("1019");
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progress_->setFormat(QStringLiteral("%v / %m"));
    sg->addWidget(progress_, 4, 0, 1, 4);
    grid->addWidget(service_, 5, 0, 1, 4);
    setServiceMode(serviceMode);

    auto* chord = new QShortcut(QKeySequence(CMainFrame::kServiceChord), this);
    connect(chord, &QShortcut::activated, this, [this] { setServiceMode(service_->isHidden()); });

    connect(find, &QPushButton::clicked, this, &CUpdateOnlineUsbDlg::OnFindDevices);
    connect(list_, &QListWidget::currentRowChanged, this, &CUpdateOnlineUsbDlg::OnSelectionChanged);
    connect(list_, &QListWidget::itemDoubleClicked, this, &CUpdateOnlineUsbDlg::OnOpenDevice);
    connect(writeVersion_, &QPushButton::clicked, this, &CUpdateOnlineUsbDlg::OnWriteVersion);
    connect(readVersion_, &QPushButton::clicked, this, &CUpdateOnlineUsbDlg::OnReadVersion);
    connect(send, &QPushButton::clicked, this, &CUpdateOnlineUsbDlg::OnSendCommand);
    connect(clearCommand, &QPushButton::clicked, command_, &QLineEdit::clear);
    connect(clearReceived, &QPushButton::clicked, received_, &QPlainTextEdit::clear);
    connect(browse, &QPushButton::clicked, this, &CUpdateOnlineUsbDlg::OnBrowseFile);
    connect(sendFile_, &QPushButton::clicked, this, &CUpdateOnlineUsbDlg::OnSendFile);
    OnInitDialog();
}

CUpdateOnlineUsbDlg::~CUpdateOnlineUsbDlg() {
    watch_.reset();  // no more arrivals
    stopTransfer();
    link_.reset();
}

void CUpdateOnlineUsbDlg::OnInitDialog() {
    if (CPendraApp* app = theApp()) app->testRun = 0;
    int error = 0;
    watch_ = firmware::ReaderWatch::Start(
        [this](const firmware::ReaderChange& c) {
            QMetaObject::invokeMethod(this, [this, c] { onChange(c); }, Qt::QueuedConnection);
        },
        &error);
    updateButtons();
    if (!watch_) message(QString::fromUtf8(firmware::texts::kWatchFailed));
}

void CUpdateOnlineUsbDlg::setServiceMode(bool on) {
    service_->setVisible(on);
    adjustSize();
}

void CUpdateOnlineUsbDlg::done(int result) {
    closing_ = true;  // the end of a transfer cancelled by closing is not reported
    stopTransfer();
    QDialog::done(result);
}

void CUpdateOnlineUsbDlg::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, this);
    box.setObjectName("message");
    box.exec();
}

void CUpdateOnlineUsbDlg::appendReceived(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    received_->moveCursor(QTextCursor::End);
    received_->insertPlainText(t);
    received_->verticalScrollBar()->setValue(received_->verticalScrollBar()->maximum());
}

void CUpdateOnlineUsbDlg::updateButtons() {
    writeVersion_->setEnabled(connected_);
    readVersion_->setEnabled(connected_);
    versionOut_->setReadOnly(!connected_);
    sendFile_->setEnabled(connected_ && !firmwarePath_.isEmpty());
}

void CUpdateOnlineUsbDlg::OnFindDevices() {
    readers_ = firmware::FindReaders();
    list_->clear();
    for (const firmware::HidDeviceInfo& r : readers_)
        list_->addItem(QString::fromStdString(r.productText.empty() ? r.path : r.productText));
}

void CUpdateOnlineUsbDlg::OnSelectionChanged() {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(readers_.size())) return;
    const firmware::HidDeviceInfo& r = readers_[static_cast<size_t>(row)];
    vendor_->setText(hex(r.vendor));
    product_->setText(hex(r.product));
    release_->setText(hex(r.release));
}

bool CUpdateOnlineUsbDlg::attach(const firmware::HidDeviceInfo& device, int* error) {
    std::unique_ptr<firmware::UsbLink> link = firmware::UsbLink::Open(device, error);
    if (!link) return false;
    const unsigned generation = ++generation_;
    link->SetReportListener([this, generation](const std::string& text) {
        QMetaObject::invokeMethod(this, [this, generation, text] { onReport(generation, text); },
                                  Qt::QueuedConnection);
    });
    link->SetGoneListener([this, generation] {
        QMetaObject::invokeMethod(this, [this, generation] { onGone(generation); }, Qt::QueuedConnection);
    });
    link_ = std::move(link);
    connected_ = true;
    updateButtons();
    return true;
}

void CUpdateOnlineUsbDlg::detach() {
    connected_ = false;
    ++generation_;
    // A transfer still holds the link; it ends on its own (the device is gone) and the link goes then.
    if (!sending_) link_.reset();
    updateButtons();
}

void CUpdateOnlineUsbDlg::OnOpenDevice() {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(readers_.size())) return;
    if (sending_) {
        message(QString::fromUtf8(firmware::texts::TransferMessage(firmware::TransferResult::AlreadyRunning, 0)));
        return;
    }
    detach();
    int error = 0;
    if (!attach(readers_[static_cast<size_t>(row)], &error)) {
        message(QString::fromUtf8(firmware::texts::kOpenFailed) + "\n" +
                (error == EACCES ? QString::fromUtf8(firmware::texts::kNoPermission)
                                 : QString::fromLocal8Bit(strerror(error))));
        return;
    }
    command_->clear();
    received_->clear();
    appendReceived(QString::fromUtf8(firmware::texts::kOpened));
}

void CUpdateOnlineUsbDlg::OnWriteVersion() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const firmware::CommandResult r = firmware::WriteVersion(link_.get(), versionOut_->text().toStdU16String());
    QApplication::restoreOverrideCursor();
    message(QString::fromUtf8(firmware::texts::WriteVersionMessage(r)));
}

void CUpdateOnlineUsbDlg::OnReadVersion() {
    std::string version;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const firmware::CommandResult r = firmware::ReadVersion(link_.get(), &version);
    QApplication::restoreOverrideCursor();
    if (r == firmware::CommandResult::Done)
        versionIn_->setText(QString::fromLatin1(version.data(), static_cast<qsizetype>(version.size())));
    else
        message(QString::fromUtf8(firmware::texts::ReadVersionMessage(r)));
}

void CUpdateOnlineUsbDlg::OnSendCommand() {
    const std::string shown = firmware::texts::ConsoleMessage(
        firmware::SendConsoleCommand(link_.get(), command_->text().toStdU16String()));
    if (!shown.empty()) message(QString::fromUtf8(shown));
}

void CUpdateOnlineUsbDlg::OnBrowseFile() {
    QFileDialog dlg(this, strings::dialogText(102, 1016), QString(), QString::fromUtf8(firmware::texts::kFirmwareFilter));
    dlg.setObjectName("fileDialog");
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::ExistingFile);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    chooseFirmwareFile(dlg.selectedFiles().first());
}

void CUpdateOnlineUsbDlg::chooseFirmwareFile(const QString& path) {
    firmwarePath_ = path;
    file_->setText(firmwarePath_);
    updateButtons();
}

void CUpdateOnlineUsbDlg::OnSendFile() {
    if (sending_) {
        message(QString::fromUtf8(firmware::texts::TransferMessage(firmware::TransferResult::AlreadyRunning, 0)));
        return;
    }
    if (!link_ || !connected_) {
        message(QString::fromUtf8(firmware::texts::kOpenFailed));
        return;
    }
    if (worker_.joinable()) worker_.join();  // the last one has ended
    transfer_ = std::make_unique<firmware::FirmwareTransfer>(*link_);
    firmware::TransferCallbacks callbacks;
    callbacks.range = [this](int maximum) {
        QMetaObject::invokeMethod(this, [this, maximum] { progress_->setRange(0, maximum); }, Qt::QueuedConnection);
    };
    callbacks.position = [this](int position) {
        QMetaObject::invokeMethod(this, [this, position] { progress_->setValue(position); }, Qt::QueuedConnection);
    };
    callbacks.console = [this](const std::string& text) {
        QMetaObject::invokeMethod(this, [this, text] { appendReceived(QString::fromStdString(text)); },
                                  Qt::QueuedConnection);
    };
    sending_ = true;
    const std::string path = firmwarePath_.toStdString();
    firmware::FirmwareTransfer* transfer = transfer_.get();
    worker_ = std::thread([this, transfer, path, callbacks] {
        const firmware::TransferResult result = transfer->Run(path, callbacks);
        const int fileError = transfer->fileError();
        QMetaObject::invokeMethod(this, [this, result, fileError] { onTransferEnded(result, fileError); },
                                  Qt::QueuedConnection);
    });
}

void CUpdateOnlineUsbDlg::onTransferEnded(firmware::TransferResult result, int fileError) {
    if (worker_.joinable()) worker_.join();
    transfer_.reset();
    sending_ = false;
    if (!connected_) link_.reset();  // the reader went during the transfer
    updateButtons();
    const std::string shown = firmware::texts::TransferMessage(result, fileError);
    if (!shown.empty() && !closing_) message(QString::fromUtf8(shown));
}

void CUpdateOnlineUsbDlg::stopTransfer() {
    if (transfer_) transfer_->Cancel();
    // The worker only posts to this dialog, so it ends without the event loop.
    if (worker_.joinable()) worker_.join();
    if (sending_) {
        transfer_.reset();
        sending_ = false;
        progress_->setValue(0);
    }
}

void CUpdateOnlineUsbDlg::onReport(unsigned generation, const std::string& text) {
    // During a transfer the reports are control bytes, not text for the receive area; so is a
    // late answer to the end of transmission.
    const bool control = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    if (generation != generation_ || sending_ || control) return;
    appendReceived(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())) + "\n");
}

void CUpdateOnlineUsbDlg::onGone(unsigned generation) {
    if (generation != generation_ || !connected_) return;
    detach();
    appendReceived(QString::fromUtf8(firmware::texts::kDisconnected));
    OnFindDevices();
}

void CUpdateOnlineUsbDlg::onChange(const firmware::ReaderChange& change) {
    OnFindDevices();
    if (!change.arrived) {
        if (connected_ && link_ && link_->device().path == change.device.path) onGone(generation_);
        return;
    }
    if (!connected_ && !sending_) openArrived(change.device, kArrivalAttempts);
}

void CUpdateOnlineUsbDlg::openArrived(const firmware::HidDeviceInfo& device, int attemptsLeft) {
    if (connected_ || sending_) return;
    int error = 0;
    if (attach(device, &error)) {
        appendReceived(QString::fromUtf8(firmware::texts::kReconnected));
        return;
    }
    // Not listening yet, or its node's permissions not set yet: again a little later.
    if (attemptsLeft > 1 && (error == ECONNREFUSED || error == ENOENT || error == EACCES))
        QTimer::singleShot(kArrivalRetryMs, this, [this, device, attemptsLeft] { openArrived(device, attemptsLeft - 1); });
}
