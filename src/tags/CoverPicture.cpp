#include "tags/CoverPicture.h"

#include <taglib/aifffile.h>
#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpcfile.h>
#include <taglib/mpegfile.h>
#include <taglib/trueaudiofile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>

namespace {

using TagLib::ByteVector;
using TagLib::ID3v2::AttachedPictureFrame;

// The APE item of a front cover holds a file name, a zero byte, then the picture.
constexpr const char* kApeCoverKey = "COVER ART (FRONT)";

std::string ToStd(const TagLib::String& text) { return text.to8Bit(true); }
TagLib::String ToTagLib(const std::string& text) {
    return TagLib::String(text, TagLib::String::UTF8);
}

CoverPicture Make(const std::string& mimeType, const std::string& description,
                  const ByteVector& data) {
    CoverPicture picture{mimeType, description, data};
    if (picture.MimeType.empty() || picture.MimeType.find('/') == std::string::npos) {
        picture.MimeType = GuessImageType(data);
    }
    return picture;
}

// The front cover among pictures of any kind; isFront and make see one picture each.
template <class List, class IsFront, class MakePicture>
std::optional<CoverPicture> Pick(const List& pictures, IsFront isFront, MakePicture make) {
    for (const auto& picture : pictures) {
        if (isFront(picture)) return make(picture);
    }
    if (!pictures.isEmpty()) return make(pictures.front());
    return std::nullopt;
}

std::optional<CoverPicture> FromId3v2(TagLib::ID3v2::Tag* tag) {
    if (tag == nullptr) return std::nullopt;
    // An APIC frame TagLib could not take apart (encrypted, say) is no picture frame at all.
    TagLib::List<AttachedPictureFrame*> pictures;
    for (TagLib::ID3v2::Frame* frame : tag->frameList("APIC")) {
        if (auto* apic = dynamic_cast<AttachedPictureFrame*>(frame)) pictures.append(apic);
    }
    return Pick(
        pictures,
        [](AttachedPictureFrame* apic) { return apic->type() == AttachedPictureFrame::FrontCover; },
        [](AttachedPictureFrame* apic) {
            return Make(ToStd(apic->mimeType()), ToStd(apic->description()), apic->picture());
        });
}

std::optional<CoverPicture> FromFlacPictures(const TagLib::List<TagLib::FLAC::Picture*>& list) {
    return Pick(
        list,
        [](TagLib::FLAC::Picture* picture) {
            return picture->type() == TagLib::FLAC::Picture::FrontCover;
        },
        [](TagLib::FLAC::Picture* picture) {
            return Make(ToStd(picture->mimeType()), ToStd(picture->description()),
                        picture->data());
        });
}

std::optional<CoverPicture> FromMp4(TagLib::MP4::Tag* tag) {
    if (tag == nullptr || !tag->contains("covr")) return std::nullopt;
    const TagLib::MP4::CoverArtList covers = tag->item("covr").toCoverArtList();
    if (covers.isEmpty()) return std::nullopt;
    return Make({}, {}, covers.front().data());
}

std::optional<CoverPicture> FromApe(TagLib::APE::Tag* tag) {
    if (tag == nullptr) return std::nullopt;
    const TagLib::APE::ItemListMap& items = tag->itemListMap();
    const auto found = items.find(kApeCoverKey);
    if (found == items.end()) return std::nullopt;
    const ByteVector value = found->second.binaryData();
    const int zero = value.find('\0');
    if (zero < 0) return std::nullopt;
    return Make({}, {}, value.mid(static_cast<unsigned>(zero) + 1));
}

std::optional<CoverPicture> FromAsf(TagLib::ASF::Tag* tag) {
    if (tag == nullptr || !tag->contains("WM/Picture")) return std::nullopt;
    return Pick(
        tag->attribute("WM/Picture"),
        [](const TagLib::ASF::Attribute& attribute) {
            return attribute.toPicture().type() == TagLib::ASF::Picture::FrontCover;
        },
        [](const TagLib::ASF::Attribute& attribute) {
            const TagLib::ASF::Picture picture = attribute.toPicture();
            return Make(ToStd(picture.mimeType()), ToStd(picture.description()), picture.picture());
        });
}

// The ID3v2 tag of the formats that keep pictures there, made when create is set.
TagLib::ID3v2::Tag* Id3v2Of(TagLib::File& file, bool create) {
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(&file)) return mpeg->ID3v2Tag(create);
    if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(&file)) return wav->ID3v2Tag();
    if (auto* aiff = dynamic_cast<TagLib::RIFF::AIFF::File*>(&file)) return aiff->tag();
    if (auto* tta = dynamic_cast<TagLib::TrueAudio::File*>(&file)) return tta->ID3v2Tag(create);
    return nullptr;
}

