#include "tags/TagCopier.h"

#include <taglib/fileref.h>
#include <taglib/tfile.h>

#include "tags/CoverPicture.h"
#include "tags/TextFields.h"

namespace {

CTagCopier::Result Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return CTagCopier::Result::Failed;
}

}  // namespace

CTagCopier::Result CTagCopier::Copy(const std::string& source, const std::string& output,
                                    std::string* error) {
    TagLib::PropertyMap fields;
    std::optional<CoverPicture> cover;
    {
        // Audio properties are not needed: only the tags are read.
        const TagLib::FileRef from(source.c_str(), false);
        if (from.isNull() || !from.file()->isValid()) {
            return Fail(error, "the tags of " + source + " cannot be read");
        }
        fields = ReadTextFields(*from.file());
        cover = ReadFrontCover(*from.file());
    }
    if (fields.isEmpty() && !cover) return Result::NothingToCopy;

    const TagLib::FileRef to(output.c_str(), false);
    if (to.isNull() || !to.file()->isValid()) {
        return Fail(error, "no tags can be written into " + output);
    }
    TagLib::File& file = *to.file();
    if (file.readOnly()) return Fail(error, output + " cannot be written");
    // Fields the output's format cannot hold come back from setProperties and are let go.
    file.setProperties(fields);
    if (cover && !WriteFrontCover(file, *cover)) {
        return Fail(error, "the cover picture cannot be written into " + output);
    }
    if (!file.save()) return Fail(error, "the tags could not be saved into " + output);
    return Result::Copied;
}
