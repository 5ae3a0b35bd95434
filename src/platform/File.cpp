#include "platform/File.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace platform {

File::~File() { Close(); }

File::File(File&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_error(std::move(other.m_error)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_error = std::move(other.m_error);
    }
    return *this;
}

int OpenDescriptor(const std::string& path, int flags, unsigned mode) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, static_cast<mode_t>(mode));
    } while (fd < 0 && errno == EINTR);
    return fd;
}

namespace {

int OpenRetrying(const std::string& path, int flags) { return OpenDescriptor(path, flags, 0644); }

Error KindError(mode_t mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return Error::FromErrno(EISDIR);
    if (S_ISFIFO(mode)) return Error::NotRegularFile("named pipe");
    if (S_ISSOCK(mode)) return Error::NotRegularFile("socket");
    return Error::NotRegularFile("device");
}

}  // namespace

File File::OpenRead(const std::string& path) {
    File file;
    // Opening a named pipe waits for a writer, and opening a device can have effects of its
    // own: only what stat calls a regular file is opened.
    file.m_error = RegularFileError(path);
    if (file.m_error) return file;
    // Without blocking, should the entry have become a pipe since stat looked at it.
    file.m_fd = OpenRetrying(path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
    if (!file.IsOpen()) {
        file.m_error = Error::FromErrno(errno);
        return file;
    }
    struct stat st {};
    Error error = ::fstat(file.m_fd, &st) == 0 ? KindError(st.st_mode) : Error::FromErrno(errno);
    const int flags = error ? -1 : ::fcntl(file.m_fd, F_GETFL);
    if (!error && (flags < 0 || ::fcntl(file.m_fd, F_SETFL, flags & ~O_NONBLOCK) != 0)) {
        error = Error::FromErrno(errno);
    }
    if (error) {
        file.Close();
        file.m_error = error;
    }
    return file;
}

File File::Create(const std::string& path) {
    File file(OpenRetrying(path, O_WRONLY | O_CREAT | O_TRUNC));
    if (!file.IsOpen()) file.m_error = Error::FromErrno(errno);
    return file;
}

File File::CreateNew(const std::string& path) {
    File file(OpenRetrying(path, O_WRONLY | O_CREAT | O_EXCL));
    if (!file.IsOpen()) file.m_error = Error::FromErrno(errno);
    return file;
}

std::int64_t File::Read(void* buffer, std::size_t size) {
    if (m_fd < 0) {
        m_error = Error::FromErrno(EBADF);
        return -1;
    }
    ssize_t n;
    do {
        n = ::read(m_fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0) m_error = Error::FromErrno(errno);
    return n;
}

std::int64_t File::ReadFully(void* buffer, std::size_t size) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t total = 0;
    while (total < size) {
        const auto n = Read(bytes + total, size - total);
        if (n < 0) return -1;
        if (n == 0) break;
        total += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(total);
}

bool File::WriteAll(const void* data, std::size_t size) {
    if (m_fd < 0) {
        m_error = Error::FromErrno(EBADF);
        return false;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(m_fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            m_error = Error::FromErrno(errno);
            return false;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool File::Seek(std::int64_t offset) {
    if (::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) < 0) {
        m_error = Error::FromErrno(errno);
        return false;
    }
    return true;
}

std::int64_t File::Size() {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        m_error = Error::FromErrno(errno);
        return -1;
    }
    return st.st_size;
}

bool File::Sync() {
    if (::fsync(m_fd) != 0) {
        m_error = Error::FromErrno(errno);
        return false;
    }
    return true;
}

bool File::Close() {
    if (m_fd < 0) return true;
    const int fd = std::exchange(m_fd, -1);
    // Linux closes the descriptor even when close reports EINTR: never retry.
    if (::close(fd) != 0 && errno != EINTR) {
        m_error = Error::FromErrno(errno);
        return false;
    }
    return true;
}

Error RegularFileError(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return Error::FromErrno(errno);
    return KindError(st.st_mode);
}

std::int64_t GetFileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return -1;
    return st.st_size;
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IXUSR);
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string& path, Error* error) {
    if (::unlink(path.c_str()) == 0) return true;
    if (error) *error = Error::FromErrno(errno);
    return false;
}

bool RenameFile(const std::string& from, const std::string& to, Error* error) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    if (error) *error = Error::FromErrno(errno);
    return false;
}

bool MoveIntoPlace(const std::string& from, const std::string& to, bool* existed, Error* error) {
    *existed = false;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    int code = errno;
    if (code == EINVAL || code == ENOSYS) {
        // A file system without RENAME_NOREPLACE: a hard link fails just as atomically when
        // the name is taken; where links are refused too, only a look before the rename is left.
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return true;
        }
        code = errno;
        if (code == EPERM || code == EOPNOTSUPP) {
            struct stat info {};
            if (::lstat(to.c_str(), &info) == 0) {
                code = EEXIST;
            } else if (::rename(from.c_str(), to.c_str()) == 0) {
                return true;
            } else {
                code = errno;
            }
        }
    }
    *existed = code == EEXIST;
    if (error) *error = Error::FromErrno(code);
    return false;
}

bool CanReplaceFromBeside(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (::access(path.c_str(), W_OK) != 0) return false;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool CopyPermissions(const std::string& from, const std::string& to, Error* error) {
    struct stat info {};
    if (::stat(from.c_str(), &info) == 0 && ::chmod(to.c_str(), info.st_mode & 07777) == 0) {
        return true;
    }
    if (error) *error = Error::FromErrno(errno);
    return false;
}

std::string CurrentDirectory() {
    char* cwd = ::getcwd(nullptr, 0);  // glibc allocates a buffer of the needed size
    if (!cwd) return {};
    std::string result(cwd);
    std::free(cwd);
    return result;
}

std::string RealPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return {};
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

}  // namespace platform
