#include "generation/ray_run.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "controls/failure.h"
#include "distributions/distribution_file.h"
#include "generation/emission.h"
#include "generation/flux.h"
#include "generation/sobol.h"
#include "output/ray_format.h"
#include "test_files.h"

namespace lumiva {
namespace {

namespace fs = std::filesystem;

using test::slurp;

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the last line has no CR LF";
    return lines;
}

class RayRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetSobolForTesting();
        dir_ = test::freshTestFolder();
        write("y.ang", "0 10 20 30 40 50 60 70 80 90 \r\nY\r\n100 98 94 87 77 64 50 34 17 0 \r\n");
        write("x.ang", "0 15 30 45 60 \r\nX\r\n100 90 60 20 0 \r\n");
        write("y.spa", "-1 0 1 \r\n\r\n100 100 100 \r\n");
        write("x.spa", "-1 -0.5 0 0.5 1 \r\n\r\n100 100 100 100 100 \r\n");
        settings_.rayCount = 50;
        settings_.naX = 0.7;
        settings_.naY = 0.5;
        settings_.xSize = 1;
        settings_.ySize = 2;
        settings_.seed = 1234;
        settings_.zemaxPath = path("out.dat");
        settings_.traceProPath = path("out.txt");
        settings_.distributionFiles = {path("y.ang"), path("x.ang"), path("y.spa"), path("x.spa")};
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string run(const RunSettings& s, const RunCallbacks& callbacks = {}) {
        const RunParameters p = convertRunParameters(s);
        generateRaySet(p, '.', callbacks);
        return slurp(p.outputPath);
    }
    std::string failureOf(const RunSettings& s) { return failureOf(convertRunParameters(s)); }
    std::string failureOf(const RunParameters& p, const RunEngine& engine = {}) {
        try {
            generateRaySet(p, '.', {}, engine);
        } catch (const Failure& failure) {
            return failure.what();
        }
        return "<no failure>";
    }

    fs::path dir_;
    RunSettings settings_;
};

TEST_F(RayRunTest, ZemaxRaySetIsTheCountLineAndOneLinePerRay) {
    const std::vector<std::string> lines = crlfLines(run(settings_));
    ASSERT_EQ(lines.size(), 51u);
    EXPECT_EQ(lines[0], "50 4");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), ' '), 6) << lines[i];
        std::istringstream fields(lines[i]);
        std::string x, y, z;
        fields >> x >> y >> z;
        EXPECT_EQ(z, "0.000000e+00");
    }
}

TEST_F(RayRunTest, TraceProHeaderCountsTheThreeFilesAndRayLinesMatchZemax) {
    const std::string zemax = run(settings_);
    settings_.format = RaysetFormat::TracePro;
    const std::string tracePro = run(settings_);
    const std::string header =
        "!! Source file: C:tolvinesk.oml \r\n\r\nTracePro Release: 4 0 0 \r\n"
        "5.000000 ignored \r\n3.000000 ignored \r\n10.000000 ignored \r\n";
    ASSERT_EQ(tracePro.substr(0, header.size()), header);
    EXPECT_EQ(crlfLines(tracePro).size(), 56u);
    EXPECT_EQ(tracePro.substr(header.size()), zemax.substr(zemax.find("\r\n") + 2));
}

TEST_F(RayRunTest, SameSeedSameBytesAndAnotherSeedOthers) {
    for (int option = 0; option < 4; ++option) {
        RunSettings s = settings_;
        s.shape = option % 2 ? Shape::Elliptical : Shape::Rectangular;
        s.angularSmoothing = option == 2;
        s.spatialSmoothing = option == 3;
        resetSobolForTesting();
        const std::string first = run(s);
        resetSobolForTesting();
        EXPECT_EQ(run(s), first) << option;
        s.seed += 1;
        resetSobolForTesting();
        if (option < 2) {
            EXPECT_NE(run(s), first) << option;
        }
    }
}

