#include "session/SheetTracks.h"

#include <algorithm>

#include "base/AsciiText.h"
#include "base/Folders.h"
#include "base/Paths.h"
#include "fileinfo/CueSheet.h"
#include "fileinfo/EmbeddedCueSheet.h"
#include "fileinfo/FileInfo.h"
#include "lang/LanguageManager.h"
#include "platform/File.h"
#include "platform/ReadableFile.h"
#include "platform/SmallFile.h"

namespace {

// A larger ".cue" file is no sheet and is not read into memory.
constexpr std::int64_t kMostSheetBytes = 4 << 20;
// Sheets written for a WAV image often name it still after it was packed: the image with the
// same name and one of these extensions is taken instead.
constexpr const char* kImageExtensions[] = {".flac", ".wv",  ".ape", ".wav", ".tta",  ".ofr",
                                            ".tak",  ".m4a", ".mp3", ".ogg", ".opus", ".aiff"};

bool ReadSheet(const std::string& path, CCueSheet& sheet) {
    const std::int64_t size = platform::GetFileSize(path);
    std::string bytes;
    if (size < 0 || size > kMostSheetBytes || !platform::ReadSmallFile(path, &bytes)) return false;
    sheet = CCueSheet::Parse(bytes);
    return true;
}

// The path of the sheet's file name, found beside the sheet; empty when there is none.
std::string ResolveImage(const std::string& sheetPath, std::string name) {
    // Sheets made on Windows may name the image with its folders.
    if (const auto slash = name.find_last_of("\\/"); slash != std::string::npos) {
        name = name.substr(slash + 1);
    }
    if (name.empty()) return {};
    const std::string folder = TrailingSeparator(PathFolder(sheetPath), true);
    const std::string named = folder + name;
    // A sheet is no image, also when a sheet names itself or another one: taken for an image,
    // that sheet would be left out of the list as one.
    if (!CSheetTracks::IsSheet(named) && platform::PathExists(named) &&
        !platform::IsDirectory(named)) {
        return named;
    }
    for (const char* extension : kImageExtensions) {
        const std::string other = ReplaceExtension(named, extension);
        if (platform::PathExists(other) && !platform::IsDirectory(other)) return other;
    }
    return {};
}

std::string Text(int id, const std::string& detail = {}) {
    const std::string text = GetLanguageManager().GetString(id);
    return detail.empty() ? text : text + " " + detail;
}

SheetTrack TagsOf(const CCueSheet& sheet, const CCueSheet::Track& track,
                  const std::string& sheetPath) {
    SheetTrack tags;
    tags.SheetPath = sheetPath;
    tags.Number = track.Number;
    tags.Count = static_cast<int>(sheet.Tracks.size());
    tags.Title = track.Title;
    tags.Performer = track.Performer.empty() ? sheet.Performer : track.Performer;
    tags.Album = sheet.Title;
    tags.AlbumPerformer = sheet.Performer;
    tags.Date = sheet.Date;
    tags.Genre = sheet.Genre;
    tags.Comment = sheet.Comment;
    tags.Songwriter = track.Songwriter.empty() ? sheet.Songwriter : track.Songwriter;
    return tags;
}

// The rows of sheet's tracks (only the one numbered onlyTrack when it is not 0), over images:
// one opened record per FILE of the sheet (null where it is not needed).
bool MakeRows(const CCueSheet& sheet, const std::string& sheetPath,
              const std::vector<std::unique_ptr<CFileInfo>>& images, int onlyTrack,
              std::vector<std::unique_ptr<CFileInfo>>& rows, std::string& failure) {
    std::vector<std::unique_ptr<CFileInfo>> made;
    const std::vector<CCueSheet::Span> spans = sheet.Spans();
    // The track that starts past its image's end is named, not the one before it that would
    // have to end there.
    for (const CCueSheet::Span& span : spans) {
        const CFileInfo& image = *images[static_cast<std::size_t>(span.File)];
        const std::int64_t first = CCueSheet::FramesToSamples(span.First, image.SampleRate);
        // An image whose length only its header estimates (an MP3 without a Xing header) is
        // judged by that estimate, as the run judges the tracks' outputs: a track past it would
        // decode to nothing, and an output of no samples and no expected length passes.
        const bool pastEnd =
            image.Samples >= 0
                ? first >= image.Samples
                : image.Duration >= 0 && image.SampleRate > 0 &&
                      static_cast<double>(first) / image.SampleRate >= image.Duration;
        if (pastEnd) {
            failure =
                Text(CSheetTracks::kTextTrackPastEnd,
                     std::to_string(sheet.Tracks[static_cast<std::size_t>(span.Track)].Number) +
                         " (" + image.Path + ")");
            return false;
        }
    }
    for (const CCueSheet::Span& span : spans) {
        const CCueSheet::Track& track = sheet.Tracks[static_cast<std::size_t>(span.Track)];
        if (onlyTrack != 0 && track.Number != onlyTrack) continue;
        const CFileInfo& image = *images[static_cast<std::size_t>(span.File)];
        const std::int64_t first = CCueSheet::FramesToSamples(span.First, image.SampleRate);
        std::int64_t end =
            span.End < 0 ? image.Samples : CCueSheet::FramesToSamples(span.End, image.SampleRate);
        const bool known = image.Samples >= 0;
        if (image.SampleRate <= 0 || (known && (first >= image.Samples || end > image.Samples)) ||
            (end >= 0 && end <= first)) {
            failure = Text(CSheetTracks::kTextTrackPastEnd,
                           std::to_string(track.Number) + " (" + image.Path + ")");
            return false;
        }
        auto row = std::make_unique<CFileInfo>();
        row->CopyDescription(image);
        row->Track = TagsOf(sheet, track, sheetPath);
        row->Track->First = first;
        row->Track->End = end;
        if (end >= 0) {
            row->SetExactLength(end - first);
            row->LengthExact = image.LengthExact;
        } else {
            row->Samples = -1;
            row->Duration = image.Duration < 0
                                ? -1.0
                                : image.Duration - static_cast<double>(first) / image.SampleRate;
        }
        made.push_back(std::move(row));
    }
    if (made.empty()) {
        failure = Text(CSheetTracks::kTextNoTracks) + " " + PathFileName(sheetPath);
        return false;
    }
    for (auto& row : made) rows.push_back(std::move(row));
    return true;
}

}  // namespace

