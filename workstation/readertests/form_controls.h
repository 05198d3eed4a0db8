// The controls of a form's dialog resource, made the way every form makes
// them: the text from the string table's dialog texts, the control id as the
// object name.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "string_table.h"

namespace formcontrols {

template <typename Control>
Control* make(QWidget* form, int dialog, int id) {
    auto* c = new Control(form);
    c->setObjectName(QString::number(id));
    if constexpr (!std::is_same_v<Control, QLineEdit>) c->setText(strings::dialogText(dialog, id));
    return c;
}

inline QPushButton* button(QWidget* form, int dialog, int id) {
    return make<QPushButton>(form, dialog, id);
}
inline QLabel* label(QWidget* form, int dialog, int id) {
    return make<QLabel>(form, dialog, id);
}
inline QLineEdit* edit(QWidget* form, int dialog, int id) {
    return make<QLineEdit>(form, dialog, id);
}

// A message box owned by `owner` (a form, the main window) with the
// application's caption (string 103) and the text of string `id`.
void showOwnedMessage(QWidget* owner, int id);

// A message box of the program (its name as the caption) with the text of
// string `id`, shown by the GUI thread; any thread.
void showProgramMessage(int id);

// The integer an edit holds, or `fallback` when it holds no number.
int editNumber(const QLineEdit* edit, int fallback = 0);

}  // namespace formcontrols
