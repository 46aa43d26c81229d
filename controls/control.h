#pragma once
// Our own small replacement of the desktop class library's controls: what the window's
// handlers rely on, and nothing of any toolkit. Setting a value from code runs the
// control's change handler at once, nested, when the value changes; setting the value it
// already has runs nothing. A failure thrown by a nested handler travels out unchanged.
// A front end observes each control to redraw it; the model never depends on who does.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace lumiva {

struct Bounds {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Bounds&) const = default;
};

class Control {
public:
    using Handler = std::function<void()>;

    explicit Control(std::string name, Bounds bounds = {})
        : name_(std::move(name)), bounds_(bounds) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }

    bool visible() const { return visible_; }
    void setVisible(bool visible) { assign(visible_, visible); }
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled) { assign(enabled_, enabled); }
    const Bounds& bounds() const { return bounds_; }
    void setBounds(const Bounds& bounds) { assign(bounds_, bounds); }
    // Caption of a label, button, check box, group or panel.
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption) { assign(caption_, caption); }

    // Called after every change of what the control shows.
    void setObserver(std::function<void(const Control&)> observer) {
        observer_ = std::move(observer);
    }

protected:
    void notify() const {
        if (observer_) observer_(*this);
    }
    template <typename T>
    bool assign(T& field, const T& value) {
        if (field == value) return false;
        field = value;
        notify();
        return true;
    }
    static void run(const Handler& handler) {
        if (handler) handler();
    }

private:
    std::string name_;
    bool visible_ = true;
    bool enabled_ = true;
    Bounds bounds_;
    std::string caption_;
    std::function<void(const Control&)> observer_;
};

// Labels, panels, group boxes and push buttons: a caption and, for a button, a click.
class Label : public Control {
public:
    using Control::Control;
};

class Panel : public Control {
public:
    using Control::Control;
};

class Button : public Control {
public:
    using Control::Control;
    Handler onClick;
    void click() { run(onClick); }
};

// One-line text; every change of the text, by the user or by code, runs onChange.
class Edit : public Control {
public:
    using Control::Control;
    Handler onChange;

    const std::string& text() const { return text_; }
    void setText(const std::string& text) {
        if (assign(text_, text)) run(onChange);
    }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { assign(readOnly_, readOnly); }

private:
    std::string text_;
    bool readOnly_ = false;
};

// A 32-bit integer shown as decimal text, with up and down steps of `increment`.
class SpinEdit : public Control {
public:
    SpinEdit(std::string name, std::int32_t minValue, std::int32_t maxValue, std::int32_t increment,
             std::int32_t value, Bounds bounds = {});
    Handler onChange;

    const std::string& text() const { return text_; }
    // The text as typed; not clamped while typing. Runs onChange when it changes.
    void setText(const std::string& text);
    // The text read as an integer; a text that is not one reads as minValue and is
    // replaced by it (which runs onChange).
    std::int32_t value();
    // Clamped into minValue ... maxValue unless both are equal.
    void setValue(std::int32_t value);
    void stepUp() { setValue(saturatingAdd(value(), increment_)); }
    void stepDown() { setValue(saturatingAdd(value(), -increment_)); }
    // Leaving the control clamps a value that was typed out of range.
    void focusLost();

    std::int32_t minValue() const { return min_; }
    std::int32_t maxValue() const { return max_; }
    std::int32_t increment() const { return increment_; }
    bool editorEnabled() const { return editorEnabled_; }
    void setEditorEnabled(bool enabled) { assign(editorEnabled_, enabled); }

private:
    static std::int32_t saturatingAdd(std::int32_t a, std::int32_t b);
    std::int32_t clamp(std::int32_t value) const;

    std::int32_t min_, max_, increment_;
    std::string text_;
    bool editorEnabled_ = true;
};

class CheckBox : public Control {
public:
    using Control::Control;
    Handler onClick;

    bool checked() const { return checked_; }
    // A change, by a click or by code, runs onClick.
    void setChecked(bool checked) {
        if (assign(checked_, checked)) run(onClick);
    }
    void click() { setChecked(!checked_); }

private:
    bool checked_ = false;
};

class RadioGroup : public Control {
public:
    RadioGroup(std::string name, std::vector<std::string> items, int itemIndex, Bounds bounds = {})
        : Control(std::move(name), bounds), items_(std::move(items)), itemIndex_(itemIndex) {}
    Handler onClick;

    const std::vector<std::string>& items() const { return items_; }
    int itemIndex() const { return itemIndex_; }
    // From code: no handler runs.
    void setItemIndex(int index) { assign(itemIndex_, index); }
    // The user's choice: onClick runs when the choice changes.
    void select(int index) {
        if (assign(itemIndex_, index)) run(onClick);
    }

private:
    std::vector<std::string> items_;
    int itemIndex_;
};

// An editable drop-down; its text may be any string.
class ComboBox : public Control {
public:
    using Control::Control;
    Handler onChange;
    static constexpr int kDropDownCount = 8;

    const std::string& text() const { return text_; }
    // From code: no handler runs.
    void setText(const std::string& text) { assign(text_, text); }
    // The user's typing or pick: onChange runs when the text changes.
    void userChange(const std::string& text) {
        if (assign(text_, text)) run(onChange);
    }
    const std::vector<std::string>& items() const { return items_; }
    void setItems(std::vector<std::string> items) { assign(items_, items); }

private:
    std::string text_;
    std::vector<std::string> items_;
};

// A progress bar from 0 to maxValue; it notifies only when its value changes.
class Gauge : public Control {
public:
    Gauge(std::string name, int maxValue, Bounds bounds = {})
        : Control(std::move(name), bounds), max_(maxValue) {}
    int progress() const { return progress_; }
    void setProgress(int progress) { assign(progress_, progress); }
    int maxValue() const { return max_; }

private:
    int max_;
    int progress_ = 0;
};

}  // namespace lumiva
