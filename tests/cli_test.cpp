#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli_options.h"
#include "cli/config_file.h"
#include "controls/failure.h"
#include "generation/ray_run.h"
#include "generation/sobol.h"
#include "test_files.h"

namespace lumiva {
namespace {

namespace fs = std::filesystem;

using test::slurp;

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = test::freshTestFolder();
        write("a.ang", "0 30 60 90 \r\n\r\n100 80 40 0 \r\n");
        write("b.ang", "0 20 40 \r\n\r\n100 50 0 \r\n");
        write("s.spa", "-1 1 \r\n\r\n100 100 \r\n");
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }

    struct Result {
        int status;
        std::string out, err;
    };
    // Runs lumiva-gen in the test's folder, in a German locale to show that flags keep
    // their point.
    Result gen(const std::string& args, const std::string& env = "LC_ALL=de_DE.UTF-8") {
        const std::string command = "cd " + quoted(dir_.string()) + " && " + env + " " +
                                    quoted(LUMIVA_GEN_PATH) + " " + args +
                                    " > stdout.txt 2> stderr.txt";
        const int raw = std::system(command.c_str());
        Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(path("stdout.txt")),
                 slurp(path("stderr.txt"))};
        return r;
    }

    std::string parseFailure(const std::vector<std::string>& args) {
        try {
            parseCommandLine(args, '.', 0);
        } catch (const Failure& failure) {
            return failure.what();
        }
        return "<no failure>";
    }

    fs::path dir_;
};

TEST_F(CliTest, DefaultsAreTheWindowsStartValues) {
    const CliRequest r =
        parseCommandLine({"-o", "x.dat", "--angular-y", "a", "--angular-x", "b"}, ',', 77);
    const RunSettings defaults;
    EXPECT_EQ(r.settings.rayCount, 30000);
    EXPECT_EQ(r.settings.xSize, 0.001);
    EXPECT_EQ(r.settings.angularType, AngularType::UserDefined);
    EXPECT_EQ(r.settings.symmetry, Symmetry::Rectangular);
    EXPECT_EQ(r.settings.naLimits, NaLimits::Ellipse);
    EXPECT_EQ(r.settings.format, RaysetFormat::Zemax);
    EXPECT_EQ(r.settings.extentDegrees, 360);
    EXPECT_EQ(r.settings.gxDegrees, 60);
    EXPECT_EQ(r.settings.sgy, 1);
    EXPECT_EQ(r.settings.seed, 77u);
    EXPECT_EQ(r.settings.zemaxPath, "x.dat");
    EXPECT_EQ(r.settings.traceProPath, defaults.traceProPath);
    EXPECT_FALSE(r.quiet);
}

TEST_F(CliTest, EveryFlagReachesItsSetting) {
    const CliRequest r = parseCommandLine(
        {"--output", "t.txt",      "--format",    "tracepro",   "-n",          "1000000000",
         "--shape",  "elliptical", "--x-size",    "0.25",       "--y-size",    "1e-1",
         "--type",   "gaussian",   "--symmetry",  "elliptical", "--nax",       "0.5",
         "--nay",    "1",          "--na-limits", "rectangle",  "--extent",    "90",
         "--gx",     "10",         "--gy",        "1000",       "--sgx",       "0",
         "--sgy",    "2.5",        "--spatial-y", "sy",         "--spatial-x", "sx",
         "--smooth", "angular",    "--seed",      "4294967295", "--quiet"},
        ',', 0);
    const RunSettings& s = r.settings;
    EXPECT_EQ(s.format, RaysetFormat::TracePro);
    EXPECT_EQ(s.traceProPath, "t.txt");
    EXPECT_EQ(s.rayCount, 1000000000);
    EXPECT_EQ(s.shape, Shape::Elliptical);
    EXPECT_EQ(s.xSize, 0.25);
    EXPECT_EQ(s.ySize, 0.1);
    EXPECT_EQ(s.angularType, AngularType::Gaussian);
    EXPECT_EQ(s.symmetry, Symmetry::Elliptical);
    EXPECT_EQ(s.naX, 0.5);
    EXPECT_EQ(s.naY, 1);
    EXPECT_EQ(s.naLimits, NaLimits::Rectangle);
    EXPECT_EQ(s.extentDegrees, 90);
    EXPECT_EQ(s.gxDegrees, 10);
    EXPECT_EQ(s.gyDegrees, 1000);
    EXPECT_EQ(s.sgx, 0);
    EXPECT_EQ(s.sgy, 2.5);
    EXPECT_EQ(s.distributionFiles[kSpatialY], "sy");
    EXPECT_EQ(s.distributionFiles[kSpatialX], "sx");
    EXPECT_TRUE(s.angularSmoothing);
    EXPECT_FALSE(s.spatialSmoothing);
    EXPECT_EQ(s.seed, 4294967295u);
    EXPECT_TRUE(r.quiet);
}

