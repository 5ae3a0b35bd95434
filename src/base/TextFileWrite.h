#pragma once

#include <string>

#include "base/TextFileBase.h"
#include "platform/Error.h"

// Writes a text file in one of the four encodings, through the 1,024-byte buffer.
class CTextFileWrite : public CTextFileBase {
public:
    // Creates (replaces) the file and writes the byte-order mark of the encoding. When the
    // file cannot be created, the first flush or the close raises CTextFileException with
    // the error of the failed create.
    CTextFileWrite(const std::string& path, TextFileEncoding encoding);
    ~CTextFileWrite() override;  // closes; never throws

    void Write(const std::string& utf8Text);
    void Write(const std::wstring& text);
    void WriteEndOfLine();
    void Close() override;  // flushes; raises CTextFileException on failure

private:
    void PutByte(unsigned char byte);
    void PutBytes(const std::string& bytes);
    void PutCharacter(char32_t character);
    void Flush();
    [[noreturn]] void Fail(int errorCode);

    platform::Error m_openError;
    bool m_closed = false;
};
