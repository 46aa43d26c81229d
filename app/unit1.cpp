#include "app/unit1.h"

#include <cmath>
#include <ctime>

#include "controls/failure.h"
#include "controls/number_text.h"
#include "controls/text_file.h"
#include "distributions/analytic_parameters.h"
#include "distributions/distribution_file.h"
#include "generation/ray_run.h"
#include "generation/run_parameters.h"

namespace lumiva {

TForm1::TForm1(FormEnvironment environment) : env_(std::move(environment)) {
    if (!env_.clock) env_.clock = [] { return static_cast<std::uint32_t>(std::time(nullptr)); };
    setStartState();
    wireHandlers();
}

void TForm1::setStartState() {
    GroupBox1.setCaption("Angular Data");
    GroupBox2.setCaption("Spatial Data");

    RadioGroup2.setCaption("Type");
    RadioGroup4.setCaption("Symmetry");
    Label27.setCaption("NAx");
    Edit6.setText("0");
    Label29.setCaption("NAy");
    Edit8.setText("0");
    RadioGroup6.setCaption("NA Limits");
    Label8.setCaption("Angular Extent About Z");
    Label23.setCaption("deg.");
    Label11.setCaption("Gx");
    Edit7.setText("60");
    Label17.setCaption("Gy");
    Edit12.setText("60");
    Label26.setCaption("SGx");
    Edit14.setText("1");
    Label30.setCaption("SGy");
    Edit15.setText("1");
    for (Control* hidden : std::initializer_list<Control*>{&Label11, &Edit7, &Label17, &Edit12,
                                                           &Label26, &Edit14, &Label30, &Edit15})
        hidden->setVisible(false);
    Label6.setCaption("Y Distribution");
    Label5.setCaption("X Distribution");
    CheckBox5.setCaption("Emit only within +/- 90 degrees");
    CheckBox3.setCaption("Symmetrical");
    CheckBox3.setChecked(true);
    CheckBox4.setCaption("Smooth");

    RadioGroup1.setCaption("Shape");
    Label32.setCaption("X Size");
    Edit9.setText("0.001");
    Label28.setCaption("mm");
    Label25.setCaption("Y Size");
    Edit10.setText("0.001");
    Label31.setCaption("mm");
    CheckBox6.setCaption("Double side");
    Label33.setCaption("Balance");
    Label33.setVisible(false);
    CSpinEdit6.setVisible(false);
    CSpinEdit6.setEditorEnabled(false);
    Edit13.setText("50");
    Edit13.setReadOnly(true);
    Edit13.setVisible(false);
    Label3.setCaption("Y Distribution");
    Label2.setCaption("X Distribution");
    RadioGroup3.setCaption("Form of Source");
    RadioGroup3.setEnabled(false);
    RadioGroup7.setCaption("Type");
    RadioGroup7.setEnabled(false);
    Label19.setCaption("Gx");
    Edit2.setText("1");
    Label22.setCaption("Gy");
    Edit1.setText("1");
    for (Control* hidden : std::initializer_list<Control*>{&Label19, &Edit2, &Label22, &Edit1})
        hidden->setVisible(false);
    CheckBox7.setCaption("Smooth");

    Label1.setCaption("Number of Rays:");
    CheckBox2.setCaption("Consider Source Flux :");
    CheckBox2.setEnabled(false);
    CSpinEdit5.setEnabled(false);
    Label18.setCaption("Watt");

    RadioGroup5.setCaption("Rayset Format");
    Label4.setCaption("Path for Saving Source File:");
    Edit4.setText("D:\\Program files\\ZEMAX\\Objects\\ray.dat");
    Edit3.setText("C:\\ray1.txt");
    Edit3.setVisible(false);

    Button2.setCaption("START");
    for (Gauge* gauge : {&CGauge2, &CGauge1, &CGauge3}) gauge->setVisible(false);
    Label20.setCaption("Obtained Flux, Watt:");
    Label7.setCaption("0");
    Label12.setCaption("Generation Time ~ ");
    Label13.setCaption("0");
    Label14.setCaption("min");
    Label15.setCaption("1");
    Label16.setCaption("sec");
    Label9.setCaption("Size of Source File, Mb: ");
    Label10.setCaption("2");

    Label24.setCaption("vvv");
    Label36.setCaption("%");
}

void TForm1::wireHandlers() {
    Exit1.onClick = [this] { Exit1Click(); };
    N1.onClick = [this] { N1Click(); };
    About1.onClick = [this] { About1Click(); };
    Chart1.onDoubleClick = [this] { Chart1DblClick(); };

    CSpinEdit3.onChange = [this] { CSpinEdit3Change(); };
    CheckBox2.onClick = [this] { CheckBox2Click(); };
    CheckBox3.onClick = [this] { CheckBox3Click(); };
    CheckBox5.onClick = [this] { CheckBox5Click(); };
    CheckBox4.onClick = [this] { CheckBox4Click(); };
    CheckBox7.onClick = [this] { CheckBox7Click(); };
    RadioGroup1.onClick = [this] { RadioGroup1Click(); };
    CheckBox6.onClick = [this] { CheckBox6Click(); };
    CSpinEdit6.onChange = [this] { CSpinEdit6Change(); };
    RadioGroup7.onClick = [this] { RadioGroup7Click(); };

    Edit6.onChange = [this] { Edit6Change(); };
    Edit8.onChange = [this] { Edit8Change(); };
    Edit14.onChange = [this] { Edit14Change(); };
    Edit15.onChange = [this] { Edit15Change(); };
    Edit7.onChange = [this] { Edit7Change(); };
    Edit12.onChange = [this] { Edit12Change(); };
    RadioGroup2.onClick = [this] { RadioGroup2Click(); };

    ComboBoxEx1.onChange = [this] { ComboBoxEx1Change(); };
    ComboBoxEx2.onChange = [this] { ComboBoxEx2Change(); };
    ComboBoxEx3.onChange = [this] { ComboBoxEx3Change(); };
    ComboBoxEx4.onChange = [this] { ComboBoxEx4Change(); };

    Button2.onClick = [this] { Button2Click(); };
}

bool TForm1::dispatch(const std::function<void()>& handler) {
    return lumiva::dispatch(*env_.boxes, kApplicationTitle, handler);
}

std::vector<Control*> TForm1::controls() {
    return {&Panel1,      &GroupBox1,  &GroupBox2,    &Panel2,       &Panel6,      &RadioGroup2,
            &RadioGroup4, &Label27,    &Edit6,        &Label29,      &Edit8,       &RadioGroup6,
            &Label8,      &CSpinEdit4, &Label23,      &Label11,      &Edit7,       &Label17,
            &Edit12,      &Label26,    &Edit14,       &Label30,      &Edit15,      &Label6,
            &ComboBoxEx1, &Label5,     &ComboBoxEx2,  &CheckBox5,    &CheckBox3,   &CheckBox4,
            &RadioGroup1, &Label32,    &Edit9,        &Label28,      &Label25,     &Edit10,
            &Label31,     &CheckBox6,  &Label33,      &CSpinEdit6,   &Edit13,      &Label3,
            &ComboBoxEx3, &Label2,     &ComboBoxEx4,  &RadioGroup3,  &RadioGroup7, &Label19,
            &Edit2,       &Label22,    &Edit1,        &CheckBox7,    &Label1,      &CSpinEdit3,
            &CheckBox2,   &CSpinEdit5, &Label18,      &RadioGroup5,  &Label4,      &Edit4,
            &Edit3,       &Button2,    &Label21,      &CGauge2,      &CGauge1,     &CGauge3,
            &Label20,     &Label7,     &Label12,      &Label13,      &Label14,     &Label15,
            &Label16,     &Label9,     &Label10,      &Chart1,       &Series1,     &Series2,
            &Label24,     &Label36,    &FileListBox1, &FileListBox2, &File1,       &Generate1,
            &Notyfy1,     &Exit1,      &Help1,        &N1,           &About1};
}

// ---------------------------------------------------------------- the shell

void TForm1::FormClose() {}

void TForm1::Exit1Click() {
    FormClose();
    Closed = true;
    if (env_.close) env_.close();
}

void TForm1::N1Click() {}

void TForm1::About1Click() {
    env_.boxes->about(kApplicationTitle,
                      " LED type Source File Generator v4.0 beta\n for TracePro,Zemax ");
}

void TForm1::Chart1DblClick() {
    if (!Chart1.aligned()) {
        Chart1.setAligned(true);
        Chart1.setBounds({0, 0, Panel1.bounds().width, Panel1.bounds().height});
        Button2.setVisible(false);
    } else {
        Chart1.setAligned(false);
        Chart1.setBounds({414, 192, 283, 257});
        Button2.setVisible(true);
    }
}

// ---------------------------------------------------------------- configuration

void TForm1::FormCreate() {
    std::string text;
    try {
        text = readWholeFile("lumiva.cfg");
    } catch (const Failure&) {
        throw cannotOpenFile("lumiva.cfg");
    }
    const std::vector<std::string> lines = splitLines(text);
    auto line = [&lines](std::size_t number) -> const std::string& {
        if (number > lines.size()) throw listIndexOutOfBounds(static_cast<long long>(number) - 1);
        return lines[number - 1];
    };
    Edit3.setText(line(1));
    Edit4.setText(line(2));
    ComboBoxEx1.setText(line(3));
    ComboBoxEx2.setText(line(4));
    CSpinEdit3.setValue(textToInteger(line(5)));
    CSpinEdit5.setValue(textToInteger(line(6)));
    CSpinEdit4.setValue(textToInteger(line(9)));
    Edit6.setText(line(11));
    Edit8.setText(line(13));
    Edit9.setText(line(14));
    Edit10.setText(line(15));
    ComboBoxEx3.setText(line(16));
    ComboBoxEx4.setText(line(17));

    FileListBox1.list(".");
    FileListBox2.list(".");
    ComboBoxEx1.setItems(FileListBox1.items());
    ComboBoxEx2.setItems(FileListBox1.items());
    ComboBoxEx3.setItems(FileListBox2.items());
    ComboBoxEx4.setItems(FileListBox2.items());
}

// ---------------------------------------------------------------- interlocks

void TForm1::CSpinEdit3Change() {
    const double n = CSpinEdit3.value();
    Label10.setCaption(std::to_string(static_cast<long long>(n * 0.0000748)));
    const double t = n * 0.00015;
    Label13.setCaption(std::to_string(static_cast<long long>(t / 60)));
    Label15.setCaption(std::to_string(static_cast<long long>(std::fmod(t, 60))));
}

void TForm1::CheckBox2Click() { CSpinEdit5.setEnabled(CheckBox2.checked()); }

void TForm1::CheckBox3Click() { CheckBox3.setChecked(true); }

void TForm1::CheckBox5Click() { CheckBox5.setChecked(false); }

void TForm1::CheckBox4Click() {
    if (CheckBox7.checked() && CheckBox4.checked()) CheckBox7.setChecked(false);
}

void TForm1::CheckBox7Click() {
    if (CheckBox4.checked() && CheckBox7.checked()) CheckBox4.setChecked(false);
}

void TForm1::RadioGroup1Click() {
    const bool rectangular = RadioGroup1.itemIndex() == 0;
    Label32.setCaption(rectangular ? "X Side" : "X Diameter");
    Label25.setCaption(rectangular ? "Y Side" : "Y Diameter");
}

void TForm1::CheckBox6Click() {
    const bool shown = CheckBox6.checked();
    Label33.setVisible(shown);
    CSpinEdit6.setVisible(shown);
    Edit13.setVisible(shown);
}

void TForm1::CSpinEdit6Change() { Edit13.setText(std::to_string(100 - CSpinEdit6.value())); }

void TForm1::RadioGroup7Click() {
    const bool shown = RadioGroup7.itemIndex() == 0;
    for (Control* c : std::initializer_list<Control*>{&Edit1, &Edit2, &Label19, &Label22})
        c->setVisible(shown);
}

// ---------------------------------------------------------------- analytic parameters

void TForm1::boundValidation(Edit& edit, float upper, const std::string& upperText) {
    // An empty edit ends the handler, and a configuration load that set it, silently. A
    // correction runs this handler again, nested, on the corrected text.
    const std::optional<std::string> kept =
        boundedText(edit.text(), 0, upper, upperText, env_.decimalSeparator);
    if (!kept) throw SilentCancellation();
    edit.setText(*kept);
}

void TForm1::widthValidation(Edit& width, Edit& aperture) {
    if (width.text().empty()) throw SilentCancellation();
    if (width.text() == "-") width.setText("0");
    float g = static_cast<float>(textToFloat(width.text(), env_.decimalSeparator));
    if (g > 1000.0f) width.setText("1000");
    if (g < 1.0f) {
        width.setText("1");
        g = 1;
    }
    if (static_cast<double>(g) >= 36.6)
        aperture.setText("0.9999");
    else
        aperture.setText(fixedText(std::sin(static_cast<double>(g) * 2.45 * kPi / 180), 4,
                                   env_.decimalSeparator));
}

void TForm1::Edit6Change() { boundValidation(Edit6, 1, "1"); }
void TForm1::Edit8Change() { boundValidation(Edit8, 1, "1"); }
void TForm1::Edit14Change() { boundValidation(Edit14, 1000, "1000"); }
void TForm1::Edit15Change() { boundValidation(Edit15, 1000, "1000"); }
void TForm1::Edit7Change() { widthValidation(Edit7, Edit6); }
void TForm1::Edit12Change() { widthValidation(Edit12, Edit8); }

void TForm1::RadioGroup2Click() {
    const std::initializer_list<Control*> gaussian = {&Label11, &Label17, &Label26, &Label30,
                                                      &Edit7,   &Edit12,  &Edit14,  &Edit15};
    for (Control* c : gaussian) c->setVisible(false);
    if (RadioGroup2.itemIndex() == 2) {
        Edit6.setText("0.99");
        Edit8.setText("0.99");
    }
    if (RadioGroup2.itemIndex() == 3) {
        Edit6.setText("0.9999");
        Edit8.setText("0.9999");
        for (Control* c : {&Edit7, &Edit12, &Edit14, &Edit15}) c->setVisible(true);
        for (Control* c : {&Label11, &Label17, &Label26, &Label30}) c->setVisible(true);
    }
}

// ---------------------------------------------------------------- preview

void TForm1::preview(const std::string& heading, ComboBox& yPicker, ComboBox& xPicker,
                     ComboBox* own, Edit* aperture) {
    Label24.setCaption(heading);
    Series1.clear();
    Series2.clear();
    const Distribution y =
        readDistributionFile(yPicker.text(), env_.decimalSeparator, kPreviewTableCapacity);
    for (std::size_t k = 0; k + 1 < y.count(); ++k) Series1.add(y.abscissae[k], y.ordinates[k]);
    const Distribution x =
        readDistributionFile(xPicker.text(), env_.decimalSeparator, kPreviewTableCapacity);
    for (std::size_t k = 0; k + 1 < x.count(); ++k) Series2.add(x.abscissae[k], x.ordinates[k]);
    Chart1.repaint();
    if (!own) return;

    // The sine of the last angle before the first ordinate, from the second on, that
    // falls below 0.1.
    const Distribution& d = own == &yPicker ? y : x;
    float estimate = 5.0f;
    for (std::size_t k = 0; k + 1 < d.count(); ++k) {
        estimate = static_cast<float>(std::sin(d.abscissae[k] * kPi / 180));
        if (!(d.ordinates[k + 1] >= 0.1)) break;
    }
    if (RadioGroup2.itemIndex() == 2)
        aperture->setText(fixedText(estimate, 6, env_.decimalSeparator));
}

void TForm1::ComboBoxEx1Change() {
    preview("Angular Distributions", ComboBoxEx1, ComboBoxEx2, &ComboBoxEx1, &Edit8);
}
void TForm1::ComboBoxEx2Change() {
    preview("Angular Distributions", ComboBoxEx1, ComboBoxEx2, &ComboBoxEx2, &Edit6);
}
void TForm1::ComboBoxEx3Change() {
    preview("Spatial Distributions", ComboBoxEx3, ComboBoxEx4, nullptr, nullptr);
}
void TForm1::ComboBoxEx4Change() {
    preview("Spatial Distributions", ComboBoxEx3, ComboBoxEx4, nullptr, nullptr);
}

// ---------------------------------------------------------------- START

double TForm1::number(const Edit& edit) const {
    return textToFloat(edit.text(), env_.decimalSeparator);
}

void TForm1::returnToIdle() {
    for (Gauge* gauge : {&CGauge1, &CGauge2, &CGauge3}) gauge->setVisible(false);
    Button2.setVisible(true);
    Label21.setCaption("");
}

void TForm1::Button2Click() {
    if (!env_.boxes->confirm(
            "Lumiva", "Begin generation of rayset? \n\n Existing file will be overritten!!!"))
        throw SilentCancellation();
    env_.boxes->message(kApplicationTitle, "OK!!!");

    std::string path;
    try {
        RunSettings s;
        s.rayCount = CSpinEdit3.value();
        for (Gauge* gauge : {&CGauge1, &CGauge2, &CGauge3}) gauge->setVisible(true);
        s.seed = env_.clock();
        s.xSize = number(Edit9);
        s.ySize = number(Edit10);
        Button2.setVisible(false);
        s.naX = number(Edit6);
        s.naY = number(Edit8);
        s.gxDegrees = number(Edit7);
        s.gyDegrees = number(Edit12);
        s.sgx = number(Edit14);
        s.sgy = number(Edit15);
        s.naLimits = RadioGroup6.itemIndex() == 0 ? NaLimits::Rectangle : NaLimits::Ellipse;
        s.format = RadioGroup5.itemIndex() == 1 ? RaysetFormat::Zemax : RaysetFormat::TracePro;
        s.traceProPath = Edit3.text();
        s.zemaxPath = Edit4.text();
        s.extentDegrees = CSpinEdit4.value();
        s.shape = RadioGroup1.itemIndex() == 0 ? Shape::Rectangular : Shape::Elliptical;
        s.spatialSmoothing = CheckBox7.checked();
        s.angularSmoothing = CheckBox4.checked();
        s.angularType = static_cast<AngularType>(RadioGroup2.itemIndex());
        s.symmetry = RadioGroup4.itemIndex() == 0 ? Symmetry::Elliptical : Symmetry::Rectangular;
        s.distributionFiles = {ComboBoxEx1.text(), ComboBoxEx2.text(), ComboBoxEx3.text(),
                               ComboBoxEx4.text()};
        const RunParameters parameters = convertRunParameters(s);
        path = parameters.outputPath;

        RunCallbacks callbacks;
        callbacks.writingStarted = [this] { Label21.setCaption("Writing to file..."); };
        callbacks.progress = [this](int permille) {
            for (Gauge* gauge : {&CGauge1, &CGauge2, &CGauge3}) gauge->setProgress(permille);
        };
        generateRaySet(parameters, env_.decimalSeparator, callbacks);
    } catch (...) {
        // A failed run leaves no half-started window behind: the file is already closed.
        returnToIdle();
        throw;
    }
    env_.boxes->message(kApplicationTitle, "Rayset " + path + " created succesfully!!!");
    returnToIdle();
}

int runApplication(FormEnvironment environment,
                   const std::function<void(TForm1&)>& showAndRunLoop) {
    TForm1 form(std::move(environment));
    form.dispatch([&form] { form.FormCreate(); });
    // A failure that escapes the loop is shown by the same dialog; the exit code stays 0.
    form.dispatch([&] { showAndRunLoop(form); });
    return 0;
}

}  // namespace lumiva
