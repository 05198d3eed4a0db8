// Options of kestrin that do their work and exit without a window (the
// project export). A form library registers its own from a static
// initialiser, as views do:
//     static const bool registered = registerCommandLineAction({"export-projects",
//         "Write ... and exit.", "FILE.csv", [](const QString& value) { ...; return 0; }});
// kestrin lists them in --help; when one is given it runs it on a
// QCoreApplication (no display needed) and exits with what it returned.
#pragma once

#include <QString>
#include <functional>
#include <vector>

struct CommandLineAction {
    QString name;         // the long option without "--"
    QString description;  // its line in --help
    QString valueName;    // the value it takes
    std::function<int(const QString& value)> run;  // the exit code
};

bool registerCommandLineAction(CommandLineAction action);
const std::vector<CommandLineAction>& commandLineActions();

// Whether `argv` asks for one of them (main decides on the application object by it).
bool wantsCommandLineAction(int argc, char** argv);
