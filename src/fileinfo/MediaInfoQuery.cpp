#include "fileinfo/MediaInfoQuery.h"

#include <charconv>
#include <cstdint>
#include <limits>

#include "fileinfo/FileInfo.h"
#include "fileinfo/MediaInfoHandle.h"

namespace {

struct PropertyKeys {
    const char* Key;
    const char* CurrentKey;  // asked when Key is answered empty; null when there is none
};

PropertyKeys KeysOf(MediaInfoProperty property) {
    switch (property) {
        case MediaInfoProperty::BitRate:
            return {"BitRate", nullptr};
        case MediaInfoProperty::Channels:
            return {"Channel(s)", nullptr};
        case MediaInfoProperty::SamplingRate:
            return {"SamplingRate", nullptr};
        case MediaInfoProperty::Resolution:
            return {"Resolution", "BitDepth"};
        case MediaInfoProperty::Codec:
            return {"Codec", "Format"};
    }
    return {"", nullptr};
}

}  // namespace

CMediaInfoQuery::CMediaInfoQuery(MediaInfoHandle* handle, const std::string& path)
    : m_handle(handle) {
    if (m_handle) m_handle->Open(path);
}

CMediaInfoQuery::~CMediaInfoQuery() {
    if (m_handle) m_handle->Close();
}

std::string CMediaInfoQuery::AskKey(int streamKind, const char* key) {
    if (!m_handle) return MediaInfoHandle::kUnavailableText;
    return m_handle->Get(streamKind, 0, key, MediaInfoHandle::kInfoText,
                         MediaInfoHandle::kInfoName);
}

std::string CMediaInfoQuery::Ask(int streamKind, MediaInfoProperty property) {
    const PropertyKeys keys = KeysOf(property);
    std::string answer = AskKey(streamKind, keys.Key);
    if (answer.empty() && keys.CurrentKey) answer = AskKey(streamKind, keys.CurrentKey);
    return answer;
}

void CMediaInfoQuery::Store(int streamKind, MediaInfoProperty property, CFileInfo& record) {
    const std::string answer = Ask(streamKind, property);
    switch (property) {
        case MediaInfoProperty::BitRate:
            record.BitRate = LeadingInteger(answer) / 1000.0;
            break;
        case MediaInfoProperty::Channels:
            record.Channels = LeadingInteger(answer);
            break;
        case MediaInfoProperty::SamplingRate:
            record.SampleRate = LeadingInteger(answer);
            break;
        case MediaInfoProperty::Resolution:
            record.Resolution = LeadingInteger(answer);
            break;
        case MediaInfoProperty::Codec:
            record.Codec = answer;
            break;
    }
}

void CMediaInfoQuery::StoreLength(CFileInfo& record) {
    double milliseconds = LeadingNumber(AskKey(MediaInfoHandle::kStreamAudio, "Duration"));
    if (milliseconds < 0)
        milliseconds = LeadingNumber(AskKey(MediaInfoHandle::kStreamGeneral, "Duration"));
    if (milliseconds >= 0) {
        record.Duration = milliseconds / 1000.0;
        record.LengthExact = false;
    }
    if (AskKey(MediaInfoHandle::kStreamGeneral, "IsTruncated") == "Yes") {
        record.Truncation = "truncated: the file ends before the end of its audio";
    }
}

double LeadingNumber(const std::string& text) {
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    while (begin < end && *begin == ' ') ++begin;
    if (begin == end || *begin < '0' || *begin > '9') return -1;
    double value = -1;
    const auto result = std::from_chars(begin, end, value, std::chars_format::fixed);
    return result.ec == std::errc() ? value : -1;
}

std::int32_t LeadingInteger(const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
        if (value <= kLimit) value = value * 10 + (text[pos] - '0');
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}
