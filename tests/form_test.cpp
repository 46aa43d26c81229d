#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "app/unit1.h"
#include "controls/failure.h"
#include "generation/sobol.h"
#include "scripted_boxes.h"
#include "test_files.h"

namespace lumiva {
namespace {

namespace fs = std::filesystem;

using test::slurp;

// A temporary working folder that is the current folder while the test runs.
class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetSobolForTesting();
        folder_ = std::make_unique<test::WorkingFolder>();
        write("lumiva.cfg", config(sampleConfig()));
    }
    void TearDown() override { folder_.reset(); }

    static void write(const std::string& name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    static std::string config(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        return text;
    }
    static std::vector<std::string> sampleConfig() {
        return {"ray1.txt", "ray.dat", "",  "",  "30000", "3500",  "x", "x", "360",
                "x",        "0",       "x", "0", "0.001", "0.001", "",  ""};
    }

    // Creates the window and runs FormCreate as start-up does.
    std::unique_ptr<TForm1> start(char separator = '.') {
        FormEnvironment env;
        env.boxes = &boxes_;
        env.decimalSeparator = separator;
        env.clock = [] { return 1234567u; };
        env.close = [this] { ++closes_; };
        auto form = std::make_unique<TForm1>(env);
        form->dispatch([&] { form->FormCreate(); });
        return form;
    }

    ScriptedBoxes boxes_;
    int closes_ = 0;
    std::unique_ptr<test::WorkingFolder> folder_;
};

using Boxes = std::vector<ShownBox>;

TEST_F(FormTest, StartsWithTheDesignedControls) {
    FormEnvironment env;
    env.boxes = &boxes_;
    TForm1 form(env);
    struct Expect {
        Control* control;
        const char* caption;
        bool visible;
        bool enabled;
    };
    const Expect table[] = {
        {&form.GroupBox1, "Angular Data", true, true},
        {&form.GroupBox2, "Spatial Data", true, true},
        {&form.RadioGroup5, "Rayset Format", true, true},
        {&form.Button2, "START", true, true},
        {&form.Label27, "NAx", true, true},
        {&form.Label11, "Gx", false, true},
        {&form.Edit7, "", false, true},
        {&form.Label8, "Angular Extent About Z", true, true},
        {&form.CheckBox5, "Emit only within +/- 90 degrees", true, true},
        {&form.CheckBox3, "Symmetrical", true, true},
        {&form.Label32, "X Size", true, true},
        {&form.Label33, "Balance", false, true},
        {&form.CSpinEdit6, "", false, true},
        {&form.Edit13, "", false, true},
        {&form.RadioGroup3, "Form of Source", true, false},
        {&form.RadioGroup7, "Type", true, false},
        {&form.Label19, "Gx", false, true},
        {&form.CheckBox2, "Consider Source Flux :", true, false},
        {&form.CSpinEdit5, "", true, false},
        {&form.Label4, "Path for Saving Source File:", true, true},
        {&form.Edit3, "", false, true},
        {&form.CGauge1, "", false, true},
        {&form.Label20, "Obtained Flux, Watt:", true, true},
        {&form.Label9, "Size of Source File, Mb: ", true, true},
        {&form.Label10, "2", true, true},
        {&form.Label13, "0", true, true},
        {&form.Label15, "1", true, true},
        {&form.Label12, "Generation Time ~ ", true, true},
        {&form.Label24, "vvv", true, true},
        {&form.Label36, "%", true, true},
        {&form.Series1, "Y distribution", true, true},
        {&form.Series2, "X Distribution", true, true},
        {&form.FileListBox1, "", false, true},
        {&form.Notyfy1, "Plot", true, true},
    };
    for (const Expect& e : table) {
        EXPECT_EQ(e.control->caption(), e.caption) << e.control->name();
        EXPECT_EQ(e.control->visible(), e.visible) << e.control->name();
        EXPECT_EQ(e.control->enabled(), e.enabled) << e.control->name();
    }
    EXPECT_EQ(form.Caption, "Lumiva LED");
    EXPECT_EQ(form.WindowBounds, (Bounds{304, 285, 699, 449}));
    EXPECT_EQ(form.Chart1.bounds(), (Bounds{414, 192, 283, 257}));
    EXPECT_EQ(form.Button2.bounds(), (Bounds{544, 72, 153, 62}));
    EXPECT_EQ(form.CGauge3.bounds(), (Bounds{544, 116, 145, 17}));
    EXPECT_EQ(form.Edit6.text(), "0");
    EXPECT_EQ(form.Edit9.text(), "0.001");
    EXPECT_EQ(form.Edit4.text(), "D:\\Program files\\ZEMAX\\Objects\\ray.dat");
    EXPECT_EQ(form.Edit3.text(), "C:\\ray1.txt");
    EXPECT_EQ(form.CSpinEdit3.text(), "30000");
    EXPECT_EQ(form.CSpinEdit3.increment(), 10000);
    EXPECT_EQ(form.CSpinEdit5.text(), "3500");
    EXPECT_FALSE(form.CSpinEdit6.editorEnabled());
    EXPECT_EQ(form.RadioGroup2.itemIndex(), 2);
    EXPECT_EQ(form.RadioGroup4.itemIndex(), 1);
    EXPECT_EQ(form.RadioGroup6.itemIndex(), 1);
    EXPECT_EQ(form.RadioGroup5.itemIndex(), 1);
    EXPECT_EQ(form.RadioGroup7.itemIndex(), 1);
    EXPECT_TRUE(form.CheckBox3.checked());
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(FormTest, ConfigurationSetsEveryMappedControlAndFillsThePickers) {
    write("b.ang", "0 \r\n\r\n1 \r\n");
    write("A.ang", "0 \r\n\r\n1 \r\n");
    write("s.spa", "0 \r\n\r\n1 \r\n");
    write("lumiva.cfg",
          config({"t.txt", "z.dat", "A.ang", "gone.ang", "1000000", "1", "?", "?", "-5", "?", "5",
                  "?", "-", "0.5", "0.25", "s.spa", "none.spa", "line 18 is never read"}));
    auto form = start();
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_EQ(form->Edit3.text(), "t.txt");
    EXPECT_EQ(form->Edit4.text(), "z.dat");
    EXPECT_EQ(form->ComboBoxEx1.text(), "A.ang");
    EXPECT_EQ(form->ComboBoxEx2.text(), "gone.ang");
    EXPECT_EQ(form->CSpinEdit3.text(), "1000000");
    EXPECT_EQ(form->CSpinEdit5.text(), "5");
    EXPECT_EQ(form->CSpinEdit4.text(), "0");
    EXPECT_EQ(form->Edit6.text(), "1");
    EXPECT_EQ(form->Edit8.text(), "0");
    EXPECT_EQ(form->Edit9.text(), "0.5");
    EXPECT_EQ(form->Edit10.text(), "0.25");
    EXPECT_EQ(form->ComboBoxEx3.text(), "s.spa");
    EXPECT_EQ(form->ComboBoxEx4.text(), "none.spa");
    EXPECT_EQ(form->Label10.caption(), "74");
    EXPECT_EQ(form->Label13.caption(), "2");
    EXPECT_EQ(form->Label15.caption(), "30");
    const std::vector<std::string> angular = {"A.ang", "b.ang"};
    EXPECT_EQ(form->ComboBoxEx1.items(), angular);
    EXPECT_EQ(form->ComboBoxEx2.items(), angular);
    EXPECT_EQ(form->ComboBoxEx4.items(), std::vector<std::string>{"s.spa"});
    // Setting a picker's text reads and draws nothing.
    EXPECT_EQ(form->Label24.caption(), "vvv");
}

struct LoadCase {
    const char* name;
    std::size_t line;  // 0: cut the file after 10 lines; 99: no file at all
    std::string text;
    std::vector<ShownBox> boxes;
    std::string edit6;    // Edit6 after the load
    std::string spin3;    // CSpinEdit3 after the load
    std::string label15;  // the seconds estimate after the load
    bool listsFilled;
};

void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.name; }

class ConfigurationLoad : public FormTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(ConfigurationLoad, StopsWhereTheFileFails) {
    const LoadCase& c = GetParam();
    write("x.ang", "0 \r\n\r\n1 \r\n");
    std::vector<std::string> lines = sampleConfig();
    lines[10] = "0.5";  // line 11
    if (c.line == 0) lines.resize(10);
    if (c.line > 0 && c.line < 99) lines[c.line - 1] = c.text;
    if (c.line == 99)
        fs::remove("lumiva.cfg");
    else
        write("lumiva.cfg", config(lines));
    auto form = start();
    EXPECT_EQ(boxes_.shown, c.boxes);
    EXPECT_EQ(form->Edit6.text(), c.edit6);
    EXPECT_EQ(form->CSpinEdit3.text(), c.spin3);
    EXPECT_EQ(form->Label15.caption(), c.label15);
    EXPECT_EQ(form->ComboBoxEx1.items().size(), c.listsFilled ? 1u : 0u);
}

const std::string kTitle = "Lumiva LED 4";

INSTANTIATE_TEST_SUITE_P(
    Lines, ConfigurationLoad,
    ::testing::Values(LoadCase{"complete", 5, "30000", {}, "0.5", "30000", "1", true},
                      LoadCase{"ten_lines",
                               0,
                               "",
                               {{"error", kTitle, "List index out of bounds (10)"}},
                               "0",
                               "30000",
                               "1",
                               false},
                      LoadCase{"missing",
                               99,
                               "",
                               {{"error", kTitle, "Cannot open file lumiva.cfg."}},
                               "0",
                               "30000",
                               "1",
                               false},
                      LoadCase{"rays_clamped", 5, "2000000000", {}, "0.5", "1000000000", "0", true},
                      LoadCase{"leading_blank", 5, " 250", {}, "0.5", "250", "0", true},
                      LoadCase{"trailing_blank",
                               5,
                               "250 ",
                               {{"error", kTitle, "'250 ' is not a valid integer value."}},
                               "0",
                               "30000",
                               "1",
                               false},
                      LoadCase{"empty_extent",
                               9,
                               "",
                               {{"error", kTitle, "'' is not a valid integer value."}},
                               "0",
                               "30000",
                               "1",
                               false},
                      LoadCase{"empty_aperture", 11, "", {}, "", "30000", "1", false},
                      LoadCase{"bad_aperture",
                               11,
                               "0,5",
                               {{"error", kTitle, "'0,5' is not a valid floating point value."}},
                               "0,5",
                               "30000",
                               "1",
                               false},
                      LoadCase{"negative_half", 11, "-0.5", {}, "0", "30000", "1", true},
                      LoadCase{"lone_minus", 11, "-", {}, "0", "30000", "1", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormTest, ConfigurationInACommaRegionRejectsAPointAndStops) {
    std::vector<std::string> lines = sampleConfig();
    lines[10] = "0.5";
    lines[13] = "7";  // line 14, never reached
    write("lumiva.cfg", config(lines));
    auto form = start(',');
    EXPECT_EQ(boxes_.shown,
              (Boxes{{"error", kTitle, "'0.5' is not a valid floating point value."}}));
    EXPECT_EQ(form->Edit6.text(), "0.5");
    EXPECT_EQ(form->Edit9.text(), "0.001");
}

TEST_F(FormTest, EstimatesFollowTheNumberOfRays) {
    struct Case {
        const char* typed;
        const char* size;
        const char* minutes;
        const char* seconds;
    };
    const Case cases[] = {{"30000", "2", "0", "4"},     {"1000000", "74", "2", "30"},
                          {"2000000", "149", "5", "0"}, {"1", "0", "0", "0"},
                          {"100000", "7", "0", "14"},   {"abc", "0", "0", "0"}};
    auto form = start();
    for (const Case& c : cases) {
        form->CSpinEdit3.setText("5");
        form->CSpinEdit3.setText(c.typed);
        EXPECT_EQ(form->Label10.caption(), c.size) << c.typed;
        EXPECT_EQ(form->Label13.caption(), c.minutes) << c.typed;
        EXPECT_EQ(form->Label15.caption(), c.seconds) << c.typed;
    }
    EXPECT_EQ(form->CSpinEdit3.text(), "1");  // "abc" read as the minimum
}

TEST_F(FormTest, InterlocksKeepTheirControlsConsistent) {
    auto form = start();
    form->CheckBox4.click();
    form->CheckBox7.click();
    EXPECT_TRUE(form->CheckBox7.checked());
    EXPECT_FALSE(form->CheckBox4.checked());
    form->CheckBox4.click();
    EXPECT_TRUE(form->CheckBox4.checked());
    EXPECT_FALSE(form->CheckBox7.checked());

    form->CheckBox3.click();
    EXPECT_TRUE(form->CheckBox3.checked());
    form->CheckBox5.click();
    EXPECT_FALSE(form->CheckBox5.checked());

    form->RadioGroup1.select(0);  // no change: the labels keep their start texts
    EXPECT_EQ(form->Label32.caption(), "X Size");
    form->RadioGroup1.select(1);
    EXPECT_EQ(form->Label32.caption(), "X Diameter");
    EXPECT_EQ(form->Label25.caption(), "Y Diameter");
    form->RadioGroup1.select(0);
    EXPECT_EQ(form->Label32.caption(), "X Side");
    EXPECT_EQ(form->Label25.caption(), "Y Side");

    form->CheckBox6.click();
    EXPECT_TRUE(form->Label33.visible() && form->CSpinEdit6.visible() && form->Edit13.visible());
    form->CSpinEdit6.setValue(0);
    EXPECT_EQ(form->Edit13.text(), "100");
    form->CSpinEdit6.setValue(100);
    form->CSpinEdit6.stepUp();
    EXPECT_EQ(form->Edit13.text(), "0");
    form->CheckBox6.click();
    EXPECT_FALSE(form->Label33.visible() || form->CSpinEdit6.visible() || form->Edit13.visible());
    EXPECT_EQ(form->CSpinEdit6.text(), "100");

    form->CheckBox2Click();
    EXPECT_FALSE(form->CSpinEdit5.enabled());
    form->RadioGroup7Click();
    EXPECT_FALSE(form->Edit1.visible());
}

TEST_F(FormTest, ApertureEditsStayWithinTheirBounds) {
    struct Case {
        Edit TForm1::*edit;
        const char* typed;
        const char* left;
        std::vector<ShownBox> boxes;
    };
    const Case cases[] = {
        {&TForm1::Edit6, "1.5", "1", {}},
        {&TForm1::Edit6, "-", "0", {}},
        {&TForm1::Edit6, "1.00000001", "1.00000001", {}},
        {&TForm1::Edit8, "", "", {}},
        {&TForm1::Edit6,
         "abc",
         "abc",
         {{"error", kTitle, "'abc' is not a valid floating point value."}}},
        {&TForm1::Edit6, "+", "+", {{"error", kTitle, "'+' is not a valid floating point value."}}},
        {&TForm1::Edit14, "1000", "1000", {}},
        {&TForm1::Edit14, "1000.5", "1000", {}},
        {&TForm1::Edit15, "0", "0", {}},
        {&TForm1::Edit15, "-3", "0", {}},
    };
    auto form = start();
    for (const Case& c : cases) {
        Edit& edit = (*form).*c.edit;
        form->dispatch([&] { edit.setText(c.typed); });
        EXPECT_EQ(edit.text(), c.left) << c.typed;
        EXPECT_EQ(boxes_.take(), c.boxes) << c.typed;
    }
}

TEST_F(FormTest, WidthsDeriveTheApertures) {
    struct Case {
        const char* width;
        const char* widthLeft;
        const char* aperture;
    };
    const Case cases[] = {
        {"10", "10", "0.4147"},     {"20", "20", "0.7547"}, {"30", "30", "0.9588"},
        {"36.6", "36.6", "1.0000"}, {"37", "37", "0.9999"}, {"60", "60", "0.9999"},
        {"0.5", "1", "0.0427"},     {"-", "1", "0.0427"},   {"5000", "1000", "0.9999"}};
    auto form = start();
    for (const Case& c : cases) {
        form->Edit8.setText("0.5");
        form->dispatch([&] { form->Edit12.setText(c.width); });
        EXPECT_EQ(form->Edit12.text(), c.widthLeft) << c.width;
        EXPECT_EQ(form->Edit8.text(), c.aperture) << c.width;
        form->dispatch([&] { form->Edit7.setText(c.width); });
        EXPECT_EQ(form->Edit6.text(), c.aperture) << c.width;
    }
    EXPECT_TRUE(boxes_.shown.empty());
    // With a comma region the derived text uses the comma too.
    auto comma = start(',');
    comma->Edit7.setText("10");
    EXPECT_EQ(comma->Edit6.text(), "0,4147");
}

TEST_F(FormTest, TheTypeSwitchShowsTheGaussianEditsAndPresetsApertures) {
    auto form = start();
    form->Edit6.setText("0.3");
    form->RadioGroup2.select(0);
    EXPECT_EQ(form->Edit6.text(), "0.3");
    form->RadioGroup2.select(3);
    EXPECT_EQ(form->Edit6.text(), "0.9999");
    EXPECT_EQ(form->Edit8.text(), "0.9999");
    for (Control* c : {static_cast<Control*>(&form->Edit7), static_cast<Control*>(&form->Label30)})
        EXPECT_TRUE(c->visible()) << c->name();
    form->RadioGroup2.select(2);
    EXPECT_EQ(form->Edit6.text(), "0.99");
    EXPECT_EQ(form->Edit8.text(), "0.99");
    EXPECT_FALSE(form->Edit15.visible());
    form->RadioGroup2.select(1);
    EXPECT_FALSE(form->Edit7.visible());
    EXPECT_EQ(form->Edit6.text(), "0.99");
}

TEST_F(FormTest, PickingAnAngularFilePlotsBothAndEstimatesItsAperture) {
    write("y.ang", "0 10 20 30 40 50 60 70 80 90 \r\n\r\n100 99 95 85 70 50 30 10 0.05 0 \r\n");
    write("x.ang", "30 0 10 20 \r\n\r\n10 100 50 20 \r\n");
    write("flat.ang", "0 10 20 \r\n\r\n100 100 100 \r\n");
    write("one.ang", "0 \r\n\r\n100 \r\n");
    write("neg.ang", "-10 0 10 \r\n\r\n100 0 0 \r\n");
    auto form = start();
    form->ComboBoxEx2.setText("x.ang");
    form->dispatch([&] { form->ComboBoxEx1.userChange("y.ang"); });
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_EQ(form->Label24.caption(), "Angular Distributions");
    ASSERT_EQ(form->Series1.points().size(), 9u);
    EXPECT_EQ(form->Series1.points().back().first, 80);  // the n-th pair is not drawn
    using Points = std::vector<LineSeries::Point>;
    EXPECT_EQ(form->Series2.points(), (Points{{0, 100}, {10, 50}, {30, 10}}));
    // The drop below 0.1 is at 80 degrees: the estimate is the sine of 70.
    EXPECT_EQ(form->Edit8.text(), "0.939693");
    EXPECT_EQ(form->Edit6.text(), "0");

    struct Case {
        const char* file;
        const char* aperture;
    };
    const Case cases[] = {{"flat.ang", "0.173648"}, {"one.ang", "1"}, {"neg.ang", "0"}};
    for (const Case& c : cases) {
        form->dispatch([&] { form->ComboBoxEx1.userChange(c.file); });
        EXPECT_EQ(form->Edit8.text(), c.aperture) << c.file;
    }
    // Y file 100 then below 0.1: the sine of 0.
    write("drop.ang", "0 10 \r\n\r\n100 0 \r\n");
    form->ComboBoxEx1.userChange("drop.ang");
    EXPECT_EQ(form->Edit8.text(), "0.000000");

    // The X picker estimates NAx from the X file, and other types only redraw.
    form->ComboBoxEx2.userChange("flat.ang");
    EXPECT_EQ(form->Edit6.text(), "0.173648");
    form->RadioGroup2.select(0);
    form->Edit6.setText("0.2");
    form->ComboBoxEx2.userChange("y.ang");
    EXPECT_EQ(form->Edit6.text(), "0.2");
}

TEST_F(FormTest, APreviewFailureKeepsWhatWasAlreadyDone) {
    write("y.ang", "0 10 20 \r\n\r\n100 50 0 \r\n");
    write("y.spa", "-1 0 1 \r\n\r\n100 100 100 \r\n");
    std::string wide;
    for (int i = 0; i < 500; ++i) wide += std::to_string(i) + " ";
    write("wide.ang", wide + "\r\n\r\n" + wide + "\r\n");
    auto form = start();
    form->Edit8.setText("0.3");
    form->dispatch([&] { form->ComboBoxEx1.userChange("y.ang"); });
    EXPECT_EQ(boxes_.take(), (Boxes{{"error", kTitle, "Cannot open file "}}));
    EXPECT_EQ(form->Series1.points().size(), 2u);
    EXPECT_TRUE(form->Series2.points().empty());
    EXPECT_EQ(form->Edit8.text(), "0.3");

    form->dispatch([&] { form->ComboBoxEx3.userChange("y.spa"); });
    EXPECT_EQ(form->Label24.caption(), "Spatial Distributions");
    EXPECT_EQ(boxes_.take(), (Boxes{{"error", kTitle, "Cannot open file "}}));
    EXPECT_EQ(form->Series1.points().size(), 2u);

    form->dispatch([&] { form->ComboBoxEx1.userChange("wide.ang"); });
    EXPECT_EQ(boxes_.take(),
              (Boxes{{"error", kTitle,
                      "Distribution file wide.ang holds more than 499 values on one line."}}));
    EXPECT_TRUE(form->Series1.points().empty());
}

TEST_F(FormTest, ChartDoubleClickEnlargesAndRestores) {
    auto form = start();
    form->Chart1.doubleClick();
    EXPECT_TRUE(form->Chart1.aligned());
    EXPECT_EQ(form->Chart1.bounds(), (Bounds{0, 0, 699, 449}));
    EXPECT_FALSE(form->Button2.visible());
    form->About1.click();
    form->Chart1.doubleClick();
    EXPECT_EQ(form->Chart1.bounds(), (Bounds{414, 192, 283, 257}));
    EXPECT_TRUE(form->Button2.visible());
    form->N1.click();
    form->Generate1.click();
    EXPECT_EQ(boxes_.take(),
              (Boxes{{"about", kTitle,
                      " LED type Source File Generator v4.0 beta\n for TracePro,Zemax "}}));
    form->Exit1.click();
    EXPECT_TRUE(form->Closed);
    EXPECT_EQ(closes_, 1);
}

// ---------------------------------------------------------------- START

class RunFromWindow : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        write("y.ang", "0 10 20 30 40 50 60 70 80 90 \r\n\r\n100 98 94 87 77 64 50 34 17 0 \r\n");
        write("x.ang", "0 15 30 45 60 \r\n\r\n100 90 60 20 0 \r\n");
        write("s.spa", "-1 0 1 \r\n\r\n100 100 100 \r\n");
        write("lumiva.cfg", config({"ray1.txt", "ray.dat", "y.ang", "x.ang", "3", "3500", "", "",
                                    "360", "", "0.7", "", "0.5", "1", "2", "s.spa", "s.spa"}));
        form_ = start();
        ASSERT_TRUE(boxes_.take().empty());
    }
    bool idle() const {
        return form_->Button2.visible() && !form_->CGauge1.visible() && !form_->CGauge2.visible() &&
               !form_->CGauge3.visible() && form_->Label21.caption().empty();
    }
    std::unique_ptr<TForm1> form_;
};

const std::string kConfirm = "Begin generation of rayset? \n\n Existing file will be overritten!!!";

TEST_F(RunFromWindow, NoLeavesAnExistingFileUntouched) {
    write("ray.dat", "keep me");
    boxes_.answers = {false};
    EXPECT_FALSE(form_->dispatch([&] { form_->Button2.click(); }));
    EXPECT_EQ(boxes_.take(), (Boxes{{"confirm", "Lumiva", kConfirm}}));
    EXPECT_EQ(slurp("ray.dat"), "keep me");
    EXPECT_TRUE(idle());
}

TEST_F(RunFromWindow, YesWritesTheRaySetWithProgressAndReturnsToIdle) {
    std::vector<std::string> events;
    form_->CGauge1.setObserver([&](const Control& c) {
        const Gauge& g = static_cast<const Gauge&>(c);
        events.push_back("gauge " + std::to_string(g.progress()) + (g.visible() ? "" : " hidden"));
    });
    form_->Label21.setObserver([&](const Control& c) { events.push_back("label " + c.caption()); });
    form_->Button2.setObserver([&](const Control& c) {
        events.push_back(std::string("start ") + (c.visible() ? "shown" : "hidden"));
    });
    EXPECT_TRUE(form_->dispatch([&] { form_->Button2.click(); }));
    EXPECT_EQ(boxes_.take(), (Boxes{{"confirm", "Lumiva", kConfirm},
                                    {"message", kTitle, "OK!!!"},
                                    {"message", kTitle, "Rayset ray.dat created succesfully!!!"}}));
    EXPECT_EQ(events,
              (std::vector<std::string>{"gauge 0", "start hidden", "label Writing to file...",
                                        "gauge 333", "gauge 666", "gauge 1000", "gauge 1000 hidden",
                                        "start shown", "label "}));
    EXPECT_TRUE(idle());
    const std::string bytes = slurp("ray.dat");
    EXPECT_EQ(bytes.substr(0, 5), "3 4\r\n");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 4);
    // The estimates and the flux label are not the run's to change.
    EXPECT_EQ(form_->Label7.caption(), "0");
    EXPECT_EQ(form_->Label10.caption(), "0");
}

