#include "ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

#include "atomic_file.h"
#include "text_codec.h"

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r';
}

struct Line {
    QString text;
    QString eol;  // "\n", "\r\n" or "" (a last line without line break)
};

struct LineInfo {
    enum Kind { Other, Section, Key } kind = Other;
    QString name;
    qsizetype valueStart = 0;  // Key: where the value begins (blanks after "=" skipped)
};

LineInfo classify(const QString& line) {
    LineInfo info;
    qsizetype i = 0;
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i == line.size() || line[i] == u';' || line[i] == u'#') return info;
    if (line[i] == u'[') {
        const qsizetype close = line.lastIndexOf(u']');
        if (close > i) {
            info.kind = LineInfo::Section;
            info.name = line.mid(i + 1, close - i - 1).trimmed();
        }
        return info;
    }
    const qsizetype eq = line.indexOf(u'=', i);
    if (eq < 0) return info;
    info.name = line.mid(i, eq - i).trimmed();
    if (info.name.isEmpty()) return info;
    info.kind = LineInfo::Key;
    info.valueStart = eq + 1;
    while (info.valueStart < line.size() && isBlank(line[info.valueStart])) ++info.valueStart;
    return info;
}

QString valueOf(const QString& line, const LineInfo& info) {
    qsizetype end = line.size();
    while (end > info.valueStart && isBlank(line[end - 1])) --end;
    QString value = line.mid(info.valueStart, end - info.valueStart);
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct Document {
    std::vector<Line> lines;
    textcodec::Encoding encoding = textcodec::Encoding::Utf8;
    bool exact = true;

    static Document fromText(const QString& text) {
        Document doc;
        qsizetype from = 0;
        while (from < text.size()) {
            const qsizetype nl = text.indexOf(u'\n', from);
            if (nl < 0) {
                doc.lines.push_back({text.mid(from), QString()});
                break;
            }
            const bool crlf = nl > from && text[nl - 1] == u'\r';
            const qsizetype end = crlf ? nl - 1 : nl;
            doc.lines.push_back(
                {text.mid(from, end - from), crlf ? QStringLiteral("\r\n") : QStringLiteral("\n")});
            from = nl + 1;
        }
        return doc;
    }

    QString toText() const {
        QString text;
        for (const Line& l : lines) text += l.text + l.eol;
        return text;
    }

    // Line breaks of added lines follow the file's first one.
    QString newline() const {
        for (const Line& l : lines)
            if (!l.eol.isEmpty()) return l.eol;
        return QStringLiteral("\n");
    }

    // Index of the header of the first section called `section`, or -1.
    qsizetype findSection(const QString& section) const {
        for (size_t i = 0; i < lines.size(); ++i) {
            const LineInfo info = classify(lines[i].text);
            if (info.kind == LineInfo::Section && sameName(info.name, section)) return qsizetype(i);
        }
        return -1;
    }

    // The first `key` line of the section whose header is at `header`, or -1;
    // `lastKey` receives the last key line of that section (or the header).
    qsizetype findKey(qsizetype header, const QString& key, qsizetype* lastKey = nullptr) const {
        if (lastKey) *lastKey = header;
        for (size_t i = size_t(header) + 1; i < lines.size(); ++i) {
            const LineInfo info = classify(lines[i].text);
            if (info.kind == LineInfo::Section) break;
            if (info.kind != LineInfo::Key) continue;
            if (sameName(info.name, key)) return qsizetype(i);
            if (lastKey) *lastKey = qsizetype(i);
        }
        return -1;
    }

    void insertAfter(qsizetype index, const QString& text) {
        const QString nl = newline();
        if (index >= 0 && lines[size_t(index)].eol.isEmpty()) lines[size_t(index)].eol = nl;
        lines.insert(lines.begin() + (index + 1), Line{text, nl});
    }
};

enum class ReadStatus { Missing, Unreadable, Read };

ReadStatus readDocument(const QString& path, Document& doc) {
    QFile file(path);
    if (!file.exists()) return ReadStatus::Missing;
    if (!file.open(QIODevice::ReadOnly)) return ReadStatus::Unreadable;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return ReadStatus::Unreadable;
    const textcodec::Decoded decoded = textcodec::decode(bytes);
    doc = Document::fromText(decoded.text);
    doc.encoding = decoded.encoding;
    doc.exact = decoded.exact;
    return ReadStatus::Read;
}

bool hasLineBreak(const QString& s) {
    return s.contains(u'\n') || s.contains(u'\r') || s.contains(QChar(0));
}

// A value that would not read back as written (blanks at its ends, or quotes
// around it that the read drops) is written in double quotes.
QString quotedIfNeeded(const QString& value) {
    if (value.isEmpty()) return value;
    const bool blankEnds = isBlank(value.front()) || isBlank(value.back());
    const bool quoted = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                        value.back() == value.front();
    return blankEnds || quoted ? u'"' + value + u'"' : value;
}

QString nameProblem(const QString& section, const QString& key) {
    if (section.trimmed().isEmpty()) return QStringLiteral("节名为空");
    if (key.trimmed().isEmpty()) return QStringLiteral("键名为空");
    if (hasLineBreak(section) || section.contains(u']'))
        return QStringLiteral("节名“%1”含有换行或“]”").arg(section);
    const QChar first = key.trimmed().front();
    if (hasLineBreak(key) || key.contains(u'=') || first == u'[' || first == u';' || first == u'#')
        return QStringLiteral("键名“%1”含有换行或“=”，或以“[”“;”“#”开头").arg(key);
    return {};
}

}  // namespace

