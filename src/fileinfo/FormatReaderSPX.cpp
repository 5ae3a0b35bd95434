#include "fileinfo/FormatReaderSPX.h"

#include <algorithm>
#include <cstring>

#include "fileinfo/FileInfo.h"
#include "fileinfo/HeaderBytes.h"
#include "fileinfo/MediaInfoQuery.h"
#include "platform/File.h"

namespace {

constexpr char kOggSignature[] = "OggS";
constexpr char kSpeexSignature[] = "Speex   ";
constexpr std::size_t kPageHeaderBytes = 27;
constexpr std::size_t kSpeexHeaderBytes = 80;
constexpr std::size_t kVersionOffset = 8;
constexpr std::size_t kVersionBytes = 20;
constexpr std::int32_t kNoBitRate = -1;

std::string VersionText(const HeaderBytes& h) {
    const auto* begin = h.data() + kVersionOffset;
    const auto* end = std::find(begin, begin + kVersionBytes, std::uint8_t{0});
    return std::string(begin, end);
}

}  // namespace

bool CFormatReaderSPX::Read(const std::string& path, CFileInfo* record,
                            MediaInfoHandle* mediaInfo) {
    if (!record) return false;
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) return false;
    const HeaderBytes page = ReadHeaderBytes(file, kPageHeaderBytes);
    if (page.size() < kPageHeaderBytes || !HasSignature(page, 0, kOggSignature, 4)) return false;
    // The Speex header follows the first page's segment table.
    if (!file.Seek(static_cast<std::int64_t>(kPageHeaderBytes + page[26]))) return false;
    const HeaderBytes h = ReadHeaderBytes(file, kSpeexHeaderBytes);
    if (h.size() < kSpeexHeaderBytes || !HasSignature(h, 0, kSpeexSignature, 8)) return false;
    record->Codec = VersionText(h);
    record->SampleRate = SignedLittleEndian32(h, 36);
    const std::int32_t bitRate = SignedLittleEndian32(h, 52);
    if (bitRate != kNoBitRate) record->BitRate = bitRate / 1000.0;
    file.Close();
    // The length is in the granule position of the last page, which MediaInfo looks up.
    CMediaInfoQuery query(mediaInfo, path);
    query.StoreLength(*record);
    return true;
}
