#include "settings_action.h"

#include "app_reader_port.h"
#include "file_locations.h"
#include "ini_file.h"
#include "log.h"

QString initIniOr(QString initIni) {
    return initIni.isEmpty() ? FileLocations::current().initIni() : initIni;
}

void runSettingsAction(const QString& initIni, const std::function<int(ReaderPort&, CIni&)>& action) {
    CPendraApp* app = theApp();
    if (!app) return;
    AppReaderPort reader(*app);
    CIni ini(initIni);
    int message = 0;
    {
        // A command and the fetch of its reply belong together; the box
        // comes after, so nothing waits on the reader while it is open.
        DeviceLock::Hold hold(app->device.lock);
        message = action(reader, ini);
    }
    if (!ini.lastError().isEmpty())
        kestrinLog("kestrin: %s not written: %s\n", qPrintable(initIni), qPrintable(ini.lastError()));
    app->ShowMessage(message);
}
