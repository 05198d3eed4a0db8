// ProjectList: the test projects of the project list form, in list order,
// as a table model with the list's eleven columns. It is the form's only
// store of project data: the form shows it in its list view and hands its
// records to the project dialog; every update and delete is followed by a
// save of eva.dat.
#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <vector>

#include "project_record.h"

class ProjectList : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        ProductNumber,    // "产品编号"
        MachineType,      // "机器型号"
        CardType,         // "信息卡型号"
        Status,           // "状态", always string 115 "待检"
        MainboardNumber,  // "主板编号"
        PowerNumber,      // "电源编号"
        PhotoHeadNumber,  // "光电头编号"
        TotalCards,       // "总读卡数"
        StopCount,        // "报错停机数"
        TotalErrors,      // "错误数"
        ErrorPositions,   // "错误位置", e.g. "4-3;17-1;"
        ColumnCount
    };
    // 100 pixels, centred; the last column 300, left-aligned.
    static int columnWidth(int column) { return column == ErrorPositions ? 300 : 100; }

    explicit ProjectList(QObject* parent = nullptr);

    // Reads eva.dat (evafile::load: a damaged file is moved aside). Returns
    // the message to show, empty when the file was read whole or is missing.
    QString load(const QString& path);
    // Writes every row to the file loaded from; false with the message to show.
    // Refused while a damaged or unreadable file could not be moved aside.
    bool save(QString* message = nullptr);

    const QString& path() const { return path_; }
    const std::vector<ProjectRecord>& records() const { return records_; }
    // The record of `row` for the dialog (cards this run, speed and the
    // positions text cleared); a reset record for a row out of range.
    ProjectRecord record(int row) const;
    // Writes `record` into `row`, appending a row when `row` is negative or
    // beyond the list. Returns the row it landed in.
    int setRecord(int row, const ProjectRecord& record);
    // Deletes the given rows (any order, duplicates and rows out of range
    // ignored), the others keep their order.
    void deleteRows(QList<int> rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    static QString columnText(const ProjectRecord& record, int column);

private:
    std::vector<ProjectRecord> records_;
    QString path_;
    bool mayOverwrite_ = true;
};
