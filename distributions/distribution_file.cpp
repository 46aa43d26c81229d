#include "distributions/distribution_file.h"

#include "controls/failure.h"
#include "controls/number_text.h"
#include "controls/text_file.h"

namespace lumiva {

std::vector<double> scanDistributionLine(std::string_view line, char decimalSeparator,
                                         const std::string& path, std::size_t capacity) {
    std::vector<double> table;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != ' ') continue;
        if (table.size() == capacity)
            throw Failure("Distribution file " + path + " holds more than " +
                          std::to_string(capacity) + " values on one line");
        table.push_back(textToFloat(line.substr(start, i - start), decimalSeparator));
        start = i + 1;
    }
    return table;
}

Distribution readDistributionFile(const std::string& pickerText, char decimalSeparator,
                                  std::size_t capacity) {
    const std::vector<std::string> lines = splitLines(readWholeFile(pickerText));
    if (lines.empty()) throw listIndexOutOfBounds(0);
    Distribution distribution;
    distribution.abscissae = scanDistributionLine(lines[0], decimalSeparator, pickerText, capacity);
    if (lines.size() < 3) throw listIndexOutOfBounds(2);
    distribution.ordinates = scanDistributionLine(lines[2], decimalSeparator, pickerText, capacity);
    if (distribution.ordinates.size() < distribution.abscissae.size())
        distribution.ordinates.resize(distribution.abscissae.size(), 0.0);
    return distribution;
}

}  // namespace lumiva
