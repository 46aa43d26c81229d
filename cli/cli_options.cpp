#include "cli/cli_options.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>

#include "cli/config_file.h"
#include "controls/failure.h"
#include "controls/number_text.h"
#include "generation/ray_run.h"

namespace lumiva {

namespace {

[[noreturn]] void badOption(const std::string& flag, const std::string& why) {
    throw Failure("option " + flag + ": " + why);
}

double flagNumber(const std::string& flag, const std::string& text, double low, double high) {
    double value;
    try {
        value = textToFloat(text, '.');
    } catch (const Failure& failure) {
        badOption(flag, failure.what());
    }
    if (!(value >= low && value <= high)) {
        char range[128];
        std::snprintf(range, sizeof range, "%s is outside %g ... %g", text.c_str(), low, high);
        badOption(flag, range);
    }
    return value;
}

long long flagInteger(const std::string& flag, const std::string& text, long long low,
                      long long high) {
    std::size_t i = 0;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value <= high; ++i)
        value = value * 10 + (text[i] - '0');
    if (text.empty() || i != text.size())
        badOption(flag, "'" + text + "' is not a whole number from " + std::to_string(low) +
                            " to " + std::to_string(high));
    if (value < low || value > high)
        badOption(flag,
                  text + " is outside " + std::to_string(low) + " ... " + std::to_string(high));
    return value;
}

template <typename Enum>
Enum choice(const std::string& flag, const std::string& text,
            const std::vector<std::pair<std::string, Enum>>& names) {
    std::string known;
    for (const auto& [name, value] : names) {
        if (name == text) return value;
        known += (known.empty() ? "" : "|") + name;
    }
    badOption(flag, "'" + text + "' is not one of " + known);
}

}  // namespace

CliRequest parseCommandLine(const std::vector<std::string>& args, char decimalSeparator,
                            std::uint32_t defaultSeed) {
    CLI::App app{"lumiva-gen: writes a ray set (x y z L M N flux per ray) for TracePro or Zemax",
                 "lumiva-gen"};
    std::map<std::string, std::string> text;
    auto value = [&](const std::string& names, const std::string& key, const std::string& help) {
        app.add_option(names, text[key], help)->type_name("");
    };
    value("-o,--output", "output", "ray-set file to write (default: the configuration's path)");
    value("-n,--rays", "rays", "number of rays, 1 ... 1000000000 (30000)");
    value("--format", "format", "zemax|tracepro (zemax)");
    value("--shape", "shape", "emitter shape rectangular|elliptical (rectangular)");
    value("--x-size", "x-size", "emitter X size in mm (0.001)");
    value("--y-size", "y-size", "emitter Y size in mm (0.001)");
    value("--type", "type", "angular type lambertian|uniform|user|gaussian (user)");
    value("--symmetry", "symmetry", "user-defined symmetry elliptical|rectangular (rectangular)");
    value("--nax", "nax", "numerical aperture towards X, 0 ... 1 (0)");
    value("--nay", "nay", "numerical aperture towards Y, 0 ... 1 (0)");
    value("--na-limits", "na-limits", "aperture limits rectangle|ellipse (ellipse)");
    value("--extent", "extent", "angular extent about Z in whole degrees, 0 ... 360 (360)");
    value("--gx", "gx", "Gaussian width towards X in degrees, 1 ... 1000 (60)");
    value("--gy", "gy", "Gaussian width towards Y in degrees, 1 ... 1000 (60)");
    value("--sgx", "sgx", "Gaussian shape exponent towards X, 0 ... 1000 (1)");
    value("--sgy", "sgy", "Gaussian shape exponent towards Y, 0 ... 1000 (1)");
    value("--angular-y", "angular-y", "angular Y distribution file (.ang)");
    value("--angular-x", "angular-x", "angular X distribution file (.ang)");
    value("--spatial-y", "spatial-y", "spatial Y distribution file (.spa)");
    value("--spatial-x", "spatial-x", "spatial X distribution file (.spa)");
    value("--smooth", "smooth", "Sobol smoothing none|spatial|angular (none)");
    value("--seed", "seed", "pseudo-random seed, 0 ... 4294967295 (the current time)");
    value("--config", "config", "start from this configuration file (lumiva.cfg lines)");
    bool quiet = false;
    app.add_flag("-q,--quiet", quiet, "no progress bar and no summary line");

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    CliRequest request;
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        request.helpShown = true;
        request.helpText = app.help();
        return request;
    } catch (const CLI::ParseError& error) {
        throw Failure(error.what());
    }
    auto given = [&](const std::string& key) { return app.count("--" + key) > 0; };
    RunSettings& s = request.settings;
    request.quiet = quiet;
    s.seed = defaultSeed;

    if (given("config")) applyConfigFile(text["config"], s, decimalSeparator);
    if (given("format"))
        s.format = choice<RaysetFormat>(
            "--format", text["format"],
            {{"zemax", RaysetFormat::Zemax}, {"tracepro", RaysetFormat::TracePro}});
    std::string& path = s.format == RaysetFormat::TracePro ? s.traceProPath : s.zemaxPath;
    if (given("output")) {
        path = text["output"];
    } else if (!given("config")) {
        throw Failure("option --output is required (or --config with an output path)");
    }
    if (path.empty()) throw Failure("the output path is empty");
    if (given("rays")) s.rayCount = flagInteger("--rays", text["rays"], 1, 1000000000);
    if (given("shape"))
        s.shape =
            choice<Shape>("--shape", text["shape"],
                          {{"rectangular", Shape::Rectangular}, {"elliptical", Shape::Elliptical}});
    if (given("x-size")) s.xSize = flagNumber("--x-size", text["x-size"], 0, 1e300);
    if (given("y-size")) s.ySize = flagNumber("--y-size", text["y-size"], 0, 1e300);
    if (given("type"))
        s.angularType = choice<AngularType>("--type", text["type"],
                                            {{"lambertian", AngularType::Lambertian},
                                             {"uniform", AngularType::Uniform},
                                             {"user", AngularType::UserDefined},
                                             {"gaussian", AngularType::Gaussian}});
    if (given("symmetry"))
        s.symmetry = choice<Symmetry>(
            "--symmetry", text["symmetry"],
            {{"elliptical", Symmetry::Elliptical}, {"rectangular", Symmetry::Rectangular}});
    if (given("nax")) s.naX = flagNumber("--nax", text["nax"], 0, 1);
    if (given("nay")) s.naY = flagNumber("--nay", text["nay"], 0, 1);
    if (given("na-limits"))
        s.naLimits =
            choice<NaLimits>("--na-limits", text["na-limits"],
                             {{"rectangle", NaLimits::Rectangle}, {"ellipse", NaLimits::Ellipse}});
    if (given("extent"))
        s.extentDegrees =
            static_cast<std::int32_t>(flagInteger("--extent", text["extent"], 0, 360));
    if (given("gx")) s.gxDegrees = flagNumber("--gx", text["gx"], 1, 1000);
    if (given("gy")) s.gyDegrees = flagNumber("--gy", text["gy"], 1, 1000);
    if (given("sgx")) s.sgx = flagNumber("--sgx", text["sgx"], 0, 1000);
    if (given("sgy")) s.sgy = flagNumber("--sgy", text["sgy"], 0, 1000);
    if (given("angular-y")) s.distributionFiles[kAngularY] = text["angular-y"];
    if (given("angular-x")) s.distributionFiles[kAngularX] = text["angular-x"];
    if (given("spatial-y")) s.distributionFiles[kSpatialY] = text["spatial-y"];
    if (given("spatial-x")) s.distributionFiles[kSpatialX] = text["spatial-x"];
    if (given("smooth")) {
        const int smooth =
            choice<int>("--smooth", text["smooth"], {{"none", 0}, {"spatial", 1}, {"angular", 2}});
        s.spatialSmoothing = smooth == 1;
        s.angularSmoothing = smooth == 2;
    }
    if (given("seed"))
        s.seed = static_cast<std::uint32_t>(flagInteger("--seed", text["seed"], 0, 4294967295LL));

    if (s.angularType == AngularType::UserDefined &&
        (s.distributionFiles[kAngularY].empty() || s.distributionFiles[kAngularX].empty()))
        throw Failure("--type user needs both --angular-y and --angular-x");
    if (!(s.xSize >= 0) || !(s.ySize >= 0)) throw Failure("the emitter sizes must not be negative");
    return request;
}

