// Whole-file rewrites that a crash, a kill or a power cut cannot leave
// half-done: the file is always the old one or the new one.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace atomicfile {

// Writes `bytes` to a temporary file in the target's folder, flushes it to the
// disk, renames it over `path` (the file a symbolic link points to, when
// `path` is one) and flushes the folder. An existing file keeps its
// permissions. On failure the old file is untouched, the temporary file is
// removed and `error` (when given) says what went wrong.
bool save(const QString& path, QByteArrayView bytes, QString* error = nullptr);

}  // namespace atomicfile
