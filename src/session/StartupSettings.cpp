#include "session/StartupSettings.h"

#include "lang/LanguageManager.h"
#include "platform/File.h"
#include "settings/SettingsSet.h"

namespace {

constexpr int kTextNotLoaded = 118;
constexpr int kTextKeptAs = 184;

}  // namespace

std::string LoadStartupSettings(CSettingsSet& settings, const std::string& path) {
    if (!platform::PathExists(path)) {
        settings.Core.ThreadsCount = CSettingsCore::ProcessorCount();
        return {};
    }
    SettingsLoadProblem problem;
    if (settings.LoadFile(path, &problem)) return {};
    const CLanguageManager& language = GetLanguageManager();
    std::string text = language.GetString(kTextNotLoaded) + "\n" + path;
    if (!problem.Reason.empty()) text += ": " + problem.Reason;
    if (!problem.KeptCopy.empty()) {
        std::string keptAs = language.GetString(kTextKeptAs);
        const auto at = keptAs.find("%s");
        if (at != std::string::npos) {
            keptAs.replace(at, 2, problem.KeptCopy);
        } else {
            keptAs += (keptAs.empty() ? "" : " ") + problem.KeptCopy;  // a text without its %s
        }
        text += "\n" + keptAs;
    }
    return text;
}
