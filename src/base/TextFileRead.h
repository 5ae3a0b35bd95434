#pragma once

#include <string>

#include "base/TextFileBase.h"

// Reads a text file line by line in any of the four encodings. A CR, an LF or a CR LF pair
// ends a line; a file that ends with a terminator yields one final empty line.
class CTextFileRead : public CTextFileBase {
public:
    // Opens the file and reads its byte-order mark; when it cannot be opened (or is a
    // folder), end of file is set at once. Raises CTextFileException on a read error.
    explicit CTextFileRead(const std::string& path);
    ~CTextFileRead() override;

    // Next line as UTF-8. False at end of file. Raises CTextFileException on a read error.
    bool ReadLine(std::string& line);
    // Next line as wide characters (UTF-32 on this platform).
    bool ReadLine(std::wstring& line);
    bool IsEof() const { return m_eof; }

    void Close() override;

private:
    static constexpr int kNoUnit = -1;

    void DetectByteOrderMark();
    bool FillBuffer();
    int NextByte();
    int NextUnit();
    template <class Units>
    bool ReadLineUnits(Units& units);
    // The next line of a UTF-16 file as wide characters; false (and empty) at end of file.
    bool ReadUtf16Line(std::wstring& line, bool* replaced);

    bool m_eof = false;
    std::size_t m_bufferCount = 0;
    bool m_firstLine = true;
    int m_pushBack = kNoUnit;
};
