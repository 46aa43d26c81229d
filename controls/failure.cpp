#include "controls/failure.h"

#include <cstring>

namespace lumiva {

Failure cannotOpenFile(std::string_view path) {
    return Failure("Cannot open file " + std::string(path));
}

Failure listIndexOutOfBounds(long long index) {
    return Failure("List index out of bounds (" + std::to_string(index) + ")");
}

Failure notValidFloat(std::string_view text) {
    return Failure("'" + std::string(text) + "' is not a valid floating point value");
}

Failure notValidInteger(std::string_view text) {
    return Failure("'" + std::string(text) + "' is not a valid integer value");
}

Failure fileSystemFailure(std::string_view what, std::string_view path, int errorNumber) {
    return Failure(std::string(what) + " '" + std::string(path) +
                   "': " + std::strerror(errorNumber));
}

}  // namespace lumiva
