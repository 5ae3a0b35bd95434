// Tags and cover art read from any file a user may list: the first byte picks the extension
// (which decides the format TagLib reads it as), the rest is the file. Its text fields and front
// cover are read, then copied into a second copy of the same bytes, as a run does after coding.

#include <taglib/fileref.h>
#include <taglib/tfile.h>

#include <cstddef>
#include <cstdint>

#include "ReaderFuzzing.h"
#include "tags/CoverPicture.h"
#include "tags/TagCopier.h"
#include "tags/TextFields.h"

namespace {

constexpr const char* kExtensions[] = {".flac", ".mp3", ".ogg", ".opus", ".m4a",
                                       ".wav",  ".wv",  ".ape", ".wma"};
constexpr std::size_t kFormats = sizeof kExtensions / sizeof kExtensions[0];

struct Scratch {
    fuzzing::ScratchFile Source;
    fuzzing::ScratchFile Copy;
    explicit Scratch(const char* extension) : Source(extension), Copy(extension) {}
};

const Scratch& ScratchFor(std::size_t format) {
    static const Scratch files[kFormats] = {
        Scratch(kExtensions[0]), Scratch(kExtensions[1]), Scratch(kExtensions[2]),
        Scratch(kExtensions[3]), Scratch(kExtensions[4]), Scratch(kExtensions[5]),
        Scratch(kExtensions[6]), Scratch(kExtensions[7]), Scratch(kExtensions[8]),
    };
    return files[format];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const Scratch& scratch = ScratchFor(data[0] % kFormats);
    fuzzing::WriteFile(scratch.Source.Path(), data + 1, size - 1);
    fuzzing::WriteFile(scratch.Copy.Path(), data + 1, size - 1);
    {
        const TagLib::FileRef file(scratch.Source.Path().c_str(), false);
        if (!file.isNull() && file.file()->isValid()) {
            const TagLib::PropertyMap fields = ReadTextFields(*file.file());
            for (const auto& [key, values] : fields) fuzzing::Require(!key.isEmpty());
            if (const auto cover = ReadFrontCover(*file.file())) {
                // Every picture has a type, named by the tag or guessed from its bytes.
                fuzzing::Require(cover->MimeType.empty() ||
                                 cover->MimeType.find('/') != std::string::npos);
                fuzzing::Require(GuessImageType(cover->Data).empty() || !cover->MimeType.empty());
            }
        }
    }
    std::string error;
    const CTagCopier::Result result =
        CTagCopier::Copy(scratch.Source.Path(), scratch.Copy.Path(), &error);
    fuzzing::Require(result != CTagCopier::Result::Failed || !error.empty());
    return 0;
}
