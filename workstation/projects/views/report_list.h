// The look of the forms' report-style lists: grid lines, whole rows
// selected, no row numbers, read-only cells.
#pragma once

class QTableView;

namespace reportlist {
void setReportStyle(QTableView* list);
}