TEST_F(RayRunTest, ProgressIsReportedInThousandthsOnlyWhenItChanges) {
    struct Case {
        std::int64_t rays;
        std::vector<int> expected;
    };
    std::vector<int> every;
    for (int i = 0; i <= 1000; ++i) every.push_back(i);
    const Case cases[] = {{1, {1000}},
                          {3, {333, 666, 1000}},
                          {4, {250, 500, 750, 1000}},
                          {2000, std::vector<int>(every.begin(), every.end())}};
    for (const Case& c : cases) {
        RunSettings s = settings_;
        s.rayCount = c.rays;
        std::vector<int> seen;
        bool writing = false;
        RunCallbacks callbacks;
        callbacks.writingStarted = [&] { writing = true; };
        callbacks.progress = [&](int permille) {
            EXPECT_TRUE(writing) << "progress before the header";
            seen.push_back(permille);
        };
        run(s, callbacks);
        EXPECT_EQ(seen, c.expected) << c.rays << " rays";
    }
}

TEST_F(RayRunTest, AnOutputThatCannotBeCreatedStopsBeforeAnyDistributionFile) {
    RunSettings s = settings_;
    s.zemaxPath = path("no/such/folder/out.dat");
    s.distributionFiles[kAngularY] = path("missing.ang");
    EXPECT_EQ(failureOf(s), "Cannot create file '" + s.zemaxPath + "': No such file or directory");
}

TEST_F(RayRunTest, ADistributionFailureLeavesTheEmptiedFileAndItsOwnMessage) {
    write("out.dat", "old contents");
    struct Case {
        int slot;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {kSpatialY, "", "Cannot open file "},
        {kSpatialX, path("none.spa"), "Cannot open file " + path("none.spa")},
        {kAngularX, path("y.spa") + "x", "Cannot open file " + path("y.spa") + "x"}};
    for (const Case& c : cases) {
        RunSettings s = settings_;
        s.distributionFiles[c.slot] = c.text;
        EXPECT_EQ(failureOf(s), c.message);
        EXPECT_TRUE(fs::exists(path("out.dat")));
        EXPECT_EQ(fs::file_size(path("out.dat")), 0u);
    }
}

TEST_F(RayRunTest, GivenFilesOnlyCountsTheOthersAsZero) {
    RunParameters p = convertRunParameters(settings_);
    p.format = RaysetFormat::TracePro;
    p.angularType = AngularType::Lambertian;
    p.distributionFiles = {"", "", "", ""};
    p.readOnlyGivenDistributionFiles = true;
    generateRaySet(p, '.', {});
    const std::vector<std::string> lines = crlfLines(slurp(p.outputPath));
    EXPECT_EQ(lines[3], "0.000000 ignored ");
    EXPECT_EQ(lines[5], "0.000000 ignored ");
}

TEST_F(RayRunTest, AFullDeviceFailsTheRunAndIsNotRemoved) {
    RunSettings s = settings_;
    s.rayCount = 200000;
    s.zemaxPath = "/dev/full";
    const std::string message = failureOf(s);
    EXPECT_NE(message.find("No space left on device"), std::string::npos) << message;
    EXPECT_NE(message.find("the ray set /dev/full is incomplete"), std::string::npos) << message;
    EXPECT_TRUE(fs::exists("/dev/full"));
}

TEST_F(RayRunTest, AFailedWriteRemovesTheIncompleteRegularFile) {
    // A file-size limit makes the kernel refuse writes past 64 KiB, as a full disk would.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 65536;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    RunSettings s = settings_;
    s.rayCount = 100000;
    const std::string message = failureOf(s);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_NE(message.find("Cannot write to file '" + s.zemaxPath + "'"), std::string::npos)
        << message;
    EXPECT_NE(message.find("the incomplete ray set " + s.zemaxPath + " was removed"),
              std::string::npos)
        << message;
    EXPECT_FALSE(fs::exists(s.zemaxPath));
}

