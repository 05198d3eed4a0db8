// kestrin: the reader test and service workstation.
//
//   kestrin [--service] [--access-level LEVEL] [--screenshot FILE] [--report-first-paint] [--help] [--version]
//   kestrin --export-projects FILE.csv
#include <QApplication>

#include "command_line_actions.h"
#include "kestrin_main.h"

int main(int argc, char** argv) {
    // An option that exports and exits needs no display.
    if (wantsCommandLineAction(argc, argv)) {
        QCoreApplication qapp(argc, argv);
        return runKestrin(qapp.arguments());
    }
    QApplication qapp(argc, argv);
    return runKestrin(qapp.arguments());
}
