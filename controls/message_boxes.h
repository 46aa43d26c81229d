#pragma once
// The modal boxes the window shows, as an interface: the desktop front end shows real
// boxes, tests answer from a script.

#include <functional>
#include <string>

namespace lumiva {

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Yes/No with the exclamation icon; true for Yes.
    virtual bool confirm(const std::string& caption, const std::string& text) = 0;
    // One OK button, no icon.
    virtual void message(const std::string& caption, const std::string& text) = 0;
    // The About box: one OK button, no icon, centred on the screen.
    virtual void about(const std::string& caption, const std::string& text) = 0;
    // The default error dialog: the error icon and one OK button.
    virtual void error(const std::string& caption, const std::string& text) = 0;
};

// The text the default error dialog shows: the message, with a full stop added when its
// last character's code is above that of "." (after a letter or a digit, not after a
// blank, "!", ")", "-" or "." itself).
std::string errorDialogText(const std::string& message);

// Runs one user event's handler. A Failure that ends it is shown by the default error
// dialog, captioned `title`; a SilentCancellation shows nothing. Returns whether the
// handler ran to its end.
bool dispatch(MessageBoxes& boxes, const std::string& title, const std::function<void()>& handler);

}  // namespace lumiva