TEST_F(CliTest, RejectsBadOptionsWithoutClamping) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<std::string> ok = {"-o", "x", "--type", "lambertian"};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> all = ok;
        all.insert(all.end(), more.begin(), more.end());
        return all;
    };
    const Case cases[] = {
        {{"--type", "lambertian"}, "option --output is required (or --config with an output path)"},
        {with({"-n", "0"}), "option --rays: 0 is outside 1 ... 1000000000"},
        {with({"-n", "1000000001"}), "option --rays: 1000000001 is outside 1 ... 1000000000"},
        {with({"-n", "1e3"}), "option --rays: '1e3' is not a whole number from 1 to 1000000000"},
        {with({"--nax", "1.5"}), "option --nax: 1.5 is outside 0 ... 1"},
        {with({"--nay", "-0.1"}), "option --nay: -0.1 is outside 0 ... 1"},
        {with({"--nax", "0,5"}), "option --nax: '0,5' is not a valid floating point value"},
        {with({"--extent", "361"}), "option --extent: 361 is outside 0 ... 360"},
        {with({"--extent", "45.5"}), "option --extent: '45.5' is not a whole number from 0 to 360"},
        {with({"--gx", "0.5"}), "option --gx: 0.5 is outside 1 ... 1000"},
        {with({"--sgy", "1001"}), "option --sgy: 1001 is outside 0 ... 1000"},
        {with({"--x-size", "-1"}), "option --x-size: -1 is outside 0 ... 1e+300"},
        {with({"--format", "oslo"}), "option --format: 'oslo' is not one of zemax|tracepro"},
        {with({"--smooth", "both"}), "option --smooth: 'both' is not one of none|spatial|angular"},
        {with({"--seed", "4294967296"}), "option --seed: 4294967296 is outside 0 ... 4294967295"},
        {{"-o", "x"}, "--type user needs both --angular-y and --angular-x"},
        {{"-o", "x", "--angular-y", "a"}, "--type user needs both --angular-y and --angular-x"},
        {{"-o", "", "--type", "lambertian"}, "the output path is empty"},
    };
    for (const Case& c : cases) EXPECT_EQ(parseFailure(c.args), c.message) << c.args.back();
    EXPECT_NE(parseFailure(with({"--no-such-flag"})).find("--no-such-flag"), std::string::npos);
}

