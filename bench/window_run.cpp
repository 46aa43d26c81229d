// A START run of the window model without a display, as the throughput script times it:
// the same engine as lumiva-gen, with the gauges and the status label updated as in the
// window (every change notified to an observer).
//   window_run FOLDER RAYS SEED [lambertian|angular-ellipse]
// FOLDER becomes the working folder; it must hold a lumiva.cfg naming the output and the
// distribution files.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/unit1.h"

namespace {

class AnswerYes : public lumiva::MessageBoxes {
public:
    bool confirm(const std::string&, const std::string&) override { return true; }
    void message(const std::string&, const std::string&) override {}
    void about(const std::string&, const std::string&) override {}
    void error(const std::string&, const std::string& text) override {
        std::fprintf(stderr, "window_run: %s\n", text.c_str());
        failed = true;
    }
    bool failed = false;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace lumiva;
    if (argc != 5 || ::chdir(argv[1]) != 0) {
        std::fprintf(stderr, "usage: window_run FOLDER RAYS SEED lambertian|angular-ellipse\n");
        return 2;
    }
    AnswerYes boxes;
    FormEnvironment env;
    env.boxes = &boxes;
    const std::uint32_t seed = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10));
    env.clock = [seed] { return seed; };
    TForm1 form(env);
    if (!form.dispatch([&] { form.FormCreate(); })) return 1;
    long notices = 0;
    for (Control* c : form.controls()) c->setObserver([&notices](const Control&) { ++notices; });
    form.CSpinEdit3.setValue(std::atoi(argv[2]));
    form.RadioGroup2.select(0);  // Lambertian
    form.Edit6.setText("0.99");
    form.Edit8.setText("0.99");
    if (std::string(argv[4]) == "angular-ellipse") {
        form.RadioGroup1.select(1);
        form.CheckBox4.setChecked(true);
    }
    form.dispatch([&] { form.Button2.click(); });
    return boxes.failed ? 1 : 0;
}
