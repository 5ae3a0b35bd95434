#include "platform/SystemLanguage.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>

namespace platform {

namespace {

struct LanguageDefault {
    std::string_view language;
    std::uint16_t id;
};

struct RegionalLanguage {
    std::string_view language;
    std::string_view region;
    std::uint16_t id;
};

// The identifier a language gets without a region (or with one not listed below). Mostly
// the Windows default sublanguage; Spanish takes Spain's modern sort (0x0C0A) and Portuguese
// and Chinese the country glibc names them after.
constexpr LanguageDefault kDefaults[] = {
    {"af", 0x0436}, {"am", 0x045E}, {"ar", 0x0401},  {"az", 0x042C}, {"be", 0x0423}, {"bg", 0x0402},
    {"bn", 0x0445}, {"bs", 0x141A}, {"ca", 0x0403},  {"cs", 0x0405}, {"cy", 0x0452}, {"da", 0x0406},
    {"de", 0x0407}, {"el", 0x0408}, {"en", 0x0409},  {"es", 0x0C0A}, {"et", 0x0425}, {"eu", 0x042D},
    {"fa", 0x0429}, {"fi", 0x040B}, {"fil", 0x0464}, {"fo", 0x0438}, {"fr", 0x040C}, {"fy", 0x0462},
    {"ga", 0x083C}, {"gl", 0x0456}, {"gu", 0x0447},  {"he", 0x040D}, {"hi", 0x0439}, {"hr", 0x041A},
    {"hu", 0x040E}, {"hy", 0x042B}, {"id", 0x0421},  {"is", 0x040F}, {"it", 0x0410}, {"ja", 0x0411},
    {"ka", 0x0437}, {"kk", 0x043F}, {"km", 0x0453},  {"kn", 0x044B}, {"ko", 0x0412}, {"lb", 0x046E},
    {"lt", 0x0427}, {"lv", 0x0426}, {"mk", 0x042F},  {"ml", 0x044C}, {"mn", 0x0450}, {"mr", 0x044E},
    {"ms", 0x043E}, {"mt", 0x043A}, {"nb", 0x0414},  {"ne", 0x0461}, {"nl", 0x0413}, {"nn", 0x0814},
    {"no", 0x0414}, {"pa", 0x0446}, {"pl", 0x0415},  {"ps", 0x0463}, {"pt", 0x0816}, {"rm", 0x0417},
    {"ro", 0x0418}, {"ru", 0x0419}, {"si", 0x045B},  {"sk", 0x041B}, {"sl", 0x0424}, {"sq", 0x041C},
    {"sr", 0x281A}, {"sv", 0x041D}, {"sw", 0x0441},  {"ta", 0x0449}, {"te", 0x044A}, {"th", 0x041E},
    {"tr", 0x041F}, {"tt", 0x0444}, {"uk", 0x0422},  {"ur", 0x0420}, {"uz", 0x0443}, {"vi", 0x042A},
    {"xh", 0x0434}, {"zh", 0x0804}, {"zu", 0x0435},
};

constexpr RegionalLanguage kRegional[] = {
    {"ar", "IQ", 0x0801}, {"ar", "EG", 0x0C01}, {"ar", "LY", 0x1001}, {"ar", "DZ", 0x1401},
    {"ar", "MA", 0x1801}, {"ar", "TN", 0x1C01}, {"ar", "OM", 0x2001}, {"ar", "YE", 0x2401},
    {"ar", "SY", 0x2801}, {"ar", "JO", 0x2C01}, {"ar", "LB", 0x3001}, {"ar", "KW", 0x3401},
    {"ar", "AE", 0x3801}, {"ar", "BH", 0x3C01}, {"ar", "QA", 0x4001}, {"de", "CH", 0x0807},
    {"de", "AT", 0x0C07}, {"de", "LU", 0x1007}, {"de", "LI", 0x1407}, {"en", "GB", 0x0809},
    {"en", "AU", 0x0C09}, {"en", "CA", 0x1009}, {"en", "NZ", 0x1409}, {"en", "IE", 0x1809},
    {"en", "ZA", 0x1C09}, {"en", "JM", 0x2009}, {"en", "BZ", 0x2809}, {"en", "TT", 0x2C09},
    {"en", "ZW", 0x3009}, {"en", "PH", 0x3409}, {"en", "IN", 0x4009}, {"en", "MY", 0x4409},
    {"en", "SG", 0x4809}, {"es", "MX", 0x080A}, {"es", "GT", 0x100A}, {"es", "CR", 0x140A},
    {"es", "PA", 0x180A}, {"es", "DO", 0x1C0A}, {"es", "VE", 0x200A}, {"es", "CO", 0x240A},
    {"es", "PE", 0x280A}, {"es", "AR", 0x2C0A}, {"es", "EC", 0x300A}, {"es", "CL", 0x340A},
    {"es", "UY", 0x380A}, {"es", "PY", 0x3C0A}, {"es", "BO", 0x400A}, {"es", "SV", 0x440A},
    {"es", "HN", 0x480A}, {"es", "NI", 0x4C0A}, {"es", "PR", 0x500A}, {"es", "US", 0x540A},
    {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C}, {"fr", "CH", 0x100C}, {"fr", "LU", 0x140C},
    {"fr", "MC", 0x180C}, {"it", "CH", 0x0810}, {"ms", "BN", 0x083E}, {"nl", "BE", 0x0813},
    {"pt", "BR", 0x0416}, {"pt", "PT", 0x0816}, {"ro", "MD", 0x0818}, {"ru", "MD", 0x0819},
    {"sr", "ME", 0x301A}, {"sv", "FI", 0x081D}, {"zh", "TW", 0x0404}, {"zh", "CN", 0x0804},
    {"zh", "HK", 0x0C04}, {"zh", "SG", 0x1004}, {"zh", "MO", 0x1404},
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

std::uint16_t LanguageIdFromLocale(const std::string& locale) {
    // language[_REGION][.encoding][@modifier]; "-" is accepted for "_" as well.
    const std::string name = locale.substr(0, locale.find_first_of(".@"));
    const std::size_t separator = name.find_first_of("_-");
    const std::string language = Lower(name.substr(0, separator));
    const std::string region =
        separator == std::string::npos ? std::string() : Upper(name.substr(separator + 1));

    for (const RegionalLanguage& entry : kRegional) {
        if (entry.language == language && entry.region == region) return entry.id;
    }
    for (const LanguageDefault& entry : kDefaults) {
        if (entry.language == language) return entry.id;
    }
    return kLanguageIdEnglishUS;
}

std::string MessagesLocale() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return value;
    }
    return {};
}

std::uint16_t SystemLanguageId() { return LanguageIdFromLocale(MessagesLocale()); }

}  // namespace platform
