#pragma once

// Shared by the header-reader fuzzers: the readers take a path, so each input is written to a
// scratch file first. Violations trap, which libFuzzer reports as a crash with the input.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "fileinfo/FileInfo.h"
#include "fileinfo/FormatReader.h"

namespace fuzzing {

// The scratch file of this process, removed when the fuzzer exits.
class ScratchFile {
public:
    explicit ScratchFile(const char* extension) {
        std::random_device random;
        // A memory-backed folder where there is one: the input is rewritten for every run.
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::is_directory("/dev/shm", error)
                                                 ? std::filesystem::path("/dev/shm")
                                                 : std::filesystem::temp_directory_path();
        m_path = (folder / ("kelto-fuzz-" + std::to_string(random()) + extension)).string();
    }
    ~ScratchFile() {
        std::error_code error;
        std::filesystem::remove(m_path, error);
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

inline const std::string& ScratchPath(const char* extension) {
    static const ScratchFile file(extension);
    return file.Path();
}

// Replaces the file's content with the fuzzer's bytes.
inline void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline void Require(bool condition) {
    if (!condition) __builtin_trap();
}

// Runs the reader on the bytes (without MediaInfo). A refused file has no field set from its
// bytes, a file shorter than the reader's header is refused, and no bit rate may come out of a
// division by zero.
inline bool ReadAsFile(CFormatReader& reader, const char* extension, const std::uint8_t* data,
                       std::size_t size, std::size_t headerBytes, CFileInfo& record) {
    const std::string& path = ScratchPath(extension);
    WriteFile(path, data, size);
    const bool result = reader.Read(path, &record, nullptr);
    Require(std::isfinite(record.BitRate));
    if (size < headerBytes) Require(!result);
    if (!result) {
        Require(record.SampleRate == 0 && record.Channels == 0 && record.Resolution == 0);
        Require(record.BitRate == 0.0 && record.Codec.empty());
    }
    return result;
}

}  // namespace fuzzing
