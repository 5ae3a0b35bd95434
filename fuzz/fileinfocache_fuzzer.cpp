// Reads arbitrary bytes as the file information cache: what it keeps reads back the same once
// written, and an entry fills a record only for its own size and modification time.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fileinfo/FileInfo.h"
#include "fileinfo/FileInfoCache.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CFileInfoCache cache;
    cache.Parse(input);
    const std::string text = cache.Format();
    CFileInfoCache again;
    again.Parse(text);
    Check(again.Count() == cache.Count());
    Check(again.Format() == text);
    // The first entry's path and stamp, as its line says them.
    const std::size_t lineEnd = text.find('\n');
    const std::size_t tab = text.find('\t', lineEnd + 1);
    if (cache.Count() == 0 || tab == std::string::npos) return 0;
    const std::string escaped = text.substr(lineEnd + 1, tab - lineEnd - 1);
    if (escaped.find('\\') != std::string::npos) return 0;
    const std::size_t sizeEnd = text.find('\t', tab + 1);
    const std::size_t timeEnd = text.find('\t', sizeEnd + 1);
    platform::FileStamp stamp;
    stamp.Size = std::stoll(text.substr(tab + 1, sizeEnd - tab - 1));
    stamp.ModifiedNs = std::stoll(text.substr(sizeEnd + 1, timeEnd - sizeEnd - 1));
    CFileInfo record;
    Check(again.Fill(escaped, stamp, &record));
    Check(record.Path == escaped && record.Size == static_cast<std::uint64_t>(stamp.Size));
    platform::FileStamp other = stamp;
    ++other.ModifiedNs;
    CFileInfo untouched;
    Check(!again.Fill(escaped, other, &untouched) && untouched.Path.empty());
    return 0;
}
