#pragma once
// TForm1, the one main window, as a model without any toolkit: every control by its
// designer's name with its start state, and every handler as a method. A front end draws
// the controls, forwards the user's input to them through `dispatch`, and shows the boxes
// of the MessageBoxes it passes in.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/chart.h"
#include "controls/control.h"
#include "controls/message_boxes.h"

namespace lumiva {

inline const std::string kApplicationTitle = "Lumiva LED 4";
inline const std::string kHelpFile =
    "C:\\Program Files\\Zivado Raderirudez\\ZIRI 6.21.0\\hlp\\ZIRI-FAQ.chm";

class MenuItem : public Control {
public:
    MenuItem(std::string name, std::string caption) : Control(std::move(name)) {
        setCaption(std::move(caption));
    }
    Handler onClick;
    void click() { run(onClick); }
};

// What the window needs from its surroundings.
struct FormEnvironment {
    MessageBoxes* boxes = nullptr;
    char decimalSeparator = '.';
    // The pseudo-random seed of a run: the current time in whole seconds.
    std::function<std::uint32_t()> clock;
    // The window asks to be closed (Exit, or its close box after FormClose).
    std::function<void()> close;
};

class TForm1 {
public:
    explicit TForm1(FormEnvironment environment);
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Runs one user event's handler as the message loop does: a failure goes to the
    // default error dialog, a silent cancellation shows nothing.
    bool dispatch(const std::function<void()>& handler);

    // Every control, for a front end that binds them all.
    std::vector<Control*> controls();

    // --- the window itself
    std::string Caption = "Lumiva LED";
    Bounds WindowBounds{304, 285, 699, 449};  // position and client area
    bool Closed = false;

    // --- containers
    Panel Panel1{"Panel1", {0, 0, 699, 449}};
    Panel GroupBox1{"GroupBox1", {3, 0, 409, 185}};
    Panel GroupBox2{"GroupBox2", {3, 185, 409, 225}};
    Panel Panel2{"Panel2", {414, 5, 283, 61}};
    Panel Panel6{"Panel6", {414, 139, 283, 54}};

    // --- Angular Data
    RadioGroup RadioGroup2{"RadioGroup2", {"Lambertian", "Uniform", "User Defined", "Gaussian"}, 2};
    RadioGroup RadioGroup4{"RadioGroup4", {"Elliptical", "Rectangular"}, 1};
    Label Label27{"Label27"};
    Edit Edit6{"Edit6"};
    Label Label29{"Label29"};
    Edit Edit8{"Edit8"};
    RadioGroup RadioGroup6{"RadioGroup6", {"Rectangle", "Ellipse"}, 1};
    Label Label8{"Label8"};
    SpinEdit CSpinEdit4{"CSpinEdit4", 0, 360, 1, 360};
    Label Label23{"Label23"};
    Label Label11{"Label11"};
    Edit Edit7{"Edit7"};
    Label Label17{"Label17"};
    Edit Edit12{"Edit12"};
    Label Label26{"Label26"};
    Edit Edit14{"Edit14"};
    Label Label30{"Label30"};
    Edit Edit15{"Edit15"};
    Label Label6{"Label6"};
    ComboBox ComboBoxEx1{"ComboBoxEx1"};
    Label Label5{"Label5"};
    ComboBox ComboBoxEx2{"ComboBoxEx2"};
    CheckBox CheckBox5{"CheckBox5"};
    CheckBox CheckBox3{"CheckBox3"};
    CheckBox CheckBox4{"CheckBox4"};

    // --- Spatial Data
    RadioGroup RadioGroup1{"RadioGroup1", {"Rectangular", "Elliptical"}, 0};
    Label Label32{"Label32"};
    Edit Edit9{"Edit9"};
    Label Label28{"Label28"};
    Label Label25{"Label25"};
    Edit Edit10{"Edit10"};
    Label Label31{"Label31"};
    CheckBox CheckBox6{"CheckBox6"};
    Label Label33{"Label33"};
    SpinEdit CSpinEdit6{"CSpinEdit6", 0, 100, 1, 50};
    Edit Edit13{"Edit13"};
    Label Label3{"Label3"};
    ComboBox ComboBoxEx3{"ComboBoxEx3"};
    Label Label2{"Label2"};
    ComboBox ComboBoxEx4{"ComboBoxEx4"};
    RadioGroup RadioGroup3{
        "RadioGroup3",
        {"plane placed in z=0", "ellipsoid centered at z=0", "cilinder centered at z=0"},
        0};
    RadioGroup RadioGroup7{"RadioGroup7", {"Gaussian", "Uniform", "User Defined"}, 1};
    Label Label19{"Label19"};
    Edit Edit2{"Edit2"};
    Label Label22{"Label22"};
    Edit Edit1{"Edit1"};
    CheckBox CheckBox7{"CheckBox7"};

