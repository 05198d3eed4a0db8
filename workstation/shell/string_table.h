// The workstation's string table: every message, caption and title the
// shell and the forms show, by resource id.
#pragma once

#include <QString>

namespace strings {

// The text of string `id`; an empty string for an id the table lacks.
QString text(int id);

// The text a control carries on a form's dialog resource (dialog 320,
// control 1001: "步进进纸"); empty for a control without one.
QString dialogText(int dialog, int control);

// The status-bar prompt of a command ("prompt\ntooltip"), empty when the
// command has none.
QString commandPrompt(int command);

// The file the workstation really loads as its device library.
inline constexpr const char* kDeviceLibraryFile = "libvaz.so";

}  // namespace strings
