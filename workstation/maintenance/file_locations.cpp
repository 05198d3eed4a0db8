#include "file_locations.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString programFolderNow() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

// $XDG_CONFIG_HOME when it is an absolute path (the base directory rules
// ignore a relative one), else ~/.config.
QString configHomeNow() {
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString base =
        !xdg.isEmpty() && QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/kestrin");
}

bool writableFolder(const QString& folder) {
    return !folder.isEmpty() && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

// The folders a package manager owns. Symbolic links are followed, so
// /bin/kestrin on a merged /usr is /usr/bin/kestrin.
bool systemFolder(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QString path = canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
    for (const char* root : {"/usr", "/bin", "/sbin"}) {
        const QString r = QString::fromLatin1(root);
        if (path == r || path.startsWith(r + u'/')) return true;
    }
    return false;
}

// A CMake build tree has its cache at the top, beside bin/; an installed
// tree never has one.
bool buildTree(const QString& programFolder) {
    return QFileInfo(programFolder + QStringLiteral("/../CMakeCache.txt")).isFile();
}

}  // namespace

FileLocations FileLocations::current() {
    FileLocations l;
    l.programFolder = programFolderNow();
    l.configHome = configHomeNow();
    l.shippedFolder = QDir::cleanPath(l.programFolder + QStringLiteral("/../share/kestrin"));
    l.workingFolder = QDir::currentPath();
    return l;
}

bool FileLocations::installed() const {
    if (buildTree(programFolder)) return false;
    return systemFolder(programFolder) || (!shippedFolder.isEmpty() && QFileInfo(shippedFolder).isDir());
}

QString FileLocations::settingsFolder() const {
    return !installed() && writableFolder(programFolder) ? programFolder : configHome;
}

QString FileLocations::initIni() const {
    return settingsFolder() + QStringLiteral("/init.ini");
}
QString FileLocations::configIni() const {
    return settingsFolder() + QStringLiteral("/config.ini");
}
QString FileLocations::shippedConfigIni() const {
    return shippedFolder + QStringLiteral("/config.ini");
}
QString FileLocations::evaDat() const {
    return workingFolder + QStringLiteral("/eva.dat");
}

QString FileLocations::resolveConfigPath(const QString& written, const QString& configFolder) const {
    QString path = written.trimmed();
    path.replace(u'\\', u'/');
    if (QDir::isAbsolutePath(path)) return QDir::cleanPath(path);
    const QString besideProgram = QDir::cleanPath(programFolder + u'/' + path);
    for (const QString& folder : {programFolder, configFolder, shippedFolder}) {
        if (folder.isEmpty()) continue;
        const QString candidate = QDir::cleanPath(folder + u'/' + path);
        if (QFileInfo(candidate).isFile()) return candidate;
    }
    return besideProgram;
}
