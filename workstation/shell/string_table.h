// The workstation's string table: every message, caption and title the
// shell and the forms show, by resource id.
#pragma once

#include <QString>

namespace strings {

// The text of string `id`; an empty string for an id the table lacks.
QString text(int id);

// The texts of dialog resource `dialog`: item 0 is its caption, a control's
// text is found by the control's id, and the static texts, which carry no id
// of their own, are -1, -2, ... in the order of the resource (top to bottom).
// Empty for an item the dialog lacks.
QString dialogText(int dialog, int item);

// The status-bar prompt of a command ("prompt\ntooltip"), empty when the
// command has none.
QString commandPrompt(int command);

// The file the workstation really loads as its device library.
inline constexpr const char* kDeviceLibraryFile = "libvaz.so";

}  // namespace strings
