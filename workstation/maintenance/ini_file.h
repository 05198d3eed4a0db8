// CIni: reads and writes the workstation's INI files (init.ini, config.ini)
// with the lookup rules of the Windows private-profile functions, so files
// made by the Windows tools read the same here:
//   - section and key names compare case-insensitively, around them blanks
//     do not count; the first matching section, and the first matching key
//     in it, wins;
//   - a value is the rest of its line after "=", trimmed; one pair of
//     matching double or single quotes around it is dropped;
//   - lines starting with ";" or "#" are comments; there are no comments
//     after a value (a value may hold ";", lists are separated by it).
// A write changes or adds one line and keeps every other line, byte for byte
// and in order; it creates the file, the section or the key when missing and
// replaces the file atomically. Files are UTF-8, or code page 936 when made
// on Windows, and are written back in the encoding they were read in.
//
// A CIni lives for one handler; every call reads the file afresh.
#pragma once

#include <QString>
#include <QStringList>

class CIni {
public:
    // Reads come from `path`; while it does not exist, from `readFallback`
    // (a copy shipped with the kit). The first write to a missing `path`
    // starts from the fallback's content, so nothing of it is lost.
    explicit CIni(QString path, QString readFallback = {});
    virtual ~CIni();
    CIni(const CIni&) = delete;
    CIni& operator=(const CIni&) = delete;

    const QString& path() const { return path_; }
    // The file reads come from now; empty when neither file exists.
    QString sourcePath() const;

    // Empty when the file, the section or the key is missing, or a name is empty.
    QString readString(const QString& section, const QString& key) const;
    // Leading sign and decimal digits of the value, up to the first other
    // character ("-3" gives -3, "12abc" 12); `defaultValue` for an empty or
    // missing value. Values beyond the int range are clamped to it.
    int readInt(const QString& section, const QString& key, int defaultValue) const;
    // The value split at ";", each piece trimmed of blanks, tabs, carriage
    // returns and line feeds, empty pieces dropped.
    QStringList readList(const QString& section, const QString& key) const;
    // The names of all sections in file order.
    QStringList sectionNames() const;

    // False, with lastError() saying why, when a name is empty or could not be
    // read back (a key with "=", a section with "]", a line break), the value
    // holds a line break, the file exists but cannot be read or would change
    // beyond the one line (bytes that are neither UTF-8 nor code page 936), a
    // character has no code in the file's encoding, or the file cannot be
    // written. The file is unchanged then.
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInt(const QString& section, const QString& key, int value);  // "%d"

    const QString& lastError() const { return lastError_; }

private:
    QString path_;
    QString readFallback_;
    QString lastError_;
};
