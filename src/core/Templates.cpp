#include "core/Templates.h"

#include <string_view>

#include "core/CommandLine.h"

namespace {

bool PlaceholderValue(const std::string& name, const TemplateValues& values, std::string* value) {
    if (name == "%in%") {
        *value = QuoteCommandLineArgument(values.InputPath);
    } else if (name == "%out%") {
        *value = QuoteCommandLineArgument(values.OutputPath);
    } else if (name == "%orig_sr_hz%") {
        *value = std::to_string(values.SampleRate);
    } else if (name == "%orig_sr_khz%") {
        *value = FormatKilohertz(values.SampleRate);
    } else if (name == "%wav_bits%") {
        *value = values.Resolution > 16 ? "24" : "16";
    } else {
        return false;
    }
    return true;
}

// Walks the template: the text between placeholders goes to onText, each placeholder (its
// name with both "%") to onPlaceholder, which returns false to stop the walk. False when a
// placeholder stopped it or a "%" has no partner.
template <class OnText, class OnPlaceholder>
bool WalkTemplate(const std::string& templateText, OnText onText, OnPlaceholder onPlaceholder) {
    std::size_t j = 0;
    while (j < templateText.size()) {
        const auto start = templateText.find('%', j);
        if (start == std::string::npos) {
            onText(std::string_view(templateText).substr(j));
            break;
        }
        onText(std::string_view(templateText).substr(j, start - j));
        const auto end = templateText.find('%', start + 1);
        if (end == std::string::npos) return false;
        if (!onPlaceholder(templateText.substr(start, end - start + 1))) return false;
        j = end + 1;
    }
    return true;
}

}  // namespace

bool ExpandTemplate(const std::string& templateText, const TemplateValues& values,
                    std::string& out) {
    std::string result;
    result.reserve(templateText.size() + values.InputPath.size() + values.OutputPath.size());
    std::string value;
    const bool expanded = WalkTemplate(
        templateText, [&](std::string_view text) { result += text; },
        [&](const std::string& name) {
            if (!PlaceholderValue(name, values, &value)) return false;
            result += value;
            return true;
        });
    if (expanded) out = std::move(result);
    return expanded;
}

std::string TemplateError(const std::string& templateText, std::vector<std::string>* names) {
    std::string unknown;
    std::string value;
    const bool expands = WalkTemplate(
        templateText, [](std::string_view) {},
        [&](const std::string& name) {
            if (!PlaceholderValue(name, TemplateValues{}, &value)) {
                unknown = name;
                return false;
            }
            if (names) names->push_back(name);
            return true;
        });
    if (expands) return {};
    if (!unknown.empty()) return "unknown placeholder " + unknown;
    return "a \"%\" without its partner";
}

std::string FormatKilohertz(std::int32_t sampleRate) {
    const bool negative = sampleRate < 0;
    const std::int64_t hertz = negative ? -static_cast<std::int64_t>(sampleRate) : sampleRate;
    std::string fraction = std::to_string(hertz % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    while (fraction.size() > 1 && fraction.back() == '0') fraction.pop_back();
    return (negative ? "-" : "") + std::to_string(hertz / 1000) + "." + fraction;
}
