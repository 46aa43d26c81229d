#include "output/ray_format.h"

#include "output/number_format.h"

namespace lumiva {

namespace {

// A count in fixed form followed by " ignored ", one line of the TracePro header.
void appendIgnoredCount(std::string& header, std::int64_t count) {
    char text[330];
    header.append(text, static_cast<std::size_t>(formatFixed(static_cast<double>(count), text)));
    header += " ignored \r\n";
}

}  // namespace

std::string rayHeader(RaysetFormat format, std::int64_t rayCount, const HeaderCounts& counts) {
    std::string header;
    if (format == RaysetFormat::Zemax) {
        char text[24];
        header.append(text, static_cast<std::size_t>(formatInteger(rayCount, text)));
        header += " 4\r\n";
        return header;
    }
    header =
        "!! Source file: C:tolvinesk.oml \r\n"
        "\r\n"
        "TracePro Release: 4 0 0 \r\n";
    appendIgnoredCount(header, counts.spatialX);
    appendIgnoredCount(header, counts.spatialY);
    appendIgnoredCount(header, counts.angularY);
    return header;
}

std::size_t formatRayLine(const double (&fields)[7], char* out) {
    char* p = out + formatExponentLine(fields, out);
    p[0] = '\r';
    p[1] = '\n';
    return static_cast<std::size_t>(p + 2 - out);
}

}  // namespace lumiva
