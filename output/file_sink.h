#pragma once
// The ray-set file: one owner, a large buffer, every write and the close checked. A
// failure becomes a Failure naming the path and the system's reason; nothing is ever
// swallowed.

#include <cstddef>
#include <cstdint>
#include <cstring>
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
    // Closes quietly, dropping what is still buffered (a failed run has already
    // reported); close() is what completes the file and tells whether that worked.
    ~FileSink();

    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    void write(std::string_view bytes) {
        if (bytes.size() <= buffer_.size() - used_) {
            if (!bytes.empty()) std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
            used_ += bytes.size();
        } else {
            writeBeyondBuffer(bytes);
        }
    }
    void write(const char* bytes, std::size_t size) { write(std::string_view(bytes, size)); }

    // Room for `size` bytes straight in the buffer (flushing first if needed), then
    // commit(n) of the bytes actually placed there. `size` must not exceed the buffer.
    char* reserve(std::size_t size) {
        if (size > buffer_.size() - used_) makeRoom(size);
        return buffer_.data() + used_;
    }
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
    void writeBeyondBuffer(std::string_view bytes);
    void makeRoom(std::size_t size);
    void throwIfUnusable() const;
    void writeAll(const char* data, std::size_t size);
    [[noreturn]] void fail(std::string_view what, int errorNumber);
    void releaseBuffer();

    std::string path_;
    int fd_ = -1;
    // The file's identity when it is a regular file, so that discard() removes nothing else.
    bool regularFile_ = false;
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
    // Empty once closed or failed: every later write then takes the checked slow path.
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::size_t written_ = 0;
    // The first failure's message; flush() and close() repeat it, the file being incomplete.
    std::string failure_;
};

}  // namespace lumiva
