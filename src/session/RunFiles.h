#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

class CNameJournal;

// A run's claim on the files it makes in output folders (an output written apart, a name
// marker), so that what a run that died left behind is removed by the next one, and nothing
// else ever is. Each folder the run makes files in gets a hidden journal of them
// (CNameJournal), which the run holds locked for the life of this object. Safe to use from
// several worker threads at once.
class CRunFiles {
public:
    CRunFiles();
    // Removes the files claimed and not forgotten (what a failed or stopped run left), then the
    // journals, and lets them go.
    ~CRunFiles();
    CRunFiles(const CRunFiles&) = delete;
    CRunFiles& operator=(const CRunFiles&) = delete;

    // Records path in the journal of its folder (made on first use), then creates path with
    // O_EXCL. False, with the system's reason, when path exists or cannot be made, or cannot be
    // recorded; nothing is recorded then.
    bool Claim(const std::string& path, std::string* reason);
    // path is no longer ours to clean up (renamed to its final name, or removed by the caller):
    // dropped from its journal.
    void Forget(const std::string& path);

    // Before writing into folder: removes the files listed in journals of folder whose run is
    // gone (their lock can be taken), then those journals. Never removes a file that no such
    // journal lists. The number of files removed. One directory listing when the folder holds
    // no journal; safe from any thread.
    static int RemoveStale(const std::string& folder);

private:
    // The journal of folder, made on first use; null with the reason when it cannot be made.
    CNameJournal* JournalOf(const std::string& folder, std::string* reason);

    std::mutex m_mutex;
    std::unordered_map<std::string, std::unique_ptr<CNameJournal>> m_journals;  // by folder
};
