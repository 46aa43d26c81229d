#pragma once
// Everything a generation run needs, converted once from what the user entered. The
// window and lumiva-gen both fill RunSettings and convert it here, so that the same
// entries give the same run.

#include <array>
#include <cstdint>
#include <string>

#include "output/ray_format.h"

namespace lumiva {

enum class Shape { Rectangular, Elliptical };
enum class AngularType { Lambertian, Uniform, UserDefined, Gaussian };
enum class Symmetry { Elliptical, Rectangular };
enum class NaLimits { Rectangle, Ellipse };

// The start of every run's one Sobol seed variable.
inline constexpr std::int32_t kSobolRunStartSeed = 100;

// The picker order of the distribution files.
enum DistributionSlot { kAngularY = 0, kAngularX = 1, kSpatialY = 2, kSpatialX = 3 };

// The run's entries as numbers, with the window's start values.
struct RunSettings {
    std::int64_t rayCount = 30000;
    double xSize = 0.001;  // mm
    double ySize = 0.001;  // mm
    double naX = 0;
    double naY = 0;
    double gxDegrees = 60;
    double gyDegrees = 60;
    double sgx = 1;
    double sgy = 1;
    std::int32_t extentDegrees = 360;
    Shape shape = Shape::Rectangular;
    bool spatialSmoothing = false;
    bool angularSmoothing = false;
    AngularType angularType = AngularType::UserDefined;
    Symmetry symmetry = Symmetry::Rectangular;
    NaLimits naLimits = NaLimits::Ellipse;
    RaysetFormat format = RaysetFormat::Zemax;
    std::string traceProPath = "C:\\ray1.txt";
    std::string zemaxPath = "D:\\Program files\\ZEMAX\\Objects\\ray.dat";
    std::array<std::string, 4> distributionFiles;  // by DistributionSlot
    std::uint32_t seed = 0;
};

struct RunParameters {
    std::int64_t rayCount = 0;
    double xSize = 0, ySize = 0;  // mm
    double ax = 0, ay = 0;        // aperture half-angles, radians
    double thetaMax = 0;          // largest polar angle drawn, radians
    double gx = 0, gy = 0;        // Gaussian widths, radians
    double sgx = 0, sgy = 0;      // Gaussian shape exponents
    double extent = 0;            // largest azimuth, radians
    Shape shape = Shape::Rectangular;
    bool spatialSmoothing = false;
    bool angularSmoothing = false;
    AngularType angularType = AngularType::Lambertian;
    Symmetry symmetry = Symmetry::Elliptical;
    NaLimits naLimits = NaLimits::Ellipse;
    RaysetFormat format = RaysetFormat::TracePro;
    std::string outputPath;
    std::array<std::string, 4> distributionFiles;
    // The batch command may leave a distribution file out: it is then not read and its
    // count is 0. A window run reads all four, whatever the angular type.
    bool readOnlyGivenDistributionFiles = false;
    std::uint32_t seed = 0;
    // Every run starts its Sobol seed at 100; tests start near the end of the sequence.
    std::int32_t sobolStartSeed = kSobolRunStartSeed;
};

inline constexpr double kPi = 3.141592653589793;

RunParameters convertRunParameters(const RunSettings& settings);

}  // namespace lumiva
