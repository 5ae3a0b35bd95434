#include "fileinfo/FormatReaderFLAC.h"

#include "fileinfo/FileInfo.h"
#include "fileinfo/HeaderBytes.h"
#include "fileinfo/MediaInfoHandle.h"
#include "fileinfo/MediaInfoQuery.h"
#include "platform/File.h"

namespace {

constexpr char kSignature[] = "fLaC";
constexpr std::uint8_t kBlockTypeMask = 0x7F;  // bit 7 only says whether more blocks follow
constexpr std::uint8_t kStreamInfoType = 0;
constexpr std::size_t kStreamInfoBytes = 34;

}  // namespace

bool CFormatReaderFLAC::Read(const std::string& path, CFileInfo* record,
                             MediaInfoHandle* mediaInfo) {
    if (!record) return false;
    {
        CMediaInfoQuery query(mediaInfo, path);
        query.Store(MediaInfoHandle::kStreamGeneral, MediaInfoProperty::BitRate, *record);
        query.StoreLength(*record);
    }
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) return false;
    const HeaderBytes start = ReadHeaderBytes(file, 8);
    if (start.size() < 8 || !HasSignature(start, 0, kSignature, 4) ||
        (start[4] & kBlockTypeMask) != kStreamInfoType)
        return false;
    const HeaderBytes b = ReadHeaderBytes(file, kStreamInfoBytes);
    if (b.size() < kStreamInfoBytes) return false;
    record->SampleRate = (b[10] << 12) | (b[11] << 4) | (b[12] >> 4);
    record->Channels = ((b[12] >> 1) & 7) + 1;
    record->Resolution = ((b[12] & 1) << 4 | (b[13] >> 4)) + 1;
    // 0 total samples: the encoder could not go back to write them (it wrote to a pipe).
    const std::int64_t totalSamples = std::int64_t{b[13] & 0x0F} << 32 | std::int64_t{b[14]} << 24 |
                                      std::int64_t{b[15]} << 16 | std::int64_t{b[16]} << 8 | b[17];
    if (totalSamples > 0) record->SetExactLength(totalSamples);
    return true;
}
