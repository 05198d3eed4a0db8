#include "project_list.h"

#include <algorithm>

#include "eva_file.h"

namespace {

const char* const kHeaders[ProjectList::ColumnCount] = {"产品编号",   "机器型号", "信息卡型号", "状态",
                                                        "主板编号",   "电源编号", "光电头编号", "总读卡数",
                                                        "报错停机数", "错误数",   "错误位置"};

const char kPending[] = "待检";  // string 115

QVariant alignment(int column) {
    return int((column == ProjectList::ErrorPositions ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter);
}

}  // namespace

ProjectList::ProjectList(QObject* parent) : QAbstractTableModel(parent) {}

QString ProjectList::load(const QString& path) {
    evafile::Loaded loaded = evafile::load(path);
    beginResetModel();
    records_.clear();
    for (ProjectRecord& r : loaded.records) records_.push_back(r.stored());
    path_ = path;
    mayOverwrite_ = loaded.mayOverwrite;
    endResetModel();
    return loaded.message;
}

bool ProjectList::save(QString* message) {
    if (!mayOverwrite_) {
        if (message)
            *message = QStringLiteral("“%1”已损坏或无法读取，且未能改名保存；为免覆盖它，项目列表没有保存。")
                           .arg(path_);
        return false;
    }
    QString error;
    const bool ok = evafile::save(path_, records_, &error);
    if (!ok && message) *message = error + QStringLiteral("。项目列表仍在窗口中，没有丢失。");
    return ok;
}

ProjectRecord ProjectList::record(int row) const {
    return row >= 0 && row < int(records_.size()) ? records_[size_t(row)] : ProjectRecord{};
}

int ProjectList::setRecord(int row, const ProjectRecord& record) {
    if (row < 0 || row >= int(records_.size())) {
        row = int(records_.size());
        beginInsertRows({}, row, row);
        records_.push_back(record.stored());
        endInsertRows();
        return row;
    }
    records_[size_t(row)] = record.stored();
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    return row;
}

void ProjectList::deleteRows(QList<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the last row up, so the indexes still to delete stay valid.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        const int row = *it;
        if (row < 0 || row >= int(records_.size())) continue;
        beginRemoveRows({}, row, row);
        records_.erase(records_.begin() + row);
        endRemoveRows();
    }
}

int ProjectList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(records_.size());
}

int ProjectList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString ProjectList::columnText(const ProjectRecord& r, int column) {
    switch (column) {
        case ProductNumber:
            return r.productNumber;
        case MachineType:
            return r.machineType;
        case CardType:
            return r.cardType;
        case Status:
            return QString::fromUtf8(kPending);
        case MainboardNumber:
            return r.mainboardNumber;
        case PowerNumber:
            return r.powerNumber;
        case PhotoHeadNumber:
            return r.photoHeadNumber;
        case TotalCards:
            return QString::number(r.totalCards);
        case StopCount:
            return QString::number(r.stopCount);
        case TotalErrors:
            return QString::number(r.totalErrors);
        case ErrorPositions:
            return errorPositionsColumn(r.errorCounts);
        default:
            return {};
    }
}

QVariant ProjectList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(records_.size()) || index.column() >= ColumnCount) return {};
    if (role == Qt::DisplayRole) return columnText(records_[size_t(index.row())], index.column());
    if (role == Qt::TextAlignmentRole) return alignment(index.column());
    return {};
}

QVariant ProjectList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
    if (role == Qt::DisplayRole) return QString::fromUtf8(kHeaders[section]);
    if (role == Qt::TextAlignmentRole) return alignment(section);
    return {};
}
