#pragma once
// The command line of lumiva-gen: one run per process, every run parameter a flag, the
// window's start values as defaults. All options are validated before any work starts.

#include <string>
#include <vector>

#include "generation/run_parameters.h"

namespace lumiva {

struct CliRequest {
    RunSettings settings;
    bool quiet = false;
    bool helpShown = false;  // --help was asked for; `helpText` holds it
    std::string helpText;
};

// Parses the arguments after the program name. Numbers in flags use a point whatever
// the locale; `decimalSeparator` is the regional one, for the configuration and
// distribution files. Throws a Failure with a message for the user on any bad option.
CliRequest parseCommandLine(const std::vector<std::string>& args, char decimalSeparator,
                            std::uint32_t defaultSeed);

// The whole program: parse, run, report. Returns the process exit status.
int runLumivaGen(int argc, char** argv);

}  // namespace lumiva
