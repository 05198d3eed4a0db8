// The subcommands of vazctl. Each runs on a connected library, fills the
// report and returns the program's exit code.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "library.h"
#include "output.h"

namespace vazctl {

enum ExitCode {
    kExitOk = 0,
    kExitUsage = 1,
    kExitLibrary = 2,    // libvaz.so missing or incomplete
    kExitNoReader = 3,   // no reader found, or the connection was lost
    kExitDevice = 4,     // the reader or the library refused a command
    kExitShortDeck = 5,  // `read N`: the hopper ran empty before N cards
};

struct Context {
    const VazApi& api;
    Value& report;
};

// A bad command line; thrown while a subcommand's arguments are parsed,
// before any reader is touched.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A subcommand whose arguments are parsed, ready to run on a connection.
using Prepared = std::function<int(Context&)>;

// Parses the arguments of subcommand `name`; null when there is no such
// subcommand. Throws UsageError.
Prepared PrepareSubcommand(const std::string& name, const std::vector<std::string>& args);

// Set from the SIGINT handler: loops end after the current card.
void RequestStop();

}  // namespace vazctl
