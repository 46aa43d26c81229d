#pragma once
// "lumiva.cfg": 17 numbered lines, applied in the order the window's start-up applies
// them. The batch command applies them to its run settings; a malformed file is an error.

#include <string>

#include "generation/run_parameters.h"

namespace lumiva {

// Applies the configuration file at `path` to `settings`. Throws a Failure naming the
// file and its line for anything the window would stop its start-up on.
void applyConfigFile(const std::string& path, RunSettings& settings, char decimalSeparator);

}  // namespace lumiva