namespace {

class ProgressBar {
public:
    explicit ProgressBar(bool shown) : shown_(shown) {}
    void show(int permille) {
        if (!shown_) return;
        constexpr int kWidth = 40;
        const int filled = permille * kWidth / 1000;
        std::fprintf(stderr, "\r[%.*s%*s] %5.1f%%", filled,
                     "########################################", kWidth - filled, "",
                     permille / 10.0);
        std::fflush(stderr);
        drawn_ = true;
    }
    void finish() {
        if (drawn_) std::fputs("\n", stderr);
        drawn_ = false;
    }

private:
    bool shown_;
    bool drawn_ = false;
};

}  // namespace

int runLumivaGen(int argc, char** argv) {
    // A reader that goes away (a pipe into `head`, say) makes the write fail with its own
    // message instead of ending the process without one.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    const char separator = regionalDecimalSeparator();
    ProgressBar bar(false);
    try {
        const CliRequest request =
            parseCommandLine(args, separator, static_cast<std::uint32_t>(std::time(nullptr)));
        if (request.helpShown) {
            std::fputs(request.helpText.c_str(), stdout);
            return 0;
        }
        bar = ProgressBar(!request.quiet && ::isatty(2));
        RunParameters parameters = convertRunParameters(request.settings);
        parameters.readOnlyGivenDistributionFiles = true;
        const auto start = std::chrono::steady_clock::now();
        RunCallbacks callbacks;
        callbacks.progress = [&bar](int permille) { bar.show(permille); };
        const RunSummary summary = generateRaySet(parameters, separator, callbacks);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        bar.finish();
        if (!request.quiet)
            std::printf("lumiva-gen: %lld rays, %llu bytes written to %s in %.2f s (%.0f rays/s)\n",
                        static_cast<long long>(summary.rays),
                        static_cast<unsigned long long>(summary.bytes),
                        parameters.outputPath.c_str(), seconds,
                        seconds > 0 ? summary.rays / seconds : 0.0);
        if (std::fflush(stdout) != 0) return 1;
        return 0;
    } catch (const std::exception& error) {
        bar.finish();
        std::fprintf(stderr, "lumiva-gen: %s\n", error.what());
        return 1;
    }
}

}  // namespace lumiva
