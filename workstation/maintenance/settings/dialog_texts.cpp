#include "dialog_texts.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "string_table.h"

namespace dialogtexts {

void nameDialog(QDialog* dlg, int dialog) {
    dlg->setObjectName(QString::number(dialog));
    dlg->setWindowTitle(strings::dialogText(dialog, 0));
}

QLabel* staticText(int dialog, int item, QWidget* parent) {
    return new QLabel(strings::dialogText(dialog, item), parent);
}

void addStatics(QBoxLayout* layout, int dialog, int first, int last, QWidget* parent) {
    auto* lines = new QVBoxLayout;
    lines->setSpacing(0);
    for (int item = first; item >= last; --item) lines->addWidget(staticText(dialog, item, parent));
    layout->addLayout(lines);
}

QPushButton* button(int dialog, int id, QWidget* parent) {
    auto* b = new QPushButton(strings::dialogText(dialog, id), parent);
    b->setObjectName(QString::number(id));
    b->setAutoDefault(false);
    return b;
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
