// kestrin: the reader test and service workstation.
//
//   kestrin [--service] [--access-level LEVEL] [--screenshot FILE] [--report-first-paint] [--help] [--version]
#include <QApplication>

#include "kestrin_main.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    return runKestrin(qapp.arguments());
}
