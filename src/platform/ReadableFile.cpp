#include "platform/ReadableFile.h"

#include <utility>

#include "platform/File.h"

namespace platform {

Error ReadableFileError(const std::string& path) {
    const File file = File::OpenRead(path);
    return file.IsOpen() ? Error{} : file.LastError();
}

bool IsReadableFile(const std::string& path) { return !ReadableFileError(path); }

bool IsSpecialFile(const std::string& path, Error* error) {
    Error kind = RegularFileError(path);
    if (kind.code != Error::kNotRegularFile) return false;
    if (error) *error = std::move(kind);
    return true;
}

}  // namespace platform
