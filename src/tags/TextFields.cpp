#include "tags/TextFields.h"

#include <taglib/infotag.h>
#include <taglib/tfile.h>
#include <taglib/wavfile.h>

namespace {

// RIFF INFO chunk ids and the common property names they stand for.
struct InfoField {
    const char* Id;
    const char* Property;
};
constexpr InfoField kInfoFields[] = {
    {"INAM", "TITLE"},     {"IART", "ARTIST"},      {"IPRD", "ALBUM"},
    {"ICMT", "COMMENT"},   {"IGNR", "GENRE"},       {"ICRD", "DATE"},
    {"IPRT", "TRACKNUMBER"}, {"ITRK", "TRACKNUMBER"}, {"ICOP", "COPYRIGHT"},
    {"IENG", "ENGINEER"},  {"ISFT", "ENCODING"},    {"ILNG", "LANGUAGE"},
    {"IMUS", "COMPOSER"},
};

void AddInfoFields(TagLib::RIFF::Info::Tag& info, TagLib::PropertyMap& fields) {
    const TagLib::RIFF::Info::FieldListMap chunks = info.fieldListMap();
    for (const InfoField& field : kInfoFields) {
        const auto found = chunks.find(TagLib::ByteVector(field.Id));
        if (found == chunks.end() || found->second.isEmpty()) continue;
        if (!fields.contains(field.Property)) {
            fields.insert(field.Property, TagLib::StringList(found->second));
        }
    }
}

}  // namespace

TagLib::PropertyMap ReadTextFields(TagLib::File& file) {
    TagLib::PropertyMap fields = file.properties();
    fields.removeEmpty();
    if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(&file)) {
        if (wav->hasInfoTag()) AddInfoFields(*wav->InfoTag(), fields);
    }
    return fields;
}
