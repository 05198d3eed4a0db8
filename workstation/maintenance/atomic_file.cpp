#include "atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>

namespace atomicfile {
namespace {

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool fail(QString* error, const QString& path, int code) {
    if (error) *error = QStringLiteral("无法写入“%1”：%2").arg(path, systemError(code));
    return false;
}

bool writeAll(int fd, QByteArrayView bytes) {
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;
        if (n <= 0) return false;
        p += n;
        left -= n;
    }
    return true;
}

// Created with O_EXCL and mode 0666 so that the user's umask applies as it
// would to any new file. The name carries the writer's process id, so that a
// later save can tell the leftovers of a killed writer from a live one's
// file; the random suffix keeps concurrent writers apart.
int createTemporary(const QByteArray& target, QByteArray& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".tmp-" + QByteArray::number(qint64(::getpid())) + "-" +
               QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // some file systems refuse it for folders; the rename itself is done
    ::close(fd);
}

// Removes the temporaries that writers of `real` killed mid-save left: those
// whose process is gone. A live writer's file is never touched.
void removeLeftovers(const QString& real) {
    const QFileInfo info(real);
    QDir folder = info.absoluteDir();
    const QString prefix = info.fileName() + QStringLiteral(".tmp-");
    for (const QString& name : folder.entryList({prefix + QStringLiteral("*")}, QDir::Files | QDir::Hidden)) {
        bool number = false;
        const qint64 pid = name.mid(prefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong(&number);
        if (number && pid > 0 && pid != ::getpid() && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            folder.remove(name);
    }
}

}  // namespace

bool save(const QString& path, QByteArrayView bytes, QString* error) {
    const QFileInfo info(path);
    const QString real = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    const QByteArray target = QFile::encodeName(real);

    QByteArray temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0) return fail(error, real, errno);

    int code = 0;
    auto step = [&code](bool good) {
        if (!good && code == 0) code = errno ? errno : EIO;
        return good;
    };
    struct stat old {};
    const bool hadFile = ::stat(target.constData(), &old) == 0;
    bool ok = (!hadFile || step(::fchmod(fd, old.st_mode & 07777) == 0)) && step(writeAll(fd, bytes)) &&
              step(::fsync(fd) == 0);
    ok = step(::close(fd) == 0) && ok;
    ok = ok && step(::rename(temporary.constData(), target.constData()) == 0);
    if (!ok) {
        ::unlink(temporary.constData());
        return fail(error, real, code);
    }
    removeLeftovers(real);
    syncFolder(QFile::encodeName(QFileInfo(real).absolutePath()));
    return true;
}

}  // namespace atomicfile
