#include "project_csv.h"

#include <QFileInfo>
#include <algorithm>

#include "atomic_file.h"
#include "eva_file.h"

namespace projectcsv {
namespace {

const char* const kHeaders[] = {"机器型号",   "信息卡型号", "产品编号", "主板编号",   "电源编号",
                                "光电头编号", "错误数",     "总读卡数", "报错停机数", "错误位置"};

// Quotes a field holding a separator, a quote or a line break. A text that a
// spreadsheet would take for a formula gets a leading apostrophe.
QString field(QString text) {
    if (!text.isEmpty() && QStringLiteral("=+-@").contains(text.front())) text.prepend(u'\'');
    if (text.contains(u',') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r'))
        return u'"' + text.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
    return text;
}

}  // namespace

QByteArray encode(const std::vector<ProjectRecord>& records) {
    int positions = 0;
    for (const ProjectRecord& r : records) positions = std::max(positions, r.errorCounts.highest() + 1);

    QStringList rows;
    QStringList header;
    for (const char* h : kHeaders) header << QString::fromUtf8(h);
    for (int i = 0; i < positions; ++i) header << QStringLiteral("位置%1").arg(i);
    rows << header.join(u',');
    for (const ProjectRecord& r : records) {
        QStringList row;
        for (const QString* s : {&r.machineType, &r.cardType, &r.productNumber, &r.mainboardNumber,
                                 &r.powerNumber, &r.photoHeadNumber})
            row << field(*s);
        row << QString::number(r.totalErrors) << QString::number(r.totalCards) << QString::number(r.stopCount)
            << errorPositionsColumn(r.errorCounts);
        for (int i = 0; i < positions; ++i) row << QString::number(r.errorCounts.at(i));
        rows << row.join(u',');
    }
    return QByteArray("\xEF\xBB\xBF") + (rows.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

bool write(const QString& csvPath, const std::vector<ProjectRecord>& records, QString* error) {
    return atomicfile::save(csvPath, encode(records), error);
}

bool exportProjects(const QString& evaPath, const QString& csvPath, QString* message) {
    if (!QFileInfo::exists(evaPath)) {
        if (message)
            *message = QStringLiteral("没有找到“%1”（项目文件在工作文件夹中）；没有导出。").arg(evaPath);
        return false;
    }
    const evafile::Loaded loaded = evafile::read(evaPath);
    if (loaded.status != evafile::Loaded::Status::Read) {
        if (message) *message = loaded.message + QStringLiteral("没有导出。");
        return false;
    }
    QString error;
    if (!write(csvPath, loaded.records, &error)) {
        if (message) *message = error;
        return false;
    }
    if (message)
        *message = QStringLiteral("已把“%1”中的 %2 个项目导出到“%3”。")
                       .arg(evaPath)
                       .arg(loaded.records.size())
                       .arg(csvPath);
    return true;
}

}  // namespace projectcsv
