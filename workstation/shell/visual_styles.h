// The visual styles 210 to 218: each maps to a Qt style and a palette.
#pragma once

#include <QString>

namespace looks {

bool isLook(int command);
// The menu text of a style.
QString name(int command);
// The Qt style key a style uses ("Windows" or "Fusion").
QString styleKey(int command);
// Applies a style to the whole application; an unknown id applies the
// default 215. Returns the id applied.
int apply(int command);

}  // namespace looks
