// kestrin --export-projects FILE.csv: the project list of eva.dat in the
// working folder as CSV, without a window, for a line's own records.
#include <cstdio>

#include "command_line_actions.h"
#include "file_locations.h"
#include "project_csv.h"

namespace {

int exportProjects(const QString& csvPath) {
    QString message;
    const bool ok = projectcsv::exportProjects(FileLocations::current().evaDat(), csvPath, &message);
    std::fprintf(ok ? stdout : stderr, "%s\n", message.toLocal8Bit().constData());
    return ok ? 0 : 1;
}

const bool registered = registerCommandLineAction(
    {QStringLiteral("export-projects"),
     QStringLiteral("Write the test projects of eva.dat in the working folder to FILE.csv "
                    "(one row per project, every field and the error count of each answer "
                    "position) and exit; needs no display."),
     QStringLiteral("FILE.csv"), exportProjects});

}  // namespace