bool CSheetTracks::IsSheet(const std::string& path) {
    return LowerAscii(PathExtension(path)) == ".cue";
}

std::string CSheetTracks::TrackEntry(const std::string& sheetPath, int number) {
    return sheetPath + '\0' + std::to_string(number);
}

bool CSheetTracks::SplitTrackEntry(const std::string& entry, std::string& sheetPath, int& number) {
    const auto nul = entry.find('\0');
    if (nul == std::string::npos) return false;
    const std::string digits = entry.substr(nul + 1);
    if (digits.empty() || digits.size() > 3 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    sheetPath = entry.substr(0, nul);
    number = std::stoi(digits);
    return true;
}

std::string CSheetTracks::FileOfEntry(const std::string& entry) {
    return entry.substr(0, entry.find('\0'));
}

std::vector<std::string> CSheetTracks::NamedImages(const std::string& sheetPath) {
    CCueSheet sheet;
    std::vector<std::string> images;
    if (!ReadSheet(sheetPath, sheet)) return images;
    for (const std::string& name : sheet.Files) {
        std::string image = ResolveImage(sheetPath, name);
        if (!image.empty()) images.push_back(std::move(image));
    }
    return images;
}

bool CSheetTracks::Make(const std::string& entry, MediaInfoHandle* mediaInfo,
                        std::vector<std::unique_ptr<CFileInfo>>& rows, std::string& failure) {
    std::string sheetPath = entry;
    int onlyTrack = 0;
    SplitTrackEntry(entry, sheetPath, onlyTrack);
    if (!IsSheet(sheetPath)) {
        // A track of an image with its sheet inside.
        CFileInfo image;
        if (!image.Open(sheetPath, mediaInfo)) {
            failure = image.GetOpenFailure();
            return false;
        }
        const std::size_t before = rows.size();
        for (auto& track : FromEmbedded(image)) {
            if (onlyTrack == 0 || track->Track->Number == onlyTrack) {
                rows.push_back(std::move(track));
            }
        }
        if (rows.size() != before) return true;
        failure = Text(kTextNoTracks) + " " + PathFileName(sheetPath);
        return false;
    }
    CCueSheet sheet;
    if (!ReadSheet(sheetPath, sheet)) {
        const platform::Error error = platform::ReadableFileError(sheetPath);
        failure = error ? error.text : Text(kTextNoTracks) + " " + PathFileName(sheetPath);
        return false;
    }
    if (sheet.Files.empty() && sheet.Tracks.empty()) {
        // No sheet at all (a ".cue" of something else): passed over like a file that is not
        // audio.
        failure.clear();
        return false;
    }
    std::vector<std::unique_ptr<CFileInfo>> images(sheet.Files.size());
    for (const CCueSheet::Span& span : sheet.Spans()) {
        auto& image = images[static_cast<std::size_t>(span.File)];
        if (image) continue;
        const std::string& name = sheet.Files[static_cast<std::size_t>(span.File)];
        const std::string path = ResolveImage(sheetPath, name);
        image = std::make_unique<CFileInfo>();
        if (path.empty() || !image->Open(path, mediaInfo)) {
            failure = Text(kTextImageMissing, path.empty() ? name : path);
            return false;
        }
    }
    return MakeRows(sheet, sheetPath, images, onlyTrack, rows, failure);
}

std::vector<std::unique_ptr<CFileInfo>> CSheetTracks::FromEmbedded(const CFileInfo& image) {
    std::vector<std::unique_ptr<CFileInfo>> rows;
    const std::string text = embedded_cue::Read(image.Path);
    if (text.empty()) return rows;
    CCueSheet sheet = CCueSheet::Parse(text);
    // Whatever FILE it names (if any), a sheet inside an image is about that image alone.
    if (sheet.Files.empty()) sheet = CCueSheet::Parse("FILE \"\" WAVE\n" + text);
    sheet.Files.assign(1, image.Name);
    for (CCueSheet::Track& track : sheet.Tracks) {
        track.File = 0;
        for (CCueSheet::Index& index : track.Indexes) index.File = 0;
    }
    std::vector<std::unique_ptr<CFileInfo>> images;
    images.push_back(std::make_unique<CFileInfo>());
    images.back()->CopyDescription(image);
    std::string failure;
    if (!MakeRows(sheet, image.Path, images, 0, rows, failure)) rows.clear();
    return rows;
}
