// kestrin: the reader test and service workstation.
//
//   kestrin [--service] [--screenshot FILE] [--report-first-paint]
//     --service             show the service menu from the start
//     --screenshot FILE     save a picture of the main window once it is
//                           painted and connected, then exit
//     --report-first-paint  print "first-paint" on standard output when the
//                           main window has been painted, then exit
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

#include "first_paint.h"
#include "main_frame.h"
#include "pendra_app.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption service("service", "Show the service menu.");
    QCommandLineOption screenshot("screenshot", "Save a picture of the main window to FILE and exit.", "FILE");
    QCommandLineOption firstPaint("report-first-paint", "Print \"first-paint\" once the main window is painted, then exit.");
    parser.addOptions({service, screenshot, firstPaint});
    parser.process(qapp);

    CPendraApp app;
    StartupOptions options;
    options.serviceMenu = parser.isSet(service);
    if (!app.InitInstance(options)) return 1;

    if (parser.isSet(firstPaint)) {
        new FirstPaintWatcher(app.mainFrame(), [] {
            std::printf("first-paint\n");
            std::fflush(stdout);
            QApplication::quit();
        });
    }
    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        new FirstPaintWatcher(app.mainFrame(), [&app, file] {
            // Let the tabs and the status bar settle before the picture.
            QTimer::singleShot(400, [&app, file] {
                const bool ok = app.mainFrame()->grab().save(file);
                std::fprintf(stderr, ok ? "kestrin: wrote %s\n" : "kestrin: cannot write %s\n", qPrintable(file));
                QApplication::exit(ok ? 0 : 1);
            });
        });
    }
    const int rc = qapp.exec();
    app.ExitInstance();
    return rc;
}
