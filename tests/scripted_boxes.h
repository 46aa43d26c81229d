#pragma once
// A MessageBoxes that records every box and answers confirmations from a script.

#include <deque>
#include <string>
#include <vector>

#include "controls/message_boxes.h"

namespace lumiva {

struct ShownBox {
    std::string kind;  // "confirm", "message", "about", "error"
    std::string caption;
    std::string text;
    bool operator==(const ShownBox&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ShownBox& box) {
    return out << box.kind << " [" << box.caption << "] " << box.text;
}

class ScriptedBoxes : public MessageBoxes {
public:
    std::vector<ShownBox> shown;
    std::deque<bool> answers;  // for confirm(); Yes when the script is empty

    bool confirm(const std::string& caption, const std::string& text) override {
        shown.push_back({"confirm", caption, text});
        if (answers.empty()) return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void message(const std::string& caption, const std::string& text) override {
        shown.push_back({"message", caption, text});
    }
    void about(const std::string& caption, const std::string& text) override {
        shown.push_back({"about", caption, text});
    }
    void error(const std::string& caption, const std::string& text) override {
        shown.push_back({"error", caption, text});
    }
    std::vector<ShownBox> take() {
        std::vector<ShownBox> all;
        all.swap(shown);
        return all;
    }
};

}  // namespace lumiva
