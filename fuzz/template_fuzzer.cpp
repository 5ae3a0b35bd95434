// Template expansion with arbitrary templates and paths. The input is split at zero bytes into
// a template, an input path, an output path and a sample rate. Checks: the expansion ends; a
// template without "%" comes back unchanged; and, for a template rebuilt from the same words
// with placeholders standing alone, the split of the expansion gives back every path exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "core/Templates.h"

namespace {

std::vector<std::string> SplitAtZero(const std::string& data) {
    std::vector<std::string> parts(1);
    for (const char c : data) {
        if (c == '\0' && parts.size() < 4) {
            parts.emplace_back();
        } else {
            parts.back().push_back(c);
        }
    }
    parts.resize(4);
    return parts;
}

// Words of the raw template with characters that would join or quote them removed; the
// placeholders "%in%" and "%out%" are kept as they are.
std::string CleanTemplate(const std::string& raw, const TemplateValues& values,
                          std::vector<std::string>* expected) {
    std::string clean;
    std::string word;
    auto flush = [&] {
        if (word == "%in%" || word == "%out%") {
            expected->push_back(word == "%in%" ? values.InputPath : values.OutputPath);
        } else {
            std::string kept;
            for (const char c : word) {
                if (c != '"' && c != '\\' && c != '%' && c != '\t' && c != '\0') kept.push_back(c);
            }
            word = kept;
            if (word.empty()) return;
            expected->push_back(word);
        }
        clean += word + " ";
        word.clear();
    };
    for (const char c : raw) {
        if (c == ' ') {
            flush();
            word.clear();
        } else {
            word.push_back(c);
        }
    }
    flush();
    return clean;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = SplitAtZero(std::string(reinterpret_cast<const char*>(data), size));
    TemplateValues values;
    values.InputPath = parts[1];
    values.OutputPath = parts[2];
    std::uint32_t rate = 0;
    for (const char c : parts[3]) rate = rate * 31u + static_cast<unsigned char>(c);
    values.SampleRate = static_cast<std::int32_t>(rate);
    values.Resolution = static_cast<std::int32_t>(rate ^ 0x5A5A5A5Au);

    std::string out = "unchanged";
    const bool ok = ExpandTemplate(parts[0], values, out);
    if (!ok && out != "unchanged") std::abort();
    if (parts[0].find('%') == std::string::npos && (!ok || out != parts[0])) std::abort();

    std::vector<std::string> expected;
    const auto clean = CleanTemplate(parts[0], values, &expected);
    std::string line;
    if (!ExpandTemplate(clean, values, line)) std::abort();
    if (SplitCommandLine(" " + line) != expected) std::abort();
    return 0;
}
