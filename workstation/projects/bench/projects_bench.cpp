// projects-bench: loading and saving eva.dat with 10,000 projects of 200
// error positions each, next to reading and writing the same bytes raw (a
// plain write, and the same temporary-file, flush and rename a save does).
// Prints the median of several rounds.
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "../tests/test_records.h"
#include "atomic_file.h"
#include "eva_file.h"

namespace {

constexpr int kProjects = 10000;
constexpr int kPositions = 200;
constexpr int kRounds = 9;

// Runs the two contenders alternately, round by round, so that a busy
// machine slows both alike; returns the median time of each in ms.
std::pair<double, double> medianMs(const std::function<void()>& raw, const std::function<void()>& ours) {
    std::vector<double> a, b;
    auto time = [](const std::function<void()>& work) {
        QElapsedTimer t;
        t.start();
        work();
        return double(t.nsecsElapsed()) / 1e6;
    };
    for (int i = 0; i < kRounds; ++i) {
        a.push_back(time(raw));
        b.push_back(time(ours));
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return {a[a.size() / 2], b[b.size() / 2]};
}

QByteArray readRaw(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeRaw(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

void row(const char* what, double ms, double rawMs) {
    std::printf("  %-34s %8.2f ms   %5.2fx raw\n", what, ms, ms / rawMs);
}

}  // namespace

int main() {
    QTemporaryDir dir;
    const QString eva = dir.filePath("eva.dat"), raw = dir.filePath("raw.dat");
    const std::vector<ProjectRecord> records = testrecords::many(kProjects, kPositions);
    const QByteArray bytes = evafile::encode(records);
    evafile::save(eva, records);
    writeRaw(raw, bytes);

    std::printf(
        "projects-bench: %d projects x %d error positions, eva.dat %.1f MB, median of %d alternating "
        "rounds\n",
        kProjects, kPositions, double(bytes.size()) / 1e6, kRounds);

    // Results are kept until the end, so that freeing them is not timed.
    std::vector<QByteArray> rawReads;
    std::vector<evafile::Loaded> loads;
    const auto [readMs, loadMs] =
        medianMs([&] { rawReads.push_back(readRaw(raw)); }, [&] { loads.push_back(evafile::read(eva)); });
    if (loads.back().records.size() != records.size()) std::printf("(the file did not load whole)\n");
    std::printf("load\n");
    row("raw read of the same bytes", readMs, readMs);
    row("evafile::read (parse, checks)", loadMs, readMs);

    const auto [writeMs, encodeMs] =
        medianMs([&] { writeRaw(raw, bytes); }, [&] { evafile::encode(records); });
    const auto [atomicMs, saveMs] =
        medianMs([&] { atomicfile::save(raw, bytes); }, [&] { evafile::save(eva, records); });
    std::printf("save\n");
    row("raw write of the same bytes", writeMs, writeMs);
    row("raw atomic write (flush, rename)", atomicMs, writeMs);
    row("evafile::encode alone", encodeMs, writeMs);
    row("evafile::save", saveMs, writeMs);
    std::printf("  save against the raw atomic write: %.2fx (target at most 2x)\n", saveMs / atomicMs);
    std::printf("  load against the raw read:         %.2fx (target at most 2x)\n", loadMs / readMs);
    return 0;
}
