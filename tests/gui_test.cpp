// The desktop window under the offscreen platform: its widgets, and that each kind of
// binding carries the user's input to the model and the model's changes back.

#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/unit1.h"
#include "generation/sobol.h"
#include "gui/main_window.h"
#include "scripted_boxes.h"
#include "test_files.h"

namespace lumiva {
namespace {

namespace fs = std::filesystem;

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetSobolForTesting();
        folder_ = std::make_unique<test::WorkingFolder>();
        write("y.ang", "0 10 20 30 40 50 60 70 80 90 \r\n\r\n100 98 94 87 77 64 50 34 17 0 \r\n");
        write("x.ang", "0 15 30 45 60 \r\n\r\n100 90 60 20 0 \r\n");
        write("s.spa", "-1 0 1 \r\n\r\n100 100 100 \r\n");
        write("lumiva.cfg",
              "ray1.txt\r\nray.dat\r\ny.ang\r\nx.ang\r\n5\r\n3500\r\n\r\n\r\n360\r\n\r\n"
              "0.7\r\n\r\n0.5\r\n1\r\n2\r\ns.spa\r\ns.spa\r\n");
        FormEnvironment env;
        env.boxes = &boxes_;
        env.clock = [] { return 42u; };
        form_ = std::make_unique<TForm1>(env);
        form_->dispatch([this] { form_->FormCreate(); });
        window_ = std::make_unique<MainWindow>(*form_);
        window_->show();
    }
    void TearDown() override {
        window_.reset();
        form_.reset();
        folder_.reset();
    }
    static void write(const std::string& name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    template <typename W>
    W* widget(const Control& control) {
        W* w = dynamic_cast<W*>(window_->widgetOf(control));
        EXPECT_NE(w, nullptr) << control.name();
        return w;
    }
    template <typename W>
    W* named(const char* name) {
        W* w = window_->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    ScriptedBoxes boxes_;
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<test::WorkingFolder> folder_;
};

TEST_F(GuiTest, WidgetsSitAtTheDesignedBoundsWithTheirCaptions) {
    EXPECT_EQ(window_->windowTitle(), "Lumiva LED");
    EXPECT_EQ(window_->centralWidget()->size(), QSize(699, 449));
    EXPECT_EQ(window_->pos(), QPoint(304, 285));
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize());  // no resizing
    EXPECT_FALSE(window_->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window_->windowFlags() & Qt::WindowMinimizeButtonHint);
    struct Expect {
        Control* control;
        QRect geometry;
    };
    const Expect table[] = {
        {&form_->GroupBox1, {3, 0, 409, 185}},  {&form_->GroupBox2, {3, 185, 409, 225}},
        {&form_->Panel2, {414, 5, 283, 61}},    {&form_->RadioGroup5, {414, 64, 123, 73}},
        {&form_->Button2, {544, 72, 153, 62}},  {&form_->Panel6, {414, 139, 283, 54}},
        {&form_->Chart1, {414, 192, 283, 257}}, {&form_->CGauge2, {544, 84, 145, 17}},
        {&form_->CGauge1, {544, 100, 145, 17}}, {&form_->CGauge3, {544, 116, 145, 17}}};
    for (const Expect& e : table)
        EXPECT_EQ(window_->widgetOf(*e.control)->geometry(), e.geometry) << e.control->name();
    EXPECT_EQ(widget<QGroupBox>(form_->GroupBox1)->title(), "Angular Data");
    EXPECT_EQ(widget<QGroupBox>(form_->RadioGroup5)->title(), "Rayset Format");
    EXPECT_EQ(widget<QPushButton>(form_->Button2)->text(), "START");
    EXPECT_EQ(widget<QLabel>(form_->Label24)->text(), "vvv");
    EXPECT_EQ(widget<QLabel>(form_->Label9)->text(), "Size of Source File, Mb: ");
    EXPECT_FALSE(widget<QLineEdit>(form_->Edit3)->isVisible());
    EXPECT_FALSE(widget<QProgressBar>(form_->CGauge1)->isVisible());
    EXPECT_EQ(widget<QLineEdit>(form_->Edit4)->text(), "ray.dat");
    EXPECT_EQ(widget<QComboBox>(form_->ComboBoxEx1)->count(), 2);
    EXPECT_EQ(widget<QComboBox>(form_->ComboBoxEx1)->maxVisibleItems(), 8);
    QStringList menus;
    for (QAction* action : window_->menuBar()->actions()) {
        menus << action->text();
        for (QAction* item : action->menu()->actions()) menus << item->text();
    }
    EXPECT_EQ(menus, (QStringList{"File", "Generate", "Plot", "Exit", "Help", "Help", "About"}));
}

TEST_F(GuiTest, TypingIntoAnEditReachesItsHandlerAndTheCorrectionComesBack) {
    QLineEdit* nax = widget<QLineEdit>(form_->Edit6);
    nax->selectAll();
    QTest::keyClicks(nax, "1.5");
    EXPECT_EQ(form_->Edit6.text(), "1");
    EXPECT_EQ(nax->text(), "1");
    QLineEdit* gx = widget<QLineEdit>(form_->Edit7);
    gx->end(false);
    QTest::keyClicks(gx, "x");
    EXPECT_EQ(boxes_.take(),
              (std::vector<ShownBox>{
                  {"error", "Lumiva LED 4", "'60x' is not a valid floating point value."}}));
}

TEST_F(GuiTest, EachKindOfBindingCarriesTheUsersInput) {
    struct Case {
        const char* name;
        std::function<void()> act;
        std::function<bool()> holds;
    };
    const Case cases[] = {
        {"check box exclusion",
         [&] {
             QTest::mouseClick(widget<QCheckBox>(form_->CheckBox4), Qt::LeftButton);
             QTest::mouseClick(widget<QCheckBox>(form_->CheckBox7), Qt::LeftButton);
         },
         [&] {
             return form_->CheckBox7.checked() && !form_->CheckBox4.checked() &&
                    !widget<QCheckBox>(form_->CheckBox4)->isChecked();
         }},
        {"locked box",
         [&] { QTest::mouseClick(widget<QCheckBox>(form_->CheckBox3), Qt::LeftButton); },
         [&] { return widget<QCheckBox>(form_->CheckBox3)->isChecked(); }},
        {"radio group",
         [&] { QTest::mouseClick(named<QRadioButton>("RadioGroup1_1"), Qt::LeftButton); },
         [&] {
             return form_->RadioGroup1.itemIndex() == 1 &&
                    widget<QLabel>(form_->Label32)->text() == "X Diameter";
         }},
        {"type switch",
         [&] { QTest::mouseClick(named<QRadioButton>("RadioGroup2_3"), Qt::LeftButton); },
         [&] {
             return widget<QLineEdit>(form_->Edit7)->isVisible() &&
                    widget<QLineEdit>(form_->Edit6)->text() == "0.9999";
         }},
        {"spin steps", [&] { widget<QAbstractSpinBox>(form_->CSpinEdit3)->stepUp(); },
         [&] {
             return form_->CSpinEdit3.text() == "10005" &&
                    widget<QLabel>(form_->Label15)->text() == "1";
         }},
        {"spin typing and focus loss",
         [&] {
             auto* spin = widget<QAbstractSpinBox>(form_->CSpinEdit3);
             QApplication::setActiveWindow(window_.get());
             spin->setFocus();
             spin->selectAll();
             QTest::keyClicks(spin, "0");
             spin->clearFocus();
         },
         [&] {
             return form_->CSpinEdit3.text() == "1" &&
                    widget<QAbstractSpinBox>(form_->CSpinEdit3)->text() == "1";
         }},
        {"picker", [&] { widget<QComboBox>(form_->ComboBoxEx3)->setEditText("s.spa "); },
         [&] {
             return form_->ComboBoxEx3.text() == "s.spa " &&
                    widget<QLabel>(form_->Label24)->text() == "Spatial Distributions" &&
                    boxes_.take() ==
                        std::vector<ShownBox>{{"error", "Lumiva LED 4", "Cannot open file s.spa "}};
         }},
        {"chart double click",
         [&] { QTest::mouseDClick(widget<QChartView>(form_->Chart1)->viewport(), Qt::LeftButton); },
         [&] {
             return form_->Chart1.aligned() && !widget<QPushButton>(form_->Button2)->isVisible() &&
                    window_->widgetOf(form_->Chart1)->geometry() == QRect(0, 0, 699, 449);
         }},
        {"about", [&] { window_->findChild<QAction*>("About1")->trigger(); },
         [&] { return boxes_.take().size() == 1; }},
    };
    for (const Case& c : cases) {
        c.act();
        EXPECT_TRUE(c.holds()) << c.name;
    }
}

TEST_F(GuiTest, StartThroughTheWindowWritesTheFileAndReturnsToIdle) {
    QTest::mouseClick(widget<QPushButton>(form_->Button2), Qt::LeftButton);
    const std::vector<ShownBox> shown = boxes_.take();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].text, "Rayset ray.dat created succesfully!!!");
    std::ifstream in("ray.dat", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str().substr(0, 5), "5 4\r\n");
    EXPECT_TRUE(widget<QPushButton>(form_->Button2)->isVisible());
    EXPECT_FALSE(widget<QProgressBar>(form_->CGauge3)->isVisible());
    EXPECT_EQ(widget<QLabel>(form_->Label21)->text(), "");
}

TEST_F(GuiTest, AFailedStartShowsTheErrorDialog) {
    QLineEdit* size = widget<QLineEdit>(form_->Edit9);
    size->selectAll();
    QTest::keyClicks(size, "wide");
    QTest::mouseClick(widget<QPushButton>(form_->Button2), Qt::LeftButton);
    const std::vector<ShownBox> shown = boxes_.take();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2],
              (ShownBox{"error", "Lumiva LED 4", "'wide' is not a valid floating point value."}));
    EXPECT_TRUE(widget<QPushButton>(form_->Button2)->isVisible());
}

}  // namespace
}  // namespace lumiva

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
