#include "fileinfo/FormatReaderVorbis.h"

#include "fileinfo/FileInfo.h"
#include "fileinfo/MediaInfoHandle.h"
#include "fileinfo/MediaInfoQuery.h"

bool CFormatReaderVorbis::Read(const std::string& path, CFileInfo* record,
                               MediaInfoHandle* mediaInfo) {
    if (!record) return false;
    CMediaInfoQuery query(mediaInfo, path);
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::BitRate, *record);
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Channels, *record);
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::SamplingRate, *record);
    record->Resolution = 16;
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Codec, *record);
    query.StoreLength(*record);
    return true;
}