TagLib::APE::Tag* ApeOf(TagLib::File& file, bool create) {
    if (auto* wavPack = dynamic_cast<TagLib::WavPack::File*>(&file)) return wavPack->APETag(create);
    if (auto* ape = dynamic_cast<TagLib::APE::File*>(&file)) return ape->APETag(create);
    if (auto* mpc = dynamic_cast<TagLib::MPC::File*>(&file)) return mpc->APETag(create);
    return nullptr;
}

TagLib::FLAC::Picture* NewFlacPicture(const CoverPicture& picture) {
    auto* made = new TagLib::FLAC::Picture;
    made->setType(TagLib::FLAC::Picture::FrontCover);
    made->setMimeType(ToTagLib(picture.MimeType));
    made->setDescription(ToTagLib(picture.Description));
    made->setData(picture.Data);
    return made;
}

void WriteId3v2(TagLib::ID3v2::Tag& tag, const CoverPicture& picture) {
    tag.removeFrames("APIC");
    auto* frame = new AttachedPictureFrame;
    frame->setType(AttachedPictureFrame::FrontCover);
    frame->setMimeType(ToTagLib(picture.MimeType));
    frame->setDescription(ToTagLib(picture.Description));
    frame->setPicture(picture.Data);
    frame->setTextEncoding(TagLib::String::UTF8);
    tag.addFrame(frame);
}

void WriteMp4(TagLib::MP4::Tag& tag, const CoverPicture& picture) {
    TagLib::MP4::CoverArt::Format format = TagLib::MP4::CoverArt::Unknown;
    if (picture.MimeType == "image/jpeg") format = TagLib::MP4::CoverArt::JPEG;
    if (picture.MimeType == "image/png") format = TagLib::MP4::CoverArt::PNG;
    if (picture.MimeType == "image/gif") format = TagLib::MP4::CoverArt::GIF;
    if (picture.MimeType == "image/bmp") format = TagLib::MP4::CoverArt::BMP;
    TagLib::MP4::CoverArtList covers;
    covers.append(TagLib::MP4::CoverArt(format, picture.Data));
    tag.setItem("covr", TagLib::MP4::Item(covers));
}

void WriteApe(TagLib::APE::Tag& tag, const CoverPicture& picture) {
    const std::string name = picture.MimeType == "image/png" ? "cover.png" : "cover.jpg";
    ByteVector value(name.c_str(), static_cast<unsigned>(name.size() + 1));
    value.append(picture.Data);
    tag.setItem(kApeCoverKey, TagLib::APE::Item(kApeCoverKey, value, true));
}

}  // namespace

std::string GuessImageType(const ByteVector& data) {
    if (data.startsWith(ByteVector("\xFF\xD8\xFF", 3))) return "image/jpeg";
    if (data.startsWith(ByteVector("\x89PNG", 4))) return "image/png";
    if (data.startsWith(ByteVector("GIF8", 4))) return "image/gif";
    return {};
}

std::optional<CoverPicture> ReadFrontCover(TagLib::File& file) {
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(&file)) {
        if (auto found = FromFlacPictures(flac->pictureList())) return found;
        return flac->hasXiphComment() ? FromFlacPictures(flac->xiphComment()->pictureList())
                                      : std::nullopt;
    }
    if (auto* xiph = dynamic_cast<TagLib::Ogg::XiphComment*>(file.tag())) {
        return FromFlacPictures(xiph->pictureList());
    }
    if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(&file)) return FromMp4(mp4->tag());
    if (auto* asf = dynamic_cast<TagLib::ASF::File*>(&file)) return FromAsf(asf->tag());
    if (auto* id3v2 = Id3v2Of(file, false)) {
        if (auto found = FromId3v2(id3v2)) return found;
    }
    return FromApe(ApeOf(file, false));
}

bool WriteFrontCover(TagLib::File& file, const CoverPicture& picture) {
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(&file)) {
        flac->removePictures();
        flac->addPicture(NewFlacPicture(picture));
        return true;
    }
    if (auto* xiph = dynamic_cast<TagLib::Ogg::XiphComment*>(file.tag())) {
        xiph->removeAllPictures();
        xiph->addPicture(NewFlacPicture(picture));
        return true;
    }
    if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(&file)) {
        WriteMp4(*mp4->tag(), picture);
        return true;
    }
    if (auto* id3v2 = Id3v2Of(file, true)) {
        WriteId3v2(*id3v2, picture);
        return true;
    }
    if (auto* ape = ApeOf(file, true)) {
        WriteApe(*ape, picture);
        return true;
    }
    return false;
}
