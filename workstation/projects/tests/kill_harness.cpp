#include "kill_harness.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <optional>

namespace crashsafe {
namespace {

std::optional<QByteArray> contents(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return f.readAll();
}

QString describeDamage(const std::optional<QByteArray>& now, const QByteArray& v0, const QByteArray& v1) {
    if (!now) return QStringLiteral("the file was gone");
    return QStringLiteral("%1 bytes, neither version 0 (%2 bytes) nor version 1 (%3 bytes)")
        .arg(now->size())
        .arg(v0.size())
        .arg(v1.size());
}

// Starts a writer that saves 1, 0, 1, ... for ever; returns once it runs.
pid_t startWriter(const FileKind& kind, const QString& folder) {
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        const char byte = 1;
        if (::write(ready[1], &byte, 1) != 1) ::_exit(2);
        for (int version = 1;; version ^= 1) kind.save(folder, version);
    }
    ::close(ready[1]);
    char byte = 0;
    if (pid > 0 && ::read(ready[0], &byte, 1) != 1) byte = 0;  // it died first: still reaped below
    ::close(ready[0]);
    return pid;
}

}  // namespace

KillCounts killWhileSaving(const FileKind& kind, const QString& parent, int kills, std::mt19937& rng) {
    KillCounts c;
    const QString folder = QDir(parent).filePath(kind.fileName + QStringLiteral("-kills"));
    const QString path = QDir(folder).filePath(kind.fileName);
    if (!QDir().mkpath(folder) || (kind.prepare && !kind.prepare(folder))) {
        c.setupProblem = QStringLiteral("cannot prepare %1").arg(folder);
        return c;
    }
    const bool saved1 = kind.save(folder, 1);
    const std::optional<QByteArray> v1 = contents(path);
    const bool saved0 = kind.save(folder, 0);
    const std::optional<QByteArray> v0 = contents(path);
    if (!saved0 || !saved1 || !v0 || !v1 || *v0 == *v1) {
        c.setupProblem = QStringLiteral("the two versions of %1 cannot be saved apart").arg(path);
        return c;
    }
    const QStringList ownFiles = QDir(folder).entryList(QDir::Files | QDir::Hidden);

    // Kills land anywhere within about one save of each version: before the
    // writer's first byte, in the writes, the flush, the rename, between saves.
    QElapsedTimer timer;
    timer.start();
    constexpr int kRounds = 4;
    for (int i = 0; i < kRounds; ++i) kind.save(folder, 1), kind.save(folder, 0);
    const int cycleUs = std::max(100, int(timer.nsecsElapsed() / 1000 / kRounds));
    std::uniform_int_distribution<int> delayUs(0, cycleUs);

    for (int i = 0; i < kills; ++i) {
        kind.save(folder, 0);
        const pid_t pid = startWriter(kind, folder);
        if (pid < 0) {
            c.setupProblem = QStringLiteral("cannot start a writer: %1").arg(qt_error_string(errno));
            return c;
        }
        ::usleep(useconds_t(delayUs(rng)));
        ::kill(pid, SIGKILL);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        ++c.kills;
        const std::optional<QByteArray> now = contents(path);
        if (now && *now == *v0) {
            ++c.sawOld, ++c.survived;
        } else if (now && *now == *v1) {
            ++c.sawNew, ++c.survived;
        } else if (c.firstDamage.isEmpty()) {
            c.firstDamage = QStringLiteral("kill %1: %2").arg(i + 1).arg(describeDamage(now, *v0, *v1));
        }
        for (const QString& f : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
            if (ownFiles.contains(f)) continue;
            ++c.temporariesLeft;
            QFile::remove(QDir(folder).filePath(f));
        }
    }
    return c;
}

}  // namespace crashsafe
