#include "generation/flux.h"

#include <cmath>

namespace lumiva {

namespace {

constexpr double kHalfPi = 1.5707963267948966;

// The segment j with A[j] < alpha ≤ A[j+1] and its fraction t; the last match wins.
template <typename Assign>
void lookUp(const Distribution& d, double alpha, Assign assign) {
    const std::size_t n = d.count();
    const double* a = d.abscissae.data();
    for (std::size_t j = 0; j + 1 < n; ++j) {
        if (a[j] < alpha && alpha <= a[j + 1]) {
            const double t = (alpha - a[j]) / (a[j + 1] - a[j]);
            assign(d.ordinates[j], d.ordinates[j + 1], t);
        }
    }
}

}  // namespace

double extendedPower(double base, double exponent) {
    if (exponent == 0) return 1;
    if (base == 0) return 0;
    return static_cast<double>(
        std::exp(std::log(static_cast<long double>(base)) * static_cast<long double>(exponent)));
}

double FluxWeighting::relativeIntensity(double theta, double phi) {
    return weigh(theta, phi, std::sin(phi), std::cos(phi), std::cos(theta));
}

double FluxWeighting::relativeIntensity(const EmissionDirection& d) {
    return weigh(d.theta, d.phi, d.sinPhi, d.cosPhi, d.N);
}

double FluxWeighting::weigh(double theta, double phi, double sinPhi, double cosPhi,
                            double cosTheta) {
    switch (p_.angularType) {
        case AngularType::Lambertian:
            return cosTheta;
        case AngularType::Uniform:
            return 100.0 / static_cast<double>(p_.rayCount);
        case AngularType::Gaussian: {
            const double u = extendedPower(std::fabs(theta * sinPhi) / p_.gx, 2 * p_.sgx);
            const double w = extendedPower(std::fabs(theta * cosPhi) / p_.gy, 2 * p_.sgy);
            return 100 * std::exp(-2 * (u + w));
        }
        case AngularType::UserDefined:
            return userDefined(theta, phi, sinPhi, cosPhi);
    }
    return 0;
}

double FluxWeighting::userDefined(double theta, double phi, double sinPhi, double cosPhi) {
    double alphaY;
    double alphaX;
    if (p_.symmetry == Symmetry::Elliptical) {
        alphaY = alphaX = theta * 180 * (1 / kPi);
    } else {
        alphaY = theta * cosPhi * 180 * (1 / kPi);
        alphaX = theta * sinPhi * 180 * (1 / kPi);
    }
    // The Y lookup cuts its result to a whole number; the X lookup cuts only the step.
    lookUp(y_, std::fabs(alphaY), [this](double o0, double o1, double t) {
        iy_ = std::fabs(std::trunc(o0 + (o1 - o0) * t));
    });
    lookUp(x_, std::fabs(alphaX),
           [this](double o0, double o1, double t) { ix_ = o0 + std::trunc(o1 - o0) * t; });
    if (p_.symmetry == Symmetry::Rectangular) return iy_ * ix_;
    const double c = std::sin(phi + kHalfPi);
    return c * (iy_ - ix_) * c + ix_;
}

}  // namespace lumiva
