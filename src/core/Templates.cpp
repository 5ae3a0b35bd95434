#include "core/Templates.h"

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

}  // namespace

bool ExpandTemplate(const std::string& templateText, const TemplateValues& values,
                    std::string& out) {
    std::string result;
    result.reserve(templateText.size() + values.InputPath.size() + values.OutputPath.size());
    std::string value;
    std::size_t j = 0;
    while (j < templateText.size()) {
        const auto start = templateText.find('%', j);
        if (start == std::string::npos) {
            result.append(templateText, j, std::string::npos);
            break;
        }
        result.append(templateText, j, start - j);
        const auto end = templateText.find('%', start + 1);
        if (end == std::string::npos) return false;
        if (!PlaceholderValue(templateText.substr(start, end - start + 1), values, &value)) {
            return false;
        }
        result += value;
        j = end + 1;
    }
    out = std::move(result);
    return true;
}

std::string FormatKilohertz(std::int32_t sampleRate) {
    const bool negative = sampleRate < 0;
    const std::int64_t hertz = negative ? -static_cast<std::int64_t>(sampleRate) : sampleRate;
    std::string fraction = std::to_string(hertz % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    while (fraction.size() > 1 && fraction.back() == '0') fraction.pop_back();
    return (negative ? "-" : "") + std::to_string(hertz / 1000) + "." + fraction;
}
