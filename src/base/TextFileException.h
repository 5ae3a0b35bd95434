#pragma once

#include <stdexcept>
#include <string>

// Raised by the text-file classes when the system fails a read or a write.
class CTextFileException : public std::runtime_error {
public:
    explicit CTextFileException(int errorCode);
    CTextFileException(int errorCode, const std::string& what);

    // The system error code (errno) of the failed operation.
    int GetErrorCode() const { return m_errorCode; }

private:
    int m_errorCode;
};
