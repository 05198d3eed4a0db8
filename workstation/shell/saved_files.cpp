#include "saved_files.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QSettings>

#include "atomic_file.h"
#include "grid_ctrl.h"
#include "settings_keys.h"
#include "string_table.h"

namespace savedfiles {

namespace {

// The folder the last file was saved to or opened from; the home folder at first.
QString lastFolder() {
    const QString folder = QSettings().value(settingkey::kLastSaveFolder).toString();
    return folder.isEmpty() || !QDir(folder).exists() ? QDir::homePath() : folder;
}

QString remembered(const QString& path) {
    if (!path.isEmpty()) QSettings().setValue(settingkey::kLastSaveFolder, QFileInfo(path).absolutePath());
    return path;
}

}  // namespace

QString askSavePath(QWidget* parent, const QString& suggestedName, const QString& filter) {
    return askSavePath(parent, suggestedName, filter, strings::text(408));
}

QString askSavePath(QWidget* parent, const QString& suggestedName, const QString& filter,
                    const QString& caption) {
    return remembered(
        QFileDialog::getSaveFileName(parent, caption, QDir(lastFolder()).filePath(suggestedName), filter));
}

QString askOpenPath(QWidget* parent, const QString& filter) {
    return remembered(QFileDialog::getOpenFileName(parent, QString(), lastFolder(), filter));
}

bool write(const QString& path, QByteArrayView bytes, QString* error) {
    return atomicfile::save(path, bytes, error);
}

bool saveWithDialog(QWidget* parent, const QString& suggestedName, const QString& filter,
                    QByteArrayView bytes) {
    const QString path = askSavePath(parent, suggestedName, filter);
    if (path.isEmpty()) return false;
    QString error;
    if (write(path, bytes, &error)) return true;
    QMessageBox box(QMessageBox::Warning, strings::text(103), error, QMessageBox::Ok, parent);
    box.setObjectName("saveFailed");
    box.exec();
    return false;
}

namespace {
QByteArray csvField(const QString& text) {
    QByteArray f = text.toUtf8();
    if (f.contains(',') || f.contains('"') || f.contains('\n') || f.contains('\r')) {
        f.replace("\"", "\"\"");
        f = '"' + f + '"';
    }
    return f;
}
}  // namespace

QByteArray gridCsv(const CGridCtrl& grid) {
    QByteArray out;
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c = 0; c < grid.columnCount(); ++c) {
            if (c) out += ',';
            out += csvField(grid.itemText(r, c).trimmed());
        }
        out += "\r\n";
    }
    return out;
}

QByteArray pictureBytes(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, format)) return {};
    return bytes;
}

}  // namespace savedfiles
