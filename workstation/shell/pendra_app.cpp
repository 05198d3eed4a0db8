#include "pendra_app.h"

#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QTranslator>

#include "commands.h"
#include "form_worker.h"
#include "gui_call.h"
#include "main_frame.h"
#include "settings_keys.h"
#include "string_table.h"
#include "vazplatform/codepage.h"

namespace {
CPendraApp* g_app = nullptr;
}

CPendraApp* theApp() {
    return g_app;
}

CPendraApp::CPendraApp() : testData(std::make_unique<TestDataRecord>()) {
    g_app = this;
}

CPendraApp::~CPendraApp() {
    frame_.reset();  // its windows may still ask for the application
    if (g_app == this) g_app = nullptr;
}

bool CPendraApp::InitInstance(const StartupOptions& options) {
    // The English resources are an optional translation; the program ships
    // with its Chinese texts.
    if (englishResources == 0) {
        auto* translator = new QTranslator(this);
        if (!translator->load("kestrin_en", QApplication::applicationDirPath())) {
            QMessageBox box(QMessageBox::NoIcon, strings::text(103), strings::text(102), QMessageBox::Ok);
            box.exec();
            return false;
        }
        QApplication::installTranslator(translator);
    }

    // The library stays loaded until the process ends.
    std::string error;
    library_ = vazload::OpenLibrary(options.libraryFile.toLocal8Bit().toStdString(), error);
    if (!library_) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Kestrin"), strings::text(121), QMessageBox::Ok);
        box.exec();
        return false;
    }
    device.bind(library_);
    messageCaption = strings::text(103);

    QApplication::setOrganizationName(strings::text(126));
    QApplication::setApplicationName(QStringLiteral("Kestrin"));
    loadSettings();
    registerContextMenus();

    accessLevel = static_cast<std::uint8_t>(options.accessLevel);
    forms.createTemplate(form::kStart);
    currentForm = form::kStart;

    frame_ = std::make_unique<CMainFrame>(*this);
    if (!frame_->create(options.serviceMenu) || !frame_->ShowForm(form::kStart)) {
        frame_.reset();
        return false;
    }
    frame_->firstStart() ? frame_->showMaximized() : frame_->show();
    frame_->update();

    // A failed first attempt shows no message of its own; the library may
    // have shown one.
    Connect(0);
    started_ = true;
    return true;
}

int CPendraApp::ExitInstance() {
    // A quit that did not pass the main frame's close (a session's end)
    // still lets every worker finish before the record goes.
    CFormWorker::stopAndJoinAll();
    testData.reset();
    if (started_) saveSettings();
    return 0;
}

void CPendraApp::loadSettings() {
    QSettings settings;
    appLook = settings.value(settingkey::kApplicationLook, cmd::kLookDefault).toInt();
    recentFiles.clear();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString f = settings.value(settingkey::recentFile(i)).toString();
        if (!f.isEmpty()) recentFiles << f;
    }
}

void CPendraApp::saveSettings() const {
    QSettings settings;
    settings.setValue(settingkey::kApplicationLook, appLook);
    settings.remove(settingkey::kRecentFileList);
    for (int i = 0; i < recentFiles.size() && i < kRecentFileCount; ++i)
        settings.setValue(settingkey::recentFile(i + 1), recentFiles[i]);
}

void CPendraApp::registerContextMenus() {
    // Menu 119 acts on the focused editor of a form.
    auto menu = std::make_unique<QMenu>();
    menu->setObjectName("119");
    struct Item {
        const char* text;
        const char* slot;
        QKeySequence keys;
    };
    const Item items[] = {{"剪切(&T)", "cut", QKeySequence::Cut},
                          {"复制(&C)", "copy", QKeySequence::Copy},
                          {"粘贴(&P)", "paste", QKeySequence::Paste}};
    for (const Item& item : items) {
        QAction* a = menu->addAction(QString::fromUtf8(item.text));
        a->setShortcut(item.keys);
        const QByteArray slot = item.slot;
        connect(a, &QAction::triggered, this, [slot] {
            if (QWidget* w = QApplication::focusWidget()) QMetaObject::invokeMethod(w, slot.constData());
        });
    }
    contextMenus_[strings::text(306)] = std::move(menu);
}

QMenu* CPendraApp::contextMenu(const QString& name) const {
    auto it = contextMenus_.find(name);
    return it == contextMenus_.end() ? nullptr : it->second.get();
}

int CPendraApp::Connect(int mode) {
    const int result = device.init(mode);
    connectionMode = result;
    // The link kind is the low byte; the next byte carries the device type,
    // which the library also returns after a failed attempt that followed
    // an earlier identification: that is no connection.
    connected = linkKind() != 0;
    if (frame_) frame_->RefreshConnectionPane();
    return result;
}

void CPendraApp::ShowMessage(int id) {
    // A worker's message is loaded and shown by the GUI thread: the message
    // text belongs to it.
    runOnGuiThread([this, id] {
        messageText = LoadText(id);
        QMessageBox box(QMessageBox::NoIcon, messageCaption, messageText, QMessageBox::Ok);
        box.setObjectName("message");
        box.exec();
    });
}

bool CPendraApp::RequireConnection() {
    if (connected) return true;
    ShowMessage(101);
    return false;
}

QString CPendraApp::LoadText(int id) {
    messageText = strings::text(id);
    return messageText;
}

int CPendraApp::ShowDeviceError(QWidget* parent) {
    char code[VAZ_ERROR_CODE_SIZE] = {};
    char text[VAZ_ERROR_TEXT_SIZE] = {};
    {
        DeviceLock::Hold hold(device.lock);  // code and text of the same error
        device.getError(code);
        device.getErrorStr(text);
    }
    code[sizeof code - 1] = 0;
    text[sizeof text - 1] = 0;
    const QByteArray c(code);
    if (c == VAZ_CODE_NO_ERROR) return kDeviceErrorIgnored;
    if (c == VAZ_CODE_NO_CARD) return kDeviceErrorNoCard;
    // The code and text were read on the calling thread (a worker may hold
    // the device lock); only the box is the GUI thread's. The parent is
    // looked up there: a worker's form may close while the box waits its turn.
    const QString message = QString::fromLatin1(c) + ": " + ToWide(text);
    runOnGuiThread([&] {
        QWidget* owner = QApplication::allWidgets().contains(parent) ? parent : nullptr;
        QMessageBox box(QMessageBox::Information, messageCaption, message, QMessageBox::Ok, owner);
        box.setObjectName("deviceError");
        box.exec();
    });
    return c == VAZ_CODE_NO_SHEET ? kDeviceErrorIgnored : kDeviceErrorShown;
}

bool CPendraApp::SendFormatFile(const QString& path) {
    if (!RequireConnection()) return false;
    const QByteArray narrow = ToNarrow(path);
    if (narrow.isEmpty()) {
        ShowMessage(130);
        return false;
    }
    const QByteArray command = QByteArray(lowerCaseFormat ? "s " : "S ") + narrow + "/";
    return device.send(command.constData()) > 0;
}

QString CPendraApp::ToWide(const char* text) {
    return text ? QString::fromStdString(vazplat::Cp936ToUtf8(text)) : QString();
}

QByteArray CPendraApp::ToNarrow(const QString& text) {
    return QByteArray::fromStdString(vazplat::Utf8ToCp936(text.toStdString()));
}
