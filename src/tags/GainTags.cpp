#include "tags/GainTags.h"

#include <taglib/fileref.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/tfile.h>
#include <taglib/tpropertymap.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>
#include <vector>

#include "base/AsciiText.h"
#include "base/Paths.h"
#include "tags/TagLibLock.h"

namespace {

constexpr double kReplayGainReference = -18.0;
// RFC 7845's R128 gains are relative to -23 LUFS, 5 dB below ReplayGain's reference.
constexpr double kOpusReferenceOffset = -5.0;
// The quietest loudness a gain is given for: the absolute gate, below which R128 measures
// nothing (a silent track).
constexpr double kQuietest = -70.0;

bool IsOpus(const std::string& path) { return LowerAscii(PathExtension(path)) == ".opus"; }

bool IsGainKey(const TagLib::String& key) {
    const std::string upper = key.upper().to8Bit(true);
    return upper.rfind("REPLAYGAIN_", 0) == 0 || upper.rfind("R128_", 0) == 0;
}

// value with digits decimals and a point whatever the locale (the window's is the user's, and
// players read a point).
std::string Fixed(double value, int digits) {
    char text[64];
    const auto end =
        std::to_chars(text, text + sizeof(text), value, std::chars_format::fixed, digits);
    return std::string(text, end.ptr);
}

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

// The prefix of the freeform atoms players read gain tags from in MP4 files.
constexpr const char* kItunesFreeform = "----:com.apple.iTunes:";

// MP4's property interface takes no key it does not map: the freeform atoms are set directly.
void WriteMp4(TagLib::MP4::Tag& tag, bool track,
              const std::vector<std::pair<std::string, std::string>>& fields) {
    if (track) {
        const TagLib::String prefix(kItunesFreeform);
        TagLib::StringList gainKeys;
        for (const auto& [key, item] : tag.itemMap()) {
            if (key.startsWith(prefix) && IsGainKey(key.substr(prefix.size())))
                gainKeys.append(key);
        }
        for (const TagLib::String& key : gainKeys) tag.removeItem(key);
    }
    for (const auto& [key, value] : fields) {
        tag.setItem(
            kItunesFreeform + key,
            TagLib::MP4::Item(TagLib::StringList(TagLib::String(value, TagLib::String::UTF8))));
    }
}

// Sets fields into the file's tags; removing the gain keys first when track is set.
bool Write(const std::string& path, bool track,
           const std::vector<std::pair<std::string, std::string>>& fields, std::string* error) {
    const auto lock = LockTagLib();
    const TagLib::FileRef ref(path.c_str(), false);
    if (ref.isNull() || !ref.file()->isValid())
        return Fail(error, "no gain tags can be written into " + path);
    TagLib::File& file = *ref.file();
    if (file.readOnly()) return Fail(error, path + " cannot be written");
    if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(&file)) {
        if (!mp4->tag()) return Fail(error, "no gain tags can be written into " + path);
        WriteMp4(*mp4->tag(), track, fields);
        if (!file.save()) return Fail(error, "the gain tags could not be saved into " + path);
        return true;
    }
    TagLib::PropertyMap properties = file.properties();
    if (track) {
        TagLib::StringList gainKeys;
        for (const auto& [key, values] : properties) {
            if (IsGainKey(key)) gainKeys.append(key);
        }
        for (const TagLib::String& key : gainKeys) properties.erase(key);
    }
    for (const auto& [key, value] : fields) {
        properties.replace(key, TagLib::StringList(TagLib::String(value, TagLib::String::UTF8)));
    }
    const TagLib::PropertyMap refused = file.setProperties(properties);
    for (const auto& [key, value] : fields) {
        if (refused.contains(key)) return Fail(error, path + " cannot hold the tag " + key);
    }
    if (!file.save()) return Fail(error, "the gain tags could not be saved into " + path);
    return true;
}

}  // namespace

double ReplayGainOf(double lufs) {
    return kReplayGainReference - (std::isfinite(lufs) ? std::max(lufs, kQuietest) : kQuietest);
}

std::string GainText(double gain) { return Fixed(gain, 2) + " dB"; }

std::string PeakText(double peak) { return Fixed(peak, 6); }

std::string OpusGainText(double gain) {
    const double q78 = std::round((gain + kOpusReferenceOffset) * 256.0);
    return std::to_string(static_cast<int>(std::clamp(q78, -32768.0, 32767.0)));
}

bool WriteTrackGain(const std::string& path, const GainFigures& track, std::string* error) {
    if (IsOpus(path))
        return Write(path, true, {{"R128_TRACK_GAIN", OpusGainText(track.Gain)}}, error);
    return Write(path, true,
                 {{"REPLAYGAIN_TRACK_GAIN", GainText(track.Gain)},
                  {"REPLAYGAIN_TRACK_PEAK", PeakText(track.Peak)}},
                 error);
}

bool WriteAlbumGain(const std::string& path, const GainFigures& album, std::string* error) {
    if (IsOpus(path))
        return Write(path, false, {{"R128_ALBUM_GAIN", OpusGainText(album.Gain)}}, error);
    return Write(path, false,
                 {{"REPLAYGAIN_ALBUM_GAIN", GainText(album.Gain)},
                  {"REPLAYGAIN_ALBUM_PEAK", PeakText(album.Peak)}},
                 error);
}
