#include "TagFiles.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>

#include "session/EngineFiles.h"
#include "support/TempDir.h"

namespace {

TagLib::PropertyMap SampleProperties() {
    TagLib::PropertyMap map;
    for (const auto& [key, value] : SampleFields()) {
        map.insert(key, TagLib::StringList(TagLib::String(value, TagLib::String::UTF8)));
    }
    return map;
}

void AddPicture(TagLib::ID3v2::Tag& tag, const std::string& coverPath) {
    const std::string bytes = ReadFileBytes(coverPath);
    auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    frame->setMimeType(coverPath.ends_with(".png") ? "image/png" : "image/jpeg");
    frame->setPicture(TagLib::ByteVector(bytes.data(), static_cast<unsigned>(bytes.size())));
    tag.addFrame(frame);
}

}  // namespace

const std::map<std::string, std::string>& SampleFields() {
    static const std::map<std::string, std::string> fields = {
        {"TITLE", "Blue in Gr\xC3\xBCn"}, {"ARTIST", "The Quartet"}, {"ALBUM", "Kind of Test"},
        {"ALBUMARTIST", "Various"},       {"TRACKNUMBER", "3/12"},    {"DISCNUMBER", "2/2"},
        {"DATE", "1959"},                 {"GENRE", "Jazz"},          {"COMMENT", "take two"},
        {"COMPOSER", "B. Evans"},
    };
    return fields;
}

std::string MakeCover(const std::string& path) {
    if (!RunShell("convert -size 24x16 gradient:navy-gold " + ShellQuoted(path))) return {};
    return ReadFileBytes(path);
}

bool TagMp3(const std::string& path, const std::string& coverPath, int id3Version) {
    TagLib::MPEG::File file(path.c_str(), false);
    if (!file.isValid()) return false;
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    tag->setProperties(SampleProperties());
    if (!coverPath.empty()) AddPicture(*tag, coverPath);
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers,
                     id3Version == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4);
}

bool TagWav(const std::string& path, const std::string& coverPath) {
    TagLib::RIFF::WAV::File file(path.c_str(), false);
    if (!file.isValid()) return false;
    TagLib::RIFF::Info::Tag* info = file.InfoTag();
    const auto& fields = SampleFields();
    info->setFieldText("INAM", TagLib::String(fields.at("TITLE"), TagLib::String::UTF8));
    info->setFieldText("IART", fields.at("ARTIST"));
    info->setFieldText("IPRD", fields.at("ALBUM"));
    info->setFieldText("ICMT", fields.at("COMMENT"));
    info->setFieldText("IGNR", fields.at("GENRE"));
    info->setFieldText("ICRD", fields.at("DATE"));
    info->setFieldText("IPRT", fields.at("TRACKNUMBER"));
    if (!coverPath.empty()) {
        file.ID3v2Tag()->setProperties(SampleProperties());
        AddPicture(*file.ID3v2Tag(), coverPath);
        return file.save(TagLib::RIFF::WAV::File::AllTags);
    }
    return file.save(TagLib::RIFF::WAV::File::Info);
}

std::map<std::string, std::string> ReadFields(const std::string& path) {
    std::map<std::string, std::string> fields;
    const TagLib::FileRef file(path.c_str(), false);
    if (file.isNull()) return fields;
    for (const auto& [key, values] : file.file()->properties()) {
        if (!values.isEmpty()) fields[key.to8Bit(true)] = values.front().to8Bit(true);
    }
    return fields;
}

std::string ExtractCover(const std::string& path, const std::string& scratch) {
    const std::string picture = scratch + "/extracted.bin";
    std::remove(picture.c_str());
    const bool ok = RunShell("ffmpeg -nostdin -v error -y -i " + ShellQuoted(path) +
                             " -an -map 0:v:0 -c:v copy -f image2 " + ShellQuoted(picture));
    return ok ? ReadFileBytes(picture) : std::string();
}
