#include "base/Version.h"

namespace {
constexpr const char* kProduct = "kelto";
constexpr const char* kMajor = "0";
constexpr const char* kMinor = "3";
constexpr const char* kRevision = "1";
constexpr const char* kStage = "preview";
constexpr const char* kBuild = "[build 11]";
}  // namespace

const std::string& GetVersionText() {
    static const std::string text = std::string(kProduct) + " " + kMajor + "." + kMinor + "." +
                                    kRevision + " " + kStage + " " + kBuild;
    return text;
}
