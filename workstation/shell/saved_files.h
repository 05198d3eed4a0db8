// Files the forms save for the technician (tables, pictures, logs, format
// files): the save dialog that remembers its folder, and the write, which
// is atomic (a temporary file in the same folder renamed over the target,
// so a failed save leaves the old file as it was).
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class CGridCtrl;
class QWidget;

namespace savedfiles {

// Asks where to save, starting in the folder of the last save (kept in the
// settings) with `suggestedName`. Empty when the user cancelled.
QString askSavePath(QWidget* parent, const QString& suggestedName, const QString& filter);

// Writes `bytes` to `path` atomically; on failure `error` says why.
bool write(const QString& path, QByteArrayView bytes, QString* error = nullptr);

// Asks, writes, and shows a failure in a box owned by `parent`. True when a
// file was written.
bool saveWithDialog(QWidget* parent, const QString& suggestedName, const QString& filter,
                    QByteArrayView bytes);

// The grid's cells as comma-separated text (UTF-8, one line a row, fixed
// rows and columns included; fields with commas, quotes or line breaks
// quoted).
QByteArray gridCsv(const CGridCtrl& grid);

}  // namespace savedfiles
