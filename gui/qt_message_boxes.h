#pragma once
// The window's boxes as modal Qt message boxes.

#include <QWidget>

#include "controls/message_boxes.h"

namespace lumiva {

class QtMessageBoxes : public MessageBoxes {
public:
    // The boxes are modal to `parent` once it is set (it may be null before the window exists).
    void setParent(QWidget* parent) { parent_ = parent; }

    bool confirm(const std::string& caption, const std::string& text) override;
    void message(const std::string& caption, const std::string& text) override;
    void about(const std::string& caption, const std::string& text) override;
    void error(const std::string& caption, const std::string& text) override;

private:
    QWidget* parent_ = nullptr;
};

}  // namespace lumiva
