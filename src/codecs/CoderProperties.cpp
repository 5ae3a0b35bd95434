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

// The positive numbers of a comma-separated list; the others are passed over.
std::vector<int> IntegerList(const std::string& text) {
    std::vector<int> values;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find(',', at);
        if (end == std::string::npos) end = text.size();
        const int value = IntegerValue(TrimWhiteSpace(text.substr(at, end - at)));
        if (value > 0) values.push_back(value);
        at = end + 1;
    }
    return values;
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
        if (key == "maxsamplerate") properties.MaxSampleRate = IntegerValue(value);
        if (key == "maxchannels") properties.MaxChannels = IntegerValue(value);
        if (key == "maxbits") properties.MaxBits = IntegerValue(value);
        if (key == "samplerates") properties.SampleRates = IntegerList(value);
    }
    for (int* value : {&properties.HeldBits, &properties.MaxSampleRate, &properties.MaxChannels,
                       &properties.MaxBits}) {
        if (*value < 0) *value = 0;
    }
    return properties;
}
