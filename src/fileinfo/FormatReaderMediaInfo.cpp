#include "fileinfo/FormatReaderMediaInfo.h"

#include "fileinfo/FileInfo.h"
#include "fileinfo/MediaInfoHandle.h"
#include "fileinfo/MediaInfoQuery.h"

bool CFormatReaderMediaInfo::Read(const std::string& path, CFileInfo* record,
                                  MediaInfoHandle* mediaInfo) {
    if (!record) return false;
    CMediaInfoQuery query(mediaInfo, path);
    // The general stream: the audio stream of Opus and Ogg FLAC carries no bit rate.
    query.Store(MediaInfoHandle::kStreamGeneral, MediaInfoProperty::BitRate, *record);
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Channels, *record);
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::SamplingRate, *record);
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Resolution, *record);
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Codec, *record);
    query.StoreLength(*record);
    return true;
}

bool CFormatReaderMediaInfoNoLength::Read(const std::string& path, CFileInfo* record,
                                          MediaInfoHandle* mediaInfo) {
    if (!CFormatReaderMediaInfo::Read(path, record, mediaInfo)) return false;
    record->Duration = -1;
    return true;
}
