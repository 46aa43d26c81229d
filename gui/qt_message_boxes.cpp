#include "gui/qt_message_boxes.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "gui/exact_title.h"

namespace lumiva {

namespace {

int show(QWidget* parent, QMessageBox::Icon icon, const std::string& caption,
         const std::string& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromStdString(caption), QString::fromStdString(text), buttons,
                    parent);
    box.setObjectName("lumivaMessageBox");
    const ExactTitles exact;
    const int answer = box.exec();
    // A run may follow at once and hold the event loop: let the box leave the screen and
    // the window under it repaint first. No user input is taken meanwhile.
    box.hide();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return answer;
}

}  // namespace

bool QtMessageBoxes::confirm(const std::string& caption, const std::string& text) {
    return show(parent_, QMessageBox::Warning, caption, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void QtMessageBoxes::message(const std::string& caption, const std::string& text) {
    show(parent_, QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
}

void QtMessageBoxes::about(const std::string& caption, const std::string& text) {
    // Centred on the screen rather than on the window.
    show(nullptr, QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
}

void QtMessageBoxes::error(const std::string& caption, const std::string& text) {
    show(parent_, QMessageBox::Critical, caption, text, QMessageBox::Ok);
}

}  // namespace lumiva
