#pragma once
// The ray loop of a generation run, below any window: creates the output file, reads the
// four distribution files, writes the header and N rays, closes the file. The window and
// lumiva-gen both drive this code, so the same parameters and seed give the same bytes.

#include <cstdint>
#include <functional>

#include "generation/run_parameters.h"

namespace lumiva {

struct RunCallbacks {
    // The header is written and the rays follow ("Writing to file...").
    std::function<void()> writingStarted;
    // (i × 1000) div N at the start of ray i, reported only when it changes.
    std::function<void(int permille)> progress;
};

struct RunSummary {
    std::int64_t rays = 0;
    std::uint64_t bytes = 0;
};

// How a run spreads its work. The calling thread draws every ray, in the one sequence;
// worker threads complete the directions, weigh and format blocks of drawn rays, and
// write them in order. The bytes do not depend on these numbers; tests vary them.
struct RunEngine {
    std::size_t raysPerBlock = 8192;
    unsigned workers = 0;  // 0: one per processor, up to 8
    // A pseudo-random run of at least tabulateFrom rays, where at least tabulateShare of
    // the direction attempts need the aperture test's trigonometry, looks the trigonometry
    // up in a table of the grid (300000 function calls once, instead of three or more a
    // ray). The drawing thread's lookups then also bring the entries into the cache for
    // the workers; without them, a worker's lookups cost about what the calls do.
    std::int64_t tabulateFrom = 100000;
    double tabulateShare = 0.01;
};

// Throws a Failure on any error. Once the output file exists, a failure closes it; a
// failure after the header was begun also removes the incomplete ray set (only a regular
// file, never a device or a pipe) and says so in its message.
RunSummary generateRaySet(const RunParameters& p, char decimalSeparator,
                          const RunCallbacks& callbacks = {}, const RunEngine& engine = {});

}  // namespace lumiva
