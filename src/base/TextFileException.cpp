#include "base/TextFileException.h"

#include "platform/Error.h"

CTextFileException::CTextFileException(int errorCode)
    : CTextFileException(errorCode, platform::Error::FromErrno(errorCode).text) {}

CTextFileException::CTextFileException(int errorCode, const std::string& what)
    : std::runtime_error(what), m_errorCode(errorCode) {}
