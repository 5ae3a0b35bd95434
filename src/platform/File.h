#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Error.h"

namespace platform {

// An open file descriptor, closed when the object goes away. Reads and writes retry on EINTR
// and report errors through LastError().
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens an existing regular file (or a link to one) for reading. Anything else is never
    // opened: a folder fails with EISDIR, a named pipe, a socket or a device with
    // Error::kNotRegularFile, so that nothing waits for a writer that never comes.
    static File OpenRead(const std::string& path);
    // Creates the file, or truncates an existing one, for writing (mode 0644 before umask).
    static File Create(const std::string& path);
    // Creates the file only when no file of that name exists (O_EXCL).
    static File CreateNew(const std::string& path);

    bool IsOpen() const { return m_fd >= 0; }
    int Descriptor() const { return m_fd; }
    // The error of the open or of the last failed operation.
    const Error& LastError() const { return m_error; }

    // Bytes read (0 at end of file), or -1 on error.
    std::int64_t Read(void* buffer, std::size_t size);
    // Reads until size bytes or end of file; bytes read, or -1 on error.
    std::int64_t ReadFully(void* buffer, std::size_t size);
    // Writes everything; false on error.
    bool WriteAll(const void* data, std::size_t size);
    // Absolute position; false on error.
    bool Seek(std::int64_t offset);
    // Logical size of the open file, or -1.
    std::int64_t Size();
    // Flushes data to disk (fsync); false on error.
    bool Sync();
    // Closes; false when close reported an error.
    bool Close();

private:
    explicit File(int fd) : m_fd(fd) {}

    int m_fd = -1;
    Error m_error;
};

// open(2) of path with flags, close-on-exec added, and mode for a file it creates, retried when
// a signal interrupts it: the descriptor, or -1 with errno set. For the platform's file types.
int OpenDescriptor(const std::string& path, int flags, unsigned mode);

// Why path cannot be opened as a regular file, learnt from stat alone (links followed): no
// error for a regular file; the system's error when there is nothing to look at; EISDIR for
// a folder; Error::kNotRegularFile for a named pipe, a socket or a device.
Error RegularFileError(const std::string& path);
// Logical size (st_size) of the file at path, following links; -1 when it cannot be read.
std::int64_t GetFileSize(const std::string& path);
// True when path names a regular file, or a link to one, with the owner execute bit set.
bool IsExecutableFile(const std::string& path);
// True when path exists (any kind of entry; links are followed).
bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
// Removes a file; false (with the error) when it cannot.
bool RemoveFile(const std::string& path, Error* error = nullptr);
// Atomically replaces to with from (rename); false with the error when it cannot.
bool RenameFile(const std::string& from, const std::string& to, Error* error = nullptr);
// Renames from to to only when no entry named to exists, atomically where the file system
// allows it; false with the error when it cannot, and *existed when to was there.
bool MoveIntoPlace(const std::string& from, const std::string& to, bool* existed,
                   Error* error = nullptr);
// Whether path is a regular file (not a link) that this process may write, in a folder where
// it may make files: one a file written beside it can take the place of, as if written over.
bool CanReplaceFromBeside(const std::string& path);
// Gives to the permission bits of from; false with the error when it cannot.
bool CopyPermissions(const std::string& from, const std::string& to, Error* error = nullptr);
// The process's current directory (any length); empty on failure.
std::string CurrentDirectory();
// Canonical absolute path with links resolved; empty on failure.
std::string RealPath(const std::string& path);
// The home folder of the user ($HOME, else the password database).
std::string HomeFolder();

}  // namespace platform