CIni::CIni(QString path, QString readFallback)
    : path_(std::move(path)), readFallback_(std::move(readFallback)) {}

CIni::~CIni() = default;

QString CIni::sourcePath() const {
    if (QFileInfo::exists(path_)) return path_;
    if (!readFallback_.isEmpty() && QFileInfo::exists(readFallback_)) return readFallback_;
    return {};
}

QString CIni::readString(const QString& section, const QString& key) const {
    if (section.trimmed().isEmpty() || key.trimmed().isEmpty()) return {};
    Document doc;
    const QString source = sourcePath();
    if (source.isEmpty() || readDocument(source, doc) != ReadStatus::Read) return {};
    const qsizetype header = doc.findSection(section.trimmed());
    if (header < 0) return {};
    const qsizetype line = doc.findKey(header, key.trimmed());
    if (line < 0) return {};
    const QString& text = doc.lines[size_t(line)].text;
    return valueOf(text, classify(text));
}

int CIni::readInt(const QString& section, const QString& key, int defaultValue) const {
    const QString value = readString(section, key);
    if (value.isEmpty()) return defaultValue;
    qsizetype i = 0;
    bool negative = false;
    if (value[0] == u'-' || value[0] == u'+') negative = value[i++] == u'-';
    long long n = 0;
    for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i) {
        n = n * 10 + (value[i].unicode() - u'0');
        if (n > INT_MAX + 1LL) n = INT_MAX + 1LL;  // clamped below
    }
    if (negative) n = -n;
    return int(std::clamp<long long>(n, INT_MIN, INT_MAX));
}

QStringList CIni::readList(const QString& section, const QString& key) const {
    QStringList pieces;
    for (const QString& piece : readString(section, key).split(u';')) {
        qsizetype b = 0, e = piece.size();
        auto trim = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
        while (b < e && trim(piece[b])) ++b;
        while (e > b && trim(piece[e - 1])) --e;
        if (e > b) pieces << piece.mid(b, e - b);
    }
    return pieces;
}

QStringList CIni::sectionNames() const {
    QStringList names;
    Document doc;
    const QString source = sourcePath();
    if (source.isEmpty() || readDocument(source, doc) != ReadStatus::Read) return names;
    for (const Line& l : doc.lines) {
        const LineInfo info = classify(l.text);
        if (info.kind == LineInfo::Section) names << info.name;
    }
    return names;
}

bool CIni::writeString(const QString& section, const QString& key, const QString& value) {
    lastError_ = nameProblem(section, key);
    if (lastError_.isEmpty() && hasLineBreak(value)) lastError_ = QStringLiteral("值含有换行，无法写成一行");
    if (!lastError_.isEmpty()) return false;

    Document doc;
    const QString source = sourcePath();
    if (!source.isEmpty() && readDocument(source, doc) != ReadStatus::Read) {
        lastError_ = QStringLiteral("无法读取“%1”，为免覆盖其内容，不写入").arg(source);
        return false;
    }
    if (!doc.exact) {
        lastError_ =
            QStringLiteral("“%1”中有既非 UTF-8 也非代码页 936 的字节，为免改动它们，不写入").arg(source);
        return false;
    }

    const QString name = section.trimmed(), keyName = key.trimmed(), shown = quotedIfNeeded(value);
    const qsizetype header = doc.findSection(name);
    if (header >= 0) {
        qsizetype lastKey = header;
        const qsizetype line = doc.findKey(header, keyName, &lastKey);
        if (line >= 0) {
            QString& text = doc.lines[size_t(line)].text;
            text = text.left(classify(text).valueStart) + shown;
        } else {
            doc.insertAfter(lastKey, keyName + u'=' + shown);
        }
    } else {
        qsizetype last = qsizetype(doc.lines.size()) - 1;
        if (last >= 0 && !doc.lines[size_t(last)].text.trimmed().isEmpty())
            doc.insertAfter(last++, QString());
        doc.insertAfter(last, u'[' + name + u']');
        doc.insertAfter(last + 1, keyName + u'=' + shown);
    }

    const std::optional<QByteArray> bytes = textcodec::encode(doc.toText(), doc.encoding);
    if (!bytes) {
        lastError_ = QStringLiteral("“%1”按代码页 936 保存，“%2”中有该代码页无法表示的字符")
                         .arg(source.isEmpty() ? path_ : source, value);
        return false;
    }
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder)) {
        lastError_ = QStringLiteral("无法建立文件夹“%1”").arg(folder);
        return false;
    }
    return atomicfile::save(path_, *bytes, &lastError_);
}

bool CIni::writeInt(const QString& section, const QString& key, int value) {
    return writeString(section, key, QString::number(value));
}
