#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/File.h"

// Encodings of a text file, chosen by its byte-order mark.
enum TextFileEncoding : int {
    kEncodingAnsi = 0,     // UTF-8 without a byte-order mark (the "ANSI code page" here)
    kEncodingUtf16BE = 1,  // FE FF
    kEncodingUtf16LE = 2,  // FF FE
    kEncodingUtf8 = 3,     // EF BB BF
};

// Shared state of the line-oriented text-file reader and writer: the open file,
// its encoding and a 1,024-byte buffer.
class CTextFileBase {
public:
    static constexpr std::size_t kBufferSize = 1024;

    CTextFileBase(const CTextFileBase&) = delete;
    CTextFileBase& operator=(const CTextFileBase&) = delete;
    virtual ~CTextFileBase();

    bool IsOpen() const { return m_file.IsOpen(); }
    TextFileEncoding GetEncoding() const { return m_encoding; }
    // Set when a conversion had to put U+FFFD in place of text it could not convert.
    bool GetDefaultCharUsed() const { return m_defaultCharUsed; }

    // Flushes (writer) and closes the file. May raise CTextFileException (writer).
    virtual void Close();

protected:
    CTextFileBase() = default;

    bool IsUtf16() const {
        return m_encoding == kEncodingUtf16BE || m_encoding == kEncodingUtf16LE;
    }

    platform::File m_file;
    TextFileEncoding m_encoding = kEncodingAnsi;
    std::array<unsigned char, kBufferSize> m_buffer{};
    std::size_t m_bufferPos = 0;
    bool m_defaultCharUsed = false;
};
