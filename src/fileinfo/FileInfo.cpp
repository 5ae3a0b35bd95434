#include "fileinfo/FileInfo.h"

#include <new>

#include "base/AsciiText.h"
#include "base/Log.h"
#include "base/Paths.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "fileinfo/FormatReader.h"
#include "fileinfo/FormatTable.h"
#include "platform/File.h"
#include "platform/ReadableFile.h"

CFileInfo::CFileInfo() = default;

CFileInfo::~CFileInfo() {
    // The coder job goes first: it refers to this file's decoder job.
    Coder.reset();
    Decoder.reset();
}

void CFileInfo::SetExactLength(std::int64_t samples) {
    if (samples < 0 || SampleRate <= 0) return;
    Samples = samples;
    Duration = static_cast<double>(samples) / SampleRate;
    LengthExact = true;
}

void CFileInfo::CopyDescription(const CFileInfo& other) {
    SampleRate = other.SampleRate;
    BitRate = other.BitRate;
    Channels = other.Channels;
    FormatId = other.FormatId;
    FormatName = other.FormatName;
    Resolution = other.Resolution;
    Codec = other.Codec;
    Path = other.Path;
    Name = other.Name;
    Folder = other.Folder;
    Size = other.Size;
    AddedFolder = other.AddedFolder;
    Samples = other.Samples;
    Duration = other.Duration;
    LengthExact = other.LengthExact;
    Truncation = other.Truncation;
    NeedsDecoding = other.NeedsDecoding;
    Track = other.Track;
}

std::string SheetTrack::OutputName() const {
    std::string name = (Number < 10 ? "0" : "") + std::to_string(Number);
    return Title.empty() ? name : name + " - " + Title;
}

bool CFileInfo::Open(const std::string& path, MediaInfoHandle* mediaInfo) {
    m_openFailure.clear();
    if (platform::Error special; platform::IsSpecialFile(path, &special)) {
        // The readers and MediaInfo would wait for ever on a named pipe nobody writes.
        m_openFailure = special.text;
        AddLogLine(path + ": " + special.text + "; not listed");
        return false;
    }
    const std::int64_t size = platform::GetFileSize(path);
    Size = size < 0 ? kUnknownSize : static_cast<std::uint64_t>(size);
    Path = path;
    Folder = PathFolder(path);
    Name = PathFileName(path);

    const FormatTableRow* row = FindFormat(LowerAscii(PathExtension(path)));
    if (!row) {
        FormatName = kUnknownFormatName;
        FormatId = kFormatUnknown;
        return true;
    }
    std::unique_ptr<CFormatReader> reader;
    try {
        reader = row->CreateReader();
    } catch (const std::bad_alloc&) {
        return false;
    }
    FormatId = row->FormatId;
    FormatName = row->FormatName;
    if (reader->Read(path, this, mediaInfo)) return true;
    // The reader logs its own words; the user is told the system's, when it has any.
    const platform::Error error = platform::ReadableFileError(path);
    m_openFailure = error ? error.text : kNotAudioText;
    return false;
}
