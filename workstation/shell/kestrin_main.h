// The program's body, on an existing QApplication, so that tests can run it
// as the program runs.
#pragma once

#include <QStringList>

#include "pendra_app.h"

// Parses `arguments` (the first is the program), starts the workstation and
// runs its event loop. Returns the exit code: 1 when start-up ended.
int runKestrin(const QStringList& arguments, StartupOptions options = {});
