// lumiva: the desktop window. Takes no arguments; returns 0 when the window is closed.

#include <QApplication>
#include <QFont>
#include <csignal>

#include "app/unit1.h"
#include "controls/number_text.h"
#include "gui/exact_title.h"
#include "gui/main_window.h"
#include "gui/qt_message_boxes.h"

int main(int argc, char** argv) {
    using namespace lumiva;
    // The separator comes from the environment before Qt touches the process locale.
    const char separator = regionalDecimalSeparator();
    // A ray set written to a pipe whose reader goes away fails with a message in the
    // window instead of ending it.
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName("lumiva");
    QApplication::setApplicationDisplayName(QString::fromStdString(kApplicationTitle));
    QFont font("Sans Serif");
    font.setPixelSize(11);
    QApplication::setFont(font);

    QtMessageBoxes boxes;
    FormEnvironment env;
    env.boxes = &boxes;
    env.decimalSeparator = separator;
    MainWindow* window = nullptr;
    env.close = [&window] {
        if (window) window->close();
    };
    return runApplication(env, [&](TForm1& form) {
        MainWindow main(form);
        window = &main;
        boxes.setParent(&main);
        {
            const ExactTitles exact;
            main.show();
        }
        QApplication::exec();
        window = nullptr;
    });
}
