#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "controls/chart.h"
#include "controls/control.h"
#include "controls/failure.h"
#include "controls/message_boxes.h"
#include "scripted_boxes.h"

namespace lumiva {
namespace {

TEST(Edit, RunsItsHandlerOnlyWhenTheTextChanges) {
    Edit edit("Edit1");
    int runs = 0, notices = 0;
    edit.onChange = [&] { ++runs; };
    edit.setObserver([&](const Control&) { ++notices; });
    edit.setText("a");
    edit.setText("a");
    edit.setText("b");
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(notices, 2);
}

TEST(Edit, NestedCorrectionRunsTheHandlerAgainBeforeTheOuterGoesOn) {
    Edit edit("Edit6");
    std::vector<std::string> seen;
    edit.onChange = [&] {
        seen.push_back(edit.text());
        if (edit.text() == "-") edit.setText("0");
        seen.push_back("end " + edit.text());
    };
    edit.setText("-");
    EXPECT_EQ(seen, (std::vector<std::string>{"-", "0", "end 0", "end 0"}));
}

TEST(Edit, AFailureInANestedHandlerTravelsOutUnchanged) {
    Edit inner("inner"), outer("outer");
    inner.onChange = [] { throw Failure("inner failed"); };
    bool after = false;
    outer.onChange = [&] {
        inner.setText("x");
        after = true;
    };
    try {
        outer.setText("y");
        FAIL();
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "inner failed");
    }
    EXPECT_FALSE(after);
    EXPECT_EQ(inner.text(), "x");  // nothing is rolled back
}

TEST(SpinEdit, ClampsOnSetAndOnFocusLossButNotWhileTyping) {
    SpinEdit spin("CSpinEdit3", 1, 1000000000, 10000, 30000);
    int runs = 0;
    spin.onChange = [&] { ++runs; };
    spin.setValue(2000000000);
    EXPECT_EQ(spin.text(), "1000000000");
    spin.setText("0");
    EXPECT_EQ(spin.value(), 0);  // typed, not clamped yet
    spin.focusLost();
    EXPECT_EQ(spin.text(), "1");
    spin.stepUp();
    EXPECT_EQ(spin.value(), 10001);
    spin.setValue(10001);  // same text: no handler
    EXPECT_EQ(runs, 4);
    SpinEdit free("free", 0, 0, 1, 5);
    free.setValue(-7);
    EXPECT_EQ(free.value(), -7);  // min = max: no clamping
}

TEST(SpinEdit, TextThatIsNoIntegerReadsAsTheMinimumAndIsReplaced) {
    SpinEdit spin("CSpinEdit6", 0, 100, 1, 50);
    std::vector<std::string> seen;
    spin.onChange = [&] { seen.push_back(spin.text()); };
    spin.setText("abc");
    EXPECT_EQ(spin.value(), 0);
    EXPECT_EQ(spin.text(), "0");
    EXPECT_EQ(seen, (std::vector<std::string>{"abc", "0"}));
    spin.setValue(100);
    spin.stepUp();
    EXPECT_EQ(spin.value(), 100);
    spin.setValue(0);
    spin.stepDown();
    EXPECT_EQ(spin.value(), 0);
}

TEST(CheckAndRadio, CodeRunsCheckBoxHandlersButNotRadioGroupHandlers) {
    CheckBox box("CheckBox4");
    int clicks = 0;
    box.onClick = [&] { ++clicks; };
    box.setChecked(true);
    box.setChecked(true);
    box.click();
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(box.checked());

    RadioGroup group("RadioGroup1", {"Rectangular", "Elliptical"}, 0);
    int picks = 0;
    group.onClick = [&] { ++picks; };
    group.setItemIndex(1);
    group.select(1);
    group.select(0);
    EXPECT_EQ(picks, 1);
}

TEST(ComboBox, OnlyTheUsersChangeRunsTheHandler) {
    ComboBox combo("ComboBoxEx1");
    int runs = 0;
    combo.onChange = [&] { ++runs; };
    combo.setText("a.ang");
    combo.userChange("b.ang");
    combo.userChange("b.ang");
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(combo.text(), "b.ang");
}

TEST(Gauge, NotifiesOnlyWhenItsValueChanges) {
    Gauge gauge("CGauge1", 1000);
    int notices = 0;
    gauge.setObserver([&](const Control&) { ++notices; });
    for (int i = 0; i < 5000; ++i) gauge.setProgress(i / 5);
    EXPECT_EQ(notices, 999);
}

TEST(LineSeries, KeepsPointsInAscendingAbscissaOrder) {
    LineSeries series("Series1", "Y distribution", {255, 0, 0});
    for (auto [x, y] : {std::pair{30.0, 1.0}, {10.0, 2.0}, {20.0, 3.0}, {10.0, 4.0}})
        series.add(x, y);
    using Points = std::vector<LineSeries::Point>;
    EXPECT_EQ(series.points(), (Points{{10, 2}, {10, 4}, {20, 3}, {30, 1}}));
    series.clear();
    EXPECT_TRUE(series.points().empty());
}

TEST(FileListBox, ListsPlainMatchingFilesAlphabeticallyIgnoringCase) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "lumiva_filelist";
    fs::remove_all(dir);
    fs::create_directories(dir / "folder.ang");
    for (const char* name : {"b.ang", "A.ang", "c.ANG", ".hidden.ang", "d.spa", "e.ang.txt"})
        std::ofstream(dir / name) << "x";
    FileListBox list("FileListBox1", "*.ang");
    list.list(dir.string());
    EXPECT_EQ(list.items(), (std::vector<std::string>{"A.ang", "b.ang", "c.ANG"}));
    EXPECT_FALSE(list.visible());
    fs::remove_all(dir);
}

TEST(Dispatch, ShowsFailuresWithTheFullStopRuleAndNothingForCancellation) {
    struct Case {
        std::string message;
        std::string shown;
    };
    const Case cases[] = {{"Cannot open file lumiva.cfg", "Cannot open file lumiva.cfg."},
                          {"List index out of bounds (10)", "List index out of bounds (10)"},
                          {"Cannot open file ", "Cannot open file "},
                          {"value 5", "value 5."},
                          {"done!", "done!"},
                          {"end-", "end-"},
                          {"end.", "end."},
                          {"path C:/", "path C:/."},
                          {"", ""}};
    ScriptedBoxes boxes;
    for (const Case& c : cases) {
        EXPECT_FALSE(dispatch(boxes, "Lumiva LED 4", [&] { throw Failure(c.message); }));
        EXPECT_EQ(boxes.take(), (std::vector<ShownBox>{{"error", "Lumiva LED 4", c.shown}}));
    }
    EXPECT_FALSE(dispatch(boxes, "Lumiva LED 4", [] { throw SilentCancellation(); }));
    EXPECT_TRUE(dispatch(boxes, "Lumiva LED 4", [] {}));
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace lumiva