    // --- Rays and flux
    Label Label1{"Label1"};
    SpinEdit CSpinEdit3{"CSpinEdit3", 1, 1000000000, 10000, 30000};
    CheckBox CheckBox2{"CheckBox2"};
    SpinEdit CSpinEdit5{"CSpinEdit5", 5, 50000, 100, 3500};
    Label Label18{"Label18"};

    // --- Output
    RadioGroup RadioGroup5{"RadioGroup5", {"TracePro", "Zemax (ASCI)"}, 1, {414, 64, 123, 73}};
    Label Label4{"Label4"};
    Edit Edit4{"Edit4"};
    Edit Edit3{"Edit3"};

    // --- Run and results
    Button Button2{"Button2", {544, 72, 153, 62}};
    Label Label21{"Label21", {548, 69, 0, 0}};
    Gauge CGauge2{"CGauge2", 1000, {544, 84, 145, 17}};
    Gauge CGauge1{"CGauge1", 1000, {544, 100, 145, 17}};
    Gauge CGauge3{"CGauge3", 1000, {544, 116, 145, 17}};
    Label Label20{"Label20"};
    Label Label7{"Label7"};
    Label Label12{"Label12"};
    Label Label13{"Label13"};
    Label Label14{"Label14"};
    Label Label15{"Label15"};
    Label Label16{"Label16"};
    Label Label9{"Label9"};
    Label Label10{"Label10"};

    // --- Preview
    Chart Chart1{"Chart1", {414, 192, 283, 257}, {255, 255, 244}};
    LineSeries Series1{"Series1", "Y distribution", {255, 0, 0}};
    LineSeries Series2{"Series2", "X Distribution", {0, 0, 255}};
    Label Label24{"Label24", {64, 8, 0, 0}};
    Label Label36{"Label36", {8, 24, 0, 0}};
    FileListBox FileListBox1{"FileListBox1", "*.ang"};
    FileListBox FileListBox2{"FileListBox2", "*.spa"};

    // --- Menu
    MenuItem File1{"File1", "File"};
    MenuItem Generate1{"Generate1", "Generate"};
    MenuItem Notyfy1{"Notyfy1", "Plot"};
    MenuItem Exit1{"Exit1", "Exit"};
    MenuItem Help1{"Help1", "Help"};
    MenuItem N1{"N1", "Help"};
    MenuItem About1{"About1", "About"};

    // --- handlers
    void FormCreate();
    void FormClose();
    void About1Click();
    void Exit1Click();
    void N1Click();
    void Chart1DblClick();

    void CSpinEdit3Change();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox5Click();
    void CheckBox4Click();
    void CheckBox7Click();
    void RadioGroup1Click();
    void CheckBox6Click();
    void CSpinEdit6Change();
    void RadioGroup7Click();

    void Edit6Change();
    void Edit8Change();
    void Edit14Change();
    void Edit15Change();
    void Edit7Change();
    void Edit12Change();
    void RadioGroup2Click();

    void ComboBoxEx1Change();
    void ComboBoxEx2Change();
    void ComboBoxEx3Change();
    void ComboBoxEx4Change();

    void Button2Click();

private:
    void setStartState();
    void wireHandlers();
    void boundValidation(Edit& edit, float upper, const std::string& upperText);
    void widthValidation(Edit& width, Edit& aperture);
    void preview(const std::string& heading, ComboBox& yPicker, ComboBox& xPicker, ComboBox* own,
                 Edit* aperture);
    double number(const Edit& edit) const;
    void returnToIdle();

    FormEnvironment env_;
};

// The start-up sequence: the window is created with its start values, FormCreate runs
// through the dispatcher (its failure is shown before the window is), then the front end
// shows the window and runs its loop. Returns the process exit code.
int runApplication(FormEnvironment environment, const std::function<void(TForm1&)>& showAndRunLoop);

}  // namespace lumiva
