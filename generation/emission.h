#pragma once
// Where a ray leaves the emitter and in which direction. Points are uniform over the
// emitter's area, directions uniform over solid angle inside the cone θ ≤ θmax, accepted
// inside the aperture limits. One ray draws its point before its direction, from the one
// pseudo-random stream and the one Sobol sequence of the run.

#include <cstdint>
#include <vector>

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
    // The grid indices of the two fractions when the attempt was pseudo-random, else -1.
    std::int32_t phiIndex = -1, thetaIndex = -1;
};

// The trigonometry of a pseudo-random direction depends only on its two grid indices,
// 100000 values each. A long run tabulates it once, from the very calls completeDirection
// makes, so that a lookup gives the same bits as the calls.
class GridTrigonometry {
public:
    explicit GridTrigonometry(const RunParameters& p);

    struct Azimuth {
        double sin, cos;
    };
    struct Polar {
        double theta, sin, cos;
    };
    const Azimuth& azimuth(std::int32_t index) const { return azimuths_[index]; }
    const Polar& polar(std::int32_t index) const { return polars_[index]; }
    // Asks for a draw's entries ahead of use: the tables are far larger than the caches,
    // and a lookup would otherwise wait for memory at every ray.
    void prefetch(const DirectionDraw& draw) const {
        if (draw.phiIndex < 0) return;
        __builtin_prefetch(&azimuths_[draw.phiIndex]);
        __builtin_prefetch(&polars_[draw.thetaIndex]);
    }

private:
    std::vector<Azimuth> azimuths_;
    std::vector<Polar> polars_;
};

// The attempts of one direction, in the run's sequence. Most attempts lie so far inside
// the aperture limits that they pass whatever their azimuth; for those the arc cosine and
// the sines are left to completeDirection. Any other attempt is tested exactly as
// drawEmissionDirection tests it.
class DirectionSampler {
public:
    // With `grid`, the attempts that need testing look their trigonometry up.
    explicit DirectionSampler(const RunParameters& p, const GridTrigonometry* grid = nullptr);
    DirectionDraw draw(RandomSource& random, SobolStream& sobol) const;

private:
    bool passes(const DirectionDraw& d) const;

    const RunParameters& p_;
    const GridTrigonometry* grid_;
    double cosThetaMax_;
    // An attempt whose cosine is at least this passes the aperture test at any azimuth
    // (above 1, so never, when the limits are too small to make such a bound safe).
    double certainCos_;
};

// The share of the attempts of a pseudo-random direction that the aperture test must
// decide with its trigonometry, 0 ... 1: the rest lie clearly inside the limits.
double exactlyTestedShare(const RunParameters& p);

// The whole direction of a draw; with `grid`, a pseudo-random draw is looked up.
EmissionDirection completeDirection(const DirectionDraw& draw,
                                    const GridTrigonometry* grid = nullptr);

// The aperture test on one attempt's angles, given sin φ and cos φ.
bool insideAperture(const RunParameters& p, double theta, double sinPhi, double cosPhi);

}  // namespace lumiva
