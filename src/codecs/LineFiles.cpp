#include "codecs/LineFiles.h"

#include "base/TextFileException.h"

namespace {
constexpr const char* kWhiteSpace = " \t\r\n\v\f";
}

std::string TrimWhiteSpace(const std::string& text) {
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos) return {};
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

bool ReadPackageLine(CTextFileRead& file, std::string& line) {
    std::string next;
    try {
        if (!file.ReadLine(next)) return false;
    } catch (const CTextFileException&) {
        return false;
    }
    line = std::move(next);
    return true;
}
