// Test projects as CSV for a spreadsheet: one row per project with every
// stored field and the error count of each answer position. UTF-8 with a byte
// order mark (spreadsheets then read the Chinese headers right), CRLF rows,
// fields quoted where needed. Backs the form's export button and
// "kestrin --export-projects FILE.csv".
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "project_record.h"

namespace projectcsv {

// Header: 机器型号, 信息卡型号, 产品编号, 主板编号, 电源编号, 光电头编号,
// 错误数, 总读卡数, 报错停机数, 错误位置 (as in the list), then one column
// "位置N" per answer position up to the highest one of any project.
QByteArray encode(const std::vector<ProjectRecord>& records);

bool write(const QString& csvPath, const std::vector<ProjectRecord>& records, QString* error = nullptr);

// Exports the projects of eva.dat at `evaPath` without changing it. A
// damaged or unreadable file exports nothing. Returns true on success;
// `message` says what was done or what went wrong.
bool exportProjects(const QString& evaPath, const QString& csvPath, QString* message);

}  // namespace projectcsv
