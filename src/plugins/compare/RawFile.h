#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// A file read as raw bytes, from a position, in large pieces. The comparison plug-in reads its
// WAV files through this and nothing else; standard C streams keep it free of the program's
// platform layer.
class CRawFile {
public:
    CRawFile() = default;
    ~CRawFile();
    CRawFile(const CRawFile&) = delete;
    CRawFile& operator=(const CRawFile&) = delete;

    // Opens path for reading; false when it cannot be opened (or is a folder).
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_file != nullptr; }

    // Moves to offset bytes from the start; false when that fails.
    bool Seek(std::uint64_t offset);
    // Reads up to size bytes; fewer only at the end of the file or on a read error.
    std::size_t Read(void* buffer, std::size_t size);

    // The size of the file at path in bytes, 0 when it cannot be opened for reading.
    static std::uint64_t ReadableSize(const std::string& path);
    // The size of the file at path in bytes, 0 when it cannot be read from its folder entry.
    static std::uint64_t SizeOnDisk(const std::string& path);

private:
    std::FILE* m_file = nullptr;
};