std::string configText(std::vector<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::vector<std::string> goodConfig() {
    return {"tp.txt", "zx.dat", "a.ang", "b.ang", "2000000000", "1",   "x",     "x",    "400",
            "x",      "5",      "x",     "-",     "0,25",       "0,5", "s.spa", "s.spa"};
}

TEST_F(CliTest, ConfigurationLinesApplyAsAtStartUpWithClamping) {
    write("lumiva.cfg", configText(goodConfig()) + "line 18 is never read\r\n");
    RunSettings s;
    applyConfigFile(path("lumiva.cfg"), s, ',');
    EXPECT_EQ(s.traceProPath, "tp.txt");
    EXPECT_EQ(s.zemaxPath, "zx.dat");
    EXPECT_EQ(s.distributionFiles[kAngularY], "a.ang");
    EXPECT_EQ(s.distributionFiles[kAngularX], "b.ang");
    EXPECT_EQ(s.rayCount, 1000000000);
    EXPECT_EQ(s.extentDegrees, 360);
    EXPECT_EQ(s.naX, 1);  // 5 is kept at 1
    EXPECT_EQ(s.naY, 0);  // a lone "-" becomes 0
    EXPECT_EQ(s.xSize, 0.25);
    EXPECT_EQ(s.ySize, 0.5);
    EXPECT_EQ(s.distributionFiles[kSpatialX], "s.spa");
}

TEST_F(CliTest, MalformedConfigurationIsAnErrorNamingTheLine) {
    const std::string cfg = path("lumiva.cfg");
    struct Case {
        std::size_t line;  // 0: cut the file to 10 lines
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {0, "", cfg + ", line 11: List index out of bounds (10)"},
        {5, "250 ", cfg + ", line 5: '250 ' is not a valid integer value"},
        {9, "", cfg + ", line 9: '' is not a valid integer value"},
        {11, "", cfg + ", line 11: the aperture is empty"},
        {13, "0.5", cfg + ", line 13: '0.5' is not a valid floating point value"},
        {14, "wide", cfg + ", line 14: 'wide' is not a valid floating point value"},
        {11, "1,00000001", cfg + ", line 11: the aperture 1,00000001 is above 1"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = goodConfig();
        if (c.line == 0)
            lines.resize(10);
        else
            lines[c.line - 1] = c.text;
        write("lumiva.cfg", configText(lines));
        RunSettings s;
        try {
            applyConfigFile(cfg, s, ',');
            ADD_FAILURE() << "no failure for line " << c.line;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.what(), c.message);
        }
    }
    RunSettings s;
    EXPECT_THROW(applyConfigFile(path("none.cfg"), s, '.'), Failure);
}

TEST_F(CliTest, WritesTheSameBytesAsTheRunItDrives) {
    const Result r =
        gen("-o out.dat -n 500 --angular-y a.ang --angular-x b.ang --spatial-y s.spa "
            "--spatial-x s.spa --nax 0.5 --nay 0.4 --seed 99 --smooth spatial");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");  // no progress bar when standard error is no terminal
    EXPECT_NE(r.out.find("lumiva-gen: 500 rays, "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" bytes written to out.dat in "), std::string::npos) << r.out;

    RunSettings s;
    s.rayCount = 500;
    s.distributionFiles = {path("a.ang"), path("b.ang"), path("s.spa"), path("s.spa")};
    s.naX = 0.5;
    s.naY = 0.4;
    s.seed = 99;
    s.spatialSmoothing = true;
    s.zemaxPath = path("direct.dat");
    resetSobolForTesting();
    generateRaySet(convertRunParameters(s), '.', {});
    EXPECT_EQ(slurp(path("out.dat")), slurp(path("direct.dat")));
}

TEST_F(CliTest, ConfigFileSuppliesPathsAndFilesFromItsFolder) {
    write("lumiva.cfg",
          configText({"ray1.txt", "ray.dat", "a.ang", "b.ang", "20", "3500", "0", "0", "360", "0",
                      "0.99", "0", "0.99", "0.5", "0.5", "s.spa", "s.spa"}));
    Result r = gen("--config lumiva.cfg --seed 1 --quiet", "LC_ALL=C");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(slurp(path("ray.dat")).substr(0, 6), "20 4\r\n");
    r = gen("--config lumiva.cfg --format tracepro -n 3 --quiet", "LC_ALL=C");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(slurp(path("ray1.txt")).substr(0, 36), "!! Source file: C:tolvinesk.oml \r\n\r\n");
    // The same file in a comma region fails on its point-written apertures.
    r = gen("--config lumiva.cfg --quiet");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "lumiva-gen: lumiva.cfg, line 11: '0.99' is not a valid floating point value\n");
}

