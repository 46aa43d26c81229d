#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <vector>

#include "controls/failure.h"
#include "generation/emission.h"
#include "generation/random_source.h"
#include "generation/run_parameters.h"
#include "generation/sobol.h"

namespace lumiva {
namespace {

// An independent model of the pseudo-random stream: whole numbers 0 ... 2^31 - 1 from
// mt19937, grid fractions from them.
struct ReferenceStream {
    explicit ReferenceStream(std::uint32_t seed) : engine(seed) {}
    double grid() { return (static_cast<double>((engine() >> 1) % 100000) + 1) / 100000.0; }
    std::mt19937 engine;
};

RunParameters parameters(RunSettings s) { return convertRunParameters(s); }

// The window's start values with these aperture limits and azimuth extent.
RunParameters limited(double naX, double naY, NaLimits limits, int extentDegrees = 360,
                      bool angularSmoothing = false) {
    RunSettings s;
    s.naX = naX;
    s.naY = naY;
    s.naLimits = limits;
    s.extentDegrees = extentDegrees;
    s.angularSmoothing = angularSmoothing;
    return convertRunParameters(s);
}

RunSettings wideOpen() {
    RunSettings s;
    s.naX = 1;
    s.naY = 1;
    s.naLimits = NaLimits::Ellipse;  // θmax = π/2, every attempt passes
    s.xSize = 2;
    s.ySize = 4;
    return s;
}

TEST(RandomSource, WholeNumbersAreTheTop31BitsModuloN) {
    RandomSource random(12345);
    std::mt19937 reference(12345);
    for (int i = 0; i < 1000; ++i) {
        const std::uint32_t n = 1 + static_cast<std::uint32_t>(i) * 7919;
        EXPECT_EQ(random.random(n), (reference() >> 1) % n);
    }
    RandomSource big(7);
    for (int i = 0; i < 1000; ++i) EXPECT_LE(big.random(2147483647u), 2147483646u);
}

TEST(RandomSource, TheEngineIsTheStandardMersenneTwister) {
    for (const std::uint32_t seed : {0u, 1u, 5489u, 4294967295u, 20261211u}) {
        Mt19937 engine(seed);
        std::mt19937 standard(seed);
        const int outputs = seed == 1 ? 2000000 : 7000;  // past several regenerations
        for (int i = 0; i < outputs; ++i) ASSERT_EQ(engine(), standard()) << seed << " at " << i;
    }
}

TEST(RandomSource, GridFractionsAreHundredThousandthsUpToOne) {
    RandomSource random(1);
    for (int i = 0; i < 100000; ++i) {
        const double g = random.gridFraction();
        ASSERT_GE(g, 0.00001);
        ASSERT_LE(g, 1.0);
        const double k = g * 100000;
        ASSERT_NEAR(k, std::round(k), 1e-6);
    }
}

TEST(EmissionPoint, RectangularPointsLieOnTheGridAndReachOnlyTheLowerEdge) {
    RunSettings s = wideOpen();
    s.xSize = 1;
    s.ySize = 1;
    const RunParameters p = parameters(s);
    RandomSource random(99);
    SobolStream sobol;
    bool lowerEdge = false;
    for (int i = 0; i < 2000000; ++i) {
        const EmissionPoint point = drawEmissionPoint(p, random, sobol);
        ASSERT_LT(point.x, 0.5);
        ASSERT_GE(point.x, -0.5);
        ASSERT_LT(point.y, 0.5);
        ASSERT_EQ(point.z, 0.0);
        const double k = (0.5 - point.x) * 100000;
        ASSERT_NEAR(k, std::round(k), 1e-6);
        lowerEdge = lowerEdge || point.x == -0.5;
    }
    EXPECT_TRUE(lowerEdge);
    EXPECT_EQ(sobol.seed(), kSobolRunStartSeed);  // no Sobol draw without smoothing
}

TEST(EmissionRay, DrawsThePointBeforeTheDirectionFromOneStream) {
    RunSettings s = wideOpen();
    s.extentDegrees = 270;
    const RunParameters p = parameters(s);
    RandomSource random(4242);
    SobolStream sobol;
    ReferenceStream reference(4242);
    for (int ray = 0; ray < 1000; ++ray) {
        const EmissionPoint point = drawEmissionPoint(p, random, sobol);
        const EmissionDirection d = drawEmissionDirection(p, random, sobol);
        const double g1 = reference.grid(), g2 = reference.grid();
        const double g3 = reference.grid(), g4 = reference.grid();
        ASSERT_EQ(point.x, 2 * 0.5 - g1 * 2);
        ASSERT_EQ(point.y, 4 * 0.5 - g2 * 4);
        ASSERT_EQ(d.phi, g3 * (270 * 0.017453292519943295));
        ASSERT_EQ(d.theta, std::acos(1 - g4 * (1 - std::cos(kPi / 2))));
        ASSERT_EQ(d.L, std::sin(d.theta) * std::sin(d.phi));
        ASSERT_EQ(d.M, std::sin(d.theta) * std::cos(d.phi));
        ASSERT_EQ(d.N, std::cos(d.theta));
    }
}

class SobolRunTest : public ::testing::Test {
protected:
    void SetUp() override { resetSobolForTesting(); }
};

TEST_F(SobolRunTest, SpatialSmoothingTakesTheHalfShiftedSequenceOnlyInTheFirstRun) {
    RunSettings s = wideOpen();
    s.spatialSmoothing = true;
    const RunParameters p = parameters(s);
    RandomSource random(1);
    SobolStream first;
    const EmissionPoint a = drawEmissionPoint(p, random, first);
    EXPECT_EQ(a.x, -0.4140625 * 2);
    EXPECT_EQ(a.y, -0.2578125 * 4);
    EXPECT_EQ(first.seed(), 101);
    SobolStream second;
    const EmissionPoint b = drawEmissionPoint(p, random, second);
    EXPECT_EQ(b.x, 0.0859375 * 2);
    EXPECT_EQ(b.y, 0.2421875 * 4);
}

TEST_F(SobolRunTest, EllipticalRedrawsTakeSobolPointsEvenWithoutSmoothing) {
    RunSettings s = wideOpen();
    s.shape = Shape::Elliptical;
    s.xSize = 3;
    s.ySize = 3;
    const RunParameters p = parameters(s);
    RandomSource random(5);
    SobolStream sobol;
    for (int i = 0; i < 20000; ++i) {
        const EmissionPoint point = drawEmissionPoint(p, random, sobol);
        ASSERT_LE(point.x * point.x + point.y * point.y, 1.5 * 1.5 * (1 + 1e-12));
    }
    // About 1 - π/4 of the first candidates fail and are redrawn at least once.
    const double redraws = sobol.seed() - kSobolRunStartSeed;
    EXPECT_GT(redraws, 20000 * 0.2);
    EXPECT_LT(redraws, 20000 * 0.35);
}

TEST_F(SobolRunTest, AngularSmoothingWithAnEllipseTakesTheRedrawsSeedsFirst) {
    RunSettings s = wideOpen();
    s.shape = Shape::Elliptical;
    s.angularSmoothing = true;
    const RunParameters p = parameters(s);
    RandomSource random(8);
    SobolStream sobol;
    std::int32_t before = sobol.seed();
    for (int i = 0; i < 200; ++i) {
        drawEmissionPoint(p, random, sobol);
        const std::int32_t afterPoint = sobol.seed();
        drawEmissionDirection(p, random, sobol);
        // One Sobol point per attempt, and every attempt passes with these apertures.
        ASSERT_EQ(sobol.seed(), afterPoint + 1);
        ASSERT_GE(afterPoint, before);
        before = sobol.seed();
    }
}

TEST(EmissionPoint, ZeroSizeEllipseIsASegmentAndTakesTheFirstCandidate) {
    for (auto [x, y] : {std::pair{0.0, 2.0}, std::pair{2.0, 0.0}, std::pair{0.0, 0.0}}) {
        RunSettings s = wideOpen();
        s.shape = Shape::Elliptical;
        s.xSize = x;
        s.ySize = y;
        const RunParameters p = parameters(s);
        RandomSource random(3);
        SobolStream sobol;
        for (int i = 0; i < 1000; ++i) {
            const EmissionPoint point = drawEmissionPoint(p, random, sobol);
            ASSERT_FALSE(std::isnan(point.x) || std::isnan(point.y));
            ASSERT_TRUE(x != 0 || point.x == 0.0);
            ASSERT_TRUE(y != 0 || point.y == 0.0);
        }
        EXPECT_EQ(sobol.seed(), kSobolRunStartSeed);
    }
}

struct DirectionCase {
    const char* name;
    double naX, naY;
    NaLimits limits;
    int extent;
    bool (*holds)(const EmissionDirection&);
};

void PrintTo(const DirectionCase& c, std::ostream* out) { *out << c.name; }

class DirectionProperty : public ::testing::TestWithParam<DirectionCase> {};

TEST_P(DirectionProperty, HoldsForEveryDirection) {
    const DirectionCase& c = GetParam();
    const RunParameters p = limited(c.naX, c.naY, c.limits, c.extent);
    RandomSource random(77);
    SobolStream sobol;
    for (int i = 0; i < 20000; ++i) {
        const EmissionDirection d = drawEmissionDirection(p, random, sobol);
        ASSERT_NEAR(d.L * d.L + d.M * d.M + d.N * d.N, 1.0, 1e-12);
        ASSERT_TRUE(c.holds(d)) << c.name << ": L " << d.L << " M " << d.M << " N " << d.N;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, DirectionProperty,
    ::testing::Values(
        DirectionCase{"quarter", 1, 1, NaLimits::Ellipse, 90,
                      [](const EmissionDirection& d) { return d.L >= 0 && d.M >= 0; }},
        DirectionCase{"no extent", 1, 1, NaLimits::Ellipse, 0,
                      [](const EmissionDirection& d) { return d.L == 0 && d.M >= 0; }},
        DirectionCase{"hemisphere", 1, 1, NaLimits::Ellipse, 360,
                      [](const EmissionDirection& d) { return d.N >= 0; }},
        DirectionCase{"closed rectangle", 0, 0, NaLimits::Rectangle, 360,
                      [](const EmissionDirection& d) { return d.L == 0 && d.M == 0 && d.N == 1; }},
        DirectionCase{"ellipse 0.3 x 0.6", 0.3, 0.6, NaLimits::Ellipse, 360,
                      [](const EmissionDirection& d) {
                          const double tx = d.theta * std::sin(d.phi) / std::asin(0.3);
                          const double ty = d.theta * std::cos(d.phi) / std::asin(0.6);
                          return tx * tx + ty * ty <= 1;
                      }},
        DirectionCase{"zero X aperture", 0, 0.5, NaLimits::Ellipse, 360,
                      [](const EmissionDirection& d) {
                          return !std::isnan(d.theta) && d.theta <= std::asin(0.5);
                      }}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ' || ch == '.') ch = '_';
        return name;
    });

TEST(EmissionDirection, WideRectangleLimitsReachBeyondTheHemisphere) {
    const RunParameters p = limited(1, 1, NaLimits::Rectangle);
    EXPECT_NEAR(p.thetaMax, kPi / 2 * std::sqrt(2.0), 1e-15);
    RandomSource random(1);
    SobolStream sobol;
    int backwards = 0;
    for (int i = 0; i < 20000; ++i) backwards += drawEmissionDirection(p, random, sobol).N < 0;
    EXPECT_GT(backwards, 0);
}

TEST(EmissionDirection, ClosedRectangleSpendsAllAttempts) {
    const RunParameters p = limited(0, 0, NaLimits::Rectangle);
    RandomSource random(10);
    SobolStream sobol;
    drawEmissionDirection(p, random, sobol);
    ReferenceStream reference(10);
    for (int i = 0; i < 2 * kMaxDirectionAttempts; ++i) reference.grid();
    EXPECT_EQ(random.gridFraction(), reference.grid());
}

TEST(RunParameters, ConvertsAsTheWindowDoes) {
    RunSettings s;
    s.naX = 0.5;
    s.naY = 0.25;
    s.gxDegrees = 30;
    s.extentDegrees = 180;
    s.naLimits = NaLimits::Ellipse;
    RunParameters p = convertRunParameters(s);
    EXPECT_EQ(p.ax, std::asin(0.5));
    EXPECT_EQ(p.thetaMax, p.ax);
    EXPECT_EQ(p.gx, 30 * kPi * (1.0 / 180));
    EXPECT_EQ(p.extent, 180 * 0.017453292519943295);
    EXPECT_EQ(p.outputPath, "D:\\Program files\\ZEMAX\\Objects\\ray.dat");
    s.naLimits = NaLimits::Rectangle;
    s.format = RaysetFormat::TracePro;
    p = convertRunParameters(s);
    EXPECT_EQ(p.thetaMax, std::sqrt(p.ax * p.ax + p.ay * p.ay));
    EXPECT_EQ(p.outputPath, "C:\\ray1.txt");
}

TEST(RunParameters, AnApertureJustAboveOneInDoublePrecisionIsOne) {
    RunSettings s;
    s.naX = 1.00000001;
    s.naY = 1.00000001;
    const RunParameters p = convertRunParameters(s);
    EXPECT_EQ(p.ax, kPi / 2);
    EXPECT_EQ(p.thetaMax, kPi / 2);
}

TEST(SobolStream, FailsBeforeTheSeedTheGeneratorCannotServe) {
    SobolStream exhausted(kSobolSeedLimit);
    float q[2];
    try {
        exhausted.next(q);
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(),
                     "The Sobol sequence is exhausted after 1073741723 points in this run; use "
                     "fewer rays or turn \"Smooth\" off");
    }
    EXPECT_EQ(exhausted.seed(), kSobolSeedLimit);
}

// The attempts of one direction as the run has always made them, every attempt tested with
// its arc cosine and sines: the model that DirectionSampler must follow draw for draw.
DirectionDraw referenceDirection(const RunParameters& p, ReferenceStream& random,
                                 SobolStream& sobol) {
    const double cosThetaMax = std::cos(p.thetaMax);
    DirectionDraw d;
    for (int attempt = 1; attempt <= kMaxDirectionAttempts; ++attempt) {
        const double g1 = random.grid();
        const double g2 = random.grid();
        d.phi = g1 * p.extent;
        d.cosTheta = 1 - g2 * (1 - cosThetaMax);
        if (p.angularSmoothing) {
            float q[2];
            sobol.next(q);
            d.phi = p.extent * static_cast<double>(q[0]);
            d.cosTheta = 1 - (1 - cosThetaMax) * static_cast<double>(q[1]);
        }
        if (insideAperture(p, std::acos(d.cosTheta), std::sin(d.phi), std::cos(d.phi))) break;
    }
    return d;
}

struct SamplerCase {
    const char* name;
    double naX, naY;
    NaLimits limits;
    bool smooth;
    int draws = 20000;  // fewer where nearly every attempt fails
};

void PrintTo(const SamplerCase& c, std::ostream* out) { *out << c.name; }

class DirectionSamplerTest : public ::testing::TestWithParam<SamplerCase> {};

// Skipping the trigonometry of clearly inside attempts changes neither an accepted
// direction nor how far the sequences advance.
TEST_P(DirectionSamplerTest, DrawsWhatTestingEveryAttemptDraws) {
    const SamplerCase& c = GetParam();
    const RunParameters p = limited(c.naX, c.naY, c.limits, 360, c.smooth);
    const GridTrigonometry grid(p);
    for (const GridTrigonometry* lookUp : {static_cast<const GridTrigonometry*>(nullptr), &grid}) {
        // The Sobol generator is one per process, so the two runs take turns, not draws.
        resetSobolForTesting();
        const DirectionSampler sampler(p, lookUp);
        RandomSource random(2024);
        SobolStream sobol;
        std::vector<DirectionDraw> got;
        for (int i = 0; i < c.draws; ++i) got.push_back(sampler.draw(random, sobol));

        resetSobolForTesting();
        ReferenceStream reference(2024);
        SobolStream referenceSobol;
        for (int i = 0; i < c.draws; ++i) {
            const DirectionDraw want = referenceDirection(p, reference, referenceSobol);
            ASSERT_EQ(got[i].phi, want.phi) << "direction " << i << (lookUp ? ", table" : "");
            ASSERT_EQ(got[i].cosTheta, want.cosTheta) << "direction " << i;
        }
        EXPECT_EQ(sobol.seed(), referenceSobol.seed());
        EXPECT_EQ(random.gridFraction(), reference.grid());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Apertures, DirectionSamplerTest,
    ::testing::Values(SamplerCase{"equal_ellipse", 0.99, 0.99, NaLimits::Ellipse, false},
                      SamplerCase{"equal_ellipse_smooth", 0.5, 0.5, NaLimits::Ellipse, true},
                      SamplerCase{"unequal_ellipse", 0.3, 0.9, NaLimits::Ellipse, false},
                      SamplerCase{"rectangle", 0.7, 0.4, NaLimits::Rectangle, false},
                      SamplerCase{"rectangle_smooth", 0.2, 0.2, NaLimits::Rectangle, true},
                      SamplerCase{"below_the_bound", 0.0005, 0.0005, NaLimits::Ellipse, false},
                      SamplerCase{"zero_x", 0, 0.6, NaLimits::Ellipse, false, 500}),
    [](const auto& info) { return std::string(info.param.name); });

// How many attempts the aperture test must decide with its trigonometry, which is what
// makes a table of it worth building.
TEST(DirectionSampler, ExactlyTestedShareIsTheBandOutsideTheSmallerAperture) {
    struct Case {
        double naX, naY;
        NaLimits limits;
        double low, high;
    };
    const Case cases[] = {{0.99, 0.99, NaLimits::Ellipse, 0, 1e-5},
                          {0.3, 0.95, NaLimits::Ellipse, 0.85, 0.95},
                          {0.7, 0.7, NaLimits::Rectangle, 0.4, 0.6},
                          {0.0005, 0.9, NaLimits::Ellipse, 1, 1},  // below the safe bound
                          {0, 0, NaLimits::Ellipse, 0, 0}};        // every θ is 0
    for (const Case& c : cases) {
        const double share = exactlyTestedShare(limited(c.naX, c.naY, c.limits));
        EXPECT_GE(share, c.low) << c.naX << " x " << c.naY;
        EXPECT_LE(share, c.high) << c.naX << " x " << c.naY;
    }
}

// The table of the grid holds, bit for bit, what the functions give for every index.
TEST(GridTrigonometry, LooksUpWhatTheFunctionsGive) {
    struct Case {
        double naX, naY;
        NaLimits limits;
        int extent;
    };
    for (const Case& c :
         {Case{0.99, 0.99, NaLimits::Ellipse, 360}, Case{0.3, 0.8, NaLimits::Rectangle, 90},
          Case{1, 1, NaLimits::Rectangle, 1}}) {
        const RunParameters p = limited(c.naX, c.naY, c.limits, c.extent);
        const GridTrigonometry grid(p);
        const double cosThetaMax = std::cos(p.thetaMax);
        for (std::int32_t k = 0; k < 100000; ++k) {
            DirectionDraw draw;
            draw.phiIndex = k;
            draw.thetaIndex = (k * 7919 + 13) % 100000;
            draw.phi =
                RandomSource::gridFractionOf(static_cast<std::uint32_t>(draw.phiIndex)) * p.extent;
            draw.cosTheta =
                1 - RandomSource::gridFractionOf(static_cast<std::uint32_t>(draw.thetaIndex)) *
                        (1 - cosThetaMax);
            const EmissionDirection looked = completeDirection(draw, &grid);
            const EmissionDirection called = completeDirection(draw);
            ASSERT_EQ(looked.theta, called.theta) << k;
            ASSERT_EQ(looked.phi, called.phi) << k;
            ASSERT_EQ(looked.sinPhi, called.sinPhi) << k;
            ASSERT_EQ(looked.cosPhi, called.cosPhi) << k;
            ASSERT_EQ(looked.L, called.L) << k;
            ASSERT_EQ(looked.M, called.M) << k;
            ASSERT_EQ(looked.N, called.N) << k;
        }
    }
}

// What makes the skip safe: a polar angle a little inside the smaller aperture passes the
// aperture test whatever the azimuth, rounding included.
TEST(DirectionSampler, AnglesWithinTheBoundPassAtEveryAzimuth) {
    const std::pair<double, double> apertures[] = {{0.001, 0.001}, {0.05, 0.9},        {0.9, 0.05},
                                                   {1.2, 1.2},     {kPi / 2, kPi / 2}, {0.3, 1.5}};
    for (const auto& [ax, ay] : apertures) {
        for (const NaLimits limits : {NaLimits::Ellipse, NaLimits::Rectangle}) {
            RunParameters p;
            p.ax = ax;
            p.ay = ay;
            p.naLimits = limits;
            const double bound = std::acos(std::cos(std::min(ax, ay) * (1 - 0x1p-20)));
            for (int step = 0; step < 20000; ++step) {
                const double phi = step * (2 * kPi / 20000);
                ASSERT_TRUE(insideAperture(p, bound, std::sin(phi), std::cos(phi)))
                    << ax << " x " << ay << " at azimuth " << phi;
            }
        }
    }
}

// The point sampler tells inside from outside as the exact test does, at the rim too, for
// sizes where its reciprocals are exact enough and sizes where it must not use them.
TEST(PointSampler, AgreesWithTheExactTestAtTheRim) {
    const std::pair<double, double> sizes[] = {{1, 1},           {0.5, 0.3},       {3, 0.001},
                                               {1e-150, 2e-150}, {1e-160, 1e-160}, {1e160, 1e160},
                                               {1e-5, 7}};
    for (const auto& [xSize, ySize] : sizes) {
        RunParameters p;
        p.shape = Shape::Elliptical;
        p.xSize = xSize;
        p.ySize = ySize;
        const PointSampler sampler(p);
        for (int step = 0; step < 720; ++step) {
            const double t = step * (kPi / 360);
            for (int ulps = -6; ulps <= 6; ++ulps) {
                const double scale = 1 + ulps * 0x1p-52;
                const EmissionPoint rim{xSize / 2 * std::cos(t) * scale,
                                        ySize / 2 * std::sin(t) * scale, 0};
                ASSERT_EQ(sampler.inside(rim), insideEllipse(p, rim))
                    << xSize << " x " << ySize << " at " << t << ", " << ulps << " ulp";
            }
            const EmissionPoint near{xSize / 2 * std::cos(t) * 0.999, ySize / 2 * std::sin(t), 0};
            ASSERT_EQ(sampler.inside(near), insideEllipse(p, near));
        }
    }
}

// Candidates and redraws follow the one stream exactly as when every candidate is tested
// with the exact divisions.
TEST_F(SobolRunTest, EllipticalPointsAreTheCandidatesTheExactTestAccepts) {
    for (const bool smooth : {false, true}) {
        RunSettings s = wideOpen();
        s.shape = Shape::Elliptical;
        s.xSize = 0.5;
        s.ySize = 0.3;
        s.spatialSmoothing = smooth;
        const RunParameters p = parameters(s);
        resetSobolForTesting();
        const PointSampler sampler(p);
        RandomSource random(31);
        SobolStream sobol;
        std::vector<EmissionPoint> got;
        for (int i = 0; i < 20000; ++i) got.push_back(sampler.draw(random, sobol));

        resetSobolForTesting();
        ReferenceStream reference(31);
        SobolStream referenceSobol;
        const auto sobolCandidate = [&](EmissionPoint& point) {
            float q[2];
            referenceSobol.next(q);
            point.x = p.xSize * 0.5 - p.xSize * static_cast<double>(q[0]);
            point.y = p.ySize * 0.5 - p.ySize * static_cast<double>(q[1]);
        };
        for (int i = 0; i < 20000; ++i) {
            EmissionPoint want;
            const double g1 = reference.grid(), g2 = reference.grid();
            want.x = p.xSize * 0.5 - g1 * p.xSize;
            want.y = p.ySize * 0.5 - g2 * p.ySize;
            if (smooth) sobolCandidate(want);
            for (int redraw = 0; redraw < kMaxEllipseRedraws && !insideEllipse(p, want); ++redraw) {
                sobolCandidate(want);
                if (!smooth) {
                    const double h1 = reference.grid(), h2 = reference.grid();
                    want.x = p.xSize * 0.5 - h1 * p.xSize;
                    want.y = p.ySize * 0.5 - h2 * p.ySize;
                }
            }
            ASSERT_EQ(got[i].x, want.x) << "point " << i;
            ASSERT_EQ(got[i].y, want.y) << "point " << i;
        }
        EXPECT_EQ(sobol.seed(), referenceSobol.seed());
        EXPECT_EQ(random.gridFraction(), reference.grid());
    }
}

}  // namespace
}  // namespace lumiva
