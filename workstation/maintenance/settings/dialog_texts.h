// Building the settings dialogs from their resource texts in the string
// table: static texts, stacked as the resource lays them out, and the
// numbered choice lists.
#pragma once

#include <QString>

class QBoxLayout;
class QComboBox;
class QDialog;
class QLabel;
class QPushButton;
class QWidget;

namespace dialogtexts {

// Names `dlg` by its resource id and gives it its caption.
void nameDialog(QDialog* dlg, int dialog);
// A static text of dialog `dialog` (string table item `item`, negative).
QLabel* staticText(int dialog, int item, QWidget* parent);
// Statics `first` down to `last` (first > last, both negative), one below
// the other without gaps, as a text split over several statics reads as one.
void addStatics(QBoxLayout* layout, int dialog, int first, int last, QWidget* parent);
// The button `id` of dialog `dialog` with its text; it does not take Return
// unless made the default.
QPushButton* button(int dialog, int id, QWidget* parent);
// A drop-down list with the id `controlId` holding "low" .. "high".
QComboBox* numberList(int controlId, int low, int high, QWidget* parent);
// The number the list's chosen entry shows.
int chosenNumber(const QComboBox* list);

}  // namespace dialogtexts
