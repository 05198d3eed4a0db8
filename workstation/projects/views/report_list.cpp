#include "report_list.h"

#include <QHeaderView>
#include <QTableView>

namespace reportlist {

void setReportStyle(QTableView* list) {
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setHighlightSections(false);
    list->horizontalHeader()->setStretchLastSection(false);
    list->setWordWrap(false);
}

}  // namespace reportlist
