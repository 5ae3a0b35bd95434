#include "session/RunFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <vector>

#include "core/NameJournal.h"
#include "platform/Directory.h"
#include "platform/File.h"
#include "platform/FileIdentity.h"
#include "platform/LockFile.h"

namespace {

constexpr char kJournalPrefix[] = ".kelto-run-";
// Random journal names that are all taken are a freak; past this many, something else is wrong.
constexpr int kJournalAttempts = 16;

// The folder and the plain name of path ("." for a name without a folder).
std::pair<std::string, std::string> SplitPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string InFolder(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string RandomJournalName() {
    static thread_local std::mt19937 random{std::random_device{}()};
    char digits[12];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(random()));
    return kJournalPrefix + std::string(digits);
}

}  // namespace

CRunFiles::CRunFiles() = default;

CRunFiles::~CRunFiles() {
    for (auto& [folder, journal] : m_journals) {
        for (const std::string& name : journal->Names()) {
            const std::string path = InFolder(folder, name);
            if (platform::IsPlainFile(path)) platform::RemoveFile(path);
        }
        journal->Remove();
    }
}

CNameJournal* CRunFiles::JournalOf(const std::string& folder, std::string* reason) {
    std::unique_ptr<CNameJournal>& journal = m_journals[folder];
    if (journal) return journal.get();
    auto made = std::make_unique<CNameJournal>();
    platform::Error error;
    for (int attempt = 0; attempt < kJournalAttempts; ++attempt) {
        if (made->Create(InFolder(folder, RandomJournalName()), &error)) {
            journal = std::move(made);
            return journal.get();
        }
        if (error.code != EEXIST) break;
    }
    m_journals.erase(folder);
    if (reason) *reason = error.text;
    return nullptr;
}

bool CRunFiles::Claim(const std::string& path, std::string* reason) {
    const auto [folder, name] = SplitPath(path);
    std::lock_guard lock(m_mutex);
    CNameJournal* journal = JournalOf(folder, reason);
    if (journal == nullptr) return false;
    platform::Error error;
    // A file that is there already is not listed even for a moment: a crash right then would
    // leave a journal naming someone else's file.
    if (platform::EntryExists(path)) {
        if (reason) *reason = platform::Error::FromErrno(EEXIST).text;
        return false;
    }
    // Listed already (claimed before, removed without being forgotten): it stays listed.
    const bool listed = journal->Lists(name);
    if (!listed && !journal->Add(name, reason)) return false;
    if (platform::CreateExclusiveFile(path, &error)) return true;
    if (!listed) journal->Drop(name);
    if (reason) *reason = error.text;
    return false;
}

void CRunFiles::Forget(const std::string& path) {
    const auto [folder, name] = SplitPath(path);
    std::lock_guard lock(m_mutex);
    const auto found = m_journals.find(folder);
    if (found != m_journals.end()) found->second->Drop(name);
}

int CRunFiles::RemoveStale(const std::string& folder) {
    std::vector<platform::DirectoryEntry> entries;
    if (!platform::ListDirectory(folder, kJournalPrefix + std::string("*"), entries)) return 0;
    int removed = 0;
    for (const auto& entry : entries) {
        if (entry.attributes & (platform::kAttributeDirectory | platform::kAttributeLink)) continue;
        removed += std::max(0, CNameJournal::RemoveIfStale(folder, entry.name));
    }
    return removed;
}
