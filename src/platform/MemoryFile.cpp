#include "platform/MemoryFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

void SetError(Error* error, int code) {
    if (error != nullptr) *error = Error::FromErrno(code);
}

}  // namespace

int CreateMemoryFile(const char* name, Error* error) {
    int fd = ::memfd_create(name, MFD_CLOEXEC);
    if (fd < 0) {
        SetError(error, errno);
        return -1;
    }
    // With one of the standard descriptors closed the file would land on it, and a child's
    // standard streams would be set up over it.
    if (fd <= 2) {
        const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
        const int code = errno;
        ::close(fd);
        if (moved < 0) {
            SetError(error, code);
            return -1;
        }
        fd = moved;
    }
    return fd;
}

bool ReadFileTail(int fd, std::size_t maxBytes, std::string* text, bool* whole, Error* error) {
    text->clear();
    *whole = true;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        SetError(error, errno);
        return false;
    }
    const auto size = static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0);
    const std::size_t start = size > maxBytes ? size - maxBytes : 0;
    *whole = start == 0;
    text->resize(size - start);
    std::size_t done = 0;
    while (done < text->size()) {
        const ssize_t n =
            ::pread(fd, text->data() + done, text->size() - done, static_cast<off_t>(start + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SetError(error, errno);
            text->clear();
            return false;
        }
        if (n == 0) break;  // cut meanwhile by someone who holds it too
        done += static_cast<std::size_t>(n);
    }
    text->resize(done);
    return true;
}

void CloseMemoryFile(int fd) {
    if (fd >= 0) ::close(fd);
}

}  // namespace platform
