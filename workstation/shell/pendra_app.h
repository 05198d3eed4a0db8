// The workstation's application object: the device function table, the
// connection state and flags the forms share, and the shared operations.
// It owns the main frame. Forms, dialogs and documents reach it through
// theApp(); the frame through the reference it was made with.
#pragma once

#include <QByteArray>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>

#include "device_table.h"
#include "form_registry.h"
#include "test_data_record.h"

class CMainFrame;
class QWidget;

struct StartupOptions {
    QString libraryFile = vazload::kLibraryFile;  // a bare name is found through RUNPATH and the library path
    bool serviceMenu = false;                     // show the service menu from the start
    int accessLevel = 0;                          // the access level of this run (--access-level)
};

class CPendraApp : public QObject {
    Q_OBJECT
public:
    CPendraApp();
    ~CPendraApp() override;

    // Start-up; false ends the program (the reason has been shown).
    bool InitInstance(const StartupOptions& options = {});
    // Exit: frees the test data record; calls nothing in the device library.
    int ExitInstance();

    // ---- shared state ------------------------------------------------------
    DeviceFunctionTable device;
    int connected = 0;       // the last VazInit returned non-zero
    int connectionMode = 0;  // what the last VazInit returned
    // The link of the connection: 1 USB, 2 serial port, 0 none.
    int linkKind() const { return VAZ_LINK_OF(connectionMode); }
    std::atomic<int> readingCard{0};
    std::uint8_t accessLevel = 0;
    QString messageText;
    QString messageCaption;
    std::unique_ptr<TestDataRecord> testData;
    std::atomic<int> testRun{0};
    std::uint8_t grayFromCard = 0;
    std::uint8_t lowerCaseFormat = 0;
    int englishResources = 1;
    int appLook = 215;
    int hiColorIcons = 1;
    int currentForm = 0;
    FormRegistry forms;
    QStringList recentFiles;  // up to four entries, kept under the settings key

    CMainFrame* mainFrame() const { return frame_.get(); }
    void* libraryHandle() const { return library_; }

    // ---- shared operations ------------------------------------------------
    // ShowMessage and ShowDeviceError may be called from any thread: the box
    // runs on the GUI thread and the caller waits for it.
    void ShowMessage(int id);
    // True while connected; otherwise shows message 101 (what every device
    // action does first).
    bool RequireConnection();
    QString LoadText(int id);
    // Results of ShowDeviceError: nothing to act on (also after "16", which
    // is shown), the reader waits for a card ("23", nothing shown), an error
    // was shown.
    static constexpr int kDeviceErrorIgnored = 255;
    static constexpr int kDeviceErrorNoCard = 254;
    static constexpr int kDeviceErrorShown = 0;
    int ShowDeviceError(QWidget* parent);
    bool SendFormatFile(const QString& path);
    static QString ToWide(const char* text);
    static QByteArray ToNarrow(const QString& text);

    // Calls VazInit with `mode`, stores the result as the connection state
    // and refreshes the connection pane. Returns the result.
    int Connect(int mode);

    // The context menus registered by name (menu 119 under "编辑").
    QMenu* contextMenu(const QString& name) const;

    static constexpr int kRecentFileCount = 4;

private:
    void loadSettings();
    void saveSettings() const;
    void registerContextMenus();

    void* library_ = nullptr;
    std::unique_ptr<CMainFrame> frame_;
    std::map<QString, std::unique_ptr<QMenu>> contextMenus_;
    bool started_ = false;
};

// The running application object (the one accessor), or null.
CPendraApp* theApp();
