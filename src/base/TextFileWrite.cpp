#include "base/TextFileWrite.h"

#include <cerrno>

#include "base/TextFileException.h"
#include "base/TextFileUnicode.h"

CTextFileWrite::CTextFileWrite(const std::string& path, TextFileEncoding encoding) {
    m_encoding =
        (encoding >= kEncodingAnsi && encoding <= kEncodingUtf8) ? encoding : kEncodingAnsi;
    m_file = platform::File::Create(path);
    // The failure only surfaces at the first flush; keep its cause until then.
    if (!m_file.IsOpen()) m_openError = m_file.LastError();
    switch (m_encoding) {
        case kEncodingUtf16BE:
            PutBytes("\xFE\xFF");
            break;
        case kEncodingUtf16LE:
            PutBytes("\xFF\xFE");
            break;
        case kEncodingUtf8:
            PutBytes("\xEF\xBB\xBF");
            break;
        case kEncodingAnsi:
            break;
    }
}

CTextFileWrite::~CTextFileWrite() {
    try {
        Close();
    } catch (const CTextFileException&) {
        // A destructor cannot report; callers who care call Close() themselves.
    }
}

void CTextFileWrite::Write(const std::string& utf8Text) {
    if (m_encoding == kEncodingAnsi || m_encoding == kEncodingUtf8) {
        bool replaced = false;
        // Encoding 0 takes the bytes as they are; UTF-8 with a mark gets valid UTF-8 only.
        if (m_encoding == kEncodingAnsi) {
            PutBytes(utf8Text);
        } else {
            PutBytes(WideToUtf8(Utf8ToWide(utf8Text, &replaced)));
        }
        m_defaultCharUsed = m_defaultCharUsed || replaced;
        return;
    }
    bool replaced = false;
    for (const wchar_t c : Utf8ToWide(utf8Text, &replaced)) PutCharacter(c);
    m_defaultCharUsed = m_defaultCharUsed || replaced;
}

void CTextFileWrite::Write(const std::wstring& text) {
    for (const wchar_t c : text) PutCharacter(static_cast<char32_t>(c));
}

void CTextFileWrite::WriteEndOfLine() {
    PutCharacter(U'\r');
    PutCharacter(U'\n');
}

void CTextFileWrite::PutCharacter(char32_t character) {
    bool replaced = false;
    if (IsUtf16()) {
        std::u16string units;
        AppendUtf16(units, character, &replaced);
        for (const char16_t unit : units) {
            const auto high = static_cast<unsigned char>(unit >> 8);
            const auto low = static_cast<unsigned char>(unit & 0xFF);
            PutByte(m_encoding == kEncodingUtf16BE ? high : low);
            PutByte(m_encoding == kEncodingUtf16BE ? low : high);
        }
    } else {
        std::string bytes;
        AppendUtf8(bytes, character, &replaced);
        PutBytes(bytes);
    }
    m_defaultCharUsed = m_defaultCharUsed || replaced;
}

void CTextFileWrite::PutBytes(const std::string& bytes) {
    for (const char b : bytes) PutByte(static_cast<unsigned char>(b));
}

void CTextFileWrite::PutByte(unsigned char byte) {
    m_buffer[m_bufferPos++] = byte;
    if (m_bufferPos == kBufferSize) Flush();
}

void CTextFileWrite::Flush() {
    if (!m_file.IsOpen()) Fail(m_openError ? m_openError.code : EBADF);
    if (m_bufferPos == 0) return;
    if (!m_file.WriteAll(m_buffer.data(), m_bufferPos)) Fail(m_file.LastError().code);
    m_bufferPos = 0;
}

void CTextFileWrite::Fail(int errorCode) {
    m_file.Close();
    m_bufferPos = 0;
    m_closed = true;
    throw CTextFileException(errorCode);
}

void CTextFileWrite::Close() {
    if (m_closed) return;
    Flush();
    m_closed = true;
    if (!m_file.Close()) throw CTextFileException(m_file.LastError().code);
}
