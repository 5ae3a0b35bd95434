#include "core/TextFileException.h"
#include <cstring>
CTextFileException::CTextFileException(int errorCode) : CTextFileException(errorCode, std::strerror(errorCode)) {}
CTextFileException::CTextFileException(int errorCode, const std::string& what) : std::runtime_error(what), m_errorCode(errorCode) {}
