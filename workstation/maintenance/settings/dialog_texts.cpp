#include "dialog_texts.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>

#include "string_table.h"

namespace dialogtexts {

QLabel* staticText(int dialog, int item, QWidget* parent) {
    return new QLabel(strings::dialogText(dialog, item), parent);
}

void addStatics(QBoxLayout* layout, int dialog, int first, int last, QWidget* parent) {
    auto* lines = new QVBoxLayout;
    lines->setSpacing(0);
    for (int item = first; item >= last; --item) lines->addWidget(staticText(dialog, item, parent));
    layout->addLayout(lines);
}

QComboBox* numberList(int controlId, int low, int high, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::number(controlId));
    for (int n = low; n <= high; ++n) list->addItem(QString::number(n));
    return list;
}

int chosenNumber(const QComboBox* list) {
    return list->currentText().toInt();
}

}  // namespace dialogtexts
