// eva.dat, the file of all test projects: little-endian, no header.
//   count N (int32), then N records, each:
//     six counted strings (int32 count L, L UTF-16LE code units): machine
//     type, card type, product, mainboard, power and photo-head numbers;
//     int32 total errors, total cards, cards this run (0), stop count,
//     speed (0); counted string error positions text (empty);
//     int32 K, K int32 per-position counts, position 0 first.
// The file carries no checks of its own, so every count and length is
// checked against the bytes really there. A damaged file is moved aside,
// never overwritten; a save replaces the file atomically.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

#include "project_record.h"

namespace evafile {

QByteArray encode(const std::vector<ProjectRecord>& records);

struct Decoded {
    std::vector<ProjectRecord> records;  // every record read whole
    QString damage;                      // empty when the file was read whole; else what is wrong where
};
Decoded decode(QByteArrayView bytes);

struct Loaded {
    enum class Status {
        Read,        // the whole file (a missing or empty file is an empty list)
        Damaged,     // `records` are those intact before the damage
        Unreadable,  // the file exists but cannot be read
    };
    Status status = Status::Read;
    std::vector<ProjectRecord> records;
    QString message;  // for the user; empty when read whole
    QString keptAs;   // Damaged: where the file now is; empty when it could not be moved
    // Whether saving over `path` is safe: not while a damaged or unreadable
    // file still sits there.
    bool mayOverwrite = true;
};
// Reads the file; nothing is changed on disk.
Loaded read(const QString& path);
// Reads the file; a damaged one is renamed aside beside it
// ("eva.dat.damaged-YYYYMMDD-HHMMSS") and the message says where.
Loaded load(const QString& path);

bool save(const QString& path, const std::vector<ProjectRecord>& records, QString* error = nullptr);

}  // namespace evafile
