#include "command_line_actions.h"

#include <cstring>

namespace {
std::vector<CommandLineAction>& actions() {
    static std::vector<CommandLineAction> a;
    return a;
}
}  // namespace

bool registerCommandLineAction(CommandLineAction action) {
    actions().push_back(std::move(action));
    return true;
}

const std::vector<CommandLineAction>& commandLineActions() {
    return actions();
}

bool wantsCommandLineAction(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        for (const CommandLineAction& a : actions()) {
            const QString option = QStringLiteral("--") + a.name;
            if (arg == option || arg.startsWith(option + u'=')) return true;
        }
    }
    return false;
}
