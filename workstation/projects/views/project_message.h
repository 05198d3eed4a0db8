// A message in words of its own (what is wrong with eva.dat or config.ini,
// a key that does not fit), shown like the string-table messages: a plain
// box with the message caption, owned by `parent`.
#pragma once

#include <QString>

class QWidget;

namespace projectmessage {
void show(QWidget* parent, const QString& text);
}
