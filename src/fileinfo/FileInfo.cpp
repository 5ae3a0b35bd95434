#include "fileinfo/FileInfo.h"

#include <new>

#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "fileinfo/FormatReader.h"
#include "fileinfo/FormatTable.h"
#include "platform/File.h"

CFileInfo::CFileInfo() = default;

CFileInfo::~CFileInfo() {
    // The coder job goes first: it refers to this file's decoder job.
    Coder.reset();
    Decoder.reset();
}

namespace {

std::string LowerAsciiLetters(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

bool CFileInfo::Open(const std::string& path, MediaInfoHandle* mediaInfo) {
    const std::int64_t size = platform::GetFileSize(path);
    Size = size < 0 ? kUnknownSize : static_cast<std::uint64_t>(size);
    Path = path;
    Folder = PathFolder(path);
    Name = PathFileName(path);

    const FormatTableRow* row = FindFormat(LowerAsciiLetters(PathExtension(path)));
    if (!row) {
        FormatName = kUnknownFormatName;
        FormatId = kFormatUnknown;
        return true;
    }
    std::unique_ptr<CFormatReader> reader;
    try {
        reader = row->CreateReader();
    } catch (const std::bad_alloc&) {
        return false;
    }
    FormatId = row->FormatId;
    FormatName = row->FormatName;
    return reader->Read(path, this, mediaInfo);
}

std::string PathFileName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string PathFolder(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    std::string folder = path.substr(0, slash);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder.empty() ? "/" : folder;
}

std::string PathExtension(const std::string& path) {
    const std::string name = PathFileName(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}
