#include "platform/LockFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/File.h"

namespace platform {

namespace {

void SetError(Error* error, int code) {
    if (error != nullptr) *error = Error::FromErrno(code);
}

int OpenRetrying(const std::string& path, int flags) { return OpenDescriptor(path, flags, 0666); }

int Lock(int fd, int operation) {
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

}  // namespace

bool CreateExclusiveFile(const std::string& path, Error* error) {
    const int fd = OpenRetrying(path, O_WRONLY | O_CREAT | O_EXCL);
    if (fd < 0) {
        SetError(error, errno);
        return false;
    }
    ::close(fd);
    return true;
}

LockFile::~LockFile() { Release(); }

LockFile::LockFile(LockFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)),
      m_path(std::move(other.m_path)),
      m_size(std::exchange(other.m_size, 0)),
      m_map(std::exchange(other.m_map, nullptr)),
      m_mapSize(std::exchange(other.m_mapSize, 0)) {}

LockFile& LockFile::operator=(LockFile&& other) noexcept {
    if (this != &other) {
        Release();
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
        m_size = std::exchange(other.m_size, 0);
        m_map = std::exchange(other.m_map, nullptr);
        m_mapSize = std::exchange(other.m_mapSize, 0);
    }
    return *this;
}

LockFile LockFile::Create(const std::string& path, Error* error) {
    const int fd = OpenRetrying(path, O_RDWR | O_CREAT | O_EXCL);
    if (fd < 0) {
        SetError(error, errno);
        return {};
    }
    if (Lock(fd, LOCK_EX) != 0) {
        const int code = errno;
        ::unlink(path.c_str());
        ::close(fd);
        SetError(error, code);
        return {};
    }
    return LockFile(fd, path, 0);
}

LockFile LockFile::TryTakeStale(const std::string& path, Error* error) {
    // Reading is all a prober does; the lock does not need more.
    const int fd = OpenRetrying(path, O_RDONLY);
    if (fd < 0) {
        if (errno != ENOENT) SetError(error, errno);
        return {};
    }
    if (Lock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) SetError(error, errno);
        ::close(fd);
        return {};
    }
    // Removed between our open and our lock: what we hold is no longer the file at path.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_nlink == 0) {
        ::close(fd);
        return {};
    }
    return LockFile(fd, path, static_cast<std::int64_t>(info.st_size));
}

LockFile LockFile::WaitForFolder(const std::string& path, Error* error) {
    const int fd = OpenRetrying(path, O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        SetError(error, errno);
        return {};
    }
    if (Lock(fd, LOCK_EX) != 0) {
        SetError(error, errno);
        ::close(fd);
        return {};
    }
    return LockFile(fd, path, 0);
}

bool LockFile::Append(const std::string& text, Error* error) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::pwrite(m_fd, text.data() + done, text.size() - done,
                                   static_cast<off_t>(m_size + static_cast<std::int64_t>(done)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            SetError(error, n < 0 ? errno : ENOSPC);
            while (::ftruncate(m_fd, static_cast<off_t>(m_size)) != 0 && errno == EINTR) {
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    m_size += static_cast<std::int64_t>(text.size());
    return true;
}

bool LockFile::Truncate(std::int64_t size, Error* error) {
    if (size >= m_size) return true;
    int result;
    do {
        result = ::ftruncate(m_fd, static_cast<off_t>(size));
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        SetError(error, errno);
        return false;
    }
    m_size = size;
    return true;
}

bool LockFile::ReadAll(std::string* text, Error* error) {
    text->clear();
    char buffer[4096];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(m_fd, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SetError(error, errno);
            return false;
        }
        if (n == 0) return true;
        text->append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
}

char* LockFile::MapShared(std::size_t size, Error* error) {
    if (m_map != nullptr || static_cast<std::int64_t>(size) > m_size) {
        SetError(error, EINVAL);
        return nullptr;
    }
    void* map = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
    if (map == MAP_FAILED) {
        SetError(error, errno);
        return nullptr;
    }
    m_map = static_cast<char*>(map);
    m_mapSize = size;
    return m_map;
}

bool LockFile::Remove(Error* error) {
    const bool removed = ::unlink(m_path.c_str()) == 0;
    if (!removed) SetError(error, errno);
    Release();
    return removed;
}

void LockFile::Release() {
    if (m_map != nullptr) ::munmap(m_map, m_mapSize);
    m_map = nullptr;
    m_mapSize = 0;
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

}  // namespace platform
