// INI files: any bytes on disk are read without fault, and a write either
// refuses and leaves the file as it was, or reads back as written while the
// other sections' keys keep their values.
#include <cstdint>
#include <cstdlib>

#include <QFile>
#include <QTemporaryDir>

#include "fuzz_check.h"
#include "ini_file.h"

namespace {

const QTemporaryDir& folder() {
    static const QTemporaryDir dir;
    return dir;
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = folder().filePath(QStringLiteral("fuzz.ini"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        f.write(bytes);
    }
    CIni ini(path);
    const QStringList sections = ini.sectionNames();
    for (const QString& s : sections) {
        ini.readString(s, QStringLiteral("MachineType"));
        ini.readList(s, QStringLiteral("CardType"));
        ini.readInt(s, QStringLiteral("Speed"), -7);
    }
    const QString section = sections.isEmpty() ? QStringLiteral("Main") : sections.first();
    const QString other = sections.size() > 1 ? sections.last() : QString();
    const QString otherValue = other.isEmpty() ? QString() : ini.readString(other, QStringLiteral("key"));

    const QString value = QStringLiteral("fuzz;\u7b54\u9898\u5361 value");
    if (ini.writeString(section, QStringLiteral("key"), value)) {
        FUZZ_CHECK(ini.readString(section, QStringLiteral("key")) == value);
        if (!other.isEmpty() && other.trimmed().compare(section.trimmed(), Qt::CaseInsensitive) != 0)
            FUZZ_CHECK(ini.readString(other, QStringLiteral("key")) == otherValue);
    } else {
        FUZZ_CHECK(contents(path) == bytes);
    }
    return 0;
}
