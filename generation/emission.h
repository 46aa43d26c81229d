#pragma once
// Where a ray leaves the emitter and in which direction. Points are uniform over the
// emitter's area, directions uniform over solid angle inside the cone θ ≤ θmax, accepted
// inside the aperture limits. One ray draws its point before its direction, from the one
// pseudo-random stream and the one Sobol sequence of the run.

#include <cstdint>

#include "generation/random_source.h"
#include "generation/run_parameters.h"

namespace lumiva {

// The highest Sobol seed that the generator serves is 2^30 - 2; a run fails cleanly
// before it would ask for 2^30 - 1, instead of letting the generator end the process.
inline constexpr std::int32_t kSobolSeedLimit = 1073741823;

// The run's one SEED variable: every spatial and angular Sobol draw advances it by one.
class SobolStream {
public:
    explicit SobolStream(std::int32_t seed = kSobolRunStartSeed) : seed_(seed) {}
    // The next two-dimensional point; throws a Failure when the sequence is exhausted.
    void next(float (&q)[2]);
    std::int32_t seed() const { return seed_; }

private:
    std::int32_t seed_;
};

struct EmissionPoint {
    double x = 0, y = 0, z = 0;  // mm
};

struct EmissionDirection {
    double theta = 0, phi = 0;  // polar angle from +z; azimuth from +y towards +x
    double L = 0, M = 0, N = 0;
    double sinPhi = 0, cosPhi = 0;  // kept for the flux, which needs them again
};

inline constexpr int kMaxEllipseRedraws = 9999;
inline constexpr int kMaxDirectionAttempts = 999;

EmissionPoint drawEmissionPoint(const RunParameters& p, RandomSource& random, SobolStream& sobol);
EmissionDirection drawEmissionDirection(const RunParameters& p, RandomSource& random,
                                        SobolStream& sobol);

// Whether a point lies on the elliptical emitter of axes xSize × ySize (rim included).
bool insideEllipse(const RunParameters& p, const EmissionPoint& point);

// The candidates of one emission point, in the run's sequence. A candidate clearly inside
// or outside the ellipse is told by multiplying with reciprocals instead of two divisions;
// one within rounding distance of the rim is tested exactly by insideEllipse.
class PointSampler {
public:
    explicit PointSampler(const RunParameters& p);
    EmissionPoint draw(RandomSource& random, SobolStream& sobol) const;
    // The same answer as insideEllipse, for a candidate of this emitter.
    bool inside(const EmissionPoint& point) const;

private:
    const RunParameters& p_;
    bool reciprocals_ = false;
    double reciprocalX_ = 0, reciprocalY_ = 0;
};

// What a direction takes from the sequences: the azimuth and the cosine whose arc cosine
// is the polar angle. The rest of the direction follows from these two alone, so it can be
// completed later and on another thread, with the very same bytes.
struct DirectionDraw {
    double phi = 0;
    double cosTheta = 1;
};

// The attempts of one direction, in the run's sequence. Most attempts lie so far inside
// the aperture limits that they pass whatever their azimuth; for those the arc cosine and
// the sines are left to completeDirection. Any other attempt is tested exactly as
// drawEmissionDirection tests it.
class DirectionSampler {
public:
    explicit DirectionSampler(const RunParameters& p);
    DirectionDraw draw(RandomSource& random, SobolStream& sobol) const;

private:
    const RunParameters& p_;
    double cosThetaMax_;
    // An attempt whose cosine is at least this passes the aperture test at any azimuth
    // (above 1, so never, when the limits are too small to make such a bound safe).
    double certainCos_;
};

EmissionDirection completeDirection(const DirectionDraw& draw);

// The aperture test on one attempt's angles, given sin φ and cos φ.
bool insideAperture(const RunParameters& p, double theta, double sinPhi, double cosPhi);

}  // namespace lumiva
