// Parses arbitrary bytes as an INI file and checks the reader's promises: the text is kept
// byte for byte, a written value reads back unchanged without disturbing other keys, a block
// reads back as written, and what kelto writes is never refused as no INI text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/IniFile.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CIniFile ini;
    ini.Parse(input);
    Check(ini.Text() == input);

    // Names and a value taken from the input, so that they collide with what it holds.
    const std::size_t third = size / 3;
    const std::string section(input.substr(0, third % 12));
    const std::string key(input.substr(third, third % 9));
    const std::string value(input.substr(2 * third));

    const bool hasNul = input.find('\0') != std::string_view::npos;
    if (hasNul) Check(!CIniFile::TextProblem(input).empty());

    std::string before;
    const bool hadOther = ini.Find("Settings", "Other", before);
    if (ini.WriteString(section, key, value)) {
        Check(hasNul || CIniFile::TextProblem(ini.Text()).empty());
        std::string read;
        Check(ini.Find(section, key, read) && read == value);
        CIniFile reparsed;
        reparsed.Parse(ini.Text());
        Check(reparsed.Find(section, key, read) && read == value);
        if (hadOther && !(section == "Settings" && key == "Other")) {
            std::string after;
            Check(ini.Find("Settings", "Other", after) && after == before);
        }
    }
    unsigned char block[7] = {};
    ini.GetStruct(section, key, block, sizeof(block));
    if (ini.WriteStruct("Settings.Window", "Placement", input.data(), input.size() % 64)) {
        std::string copy(input.size() % 64, '\0');
        Check(ini.GetStruct("settings.window", "PLACEMENT", copy.data(), copy.size()));
        Check(copy == input.substr(0, copy.size()));
    }
    return 0;
}
