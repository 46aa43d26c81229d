#pragma once
// Qt appends the application display name to every window title it hands to the window
// system. Our captions are exact ("Lumiva LED", "Lumiva"), so the display name is blanked
// while a window is shown and put back afterwards.

#include <QGuiApplication>
#include <QString>

namespace lumiva {

class ExactTitles {
public:
    ExactTitles() : saved_(QGuiApplication::applicationDisplayName()) {
        QGuiApplication::setApplicationDisplayName(QString(""));
    }
    ~ExactTitles() { QGuiApplication::setApplicationDisplayName(saved_); }
    ExactTitles(const ExactTitles&) = delete;
    ExactTitles& operator=(const ExactTitles&) = delete;

private:
    QString saved_;
};

}  // namespace lumiva
