#include "fileinfo/FormatReaderMPEG.h"

#include <cstdint>

#include "fileinfo/FileInfo.h"
#include "fileinfo/MediaInfoHandle.h"
#include "fileinfo/MediaInfoQuery.h"

namespace {

// An MP3 file keeps the size of its stream in its first frame (the Xing or LAME tag), written
// once the encoder has finished: a file cut short after that holds less than the tag says.
void StoreStreamTruncation(CMediaInfoQuery& query, CFileInfo& record) {
    const double streamBytes =
        LeadingNumber(query.AskKey(MediaInfoHandle::kStreamAudio, "StreamSize"));
    const double fileBytes =
        LeadingNumber(query.AskKey(MediaInfoHandle::kStreamGeneral, "FileSize"));
    if (streamBytes > 0 && fileBytes >= 0 && streamBytes > fileBytes) {
        record.Truncation = "truncated: the MP3 stream promises " +
                            std::to_string(static_cast<std::int64_t>(streamBytes)) +
                            " bytes, the file holds " +
                            std::to_string(static_cast<std::int64_t>(fileBytes));
    }
}

}  // namespace

bool CFormatReaderMPEG::Read(const std::string& path, CFileInfo* record,
                             MediaInfoHandle* mediaInfo) {
    if (!record) return false;
    CMediaInfoQuery query(mediaInfo, path);
    query.Store(MediaInfoHandle::kStreamGeneral, MediaInfoProperty::BitRate, *record);
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Channels, *record);
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::SamplingRate, *record);
    record->Resolution = 16;
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Codec, *record);
    query.StoreLength(*record);
    StoreStreamTruncation(query, *record);
    return true;
}
