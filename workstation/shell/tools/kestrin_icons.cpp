// kestrin-icons OUTDIR: writes the program's icon as the desktop's icon
// theme wants it, OUTDIR/hicolor/NxN/apps/kestrin.png for every shipped size.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "artwork.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrin-icons OUTDIR\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int size : artwork::kApplicationIconSizes) {
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(out).arg(size);
        const QString file = folder + QStringLiteral("/kestrin.png");
        if (!QDir().mkpath(folder) || !artwork::applicationImage(size).save(file)) {
            std::fprintf(stderr, "kestrin-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
