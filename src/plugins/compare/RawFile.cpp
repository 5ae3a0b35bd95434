#include "plugins/compare/RawFile.h"

#include <filesystem>
#include <limits>
#include <system_error>

CRawFile::~CRawFile() { Close(); }

bool CRawFile::Open(const std::string& path) {
    Close();
    std::error_code error;
    // A folder opens for reading on Linux and then fails every read; it is no file to compare.
    if (path.empty() || std::filesystem::is_directory(path, error)) return false;
    m_file = std::fopen(path.c_str(), "rb");
    if (!m_file) return false;
    // The callers read in pieces of their own size; a stream buffer would only add a copy.
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    return true;
}

void CRawFile::Close() {
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
}

bool CRawFile::Seek(std::uint64_t offset) {
    if (!m_file || offset > static_cast<std::uint64_t>(std::numeric_limits<long>::max())) {
        return false;
    }
    return std::fseek(m_file, static_cast<long>(offset), SEEK_SET) == 0;
}

std::size_t CRawFile::Read(void* buffer, std::size_t size) {
    if (!m_file) return 0;
    return std::fread(buffer, 1, size, m_file);
}

std::uint64_t CRawFile::ReadableSize(const std::string& path) {
    CRawFile file;
    if (!file.Open(path)) return 0;
    return SizeOnDisk(path);
}

std::uint64_t CRawFile::SizeOnDisk(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<std::uint64_t>(size);
}
