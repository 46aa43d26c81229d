#include "output/file_sink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <utility>

#include "controls/failure.h"

namespace lumiva {

FileSink::FileSink(std::string path, std::size_t bufferSize)
    : path_(std::move(path)), buffer_(bufferSize) {
    do fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) throw fileSystemFailure("Cannot create file", path_, errno);
    struct stat info {};
    if (::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode)) {
        regularFile_ = true;
        device_ = static_cast<std::uint64_t>(info.st_dev);
        inode_ = static_cast<std::uint64_t>(info.st_ino);
    }
}

// Whatever is still buffered belongs to a run that failed or never closed the file; writing
// it now could block on a pipe or fail with nobody left to tell.
FileSink::~FileSink() {
    if (fd_ >= 0) ::close(fd_);
}

void FileSink::releaseBuffer() {
    used_ = 0;
    std::vector<char>().swap(buffer_);
}

void FileSink::fail(std::string_view what, int errorNumber) {
    failure_ = fileSystemFailure(what, path_, errorNumber).what();
    releaseBuffer();
    throw Failure(failure_);
}

void FileSink::throwIfUnusable() const {
    if (!failure_.empty()) throw Failure(failure_);
    if (fd_ < 0) throw fileSystemFailure("Cannot write to file", path_, EBADF);
}

void FileSink::writeAll(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(fd_, data, size);
        if (done < 0 && errno == EINTR) continue;
        // Nothing written for a non-empty request would otherwise loop for ever.
        if (done <= 0) fail("Cannot write to file", done < 0 ? errno : EIO);
        data += done;
        size -= static_cast<std::size_t>(done);
        written_ += static_cast<std::size_t>(done);
    }
}

void FileSink::flush() {
    throwIfUnusable();
    if (used_ == 0) return;
    writeAll(buffer_.data(), used_);
    used_ = 0;
}

void FileSink::writeBeyondBuffer(std::string_view bytes) {
    throwIfUnusable();
    flush();
    if (bytes.size() >= buffer_.size()) {
        writeAll(bytes.data(), bytes.size());  // no point in copying it through the buffer
    } else {
        std::memcpy(buffer_.data(), bytes.data(), bytes.size());
        used_ = bytes.size();
    }
}

void FileSink::makeRoom(std::size_t size) {
    throwIfUnusable();
    if (size > buffer_.size()) throw std::length_error("FileSink::reserve beyond the buffer size");
    flush();
}

void FileSink::close() {
    if (fd_ < 0) {
        if (!failure_.empty()) throw Failure(failure_);
        return;
    }
    flush();
    const int fd = std::exchange(fd_, -1);
    releaseBuffer();
    // On Linux an interrupted close has still released the descriptor; only a real error
    // means the data may not have reached the file.
    if (::close(fd) != 0 && errno != EINTR) fail("Cannot close file", errno);
}

bool FileSink::discard() {
    releaseBuffer();
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (!std::exchange(regularFile_, false)) return false;
    // Only the very file that was opened: not whatever has since been put at the path,
    // nor the target of a link.
    struct stat now {};
    if (::lstat(path_.c_str(), &now) != 0 || !S_ISREG(now.st_mode) ||
        static_cast<std::uint64_t>(now.st_dev) != device_ ||
        static_cast<std::uint64_t>(now.st_ino) != inode_)
        return false;
    return ::unlink(path_.c_str()) == 0;
}

}  // namespace lumiva
