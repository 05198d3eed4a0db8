// The device library's message boxes as Qt dialogs. The library finds the
// hook vaz_host_message_box in the program's dynamic symbol table.
#pragma once

// Shows a library box on the calling thread's behalf: directly on the GUI
// thread, marshalled to it from any other thread, and as "CAPTION: TEXT" on
// standard error (taking the first button) when no QApplication runs.
// Returns a VazBoxAnswer.
int showLibraryMessageBox(const char* caption, const char* text, int buttons, int icon);