TEST_F(RayRunTest, RunningOutOfSobolPointsFailsTheRunInsteadOfEndingTheProcess) {
    RunParameters p = convertRunParameters(settings_);
    p.rayCount = 100000;
    p.angularSmoothing = true;
    p.sobolStartSeed = kSobolSeedLimit - 50000;
    EXPECT_EQ(failureOf(p),
              "The Sobol sequence is exhausted after 1073741723 points in this run; use fewer "
              "rays or turn \"Smooth\" off; the incomplete ray set " +
                  p.outputPath + " was removed");
    EXPECT_FALSE(fs::exists(p.outputPath));
}

// The run as one plain loop on one thread, weighing each ray with the carried IY and IX:
// what any spread of the work over blocks and workers must write.
std::string sequentialRun(const RunParameters& p) {
    std::array<Distribution, 4> tables;
    for (int slot = kAngularY; slot <= kSpatialX; ++slot)
        tables[slot] = readDistributionFile(p.distributionFiles[slot], '.', kRunTableCapacity);
    std::string bytes = rayHeader(p.format, p.rayCount,
                                  {static_cast<std::int64_t>(tables[kSpatialX].count()),
                                   static_cast<std::int64_t>(tables[kSpatialY].count()),
                                   static_cast<std::int64_t>(tables[kAngularY].count())});
    RandomSource random(p.seed);
    SobolStream sobol(p.sobolStartSeed);
    FluxWeighting flux(p, tables[kAngularY], tables[kAngularX]);
    for (std::int64_t i = 0; i < p.rayCount; ++i) {
        const EmissionPoint point = drawEmissionPoint(p, random, sobol);
        const EmissionDirection d = drawEmissionDirection(p, random, sobol);
        const double fields[7] = {
            point.x, point.y, point.z, d.L, d.M, d.N, flux.relativeIntensity(d)};
        char line[kMaxRayLineChars];
        bytes.append(line, formatRayLine(fields, line));
    }
    return bytes;
}

// A run's settings as a change of the fixture's: the cases of the tables below.
struct SettingsCase {
    const char* name;
    void (*adjust)(RunSettings&);
};

void PrintTo(const SettingsCase& c, std::ostream* out) { *out << c.name; }

class EngineRun : public RayRunTest, public ::testing::WithParamInterface<SettingsCase> {};

