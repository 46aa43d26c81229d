#pragma once
// The preview chart: two line series with automatic axes, and the file lists that feed
// the distribution pickers.

#include <string>
#include <utility>
#include <vector>

#include "controls/control.h"

namespace lumiva {

struct Rgb {
    int red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Points kept in ascending abscissa order, so the curve runs left to right whatever the
// order they were added in; equal abscissae keep their order of adding.
class LineSeries : public Control {
public:
    LineSeries(std::string name, std::string title, Rgb colour)
        : Control(std::move(name)), colour_(colour) {
        setCaption(std::move(title));
    }
    using Point = std::pair<double, double>;

    const std::vector<Point>& points() const { return points_; }
    void clear();
    void add(double x, double y);
    Rgb colour() const { return colour_; }

private:
    Rgb colour_;
    std::vector<Point> points_;
};

class Chart : public Control {
public:
    Chart(std::string name, Bounds bounds, Rgb background)
        : Control(std::move(name), bounds), background_(background) {}
    Handler onDoubleClick;
    void doubleClick() { run(onDoubleClick); }

    // Aligned to its parent: it covers the parent's whole client area.
    bool aligned() const { return aligned_; }
    void setAligned(bool aligned) { assign(aligned_, aligned); }
    Rgb background() const { return background_; }
    // Asks for an immediate redraw.
    void repaint() { notify(); }

private:
    Rgb background_;
    bool aligned_ = false;
};

// The names of the plain files of a folder that match a mask such as "*.ang" (letter
// case ignored, as the masks were always meant), no folders and no hidden files, in
// alphabetical order ignoring case.
class FileListBox : public Control {
public:
    FileListBox(std::string name, std::string mask)
        : Control(std::move(name)), mask_(std::move(mask)) {
        setVisible(false);
    }
    const std::string& mask() const { return mask_; }
    const std::vector<std::string>& items() const { return items_; }
    void list(const std::string& folder);

private:
    std::string mask_;
    std::vector<std::string> items_;
};

// Whether `name` matches a mask of "*" and "?" wildcards, ignoring letter case.
bool matchesMask(const std::string& name, const std::string& mask);

}  // namespace lumiva
