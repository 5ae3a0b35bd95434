#include "codecs/CoderProperties.h"

#include <charconv>

#include "base/AsciiText.h"
#include "base/TextFileRead.h"
#include "codecs/LineFiles.h"
#include "platform/File.h"

namespace {

int IntegerValue(const std::string& text) {
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() ? value : 0;
}

}  // namespace

CoderProperties CoderProperties::Load(const std::string& path) {
    CoderProperties properties;
    if (!platform::PathExists(path)) return properties;
    CTextFileRead file(path);
    std::string line;
    while (ReadPackageLine(file, line)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = LowerAscii(TrimWhiteSpace(line.substr(0, equals)));
        const std::string value = TrimWhiteSpace(line.substr(equals + 1));
        if (key == "lossless") properties.Lossless = IntegerValue(value) != 0;
        if (key == "heldbits") properties.HeldBits = IntegerValue(value);
    }
    if (properties.HeldBits < 0) properties.HeldBits = 0;
    return properties;
}
