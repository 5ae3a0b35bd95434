// Reads arbitrary bytes through CTextFileRead behind each byte-order mark (and none), narrow
// and wide, and checks that the two agree, that no line holds a terminator and that the wide
// lines survive a write and read in the same encoding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/TextFileException.h"
#include "base/TextFileRead.h"
#include "base/TextFileUnicode.h"
#include "base/TextFileWrite.h"

namespace {

const std::string& ScratchPath() {
    static const std::string path = [] {
        // A memory-backed folder keeps the many small writes from slowing the fuzzer down.
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::is_directory("/dev/shm", error)
                                                 ? std::filesystem::path("/dev/shm")
                                                 : std::filesystem::temp_directory_path();
        return (folder / ("kelto-textfile-fuzz-" + std::to_string(std::random_device{}())))
            .string();
    }();
    return path;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Check(bool condition) {
    if (!condition) std::abort();
}

template <class String>
std::vector<String> ReadAll(const std::string& path, TextFileEncoding* encoding = nullptr) {
    CTextFileRead file(path);
    if (encoding) *encoding = file.GetEncoding();
    std::vector<String> lines;
    for (String line; file.ReadLine(line);) {
        for (const auto c : line) Check(c != '\r' && c != '\n');
        lines.push_back(line);
    }
    Check(file.IsEof());
    return lines;
}

void CheckRoundTrip(const std::string& path, TextFileEncoding encoding,
                    const std::vector<std::wstring>& lines) {
    if (lines.empty()) return;
    // In encoding 0 a leading U+FEFF is indistinguishable from the UTF-8 mark.
    if (encoding == kEncodingAnsi && !lines[0].empty() && lines[0][0] == 0xFEFF) return;
    {
        CTextFileWrite out(path, encoding);
        for (const auto& line : lines) {
            out.Write(line);
            out.WriteEndOfLine();
        }
        out.Close();
        Check(!out.GetDefaultCharUsed());
    }
    auto expected = lines;
    expected.emplace_back();  // the final terminator's empty line
    Check(ReadAll<std::wstring>(path) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string& path = ScratchPath();
    for (const char* mark : {"", "\xFE\xFF", "\xFF\xFE", "\xEF\xBB\xBF"}) {
        WriteBytes(path, mark + input);
        try {
            TextFileEncoding encoding = kEncodingAnsi;
            const auto narrow = ReadAll<std::string>(path, &encoding);
            const auto wide = ReadAll<std::wstring>(path);
            Check(narrow.size() == wide.size());
            for (std::size_t i = 0; i < narrow.size(); ++i) {
                if (encoding == kEncodingAnsi) {
                    Check(Utf8ToWide(narrow[i]) == wide[i]);
                } else {
                    Check(WideToUtf8(wide[i]) == narrow[i]);
                }
            }
            CheckRoundTrip(path, encoding, wide);
        } catch (const CTextFileException&) {
            std::abort();  // a regular file in the temporary folder must read and write
        }
    }
    std::filesystem::remove(path);
    return 0;
}
