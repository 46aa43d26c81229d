#pragma once
// The ray-set file: one owner, a large buffer, every write and the close checked. A
// failure becomes a Failure naming the path and the system's reason; nothing is ever
// swallowed.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumiva {

class FileSink {
public:
    static constexpr std::size_t kDefaultBufferSize = 1 << 20;

    // Creates the file, or empties an existing one, for writing. Throws a Failure
    // ("Cannot create file '<path>': <reason>") when that is not possible.
    explicit FileSink(std::string path, std::size_t bufferSize = kDefaultBufferSize);
    // Closes without reporting (a failed run has already reported); call close() to
    // learn whether the file is complete.
    ~FileSink();

    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    void write(std::string_view bytes);
    void write(const char* bytes, std::size_t size) { write(std::string_view(bytes, size)); }

    // Room for `size` bytes straight in the buffer (flushing first if needed), then
    // commit(n) of the bytes actually placed there. `size` must not exceed the buffer.
    char* reserve(std::size_t size);
    void commit(std::size_t size) { used_ += size; }

    void flush();
    // Flushes and closes; throws on a failed write or close. Idempotent.
    void close();

    // After a failure: closes the file quietly and removes it, but only when it is a
    // regular file that this sink created or emptied (never a device or a pipe).
    // Returns whether it removed the file.
    bool discard();

    const std::string& path() const { return path_; }
    // Bytes handed to the sink so far.
    std::size_t bytesWritten() const { return written_ + used_; }

private:
    void writeAll(const char* data, std::size_t size);

    std::string path_;
    int fd_ = -1;
    bool regularFile_ = false;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::size_t written_ = 0;
};

}  // namespace lumiva
