#pragma once
// A ray's relative intensity, which the run writes as its flux: directions are uniform
// over solid angle, and the angular type shapes the emission through this weight.

#include <cstdint>

#include "distributions/distribution_file.h"
#include "generation/emission.h"
#include "generation/run_parameters.h"

namespace lumiva {

// base raised to exponent as exp(ln(base) × exponent) in extended precision; 0 for a
// base of 0 with a positive exponent, 1 for the exponent 0.
double extendedPower(double base, double exponent);

// Holds the run's last profile lookups IY and IX, which carry over from ray to ray when
// a ray's angle lies in no segment of a profile. Both start at 0 in every run.
class FluxWeighting {
public:
    FluxWeighting(const RunParameters& p, const Distribution& angularY,
                  const Distribution& angularX)
        : p_(p), y_(angularY), x_(angularX) {}

    double relativeIntensity(double theta, double phi);
    // The same for a drawn direction, reusing its sines and cosines.
    double relativeIntensity(const EmissionDirection& d);

    double lastY() const { return iy_; }
    double lastX() const { return ix_; }

private:
    double weigh(double theta, double phi, double sinPhi, double cosPhi, double cosTheta);
    double userDefined(double theta, double phi, double sinPhi, double cosPhi);

    const RunParameters& p_;
    const Distribution& y_;
    const Distribution& x_;
    double iy_ = 0;
    double ix_ = 0;
};

}  // namespace lumiva
