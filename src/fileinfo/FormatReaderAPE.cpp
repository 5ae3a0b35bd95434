#include "fileinfo/FormatReaderAPE.h"

#include "base/Log.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/MediaInfoHandle.h"
#include "fileinfo/MediaInfoQuery.h"

bool CFormatReaderAPE::Read(const std::string& path, CFileInfo* record,
                            MediaInfoHandle* mediaInfo) {
    if (!record) {
        AddLogLine("Error: internal");
        return false;
    }
    CMediaInfoQuery query(mediaInfo, path);
    query.Store(MediaInfoHandle::kStreamGeneral, MediaInfoProperty::BitRate, *record);
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Channels, *record);
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::SamplingRate, *record);
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Resolution, *record);
    query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Codec, *record);
    query.StoreLength(*record);
    return true;
}
