#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/Error.h"

namespace platform {

// Creates path as a new, empty file (O_CREAT | O_EXCL, mode 0666 less the umask) and closes it.
// False with the error when an entry of that name exists or the file cannot be made.
bool CreateExclusiveFile(const std::string& path, Error* error = nullptr);

// A file held with an exclusive flock for as long as the object lives. The lock belongs to the
// open file, not to a process id: the kernel drops it however the holder ends (a crash, the OOM
// killer), and no later process can inherit it by reusing an id, so another process that can
// take the lock knows for certain that the holder is gone. The descriptor is close-on-exec, so
// no program started meanwhile keeps the lock alive. Locks are per open file: a second open of
// the same file in this process conflicts like one in another process.
class LockFile {
public:
    LockFile() = default;
    ~LockFile();
    LockFile(LockFile&& other) noexcept;
    LockFile& operator=(LockFile&& other) noexcept;
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    // Creates path (which must not exist, as CreateExclusiveFile) and takes its lock. Someone
    // probing the new file may hold the lock for a moment; this waits for it.
    static LockFile Create(const std::string& path, Error* error = nullptr);
    // Takes the lock of an existing file when nobody holds it: its holder is gone. Not held,
    // without an error, when another holds the lock or the file was removed meanwhile (by its
    // holder, or by another prober that took it first).
    static LockFile TryTakeStale(const std::string& path, Error* error = nullptr);
    // Waits until the lock of the folder at path is ours: for files in it that every process
    // writing them replaces as a whole (a rename), so that none of them can carry the lock.
    static LockFile WaitForFolder(const std::string& path, Error* error = nullptr);

    bool IsHeld() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }
    std::int64_t Size() const { return m_size; }

    // Writes text at the end. When not all of it can be written, the file is cut back to its
    // size before, so that it never holds a part of text followed by a later append.
    bool Append(const std::string& text, Error* error = nullptr);
    // Cuts the file to size bytes (no more than its size).
    bool Truncate(std::int64_t size, Error* error = nullptr);
    // The whole content.
    bool ReadAll(std::string* text, Error* error = nullptr);
    // The first size bytes of the file (it holds them already), mapped for writing: a store is
    // in the file at once, for other processes to read and past a crash of this one, without a
    // system call. Null with the error when the file cannot be mapped. Valid while held.
    char* MapShared(std::size_t size, Error* error = nullptr);
    // Removes the file, then gives up the lock: in this order, so that nobody takes the lock of
    // a file that is still there and finds its holder gone.
    bool Remove(Error* error = nullptr);
    // Gives up the lock; the file stays.
    void Release();

private:
    LockFile(int fd, std::string path, std::int64_t size)
        : m_fd(fd), m_path(std::move(path)), m_size(size) {}

    int m_fd = -1;
    std::string m_path;
    std::int64_t m_size = 0;
    char* m_map = nullptr;
    std::size_t m_mapSize = 0;
};

}  // namespace platform
