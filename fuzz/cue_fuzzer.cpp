// Reads arbitrary bytes as a cue sheet, and as the metadata of images that carry one inside:
// nothing may read past the bytes, every text must come out as valid UTF-8, and the tracks'
// places must lie in the sheet's files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fileinfo/CueSheet.h"
#include "fileinfo/EmbeddedCueSheet.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const CCueSheet sheet = CCueSheet::Parse(bytes);
    Check(CCueSheet::IsValidUtf8(sheet.Title) && CCueSheet::IsValidUtf8(sheet.Performer) &&
          CCueSheet::IsValidUtf8(sheet.Genre) && CCueSheet::IsValidUtf8(sheet.Date));
    for (const std::string& file : sheet.Files) Check(CCueSheet::IsValidUtf8(file));
    for (const CCueSheet::Track& track : sheet.Tracks) {
        Check(CCueSheet::IsValidUtf8(track.Title) && CCueSheet::IsValidUtf8(track.Performer));
    }
    for (const CCueSheet::Span& span : sheet.Spans()) {
        Check(span.File >= 0 && static_cast<std::size_t>(span.File) < sheet.Files.size());
        Check(span.Track >= 0 && static_cast<std::size_t>(span.Track) < sheet.Tracks.size());
        Check(span.First >= 0 && span.End >= -1);
        // The highest rate a FLAC file can declare; the sanitizer catches an overflow.
        CCueSheet::FramesToSamples(span.First, 655350);
        CCueSheet::FramesToSamples(span.End, 655350);
    }
    const std::string embedded = embedded_cue::FromFlacMetadata(bytes);
    if (!embedded.empty()) CCueSheet::Parse(embedded).Spans();
    const std::uint32_t count = size > 0 ? data[0] : 0;
    embedded_cue::FromApeItems(bytes.substr(size > 0 ? 1 : 0), count);
    return 0;
}
