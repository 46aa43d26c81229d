#pragma once
// The two ways a handler can end early. A Failure carries a message that the default
// error dialog (or the batch command) shows; a SilentCancellation ends the handler and
// shows nothing. Both travel unchanged through nested handlers.

#include <stdexcept>
#include <string>
#include <string_view>

namespace lumiva {

class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& message) : std::runtime_error(message) {}
};

class SilentCancellation : public std::exception {
public:
    const char* what() const noexcept override { return ""; }
};

// The platform's own message texts, kept exactly as users have always seen them.
Failure cannotOpenFile(std::string_view path);
Failure listIndexOutOfBounds(long long index);
Failure notValidFloat(std::string_view text);
Failure notValidInteger(std::string_view text);

// An operating-system failure on a file: "<what> '<path>': <reason of errno>".
Failure fileSystemFailure(std::string_view what, std::string_view path, int errorNumber);

}  // namespace lumiva