// Blocks of one ray, more workers than processors, and one worker: the same bytes as the
// plain loop. The short profiles leave most angles outside every segment, so most rays
// take IY and IX over from rays before them, often from an earlier block.
TEST_P(EngineRun, WritesWhatTheSequentialLoopWrites) {
    write("short.ang", "0 10 20 \r\n\r\n100 50 10 \r\n");
    RunSettings s = settings_;
    s.rayCount = 3000;
    GetParam().adjust(s);
    const RunParameters p = convertRunParameters(s);
    resetSobolForTesting();
    const std::string expected = sequentialRun(p);
    // The last two look the trigonometry of pseudo-random directions up in the grid table.
    const RunEngine engines[] = {{1, 3}, {7, 2}, {500, 1}, {}, {7, 2, 0, 0}, {500, 1, 0, 0}};
    for (const RunEngine& engine : engines) {
        resetSobolForTesting();
        generateRaySet(p, '.', {}, engine);
        ASSERT_EQ(slurp(p.outputPath), expected)
            << engine.raysPerBlock << " rays a block, " << engine.workers << " workers, table from "
            << engine.tabulateFrom << " rays";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, EngineRun,
    ::testing::Values(
        SettingsCase{
            "user_short_profiles",
            [](RunSettings& s) {
                s.naX = s.naY = 0.99;
                s.distributionFiles[kAngularY] = s.distributionFiles[kAngularX] =
                    (fs::path(s.distributionFiles[kAngularY]).parent_path() / "short.ang").string();
            }},
        SettingsCase{"user_elliptical_smooth",
                     [](RunSettings& s) {
                         s.symmetry = Symmetry::Elliptical;
                         s.shape = Shape::Elliptical;
                         s.angularSmoothing = true;
                         s.naX = 0.95;
                     }},
        SettingsCase{"lambertian_spatial_tracepro",
                     [](RunSettings& s) {
                         s.angularType = AngularType::Lambertian;
                         s.spatialSmoothing = true;
                         s.shape = Shape::Elliptical;
                         s.format = RaysetFormat::TracePro;
                     }},
        SettingsCase{"gaussian_rectangle",
                     [](RunSettings& s) {
                         s.angularType = AngularType::Gaussian;
                         s.naLimits = NaLimits::Rectangle;
                         s.gxDegrees = 15;
                     }}),
    [](const auto& info) { return std::string(info.param.name); });

// A failure on either side of the work ends the run with its message and leaves no thread
// behind, however the work is spread: running out of Sobol points happens while drawing,
// a full device while writing.
TEST_F(RayRunTest, AFailureWhileDrawingOrWritingEndsEverySpreadOfTheWork) {
    const RunEngine engines[] = {{1, 3}, {7, 2}, {8192, 1}};
    for (const RunEngine& engine : engines) {
        RunParameters drawing = convertRunParameters(settings_);
        drawing.rayCount = 1000;
        drawing.angularSmoothing = true;
        drawing.sobolStartSeed = kSobolSeedLimit - 500;
        resetSobolForTesting();
        setSobolLastSeedForTesting(drawing.sobolStartSeed - 1);  // no billion-seed skip ahead
        const std::string whileDrawing = failureOf(drawing, engine);
        EXPECT_NE(whileDrawing.find("The Sobol sequence is exhausted"), std::string::npos)
            << whileDrawing;
        EXPECT_FALSE(fs::exists(drawing.outputPath));

        RunParameters writing = convertRunParameters(settings_);
        writing.rayCount = 20000;
        writing.outputPath = "/dev/full";
        const std::string whileWriting = failureOf(writing, engine);
        EXPECT_NE(whileWriting.find("No space left on device"), std::string::npos) << whileWriting;
    }
}

// Fixed bytes of a few runs, so that any change of the drawing, weighting or formatting
// shows up: the files under tests/data were written by this generator and checked by
// hand for their layout.
class ReferenceRun : public RayRunTest, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(ReferenceRun, WritesTheStoredBytes) {
    RunSettings s = settings_;
    s.rayCount = 40;
    GetParam().adjust(s);
    const std::string bytes = run(s);
    const fs::path reference = fs::path(LUMIVA_TEST_DATA) / GetParam().name;
    if (std::getenv("LUMIVA_WRITE_REFERENCES")) std::ofstream(reference, std::ios::binary) << bytes;
    EXPECT_EQ(bytes, slurp(reference)) << reference;
}

INSTANTIATE_TEST_SUITE_P(Options, ReferenceRun,
                         ::testing::Values(SettingsCase{"ref_user_rect.dat", [](RunSettings&) {}},
                                           SettingsCase{"ref_lambert_tracepro.txt",
                                                        [](RunSettings& s) {
                                                            s.angularType = AngularType::Lambertian;
                                                            s.format = RaysetFormat::TracePro;
                                                        }},
                                           SettingsCase{"ref_gauss_ellipse_angular.dat",
                                                        [](RunSettings& s) {
                                                            s.angularType = AngularType::Gaussian;
                                                            s.gxDegrees = 20;
                                                            s.sgy = 2;
                                                            s.shape = Shape::Elliptical;
                                                            s.angularSmoothing = true;
                                                        }},
                                           SettingsCase{"ref_uniform_spatial_rectangle.dat",
                                                        [](RunSettings& s) {
                                                            s.angularType = AngularType::Uniform;
                                                            s.spatialSmoothing = true;
                                                            s.naLimits = NaLimits::Rectangle;
                                                            s.extentDegrees = 90;
                                                        }},
                                           SettingsCase{"ref_user_elliptical_sym.dat",
                                                        [](RunSettings& s) {
                                                            s.symmetry = Symmetry::Elliptical;
                                                            s.shape = Shape::Elliptical;
                                                        }}));

}  // namespace
}  // namespace lumiva