TEST_F(CliTest, FailuresSayLumivaGenAndReportNoSuccess) {
    struct Case {
        std::string args;
        std::string err;
    };
    const Case cases[] = {
        {"-o out.dat --type lambertian --spatial-y missing.spa",
         "lumiva-gen: Cannot open file missing.spa\n"},
        {"-o no/dir/out.dat --type lambertian",
         "lumiva-gen: Cannot create file 'no/dir/out.dat': No such file or directory\n"},
        {"-o /dev/full --type uniform -n 100000",
         "lumiva-gen: Cannot write to file '/dev/full': No space left on device; the ray set "
         "/dev/full is incomplete\n"},
        {"--config none.cfg", "lumiva-gen: Cannot open file none.cfg\n"},
        {"-o x -n many",
         "lumiva-gen: option --rays: 'many' is not a whole number from 1 to "
         "1000000000\n"},
    };
    for (const Case& c : cases) {
        const Result r = gen(c.args);
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
    }
}

TEST_F(CliTest, AReaderThatGoesAwayIsAFailureWithItsMessage) {
    const std::string command = "cd " + quoted(dir_.string()) + " && { " + quoted(LUMIVA_GEN_PATH) +
                                " -o /dev/stdout -n 300000 --type uniform --quiet 2> stderr.txt;"
                                " echo $? > status.txt; } | head -c 100 > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(slurp(path("status.txt")), "1\n");
    EXPECT_EQ(slurp(path("stderr.txt")),
              "lumiva-gen: Cannot write to file '/dev/stdout': Broken pipe; the ray set "
              "/dev/stdout is incomplete\n");
}

TEST_F(CliTest, SameBytesWhicheverVariantOfTheMathLibraryRuns) {
    // The C library picks FMA or plain SSE2 versions of sin, cos and acos by processor;
    // a ray set must not depend on which one a machine gets.
    const std::string args =
        "-n 200000 --type gaussian --nax 0.9 --nay 0.7 --na-limits "
        "rectangle --shape elliptical --seed 11 --quiet -o ";
    ASSERT_EQ(gen(args + "fma.dat").status, 0);
    ASSERT_EQ(
        gen(args + "sse2.dat", "GLIBC_TUNABLES=glibc.cpu.hwcaps=-AVX2,-FMA,-AVX,-FMA4").status, 0);
    EXPECT_TRUE(slurp(path("fma.dat")) == slurp(path("sse2.dat")));
}

TEST_F(CliTest, ShowsAProgressBarOnlyOnATerminal) {
    if (std::system("command -v script > /dev/null") != 0) GTEST_SKIP() << "no script(1) here";
    // script(1) gives the program a terminal and copies what it writes there to a file.
    const std::string command =
        "cd " + quoted(dir_.string()) + " && script -qec " +
        quoted(quoted(LUMIVA_GEN_PATH) + " -o out.dat -n 20000 --type lambertian --seed 5") +
        " terminal.txt < /dev/null > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string screen = slurp(path("terminal.txt"));
    EXPECT_NE(screen.find("] 100.0%"), std::string::npos) << screen;
    EXPECT_NE(screen.find("lumiva-gen: 20000 rays"), std::string::npos) << screen;
    const Result quiet = gen("-o out.dat -n 20000 --type lambertian --seed 5 --quiet");
    EXPECT_EQ(quiet.err + quiet.out, "");
}

TEST_F(CliTest, HelpListsTheFlags) {
    const Result r = gen("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* flag : {"--output", "--rays", "--format", "--smooth", "--seed", "--config"})
        EXPECT_NE(r.out.find(flag), std::string::npos) << flag;
}

}  // namespace
}  // namespace lumiva
