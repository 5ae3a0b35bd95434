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
    return true;
}
