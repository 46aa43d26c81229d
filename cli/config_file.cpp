#include "cli/config_file.h"

#include <algorithm>
#include <vector>

#include "controls/failure.h"
#include "controls/number_text.h"
#include "controls/text_file.h"
#include "distributions/analytic_parameters.h"

namespace lumiva {

namespace {

class ConfigLines {
public:
    ConfigLines(const std::string& path) : path_(path), lines_(splitLines(readWholeFile(path))) {}

    const std::string& line(std::size_t number) const {
        if (number > lines_.size()) fail(number, listIndexOutOfBounds(number - 1));
        return lines_[number - 1];
    }

    std::int32_t integer(std::size_t number, std::int32_t low, std::int32_t high) const {
        const std::string& text = line(number);
        try {
            return std::clamp(textToInteger(text), low, high);
        } catch (const Failure& failure) {
            fail(number, failure);
        }
    }

    double number(std::size_t number, char separator) const {
        const std::string& text = line(number);
        try {
            return textToFloat(text, separator);
        } catch (const Failure& failure) {
            fail(number, failure);
        }
    }

    // An aperture line, kept within 0 ... 1 as its edit keeps it.
    double aperture(std::size_t number, char separator) const {
        const std::string& text = line(number);
        try {
            const std::optional<std::string> kept = boundedText(text, 0, 1, "1", separator);
            if (!kept) throw Failure("the aperture is empty");
            const double value = textToFloat(*kept, separator);
            if (value > 1) throw Failure("the aperture " + *kept + " is above 1");
            return value;
        } catch (const Failure& failure) {
            fail(number, failure);
        }
    }

private:
    [[noreturn]] void fail(std::size_t number, const Failure& failure) const {
        throw Failure(path_ + ", line " + std::to_string(number) + ": " + failure.what());
    }

    std::string path_;
    std::vector<std::string> lines_;
};

}  // namespace

void applyConfigFile(const std::string& path, RunSettings& s, char separator) {
    const ConfigLines config(path);
    // The window's order: 1, 2, 3, 4, 5, 6, 9, 11, 13, 14, 15, 16, 17.
    s.traceProPath = config.line(1);
    s.zemaxPath = config.line(2);
    s.distributionFiles[kAngularY] = config.line(3);
    s.distributionFiles[kAngularX] = config.line(4);
    s.rayCount = config.integer(5, 1, 1000000000);
    config.integer(6, 5, 50000);  // the source flux takes no part in a run
    s.extentDegrees = config.integer(9, 0, 360);
    s.naX = config.aperture(11, separator);
    s.naY = config.aperture(13, separator);
    s.xSize = config.number(14, separator);
    s.ySize = config.number(15, separator);
    s.distributionFiles[kSpatialY] = config.line(16);
    s.distributionFiles[kSpatialX] = config.line(17);
}

}  // namespace lumiva
