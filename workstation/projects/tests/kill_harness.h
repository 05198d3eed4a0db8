// Kills a process that saves one file over and over, SIGKILL at random
// moments, and looks at what is left each time: the file must be the old one
// or the new one, whole. Backs the crash-safe tests and crash-safe-bench.
#pragma once

#include <QString>
#include <functional>
#include <random>

namespace crashsafe {

// One kind of file the kit writes, saved through the kit's own writer.
struct FileKind {
    QString name;      // as the figures show it
    QString fileName;  // the file in the kind's folder
    // Writes what the kind's writer reads besides its own file (may be empty).
    std::function<bool(const QString& folder)> prepare;
    // Saves version 0 or 1 of the file in `folder`; the two differ, and either
    // is written over the other by one save.
    std::function<bool(const QString& folder, int version)> save;
};

struct KillCounts {
    int kills = 0;
    int survived = 0;  // the file was version 0 or 1, whole
    int sawOld = 0;    // of those, version 0 (the file it started from, or its save after the first)
    int sawNew = 0;    // version 1 (its first save, or a later one, had landed)
    int temporariesLeft = 0;  // other files a kill left in the folder (removed each time)
    QString firstDamage;      // how the first damaged file differed; empty when none
    QString setupProblem;     // why nothing could be tried; empty when it ran
};

// Kills `kills` writers of `kind` in a new folder under `parent`. Each writer
// starts from version 0 on disk and saves 1, 0, 1, ... until it is killed at a
// moment drawn from `rng` within about one save of each version.
KillCounts killWhileSaving(const FileKind& kind, const QString& parent, int kills, std::mt19937& rng);

}  // namespace crashsafe
