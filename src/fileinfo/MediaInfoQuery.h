#pragma once

#include <cstdint>
#include <string>

class CFileInfo;
class MediaInfoHandle;

// The properties the readers ask the library for, each stored in one field of the record.
enum class MediaInfoProperty { BitRate, Channels, SamplingRate, Resolution, Codec };

// One reader's turn with the handle: opens the file on construction and closes the handle
// when it goes away. A null handle behaves as a handle without the library.
class CMediaInfoQuery {
public:
    CMediaInfoQuery(MediaInfoHandle* handle, const std::string& path);
    ~CMediaInfoQuery();
    CMediaInfoQuery(const CMediaInfoQuery&) = delete;
    CMediaInfoQuery& operator=(const CMediaInfoQuery&) = delete;

    // The answer for the property from the first stream of that kind. Recent library versions
    // answer the traditional keys "Resolution" and "Codec" with empty text; then the same
    // property is asked under its current key ("BitDepth", "Format").
    std::string Ask(int streamKind, MediaInfoProperty property);
    // Asks and stores the answer in the property's field of the record.
    void Store(int streamKind, MediaInfoProperty property, CFileInfo& record);
    // The library's estimate of the playing length (Duration), and whether it finds the file
    // cut short (IsTruncated, as for an MP4 file whose samples run past its end).
    void StoreLength(CFileInfo& record);
    // The answer for any key of the first stream of that kind.
    std::string AskKey(int streamKind, const char* key);

private:
    MediaInfoHandle* m_handle;
};

// The decimal integer at the start of text: optional blanks and a sign, then digits; 0 when
// there are no digits; held to the 32-bit range.
std::int32_t LeadingInteger(const std::string& text);
// The non-negative decimal number (with an optional fraction) at the start of text, as the
// library writes lengths and sizes; -1 when there is none.
double LeadingNumber(const std::string& text);
