#include "generation/run_parameters.h"

#include <algorithm>
#include <cmath>

namespace lumiva {

RunParameters convertRunParameters(const RunSettings& s) {
    RunParameters p;
    p.rayCount = s.rayCount;
    p.xSize = s.xSize;
    p.ySize = s.ySize;
    // An aperture text such as "1.00000001" passes its edit's single-precision check
    // unchanged; as a double it is just above 1, where the arc sine is not a number.
    p.ax = std::asin(std::min(s.naX, 1.0));
    p.ay = std::asin(std::min(s.naY, 1.0));
    p.naLimits = s.naLimits;
    p.thetaMax = p.ay > p.ax ? p.ay : p.ax;
    if (s.naLimits == NaLimits::Rectangle) p.thetaMax = std::sqrt(p.ax * p.ax + p.ay * p.ay);
    p.gx = s.gxDegrees * kPi * (1.0 / 180);
    p.gy = s.gyDegrees * kPi * (1.0 / 180);
    p.sgx = s.sgx;
    p.sgy = s.sgy;
    p.extent = s.extentDegrees * 0.017453292519943295;
    p.shape = s.shape;
    p.spatialSmoothing = s.spatialSmoothing;
    p.angularSmoothing = s.angularSmoothing;
    p.angularType = s.angularType;
    p.symmetry = s.symmetry;
    p.format = s.format;
    p.outputPath = s.format == RaysetFormat::TracePro ? s.traceProPath : s.zemaxPath;
    p.distributionFiles = s.distributionFiles;
    p.seed = s.seed;
    return p;
}

}  // namespace lumiva
