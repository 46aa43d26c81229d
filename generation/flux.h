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

// What one direction finds in the two angular profiles of a User Defined run: the value of
// the last segment its angle lies in, for each profile that has one.
struct ProfileLookup {
    double y = 0, x = 0;
    bool foundY = false, foundX = false;
};

// Holds the run's last profile lookups IY and IX, which carry over from ray to ray when
// a ray's angle lies in no segment of a profile. Both start at 0 in every run.
class FluxWeighting {
public:
    FluxWeighting(const RunParameters& p, const Distribution& angularY,
                  const Distribution& angularX);

    double relativeIntensity(double theta, double phi);
    // The same for a drawn direction, reusing its sines and cosines.
    double relativeIntensity(const EmissionDirection& d);

    double lastY() const { return iy_; }
    double lastX() const { return ix_; }

    // The same weights in pieces, for a run that weighs blocks of rays in parallel. Only
    // User Defined weights depend on the rays before (through IY and IX); the others are
    // weightOf(d) alone. (weightOf weighs a User Defined direction as a run's first ray.)
    bool carriesOver() const { return p_.angularType == AngularType::UserDefined; }
    double weightOf(const EmissionDirection& d) const;
    ProfileLookup lookUp(const EmissionDirection& d) const;
    // The User Defined weight of a direction with azimuth phi, given the IY and IX in force.
    double userWeight(double iy, double ix, double phi) const;

private:
    const RunParameters& p_;
    const Distribution& y_;
    const Distribution& x_;
    bool yAscending_;
    bool xAscending_;
    double iy_ = 0;
    double ix_ = 0;
};

}  // namespace lumiva
