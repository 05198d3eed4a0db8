#include "saved_files.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

#include "atomic_file.h"
#include "grid_ctrl.h"
#include "settings_keys.h"
#include "string_table.h"

namespace savedfiles {

QString askSavePath(QWidget* parent, const QString& suggestedName, const QString& filter) {
    QSettings settings;
    QString folder = settings.value(settingkey::kLastSaveFolder).toString();
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    const QString path =
        QFileDialog::getSaveFileName(parent, strings::text(408), QDir(folder).filePath(suggestedName), filter);
    if (!path.isEmpty()) settings.setValue(settingkey::kLastSaveFolder, QFileInfo(path).absolutePath());
    return path;
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

}  // namespace savedfiles
