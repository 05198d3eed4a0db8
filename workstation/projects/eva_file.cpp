#include "eva_file.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cstring>

#include "atomic_file.h"

namespace evafile {
namespace {

// A record without any text or position: six empty strings, five numbers,
// the empty positions text and K.
constexpr qsizetype kSmallestRecord = 6 * 4 + 5 * 4 + 4 + 4;

const char* const kStringNames[] = {"机器型号", "信息卡型号", "产品编号",
                                    "主板编号", "电源编号",   "光电头编号"};

class Writer {
public:
    explicit Writer(qsizetype size) : bytes_(size, Qt::Uninitialized), p_(bytes_.data()) {}
    void i32(std::int32_t v) {
        qToLittleEndian(v, p_);
        p_ += 4;
    }
    void string(const QString& s) {
        i32(std::int32_t(s.size()));
        if (s.isEmpty()) return;  // an empty text may have no storage at all
        qToLittleEndian<char16_t>(s.utf16(), s.size(), p_);
        p_ += 2 * s.size();
    }
    void i32s(std::span<const std::int32_t> values) {
        i32(std::int32_t(values.size()));
        if (values.empty()) return;
        qToLittleEndian<std::int32_t>(values.data(), qsizetype(values.size()), p_);
        p_ += 4 * qsizetype(values.size());
    }
    QByteArray take() { return std::move(bytes_); }

private:
    QByteArray bytes_;
    char* p_;
};

// Only the positions up to the last one with an error are stored.
std::span<const std::int32_t> storedCounts(const ErrorCounts& counts) {
    std::span<const std::int32_t> used = counts.used();
    while (!used.empty() && used.back() == 0) used = used.first(used.size() - 1);
    return used;
}

bool equalsLittleEndian(const QString& s, const char* p) {
    for (qsizetype i = 0; i < s.size(); ++i)
        if (s[i].unicode() != qFromLittleEndian<char16_t>(p + 2 * i)) return false;
    return true;
}

// Reads the file through a small buffer rather than whole, so that loading
// touches little more memory than the records it builds. Every count is
// checked against the bytes the input holds before anything is allocated.
class Reader {
public:
    Reader(QIODevice& in, qsizetype size) : in_(in), size_(size) {}
    qsizetype offset() const { return consumed_; }
    qsizetype left() const { return size_ - consumed_; }
    // Where the field that failed began.
    qsizetype fieldStart() const { return fieldStart_; }

    bool i32(std::int32_t& v) {
        const char* p = take(4);
        if (p) v = qFromLittleEndian<std::int32_t>(p);
        return p != nullptr;
    }
    // false on failure; `problem` says why when the length itself is impossible.
    bool string(QString& s, QString& problem, const QString* same = nullptr) {
        std::int32_t n = 0;
        const char* p = items(n, 2, problem);
        if (!p) return false;
        if (same && same->size() == n && equalsLittleEndian(*same, p)) {
            s = *same;
            return true;
        }
        s = QString(n, Qt::Uninitialized);
        if (n > 0) qFromLittleEndian<char16_t>(p, n, s.data());
        return true;
    }
    bool counts(ErrorCounts& counts, QString& problem) {
        std::int32_t k = 0;
        const char* p = items(k, 4, problem);
        if (p) counts.assignLittleEndian(p, k);
        return p != nullptr;
    }

private:
    // `n` bytes of the input, valid until the next call; null when the input
    // ends (or holds fewer bytes than its size said) first.
    const char* take(qsizetype n) {
        if (n > left()) return nullptr;
        if (end_ - pos_ < n) refill(n);
        if (end_ - pos_ < n) return nullptr;
        const char* p = buffer_.data() + pos_;
        pos_ += n;
        consumed_ += n;
        return p;
    }
    // A count `n` and the `n` items of `unit` bytes after it. A negative count,
    // or one the rest of the input cannot hold, sets `problem`.
    const char* items(std::int32_t& n, qsizetype unit, QString& problem) {
        fieldStart_ = consumed_;
        if (!i32(n)) return nullptr;
        if (n < 0 || qsizetype(n) > left() / unit) {
            problem =
                n < 0 ? QStringLiteral("长度为 %1").arg(n) : QStringLiteral("长度 %1 超出文件末尾").arg(n);
            return nullptr;
        }
        return take(unit * qsizetype(n));
    }
    void refill(qsizetype n) {
        const qsizetype rest = end_ - pos_;
        std::memmove(buffer_.data(), buffer_.data() + pos_, size_t(rest));
        pos_ = 0;
        end_ = rest;
        if (qsizetype(buffer_.size()) < n) buffer_.resize(size_t(n));  // a long string or count array
        while (end_ < n) {
            const qint64 got = in_.read(buffer_.data() + end_, qint64(buffer_.size()) - end_);
            if (got <= 0) return;
            end_ += got;
        }
    }

