#include "generation/emission.h"

#include <cmath>
#include <limits>

#include "controls/failure.h"
#include "generation/sobol.h"

namespace lumiva {

void SobolStream::next(float (&q)[2]) {
    if (seed_ >= kSobolSeedLimit)
        throw Failure("The Sobol sequence is exhausted after " +
                      std::to_string(kSobolSeedLimit - kSobolRunStartSeed) +
                      " points in this run; use fewer rays or turn \"Smooth\" off");
    I4_SOBOL(2, seed_, q);
}

namespace {

void randomCandidate(const RunParameters& p, RandomSource& random, EmissionPoint& point) {
    const double g1 = random.gridFraction();
    const double g2 = random.gridFraction();
    point.x = p.xSize * 0.5 - g1 * p.xSize;
    point.y = p.ySize * 0.5 - g2 * p.ySize;
}

void sobolCandidate(const RunParameters& p, SobolStream& sobol, EmissionPoint& point) {
    float q[2];
    sobol.next(q);
    point.x = p.xSize * 0.5 - p.xSize * static_cast<double>(q[0]);
    point.y = p.ySize * 0.5 - p.ySize * static_cast<double>(q[1]);
}

bool insideEllipse(const RunParameters& p, const EmissionPoint& point) {
    return (point.x * point.x) / (p.xSize * p.xSize) + (point.y * point.y) / (p.ySize * p.ySize) <=
           0.25;
}

// (t / a)², where a zero aperture admits only the transverse angle 0.
double apertureRatio(double t, double a) {
    if (a == 0) return t == 0 ? 0.0 : std::numeric_limits<double>::infinity();
    return (t * t) / (a * a);
}

}  // namespace

EmissionPoint drawEmissionPoint(const RunParameters& p, RandomSource& random, SobolStream& sobol) {
    EmissionPoint point;
    randomCandidate(p, random, point);
    if (p.spatialSmoothing) sobolCandidate(p, sobol, point);
    // A zero size makes the emitter a segment or a point, which every candidate lies on.
    if (p.shape == Shape::Rectangular || p.xSize == 0 || p.ySize == 0) return point;
    for (int redraw = 0; redraw < kMaxEllipseRedraws && !insideEllipse(p, point); ++redraw) {
        sobolCandidate(p, sobol, point);
        if (!p.spatialSmoothing) randomCandidate(p, random, point);
    }
    return point;
}

bool insideAperture(const RunParameters& p, double theta, double sinPhi, double cosPhi) {
    if (p.naLimits == NaLimits::Ellipse)
        return apertureRatio(theta * sinPhi, p.ax) + apertureRatio(theta * cosPhi, p.ay) <= 1;
    return std::fabs(sinPhi) * theta < p.ax && std::fabs(cosPhi) * theta < p.ay;
}

EmissionDirection drawEmissionDirection(const RunParameters& p, RandomSource& random,
                                        SobolStream& sobol) {
    const double E = p.extent;
    const double cosThetaMax = std::cos(p.thetaMax);
    double theta = 0, phi = 0, sinPhi = 0, cosPhi = 1;
    for (int attempt = 1; attempt <= kMaxDirectionAttempts; ++attempt) {
        const double g1 = random.gridFraction();
        const double g2 = random.gridFraction();
        phi = g1 * E;
        theta = std::acos(1 - g2 * (1 - cosThetaMax));
        if (p.angularSmoothing) {
            float q[2];
            sobol.next(q);
            phi = E * static_cast<double>(q[0]);
            theta = std::acos(1 - (1 - cosThetaMax) * static_cast<double>(q[1]));
        }
        sinPhi = std::sin(phi);
        cosPhi = std::cos(phi);
        if (insideAperture(p, theta, sinPhi, cosPhi)) break;
    }
    EmissionDirection d;
    d.theta = theta;
    d.phi = phi;
    d.sinPhi = sinPhi;
    d.cosPhi = cosPhi;
    const double sinTheta = std::sin(theta);
    d.L = sinTheta * sinPhi;
    d.M = sinTheta * cosPhi;
    d.N = std::cos(theta);
    return d;
}

}  // namespace lumiva
