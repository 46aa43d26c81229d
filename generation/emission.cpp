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

// (t / a)², where a zero aperture admits only the transverse angle 0.
double apertureRatio(double t, double a) {
    if (a == 0) return t == 0 ? 0.0 : std::numeric_limits<double>::infinity();
    return (t * t) / (a * a);
}

}  // namespace

bool insideEllipse(const RunParameters& p, const EmissionPoint& point) {
    return (point.x * point.x) / (p.xSize * p.xSize) + (point.y * point.y) / (p.ySize * p.ySize) <=
           0.25;
}

PointSampler::PointSampler(const RunParameters& p) : p_(p) {
    // With both squared sizes and their reciprocals normal doubles, x²·(1/X²) + y²·(1/Y²)
    // lies within 5 ulp (relative) of the exact test's sum, far inside the 2^-40 margin.
    const double xx = p.xSize * p.xSize, yy = p.ySize * p.ySize;
    if (std::isnormal(xx) && std::isnormal(yy) && std::isnormal(1 / xx) && std::isnormal(1 / yy)) {
        reciprocals_ = true;
        reciprocalX_ = 1 / xx;
        reciprocalY_ = 1 / yy;
    }
}

bool PointSampler::inside(const EmissionPoint& point) const {
    if (reciprocals_) {
        const double sum = point.x * point.x * reciprocalX_ + point.y * point.y * reciprocalY_;
        if (sum < 0.25 * (1 - 0x1p-40)) return true;
        if (sum > 0.25 * (1 + 0x1p-40)) return false;
    }
    return insideEllipse(p_, point);
}

EmissionPoint PointSampler::draw(RandomSource& random, SobolStream& sobol) const {
    EmissionPoint point;
    randomCandidate(p_, random, point);
    if (p_.spatialSmoothing) sobolCandidate(p_, sobol, point);
    // A zero size makes the emitter a segment or a point, which every candidate lies on.
    if (p_.shape == Shape::Rectangular || p_.xSize == 0 || p_.ySize == 0) return point;
    for (int redraw = 0; redraw < kMaxEllipseRedraws && !inside(point); ++redraw) {
        sobolCandidate(p_, sobol, point);
        if (!p_.spatialSmoothing) randomCandidate(p_, random, point);
    }
    return point;
}

EmissionPoint drawEmissionPoint(const RunParameters& p, RandomSource& random, SobolStream& sobol) {
    return PointSampler(p).draw(random, sobol);
}

bool insideAperture(const RunParameters& p, double theta, double sinPhi, double cosPhi) {
    if (p.naLimits == NaLimits::Ellipse)
        return apertureRatio(theta * sinPhi, p.ax) + apertureRatio(theta * cosPhi, p.ay) <= 1;
    return std::fabs(sinPhi) * theta < p.ax && std::fabs(cosPhi) * theta < p.ay;
}

GridTrigonometry::GridTrigonometry(const RunParameters& p)
    : azimuths_(kGridResolution), polars_(kGridResolution) {
    const double cosThetaMax = std::cos(p.thetaMax);
    for (std::uint32_t k = 0; k < kGridResolution; ++k) {
        const double g = RandomSource::gridFractionOf(k);
        const double phi = g * p.extent;
        azimuths_[k] = {std::sin(phi), std::cos(phi)};
        const double theta = std::acos(1 - g * (1 - cosThetaMax));
        polars_[k] = {theta, std::sin(theta), std::cos(theta)};
    }
}

namespace {

// The least cos θ at which every azimuth passes the aperture test (above 1, so never, when
// the limits are too small to make such a bound safe). θ ≤ min(ax, ay) (1 - 2^-20) passes
// either test for every φ: |sin φ|, |cos φ| ≤ 1 and sin²φ + cos²φ ≤ 1 + 4 ulp, so the
// rounding of the test's few operations stays far inside the margin. cos of that bound
// keeps the same margin once the arc cosine's own error (about 1e-16 / sin θ) is taken
// into account, which is why the bound is not used below 1e-3 rad.
double certainCosine(const RunParameters& p) {
    const double smaller = p.ax < p.ay ? p.ax : p.ay;
    return smaller >= 1e-3 ? std::cos(smaller * (1 - 0x1p-20)) : 2;
}

}  // namespace

double exactlyTestedShare(const RunParameters& p) {
    const double cosThetaMax = std::cos(p.thetaMax);
    if (cosThetaMax >= 1) return 0;
    const double share = (certainCosine(p) - cosThetaMax) / (1 - cosThetaMax);
    return share < 0 ? 0 : share > 1 ? 1 : share;
}

DirectionSampler::DirectionSampler(const RunParameters& p, const GridTrigonometry* grid)
    : p_(p), grid_(grid), cosThetaMax_(std::cos(p.thetaMax)), certainCos_(certainCosine(p)) {}

bool DirectionSampler::passes(const DirectionDraw& d) const {
    if (d.cosTheta >= certainCos_) return true;
    if (grid_ && d.phiIndex >= 0) {
        const GridTrigonometry::Azimuth& a = grid_->azimuth(d.phiIndex);
        return insideAperture(p_, grid_->polar(d.thetaIndex).theta, a.sin, a.cos);
    }
    return insideAperture(p_, std::acos(d.cosTheta), std::sin(d.phi), std::cos(d.phi));
}

DirectionDraw DirectionSampler::draw(RandomSource& random, SobolStream& sobol) const {
    const double E = p_.extent;
    DirectionDraw d;
    for (int attempt = 1; attempt <= kMaxDirectionAttempts; ++attempt) {
        const std::uint32_t k1 = random.gridIndex();
        const std::uint32_t k2 = random.gridIndex();
        if (p_.angularSmoothing) {
            float q[2];
            sobol.next(q);
            d.phi = E * static_cast<double>(q[0]);
            d.cosTheta = 1 - (1 - cosThetaMax_) * static_cast<double>(q[1]);
        } else {
            d.phi = RandomSource::gridFractionOf(k1) * E;
            d.cosTheta = 1 - RandomSource::gridFractionOf(k2) * (1 - cosThetaMax_);
            d.phiIndex = static_cast<std::int32_t>(k1);
            d.thetaIndex = static_cast<std::int32_t>(k2);
        }
        if (passes(d)) break;
    }
    return d;
}

EmissionDirection completeDirection(const DirectionDraw& draw, const GridTrigonometry* grid) {
    EmissionDirection d;
    d.phi = draw.phi;
    if (grid && draw.phiIndex >= 0) {
        const GridTrigonometry::Azimuth& a = grid->azimuth(draw.phiIndex);
        const GridTrigonometry::Polar& t = grid->polar(draw.thetaIndex);
        d.theta = t.theta;
        d.sinPhi = a.sin;
        d.cosPhi = a.cos;
        d.L = t.sin * a.sin;
        d.M = t.sin * a.cos;
        d.N = t.cos;
        return d;
    }
    d.theta = std::acos(draw.cosTheta);
    d.sinPhi = std::sin(draw.phi);
    d.cosPhi = std::cos(draw.phi);
    const double sinTheta = std::sin(d.theta);
    d.L = sinTheta * d.sinPhi;
    d.M = sinTheta * d.cosPhi;
    d.N = std::cos(d.theta);
    return d;
}

EmissionDirection drawEmissionDirection(const RunParameters& p, RandomSource& random,
                                        SobolStream& sobol) {
    return completeDirection(DirectionSampler(p).draw(random, sobol));
}

}  // namespace lumiva
