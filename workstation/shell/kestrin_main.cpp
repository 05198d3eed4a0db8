#include "kestrin_main.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "artwork.h"
#include "command_line_actions.h"
#include "commands.h"
#include "first_paint.h"
#include "kit_version.h"
#include "log.h"
#include "main_frame.h"
#include "saved_files.h"

int runKestrin(const QStringList& arguments, StartupOptions options) {
    QCoreApplication::setApplicationVersion(QStringLiteral(KIT_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription("Kestrin: the reader test and service workstation.");
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption service("service", "Show the service menu (also toggled with Ctrl+Alt+Shift+S).");
    QCommandLineOption screenshot("screenshot", "Save a picture of the main window to FILE and exit.",
                                  "FILE");
    QCommandLineOption firstPaint("report-first-paint",
                                  "Print \"first-paint\" once the main window is painted, then exit.");
    QCommandLineOption accessLevel("access-level",
                                   "Run at access level LEVEL (0 to 3); level 3 offers \"USB在线升级\" in the "
                                   "service menu.",
                                   "LEVEL");
    parser.addOptions({service, accessLevel, screenshot, firstPaint});
    for (const CommandLineAction& a : commandLineActions())
        parser.addOption(QCommandLineOption(a.name, a.description, a.valueName));
    parser.process(arguments);
    for (const CommandLineAction& a : commandLineActions())
        if (parser.isSet(a.name)) return a.run(parser.value(a.name));
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        kestrinLog("kestrin: no window system for the workstation\n");
        return 1;
    }

    // Desktops match the window to the installed kestrin.desktop by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("kestrin"));
    QApplication::setWindowIcon(artwork::applicationIcon());

    if (parser.isSet(accessLevel)) {
        bool ok = false;
        const int level = parser.value(accessLevel).toInt(&ok);
        if (!ok || level < 0 || level > kServiceAccessLevel) {
            std::fprintf(stderr, "kestrin: --access-level takes 0 to %d\n", kServiceAccessLevel);
            return 1;
        }
        options.accessLevel = level;
    }

    CPendraApp app;
    options.serviceMenu = options.serviceMenu || parser.isSet(service);
    if (!app.InitInstance(options)) return 1;

    if (parser.isSet(firstPaint)) {
        new FirstPaintWatcher(app.mainFrame(), [] {
            std::printf("first-paint\n");
            std::fflush(stdout);
            QApplication::exit(0);
        });
    }
    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        new FirstPaintWatcher(app.mainFrame(), [&app, file] {
            // Let the tabs and the status bar settle before the picture.
            QTimer::singleShot(400, app.mainFrame(), [&app, file] {
                // Through the forms' atomic write: an interrupted run leaves
                // the old picture, never a truncated one.
                const QByteArray suffix = QFileInfo(file).suffix().toLatin1();
                const QByteArray bytes = savedfiles::pictureBytes(app.mainFrame()->grab().toImage(),
                                                                  suffix.isEmpty() ? "PNG" : suffix.constData());
                QString error = QStringLiteral("cannot encode the picture");
                const bool ok = !bytes.isEmpty() && savedfiles::write(file, bytes, &error);
                if (ok)
                    kestrinLog("kestrin: wrote %s\n", qPrintable(file));
                else
                    kestrinLog("kestrin: cannot write %s: %s\n", qPrintable(file), qPrintable(error));
                QApplication::exit(ok ? 0 : 1);
            });
        });
    }
    const int rc = QApplication::exec();
    app.ExitInstance();
    return rc;
}
