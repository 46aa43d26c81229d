#include "output/file_sink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "controls/failure.h"

namespace lumiva {

FileSink::FileSink(std::string path, std::size_t bufferSize)
    : path_(std::move(path)), buffer_(bufferSize) {
    do fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) throw fileSystemFailure("Cannot create file", path_, errno);
    struct stat info {};
    regularFile_ = ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
}

FileSink::~FileSink() {
    if (fd_ >= 0) ::close(fd_);
}

void FileSink::writeAll(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(fd_, data, size);
        if (done < 0) {
            if (errno == EINTR) continue;
            throw fileSystemFailure("Cannot write to file", path_, errno);
        }
        data += done;
        size -= static_cast<std::size_t>(done);
        written_ += static_cast<std::size_t>(done);
    }
}

void FileSink::flush() {
    if (used_ == 0) return;
    if (fd_ < 0) throw Failure("Cannot write to file '" + path_ + "': it is closed");
    // The buffer counts as handed over even when the write fails: the run is over then.
    const std::size_t size = used_;
    used_ = 0;
    writeAll(buffer_.data(), size);
}

void FileSink::write(std::string_view bytes) {
    if (bytes.size() > buffer_.size() - used_) {
        flush();
        if (bytes.size() >= buffer_.size()) {
            if (fd_ < 0) throw Failure("Cannot write to file '" + path_ + "': it is closed");
            writeAll(bytes.data(), bytes.size());
            return;
        }
    }
    std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

char* FileSink::reserve(std::size_t size) {
    if (size > buffer_.size() - used_) flush();
    return buffer_.data() + used_;
}

void FileSink::close() {
    if (fd_ < 0) return;
    flush();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throw fileSystemFailure("Cannot close file", path_, errno);
}

bool FileSink::discard() {
    used_ = 0;
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    return regularFile_ && ::unlink(path_.c_str()) == 0;
}

}  // namespace lumiva
