// crash-safe-bench [--kills N] [--seed S]: for every kind of file the kit
// writes, N writers (default 1000) killed with SIGKILL at random moments of
// their saves; prints per kind how many kills left the old file or the new
// one whole, which of the two, and the temporary files left behind, next to
// a plain truncate-then-write of the same size. Exits 1 when any kill left a
// file of the kit's damaged.
#include <QApplication>
#include <QCommandLineParser>
#include <QTemporaryDir>
#include <cstdio>

#include "../tests/file_kinds.h"

namespace {

bool row(const crashsafe::FileKind& kind, const QString& folder, int kills, std::mt19937& rng) {
    const crashsafe::KillCounts c = crashsafe::killWhileSaving(kind, folder, kills, rng);
    if (!c.setupProblem.isEmpty()) {
        std::printf("  %-16s not run: %s\n", qPrintable(kind.name), qPrintable(c.setupProblem));
        return false;
    }
    std::printf("  %-16s %6d %9d %7d %7d %12d\n", qPrintable(kind.name), c.kills, c.survived, c.sawOld, c.sawNew,
                c.temporariesLeft);
    if (!c.firstDamage.isEmpty()) std::printf("  %-16s first damage: %s\n", "", qPrintable(c.firstDamage));
    return c.survived == c.kills;
}

}  // namespace

int main(int argc, char** argv) {
    // The forms' table is a widget; no screen is needed for it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption kills("kills", "Writers killed per kind of file (default 1000).", "N", "1000");
    QCommandLineOption seed("seed", "Seed of the kill moments.", "S", "20261209");
    parser.addOptions({kills, seed});
    parser.process(app);
    const int n = parser.value(kills).toInt();
    if (n <= 0) parser.showHelp(2);

    QTemporaryDir dir;
    std::mt19937 rng(parser.value(seed).toUInt());
    std::printf("crash-safe-bench: %d writers killed per kind at random moments of their saves\n", n);
    std::printf("  %-16s %6s %9s %7s %7s %12s\n", "kind", "kills", "survived", "old", "new", "temporaries");
    bool ok = true;
    for (const crashsafe::FileKind& kind : crashsafe::kitFileKinds()) ok = row(kind, dir.path(), n, rng) && ok;
    std::printf("  baseline, not the kit's:\n");
    row(crashsafe::truncatingWriter(), dir.path(), n, rng);
    return ok ? 0 : 1;
}
