// The files the kit writes, each saved through the writer the kit uses for
// it, as kinds for the kill harness; and a plain truncate-then-write of a file
// of the same order of size, which a kill can break, to show what the harness
// catches.
#pragma once

#include <vector>

#include "kill_harness.h"

namespace crashsafe {

// eva.dat (evafile::save), init.ini (CIni), config.ini (EvaConfig's answer
// key), the projects' CSV export (projectcsv::write), the workstation's
// settings (QSettings), and what the forms save through savedfiles::write: a
// table as CSV, a plot as PNG, a format file. Needs a QApplication.
std::vector<FileKind> kitFileKinds();

FileKind truncatingWriter();

}  // namespace crashsafe