TEST_F(RunFromWindow, WritesTheSameBytesAsLumivaGenWithTheSameSeed) {
    form_->CSpinEdit3.setValue(2000);
    form_->RadioGroup1.select(1);
    form_->CheckBox7.click();
    form_->RadioGroup5.select(0);
    ASSERT_TRUE(form_->dispatch([&] { form_->Button2.click(); }));
    const std::string command = std::string("'") + LUMIVA_GEN_PATH +
                                "' --config lumiva.cfg -n 2000 --shape elliptical --smooth spatial "
                                "--format tracepro -o gen.txt --seed 1234567 --quiet";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(slurp("ray1.txt"), slurp("gen.txt"));
}

TEST_F(RunFromWindow, AnApertureThatPassesAsOneInSinglePrecisionGivesNoNan) {
    form_->Edit6.setText("1.00000001");
    form_->CSpinEdit3.setValue(500);
    EXPECT_EQ(form_->Edit6.text(), "1.00000001");
    ASSERT_TRUE(form_->dispatch([&] { form_->Button2.click(); }));
    const std::string bytes = slurp("ray.dat");
    EXPECT_EQ(bytes.find("NAN"), std::string::npos);
}

TEST_F(RunFromWindow, FailuresShowTheErrorDialogAndReturnToIdle) {
    struct Case {
        const char* name;
        std::function<void(TForm1&)> setUp;
        std::string error;
        bool fileEmptied;
    };
    const Case cases[] = {
        {"x size", [](TForm1& f) { f.Edit9.setText("wide"); },
         "'wide' is not a valid floating point value.", false},
        {"empty aperture", [](TForm1& f) { f.Edit8.setText(""); },
         "'' is not a valid floating point value.", false},
        {"hidden width", [](TForm1& f) { f.Edit15.setText("1,5"); },
         "'1,5' is not a valid floating point value.", false},
        {"output path", [](TForm1& f) { f.Edit4.setText("no/such/ray.dat"); },
         "Cannot create file 'no/such/ray.dat': No such file or directory.", false},
        {"spatial file", [](TForm1& f) { f.ComboBoxEx4.setText(""); }, "Cannot open file ", true},
        {"full disk",
         [](TForm1& f) {
             f.Edit4.setText("/dev/full");
             f.CSpinEdit3.setValue(100000);
         },
         "Cannot write to file '/dev/full': No space left on device; the ray set /dev/full is "
         "incomplete.",
         false},
    };
    for (const Case& c : cases) {
        write("ray.dat", "old");
        auto form = start();
        boxes_.take();
        form->dispatch([&] { c.setUp(*form); });
        boxes_.take();
        EXPECT_FALSE(form->dispatch([&] { form->Button2.click(); })) << c.name;
        const Boxes shown = boxes_.take();
        ASSERT_EQ(shown.size(), 3u) << c.name;
        EXPECT_EQ(shown[2], (ShownBox{"error", kTitle, c.error})) << c.name;
        EXPECT_TRUE(form->Button2.visible() && !form->CGauge1.visible() &&
                    form->Label21.caption().empty())
            << c.name;
        EXPECT_EQ(slurp("ray.dat"), c.fileEmptied ? "" : "old") << c.name;
    }
}

TEST(StartUp, AFailureEscapingTheLoopIsShownAndTheExitCodeStaysZero) {
    const test::WorkingFolder folder;
    ScriptedBoxes boxes;
    FormEnvironment env;
    env.boxes = &boxes;
    const int code = runApplication(env, [](TForm1&) { throw Failure("loop failed"); });
    EXPECT_EQ(code, 0);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back(), (ShownBox{"error", kTitle, "loop failed."}));
}

TEST(StartUp, ShowsTheConfigurationFailureBeforeTheWindow) {
    std::optional<test::WorkingFolder> folder(std::in_place);
    ScriptedBoxes boxes;
    FormEnvironment env;
    env.boxes = &boxes;
    std::size_t boxesWhenShown = 99;
    const int code = runApplication(env, [&](TForm1& form) {
        boxesWhenShown = boxes.shown.size();
        EXPECT_EQ(form.Edit6.text(), "0");
    });
    folder.reset();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(boxesWhenShown, 1u);
    EXPECT_EQ(boxes.shown, (Boxes{{"error", kTitle, "Cannot open file lumiva.cfg."}}));
}

}  // namespace
}  // namespace lumiva
