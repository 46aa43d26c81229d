#include "controls/message_boxes.h"

#include <exception>

#include "controls/failure.h"

namespace lumiva {

std::string errorDialogText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

bool dispatch(MessageBoxes& boxes, const std::string& title, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const SilentCancellation&) {
    } catch (const std::exception& failure) {
        boxes.error(title, errorDialogText(failure.what()));
    }
    return false;
}

}  // namespace lumiva
