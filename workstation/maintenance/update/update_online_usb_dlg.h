// Dialog 102 (command 32804, access level 3), "Update-online": talks to
// the readers over USB HID by itself, without the device library. It lists
// the readers, shows a reader's attributes, opens one (double-click), writes
// and reads its version string, and in service mode carries the raw command
// console and the firmware file transfer, which runs on a worker thread.
// Readers unplugged and plugged back while it is open are followed: a
// removal closes the current reader, an arrival opens the reader that came
// when none is open.
#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "firmware_transfer.h"
#include "hid_port.h"
#include "usb_link.h"

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

class CUpdateOnlineUsbDlg : public QDialog {
    Q_OBJECT
public:
    // `serviceMode` shows the console and the transfer controls; the service
    // key chord toggles them while the dialog is open.
    explicit CUpdateOnlineUsbDlg(bool serviceMode, QWidget* parent = nullptr);
    // Cancels a running transfer and waits for its worker.
    ~CUpdateOnlineUsbDlg() override;

    bool deviceConnected() const { return connected_; }
    // The firmware file to send ("浏览文件" asks for it).
    void chooseFirmwareFile(const QString& path);
    bool sending() const { return sending_; }
    void setServiceMode(bool on);

    // A dialog with a running transfer closes once the transfer has ended.
    void done(int result) override;

private:
    void OnInitDialog();
    void OnFindDevices();
    void OnSelectionChanged();
    void OnOpenDevice();
    void OnWriteVersion();
    void OnReadVersion();
    void OnSendCommand();
    void OnBrowseFile();
    void OnSendFile();

    // The link to `device`, opened and listened to; errno in *error.
    bool attach(const firmware::HidDeviceInfo& device, int* error);
    void detach();
    void updateButtons();
    void appendReceived(const QString& text);
    void message(const QString& text);

    // Called on the GUI thread with what the link's and the watch's threads saw.
    void onReport(unsigned generation, const std::string& text);
    void onGone(unsigned generation);
    void onChange(const firmware::ReaderChange& change);
    void openArrived(const firmware::HidDeviceInfo& device, int attemptsLeft);
    void onTransferEnded(firmware::TransferResult result, int fileError);
    void stopTransfer();

    std::vector<firmware::HidDeviceInfo> readers_;
    std::unique_ptr<firmware::UsbLink> link_;
    unsigned generation_ = 0;  // counts links; a late signal of an old one is ignored
    bool connected_ = false;
    QString firmwarePath_;

    std::unique_ptr<firmware::FirmwareTransfer> transfer_;
    std::thread worker_;
    std::atomic<bool> sending_{false};
    bool closing_ = false;
    std::unique_ptr<firmware::ReaderWatch> watch_;

    QListWidget* list_;          // 1004
    QLineEdit* vendor_;          // 1007
    QLineEdit* product_;         // 1008
    QLineEdit* release_;         // 1009
    QLineEdit* versionOut_;      // 1025
    QLineEdit* versionIn_;       // 1027
    QPushButton* writeVersion_;  // 1001
    QPushButton* readVersion_;   // 1002
    QWidget* service_;           // the console and transfer controls 1010 to 1019
    QPlainTextEdit* received_;   // 1010
    QLineEdit* command_;         // 1011
    QLineEdit* file_;            // 1018
    QPushButton* sendFile_;      // 1017
    QProgressBar* progress_;     // 1019
};
