// Draws the calibration and motor settings dialogs as a technician sees them
// after calibrating gray level 9 and setting speed 3 with coefficients 2 and
// -1 on the connected reader (the virtual one, for the pictures in docs/):
//     kestrin-settings-pictures FOLDER    writes FOLDER/adjust_dlg.png, FOLDER/motor_dlg.png
#include <QApplication>
#include <QTemporaryDir>

#include "app_reader_port.h"
#include "device_settings.h"
#include "dlg_adjust.h"
#include "ini_file.h"
#include "log.h"
#include "main_frame.h"
#include "motor_set_dlg.h"

namespace {

bool save(QDialog& dialog, const QString& file) {
    dialog.show();
    QApplication::processEvents();
    const bool ok = dialog.grab().save(file);
    kestrinLog(ok ? "wrote %s\n" : "cannot write %s\n", qPrintable(file));
    dialog.hide();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc != 2) {
        kestrinLog("usage: kestrin-settings-pictures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    CPendraApp app;
    if (!app.InitInstance()) return 1;
    if (!app.connected) {
        kestrinLog("kestrin-settings-pictures: no reader connected\n");
        return 1;
    }
    QTemporaryDir dir;
    const QString initIni = dir.filePath("init.ini");
    {
        AppReaderPort reader(app);
        CIni ini(initIni);
        using namespace devicesettings;
        if (calibrateGray(reader, ini, 9) != kCalibrated ||
            !applyMotorSettings(reader, ini, MotorSettings{}, MotorSettings{3, 2, -1}).accepted) {
            kestrinLog("kestrin-settings-pictures: the reader refused the settings\n");
            return 1;
        }
    }
    CDlgAdjust adjust(app.mainFrame(), initIni);
    CMotorSetDlg motor(app.mainFrame(), initIni);
    const bool ok = save(adjust, folder + "/adjust_dlg.png") && save(motor, folder + "/motor_dlg.png");
    app.device.init(-1);
    app.ExitInstance();
    return ok ? 0 : 1;
}
