#include "generation/ray_run.h"

#include <array>

#include "controls/failure.h"
#include "distributions/distribution_file.h"
#include "generation/emission.h"
#include "generation/flux.h"
#include "output/file_sink.h"
#include "output/ray_format.h"

namespace lumiva {

namespace {

constexpr double kFluxMultiplier = 1;

void writeRays(const RunParameters& p, const std::array<Distribution, 4>& tables, FileSink& sink,
               const RunCallbacks& callbacks) {
    RandomSource random(p.seed);
    SobolStream sobol(kSobolRunStartSeed);
    FluxWeighting flux(p, tables[kAngularY], tables[kAngularX]);
    const std::int64_t n = p.rayCount;
    std::int64_t shown = -1;
    for (std::int64_t i = 1; i <= n; ++i) {
        const std::int64_t permille = (i * 1000) / n;
        if (permille != shown && callbacks.progress) {
            shown = permille;
            callbacks.progress(static_cast<int>(permille));
        }
        const EmissionPoint point = drawEmissionPoint(p, random, sobol);
        const EmissionDirection direction = drawEmissionDirection(p, random, sobol);
        const double intensity = flux.relativeIntensity(direction);
        const double fields[7] = {point.x,     point.y,     point.z,
                                  direction.L, direction.M, direction.N,
                                  intensity * kFluxMultiplier};
        sink.commit(formatRayLine(fields, sink.reserve(kMaxRayLineChars)));
    }
}

}  // namespace

RunSummary generateRaySet(const RunParameters& p, char decimalSeparator,
                          const RunCallbacks& callbacks) {
    if (p.rayCount < 1) throw Failure("The number of rays must be at least 1");
    FileSink sink(p.outputPath);

    // Read in picker order; a failure here leaves the file created or emptied, as the
    // run has always done, but closed.
    std::array<Distribution, 4> tables;
    for (int slot = kAngularY; slot <= kSpatialX; ++slot)
        if (!(p.readOnlyGivenDistributionFiles && p.distributionFiles[slot].empty()))
            tables[slot] = readDistributionFile(p.distributionFiles[slot], decimalSeparator,
                                            kRunTableCapacity);

    try {
        const HeaderCounts counts{static_cast<std::int64_t>(tables[kSpatialX].count()),
                                  static_cast<std::int64_t>(tables[kSpatialY].count()),
                                  static_cast<std::int64_t>(tables[kAngularY].count())};
        sink.write(rayHeader(p.format, p.rayCount, counts));
        if (callbacks.writingStarted) callbacks.writingStarted();
        writeRays(p, tables, sink, callbacks);
        sink.close();
    } catch (const Failure& failure) {
        const bool removed = sink.discard();
        throw Failure(std::string(failure.what()) +
                      (removed ? "; the incomplete ray set " + p.outputPath + " was removed"
                               : "; the ray set " + p.outputPath + " is incomplete"));
    } catch (...) {
        sink.discard();
        throw;
    }
    return RunSummary{p.rayCount, sink.bytesWritten()};
}

}  // namespace lumiva
