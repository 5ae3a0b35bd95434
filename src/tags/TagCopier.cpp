#include "tags/TagCopier.h"

#include <taglib/fileref.h>
#include <taglib/tfile.h>

#include "base/Paths.h"
#include "tags/CoverPicture.h"
#include "tags/TagLibLock.h"
#include "tags/TextFields.h"

namespace {

CTagCopier::Result Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return CTagCopier::Result::Failed;
}

// True when TagLib picks a reader for files named so (by extension, as FileRef does).
bool HasTagLibExtension(const std::string& path) {
    const std::string extension = PathExtension(path);
    if (extension.size() < 2) return false;
    const TagLib::String wanted = TagLib::String(extension.substr(1), TagLib::String::UTF8).upper();
    for (const TagLib::String& known : TagLib::FileRef::defaultFileExtensions()) {
        if (known.upper() == wanted) return true;
    }
    return false;
}

// Fields that describe how a file was encoded (the program, its options, the channel mask flac
// keeps from a WAV header). They are true of the source only: the output keeps its own, as its
// coder wrote them, and a source's never reach it. ENCODEDBY is not one of them: it names the
// person or group that made the file.
constexpr const char* kEncodingFields[] = {"ENCODER", "ENCODER_OPTIONS", "ENCODERSETTINGS",
                                           "ENCODING", "WAVEFORMATEXTENSIBLE_CHANNEL_MASK"};

void KeepOutputsEncodingFields(const TagLib::PropertyMap& own, TagLib::PropertyMap& fields) {
    for (const char* key : kEncodingFields) {
        fields.erase(key);
        const auto found = own.find(key);
        if (found != own.end()) fields.insert(key, found->second);
    }
}

CTagCopier::Result WriteFields(const std::string& output, TagLib::PropertyMap fields,
                               const std::optional<CoverPicture>& cover, std::string* error) {
    const TagLib::FileRef to(output.c_str(), false);
    if (to.isNull() || !to.file()->isValid()) {
        return Fail(error, "no tags can be written into " + output);
    }
    TagLib::File& file = *to.file();
    if (file.readOnly()) return Fail(error, output + " cannot be written");
    KeepOutputsEncodingFields(file.properties(), fields);
    // Fields the output's format cannot hold come back from setProperties and are let go.
    file.setProperties(fields);
    if (cover && !WriteFrontCover(file, *cover)) {
        return Fail(error, "the cover picture cannot be written into " + output);
    }
    if (!file.save()) return Fail(error, "the tags could not be saved into " + output);
    return CTagCopier::Result::Copied;
}

}  // namespace

CTagCopier::Result CTagCopier::Copy(const std::string& source, const std::string& output,
                                    std::string* error) {
    const auto lock = LockTagLib();
    TagLib::PropertyMap fields;
    std::optional<CoverPicture> cover;
    {
        // Audio properties are not needed: only the tags are read.
        const TagLib::FileRef from(source.c_str(), false);
        if (from.isNull() || !from.file()->isValid()) {
            // A format TagLib has no reader for (raw AAC, say) holds nothing it could copy; a
            // file of a format it knows that it cannot take apart is worth a warning.
            if (!HasTagLibExtension(source)) return Result::NothingToCopy;
            return Fail(error, "the tags of " + source + " cannot be read");
        }
        fields = ReadTextFields(*from.file());
        cover = ReadFrontCover(*from.file());
    }
    for (const char* key : kEncodingFields) fields.erase(key);
    if (fields.isEmpty() && !cover) return Result::NothingToCopy;

    return WriteFields(output, fields, cover, error);
}

CTagCopier::Result CTagCopier::Write(const Fields& given, const std::string& coverSource,
                                     const std::string& output, std::string* error) {
    const auto lock = LockTagLib();
    TagLib::PropertyMap fields;
    for (const auto& [key, value] : given) {
        if (!value.empty()) {
            fields.insert(TagLib::String(key, TagLib::String::UTF8),
                          TagLib::StringList(TagLib::String(value, TagLib::String::UTF8)));
        }
    }
    std::optional<CoverPicture> cover;
    {
        const TagLib::FileRef from(coverSource.c_str(), false);
        if (!from.isNull() && from.file()->isValid()) cover = ReadFrontCover(*from.file());
    }
    if (fields.isEmpty() && !cover) return Result::NothingToCopy;
    return WriteFields(output, fields, cover, error);
}