    QIODevice& in_;
    qsizetype size_;
    std::vector<char> buffer_ = std::vector<char>(64 * 1024);
    qsizetype pos_ = 0, end_ = 0, consumed_ = 0, fieldStart_ = 0;
};

// Reads one record; on failure `field` names the field and `problem` says
// why when its length is impossible. Machine and card types repeat from
// record to record: a text equal to the one before shares its storage.
bool readRecord(Reader& in, ProjectRecord& r, const ProjectRecord* before, const char*& field,
                QString& problem) {
    QString* strings[] = {&r.machineType,     &r.cardType,    &r.productNumber,
                          &r.mainboardNumber, &r.powerNumber, &r.photoHeadNumber};
    const QString* previous[] = {before ? &before->machineType : nullptr,
                                 before ? &before->cardType : nullptr};
    for (int i = 0; i < 6; ++i) {
        field = kStringNames[i];
        if (!in.string(*strings[i], problem, i < 2 ? previous[i] : nullptr)) return false;
    }
    field = "计数";
    std::int32_t* numbers[] = {&r.totalErrors, &r.totalCards, &r.cardsThisRun, &r.stopCount, &r.speed};
    for (std::int32_t* n : numbers)
        if (!in.i32(*n)) return false;
    field = "出错位置";
    if (!in.string(r.errorPositions, problem)) return false;
    field = "错误位置";
    return in.counts(r.errorCounts, problem);
}

QString timeStamp() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

// A free name beside `path` for the damaged file.
QString asideName(const QString& path) {
    const QString base = path + QStringLiteral(".damaged-") + timeStamp();
    QString name = base;
    for (int n = 1; QFileInfo::exists(name); ++n) name = base + u'-' + QString::number(n);
    return name;
}

}  // namespace

QByteArray encode(const std::vector<ProjectRecord>& records) {
    qsizetype size = 4;
    for (const ProjectRecord& r : records)
        size += kSmallestRecord +
                2 * (r.machineType.size() + r.cardType.size() + r.productNumber.size() +
                     r.mainboardNumber.size() + r.powerNumber.size() + r.photoHeadNumber.size()) +
                4 * qsizetype(storedCounts(r.errorCounts).size());
    Writer out(size);
    out.i32(std::int32_t(records.size()));
    for (const ProjectRecord& r : records) {
        for (const QString* s : {&r.machineType, &r.cardType, &r.productNumber, &r.mainboardNumber,
                                 &r.powerNumber, &r.photoHeadNumber})
            out.string(*s);
        // Cards this run, speed and the positions text belong to one opening
        // of the dialog and are not kept.
        for (std::int32_t n : {r.totalErrors, r.totalCards, 0, r.stopCount, 0}) out.i32(n);
        out.string(QString());
        out.i32s(storedCounts(r.errorCounts));
    }
    return out.take();
}

namespace {

Decoded decode(QIODevice& in, qsizetype size) {
    Decoded d;
    if (size == 0) return d;
    Reader r(in, size);
    std::int32_t n = 0;
    if (!r.i32(n)) {
        d.damage = QStringLiteral("文件只有 %1 字节，连项目数都不完整").arg(size);
        return d;
    }
    if (n < 0) {
        d.damage = QStringLiteral("项目数为 %1").arg(n);
        return d;
    }
    d.records.reserve(size_t(std::min<qsizetype>(n, r.left() / kSmallestRecord)));
    for (std::int32_t i = 0; i < n; ++i) {
        const qsizetype start = r.offset();
        ProjectRecord record;
        const char* field = "";
        QString problem;
        if (!readRecord(r, record, d.records.empty() ? nullptr : &d.records.back(), field, problem)) {
            d.damage = problem.isEmpty()
                           ? QStringLiteral(
                                 "文件声明 %1 个项目，第 %2 个项目（偏移 %3 起）在%4处被截断，文件共 %5 字节")
                                 .arg(n)
                                 .arg(i + 1)
                                 .arg(start)
                                 .arg(QString::fromUtf8(field))
                                 .arg(size)
                           : QStringLiteral("第 %1 个项目的%2（偏移 %3）%4")
                                 .arg(i + 1)
                                 .arg(QString::fromUtf8(field))
                                 .arg(r.fieldStart())
                                 .arg(problem);
            return d;
        }
        d.records.push_back(std::move(record));
    }
    if (r.left() > 0)
        d.damage = QStringLiteral("%1 个项目之后还有 %2 字节不属于任何项目").arg(n).arg(r.left());
    return d;
}

}  // namespace

Decoded decode(QByteArrayView bytes) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), bytes.size());
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return decode(buffer, bytes.size());
}

Loaded read(const QString& path) {
    Loaded l;
    QFile file(path);
    if (!file.exists()) return l;
    Decoded d;
    if (file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) d = decode(file, file.size());
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        l.status = Loaded::Status::Unreadable;
        l.mayOverwrite = false;
        l.message = QStringLiteral("无法读取“%1”：%2。").arg(path, file.errorString());
        return l;
    }
    l.records = std::move(d.records);
    if (!d.damage.isEmpty()) {
        l.status = Loaded::Status::Damaged;
        l.mayOverwrite = false;
        l.message = QStringLiteral("“%1”已损坏：%2。").arg(path, d.damage);
    }
    return l;
}

Loaded load(const QString& path) {
    Loaded l = read(path);
    if (l.status == Loaded::Status::Unreadable) l.message += QStringLiteral("为免覆盖它，项目列表不会保存。");
    if (l.status != Loaded::Status::Damaged) return l;
    const QString aside = asideName(path);
    QFile file(path);
    if (file.rename(aside)) {
        l.keptAs = aside;
        l.mayOverwrite = true;
        l.message +=
            QStringLiteral("原文件已改名保存为“%1”，内容未作改动；列表中是损坏处之前完好的 %2 个项目。")
                .arg(aside)
                .arg(l.records.size());
    } else {
        l.message +=
            QStringLiteral("无法把它改名保存（%1），为免覆盖它，项目列表不会保存。").arg(file.errorString());
    }
    return l;
}

bool save(const QString& path, const std::vector<ProjectRecord>& records, QString* error) {
    return atomicfile::save(path, encode(records), error);
}

}  // namespace evafile
