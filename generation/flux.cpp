#include "generation/flux.h"

#include <algorithm>
#include <cmath>

namespace lumiva {

namespace {

constexpr double kHalfPi = 1.5707963267948966;

// The segment j with A[j] < alpha ≤ A[j+1] and its fraction t; the last match wins.
// Abscissae that never decrease leave at most one such segment, the one just before the
// first abscissa not below alpha, which a binary search finds; any other table is searched
// whole.
template <typename Value>
bool lookUpSegment(const Distribution& d, bool ascending, double alpha, Value value,
                   double& found) {
    const std::size_t n = d.count();
    const double* a = d.abscissae.data();
    if (ascending) {
        const std::size_t m = static_cast<std::size_t>(std::lower_bound(a, a + n, alpha) - a);
        if (m == 0 || m == n) return false;
        const std::size_t j = m - 1;
        const double t = (alpha - a[j]) / (a[j + 1] - a[j]);
        found = value(d.ordinates[j], d.ordinates[j + 1], t);
        return true;
    }
    bool any = false;
    for (std::size_t j = 0; j + 1 < n; ++j) {
        if (a[j] < alpha && alpha <= a[j + 1]) {
            const double t = (alpha - a[j]) / (a[j + 1] - a[j]);
            found = value(d.ordinates[j], d.ordinates[j + 1], t);
            any = true;
        }
    }
    return any;
}

// Whether every abscissa is at least the one before (a NaN never is).
bool ascending(const Distribution& d) {
    for (std::size_t j = 0; j + 1 < d.count(); ++j)
        if (!(d.abscissae[j] <= d.abscissae[j + 1])) return false;
    return true;
}

}  // namespace

FluxWeighting::FluxWeighting(const RunParameters& p, const Distribution& angularY,
                             const Distribution& angularX)
    : p_(p),
      y_(angularY),
      x_(angularX),
      yAscending_(ascending(angularY)),
      xAscending_(ascending(angularX)) {}

double extendedPower(double base, double exponent) {
    if (exponent == 0) return 1;
    if (base == 0) return 0;
    return static_cast<double>(
        std::exp(std::log(static_cast<long double>(base)) * static_cast<long double>(exponent)));
}

double FluxWeighting::relativeIntensity(double theta, double phi) {
    EmissionDirection d;
    d.theta = theta;
    d.phi = phi;
    d.sinPhi = std::sin(phi);
    d.cosPhi = std::cos(phi);
    d.N = std::cos(theta);
    return relativeIntensity(d);
}

double FluxWeighting::relativeIntensity(const EmissionDirection& d) {
    if (!carriesOver()) return weightOf(d);
    const ProfileLookup found = lookUp(d);
    if (found.foundY) iy_ = found.y;
    if (found.foundX) ix_ = found.x;
    return userWeight(iy_, ix_, d.phi);
}

double FluxWeighting::weightOf(const EmissionDirection& d) const {
    switch (p_.angularType) {
        case AngularType::Lambertian:
            return d.N;
        case AngularType::Uniform:
            return 100.0 / static_cast<double>(p_.rayCount);
        case AngularType::Gaussian: {
            const double u = extendedPower(std::fabs(d.theta * d.sinPhi) / p_.gx, 2 * p_.sgx);
            const double w = extendedPower(std::fabs(d.theta * d.cosPhi) / p_.gy, 2 * p_.sgy);
            return 100 * std::exp(-2 * (u + w));
        }
        case AngularType::UserDefined: {
            const ProfileLookup found = lookUp(d);
            return userWeight(found.foundY ? found.y : 0, found.foundX ? found.x : 0, d.phi);
        }
    }
    return 0;
}

ProfileLookup FluxWeighting::lookUp(const EmissionDirection& d) const {
    double alphaY;
    double alphaX;
    if (p_.symmetry == Symmetry::Elliptical) {
        alphaY = alphaX = d.theta * 180 * (1 / kPi);
    } else {
        alphaY = d.theta * d.cosPhi * 180 * (1 / kPi);
        alphaX = d.theta * d.sinPhi * 180 * (1 / kPi);
    }
    // The Y lookup cuts its result to a whole number; the X lookup cuts only the step.
    ProfileLookup found;
    found.foundY = lookUpSegment(
        y_, yAscending_, std::fabs(alphaY),
        [](double o0, double o1, double t) { return std::fabs(std::trunc(o0 + (o1 - o0) * t)); },
        found.y);
    found.foundX = lookUpSegment(
        x_, xAscending_, std::fabs(alphaX),
        [](double o0, double o1, double t) { return o0 + std::trunc(o1 - o0) * t; }, found.x);
    return found;
}

double FluxWeighting::userWeight(double iy, double ix, double phi) const {
    if (p_.symmetry == Symmetry::Rectangular) return iy * ix;
    const double c = std::sin(phi + kHalfPi);
    return c * (iy - ix) * c + ix;
}

}  // namespace lumiva
