#include "generation/flux.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <vector>

namespace lumiva {
namespace {

constexpr double kDegree = kPi / 180;

Distribution profile(std::vector<double> abscissae, std::vector<double> ordinates) {
    Distribution d;
    d.abscissae = std::move(abscissae);
    d.ordinates = std::move(ordinates);
    return d;
}

RunParameters typed(AngularType type, Symmetry symmetry = Symmetry::Rectangular) {
    RunSettings s;
    s.angularType = type;
    s.symmetry = symmetry;
    return convertRunParameters(s);
}

TEST(Flux, LambertianIsTheCosine) {
    const RunParameters p = typed(AngularType::Lambertian);
    const Distribution none;
    FluxWeighting flux(p, none, none);
    EXPECT_NEAR(flux.relativeIntensity(60 * kDegree, 1.0), 0.5, 1e-15);
    EXPECT_EQ(flux.relativeIntensity(0, 2.0), 1.0);
}

TEST(Flux, UniformSharesOneHundred) {
    for (auto [n, expected] : {std::pair{30000LL, 100.0 / 30000}, std::pair{1LL, 100.0}}) {
        RunParameters p = typed(AngularType::Uniform);
        p.rayCount = n;
        const Distribution none;
        FluxWeighting flux(p, none, none);
        EXPECT_EQ(flux.relativeIntensity(0.3, 0.2), expected);
    }
}

TEST(Flux, GaussianWithEqualWidthsIsRotationallySymmetric) {
    RunSettings s;
    s.angularType = AngularType::Gaussian;
    s.gxDegrees = s.gyDegrees = 20;
    const RunParameters p = convertRunParameters(s);
    const Distribution none;
    FluxWeighting flux(p, none, none);
    for (double theta : {0.0, 0.1, 0.35, 1.0})
        for (double phi : {0.0, 0.5, 1.5707963267948966, 2.0, 4.0})
            EXPECT_NEAR(flux.relativeIntensity(theta, phi),
                        100 * std::exp(-2 * theta * theta / (p.gx * p.gx)), 1e-12)
                << theta << " " << phi;
    // A ray at the width towards x has 100 e^-2.
    EXPECT_NEAR(flux.relativeIntensity(p.gx, kPi / 2), 100 * std::exp(-2.0), 1e-12);
}

TEST(Flux, ExtendedPowerEdges) {
    EXPECT_EQ(extendedPower(0, 2), 0.0);
    EXPECT_EQ(extendedPower(0, 0), 1.0);
    EXPECT_EQ(extendedPower(0.5, 0), 1.0);
    EXPECT_NEAR(extendedPower(0.5, 2), 0.25, 1e-17);
    EXPECT_NEAR(extendedPower(3, 4), 81, 1e-13);
}

// One segment of each profile from 0 to 40 degrees; elliptical symmetry on the y axis
// (φ = 0) sees only the Y profile, on the x axis only the X profile.
struct LookupCase {
    const char* name;
    double alphaDegrees;
    double y0, y1;  // Y ordinates at 0 and 40 degrees
    double expectedY;
    double x0, x1;
    double expectedX;
};

void PrintTo(const LookupCase& c, std::ostream* out) { *out << c.name; }

class ProfileLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ProfileLookup, CutsYToAWholeNumberAndXOnlyInItsStep) {
    const LookupCase& c = GetParam();
    const RunParameters p = typed(AngularType::UserDefined, Symmetry::Rectangular);
    const Distribution y = profile({0, 40}, {c.y0, c.y1});
    const Distribution x = profile({0, 40}, {c.x0, c.x1});
    FluxWeighting flux(p, y, x);
    // φ = 45 degrees: both transverse angles are θ / √2.
    const double theta = c.alphaDegrees * kDegree * std::sqrt(2.0);
    flux.relativeIntensity(theta, kPi / 4);
    EXPECT_NEAR(flux.lastY(), c.expectedY, 1e-9) << c.name;
    EXPECT_NEAR(flux.lastX(), c.expectedX, 1e-9) << c.name;
    EXPECT_NEAR(flux.relativeIntensity(theta, kPi / 4), c.expectedY * c.expectedX, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Segments, ProfileLookup,
    ::testing::Values(
        // 80 -> 40: at 0.2475 of the segment 70.1, cut to 70 by Y; at 0.26, 69.6 cut to 69.
        LookupCase{"quarter", 9.9, 80, 40, 70, 80, 40, 70.1},
        LookupCase{"cut", 10.4, 80, 40, 69, 80, 40, 69.6},
        // A step of -0.5 is cut to 0: the X lookup gives 100 everywhere in the segment.
        LookupCase{"half step", 20, 100, 99.5, 99, 100, 99.5, 100}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ') ch = '_';
        return name;
    });

// The profile angle of a ray at θ with elliptical symmetry, computed as the lookup does,
// so that a test can put an abscissa exactly on it.
double alphaOf(double theta) { return theta * 180 * (1 / kPi); }

TEST(Flux, AnglesInNoSegmentKeepThePreviousValuesWhichStartAtZero) {
    const RunParameters p = typed(AngularType::UserDefined, Symmetry::Elliptical);
    const Distribution y = profile({alphaOf(0.2), alphaOf(0.3), alphaOf(0.4)}, {100, 43, 10});
    FluxWeighting flux(p, y, y);
    // Along the axis the angle is below the first abscissa: no segment yet, both are 0.
    EXPECT_EQ(flux.relativeIntensity(0, 0), 0.0);
    EXPECT_EQ(flux.lastY(), 0.0);
    flux.relativeIntensity(0.25, 0);
    EXPECT_EQ(flux.lastY(), 71);  // 71.5 cut
    // Exactly the first abscissa falls in no segment; beyond the last neither.
    flux.relativeIntensity(0.2, 0);
    EXPECT_EQ(flux.lastY(), 71);
    flux.relativeIntensity(0.5, 0);
    EXPECT_EQ(flux.lastY(), 71);
    // An angle equal to an upper abscissa belongs to that segment.
    flux.relativeIntensity(0.3, 0);
    EXPECT_EQ(flux.lastY(), 43);
    EXPECT_NEAR(flux.lastX(), 43, 1e-12);

    // The segment search does not stop at a match: with a repeated abscissa the last wins.
    const RunParameters rectangular = typed(AngularType::UserDefined, Symmetry::Rectangular);
    const Distribution twice = profile({0, 20, 0, 20}, {100, 100, 40, 40});
    FluxWeighting repeated(rectangular, twice, twice);
    repeated.relativeIntensity(10 * kDegree * std::sqrt(2.0), kPi / 4);
    EXPECT_NEAR(repeated.lastY(), 40, 1e-9);
}

TEST(Flux, EllipticalSymmetryBlendsYOnTheYAxisAndXOnTheXAxis) {
    const RunParameters p = typed(AngularType::UserDefined, Symmetry::Elliptical);
    const Distribution y = profile({0, 90}, {100, 10});
    const Distribution x = profile({0, 90}, {50, 5});
    FluxWeighting flux(p, y, x);
    const double theta = 30.5 * kDegree;
    EXPECT_NEAR(flux.relativeIntensity(theta, 0), 69, 1e-9);            // 69.5 cut to 69
    EXPECT_NEAR(flux.relativeIntensity(theta, kPi / 2), 34.75, 1e-9);   // 50 - 45 x 30.5 / 90
    EXPECT_NEAR(flux.relativeIntensity(theta, kPi / 4), 51.875, 1e-9);  // halfway blend
}

TEST(Flux, RectangularUserDefinedNearTheAxisApproachesTenThousand) {
    const RunParameters p = typed(AngularType::UserDefined, Symmetry::Rectangular);
    const Distribution flat = profile({0, 10, 90}, {100, 100, 0});
    FluxWeighting flux(p, flat, flat);
    EXPECT_NEAR(flux.relativeIntensity(0.01, 0.7), 10000, 1e-9);
}

// What a profile gives at angle alpha by the rule itself: every segment with
// A[j] < alpha <= A[j+1] is tried and the last one wins.
bool lastSegmentValue(const Distribution& d, double alpha, double& value) {
    bool found = false;
    for (std::size_t j = 0; j + 1 < d.count(); ++j) {
        const double a0 = d.abscissae[j], a1 = d.abscissae[j + 1];
        if (a0 < alpha && alpha <= a1) {
            const double t = (alpha - a0) / (a1 - a0);
            value =
                std::fabs(std::trunc(d.ordinates[j] + (d.ordinates[j + 1] - d.ordinates[j]) * t));
            found = true;
        }
    }
    return found;
}

// Ascending profiles are searched by halving, others whole: the same segment either way,
// at the abscissae themselves, between them, before the first and after the last.
TEST(Flux, EveryProfileFindsTheSegmentTheRuleFinds) {
    const RunParameters p = typed(AngularType::UserDefined, Symmetry::Elliptical);
    std::vector<double> thetas;  // angles whose profile angle is an abscissa exactly
    for (int i = 0; i < 40; ++i) thetas.push_back(0.01 + 0.035 * i);
    const auto abscissaeOf = [&](std::initializer_list<int> picks) {
        std::vector<double> a;
        for (const int i : picks) a.push_back(alphaOf(thetas[static_cast<std::size_t>(i)]));
        return a;
    };
    const Distribution profiles[] = {
        profile(abscissaeOf({0, 3, 7, 12, 20, 39}), {100, 90, 70, 40, 10, 0}),
        profile(abscissaeOf({2, 5, 5, 9, 9, 9, 30}), {100, 80, 60, 50, 40, 30, 5}),  // repeats
        profile(abscissaeOf({0, 20, 10, 30, 5, 39}), {100, 50, 75, 20, 90, 0}),      // unsorted
        profile({-5, 0, 30, 60}, {10, 100, 50, 0}),
        profile({7}, {100}),
        profile({}, {})};
    for (const Distribution& d : profiles) {
        const FluxWeighting flux(p, d, d);
        std::vector<double> angles = thetas;
        for (int i = 0; i < 400; ++i) angles.push_back(i * 0.004);
        for (const double theta : angles) {
            EmissionDirection direction;
            direction.theta = theta;
            const lumiva::ProfileLookup found = flux.lookUp(direction);
            double expected = 0;
            ASSERT_EQ(found.foundY, lastSegmentValue(d, std::fabs(alphaOf(theta)), expected))
                << d.count() << " abscissae, theta " << theta;
            if (found.foundY) {
                ASSERT_EQ(found.y, expected) << "theta " << theta;
            }
        }
    }
}

}  // namespace
}  // namespace lumiva
