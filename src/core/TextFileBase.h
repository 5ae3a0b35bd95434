#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

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

    bool IsOpen() const { return m_fd >= 0; }
    TextFileEncoding GetEncoding() const { return m_encoding; }
    // Set when a conversion had to use the default character.
    bool GetDefaultCharUsed() const { return m_defaultCharUsed; }

    // Flushes (writer) and closes the file. May raise CTextFileException (writer).
    virtual void Close();

protected:
    CTextFileBase() = default;

    int m_fd = -1;
    TextFileEncoding m_encoding = kEncodingAnsi;
    std::array<unsigned char, kBufferSize> m_buffer{};
    std::size_t m_bufferPos = 0;
    int m_codePage = 0;
    int m_defaultChar = 0;
    bool m_defaultCharUsed = false;
};
