#include "controls/chart.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace lumiva {

void LineSeries::clear() {
    if (points_.empty()) return;
    points_.clear();
    notify();
}

void LineSeries::add(double x, double y) {
    const auto at = std::upper_bound(points_.begin(), points_.end(), x,
                                     [](double value, const Point& p) { return value < p.first; });
    points_.insert(at, Point{x, y});
    notify();
}

namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool match(const char* name, const char* mask) {
    for (; *mask; ++mask) {
        if (*mask == '*') {
            for (const char* rest = name;; ++rest) {
                if (match(rest, mask + 1)) return true;
                if (!*rest) return false;
            }
        }
        if (!*name || (*mask != '?' && lower(*mask) != lower(*name))) return false;
        ++name;
    }
    return !*name;
}

}  // namespace

bool matchesMask(const std::string& name, const std::string& mask) {
    return match(name.c_str(), mask.c_str());
}

void FileListBox::list(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (name.empty() || name[0] == '.' || !it->is_regular_file(typeError)) continue;
        if (matchesMask(name, mask_)) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) { return lower(x) < lower(y); });
    });
    assign(items_, names);
}

}  // namespace lumiva
