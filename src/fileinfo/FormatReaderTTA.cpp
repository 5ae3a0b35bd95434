#include "fileinfo/FormatReaderTTA.h"

#include "fileinfo/FileInfo.h"
#include "fileinfo/HeaderBytes.h"
#include "fileinfo/MediaInfoHandle.h"
#include "fileinfo/MediaInfoQuery.h"
#include "platform/File.h"

namespace {

constexpr char kSignature[] = "TTA1";
constexpr std::size_t kHeaderBytes = 22;

}  // namespace

bool CFormatReaderTTA::Read(const std::string& path, CFileInfo* record,
                            MediaInfoHandle* mediaInfo) {
    if (!record) return false;
    {
        CMediaInfoQuery query(mediaInfo, path);
        query.Store(MediaInfoHandle::kStreamGeneral, MediaInfoProperty::BitRate, *record);
        query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Resolution, *record);
        query.StoreLength(*record);
    }
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) return false;
    const HeaderBytes header = ReadHeaderBytes(file, kHeaderBytes);
    if (header.size() < kHeaderBytes || !HasSignature(header, 0, kSignature, 4)) return false;
    record->Channels = SignedLittleEndian16(header, 6);
    record->SampleRate = static_cast<std::int32_t>(LittleEndian32(header, 10));
    record->SetExactLength(LittleEndian32(header, 14));
    return true;
}
