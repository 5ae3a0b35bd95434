#include "base/TextFileRead.h"

#include <utility>

#include "base/TextFileException.h"
#include "base/TextFileUnicode.h"

CTextFileRead::CTextFileRead(const std::string& path) {
    // A folder cannot be opened as a text file; Linux would open it and fail the first read.
    if (platform::IsDirectory(path)) {
        m_eof = true;
        return;
    }
    m_file = platform::File::OpenRead(path);
    if (!m_file.IsOpen()) {
        m_eof = true;
        return;
    }
    DetectByteOrderMark();
}

CTextFileRead::~CTextFileRead() = default;

void CTextFileRead::Close() {
    CTextFileBase::Close();
    m_eof = true;
    m_pushBack = kNoUnit;
}

void CTextFileRead::DetectByteOrderMark() {
    // A regular file delivers all three bytes in the first block; only short files or pipes
    // need another read.
    while (m_bufferCount < 3) {
        const auto n = m_file.Read(m_buffer.data() + m_bufferCount, kBufferSize - m_bufferCount);
        if (n < 0) {
            const int code = m_file.LastError().code;
            Close();
            throw CTextFileException(code);
        }
        if (n == 0) break;
        m_bufferCount += static_cast<std::size_t>(n);
    }
    if (m_bufferCount == 0) {
        m_eof = true;
        return;
    }
    const auto* b = m_buffer.data();
    if (m_bufferCount >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        m_encoding = kEncodingUtf16LE;
        m_bufferPos = 2;
    } else if (m_bufferCount >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
        m_encoding = kEncodingUtf16BE;
        m_bufferPos = 2;
    } else if (m_bufferCount >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        m_encoding = kEncodingUtf8;
        m_bufferPos = 3;
    } else {
        m_encoding = kEncodingAnsi;
        m_bufferPos = 0;
    }
}

bool CTextFileRead::FillBuffer() {
    m_bufferPos = 0;
    m_bufferCount = 0;
    if (!m_file.IsOpen()) {
        m_eof = true;
        return false;
    }
    const auto n = m_file.Read(m_buffer.data(), kBufferSize);
    if (n < 0) {
        const int code = m_file.LastError().code;
        Close();
        throw CTextFileException(code);
    }
    if (n == 0) {
        m_eof = true;
        return false;
    }
    m_bufferCount = static_cast<std::size_t>(n);
    return true;
}

int CTextFileRead::NextByte() {
    if (m_bufferPos == m_bufferCount && !FillBuffer()) return kNoUnit;
    return m_buffer[m_bufferPos++];
}

int CTextFileRead::NextUnit() {
    const int first = NextByte();
    if (!IsUtf16() || first == kNoUnit) return first;
    const int second = NextByte();
    if (second == kNoUnit) {
        m_defaultCharUsed = true;  // a lone last byte cannot form a 16-bit unit
        return static_cast<int>(kReplacementCharacter);
    }
    return m_encoding == kEncodingUtf16BE ? (first << 8) | second : (second << 8) | first;
}

// Units are bytes for encodings 0 and 3 and 16-bit units for 1 and 2. CR and LF never occur
// inside a multi-unit character in UTF-8 or UTF-16, so lines can be split before decoding.
template <class Units>
bool CTextFileRead::ReadLineUnits(Units& units) {
    units.clear();
    if (m_eof) return false;
    int c = m_pushBack != kNoUnit ? std::exchange(m_pushBack, kNoUnit) : NextUnit();
    if (!m_firstLine) {
        if (c == '\r') c = NextUnit();
        if (c == '\n') c = NextUnit();
    }
    m_firstLine = false;
    while (c != kNoUnit && c != '\r' && c != '\n') {
        units.push_back(static_cast<typename Units::value_type>(c));
        c = NextUnit();
    }
    m_pushBack = c;
    return true;
}

bool CTextFileRead::ReadUtf16Line(std::wstring& line, bool* replaced) {
    std::u16string units;
    if (!ReadLineUnits(units)) {
        line.clear();
        return false;
    }
    line = Utf16ToWide(units, replaced);
    return true;
}

bool CTextFileRead::ReadLine(std::string& line) {
    bool replaced = false;
    if (IsUtf16()) {
        std::wstring wide;
        if (!ReadUtf16Line(wide, &replaced)) {
            line.clear();
            return false;
        }
        line = WideToUtf8(wide, &replaced);
    } else {
        if (!ReadLineUnits(line)) return false;
        // Encoding 0 hands its bytes over unchanged; a UTF-8 file is checked on the way.
        if (m_encoding == kEncodingUtf8) line = WideToUtf8(Utf8ToWide(line, &replaced));
    }
    m_defaultCharUsed = m_defaultCharUsed || replaced;
    return true;
}

bool CTextFileRead::ReadLine(std::wstring& line) {
    bool replaced = false;
    if (IsUtf16()) {
        if (!ReadUtf16Line(line, &replaced)) return false;
    } else {
        std::string bytes;
        if (!ReadLineUnits(bytes)) {
            line.clear();
            return false;
        }
        line = Utf8ToWide(bytes, &replaced);
    }
    m_defaultCharUsed = m_defaultCharUsed || replaced;
    return true;
}
