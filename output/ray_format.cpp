#include "output/ray_format.h"

#include "output/number_format.h"

namespace lumiva {

namespace {

std::string fixedCount(std::int64_t count) {
    char text[400];
    return std::string(text,
                       static_cast<std::size_t>(formatFixed(static_cast<double>(count), text)));
}

}  // namespace

std::string rayHeader(RaysetFormat format, std::int64_t rayCount, const HeaderCounts& counts) {
    if (format == RaysetFormat::Zemax) {
        char text[24];
        return std::string(text, static_cast<std::size_t>(formatInteger(rayCount, text))) +
               " 4\r\n";
    }
    return "!! Source file: C:tolvinesk.oml \r\n"
           "\r\n"
           "TracePro Release: 4 0 0 \r\n" +
           fixedCount(counts.spatialX) + " ignored \r\n" + fixedCount(counts.spatialY) +
           " ignored \r\n" + fixedCount(counts.angularY) + " ignored \r\n";
}

std::size_t formatRayLine(const double (&fields)[7], char* out) {
    char* p = out;
    for (int i = 0; i < 7; ++i) {
        if (i > 0) *p++ = ' ';
        p += formatExponent(fields[i], p);
    }
    *p++ = '\r';
    *p++ = '\n';
    return static_cast<std::size_t>(p - out);
}

}  // namespace lumiva
