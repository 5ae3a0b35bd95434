#include "session/RunHooks.h"

#include "base/Paths.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "fileinfo/FileInfo.h"
#include "platform/File.h"
#include "platform/FileIdentity.h"
#include "platform/MakeFolders.h"
#include "session/Conversion.h"
#include "session/FileList.h"
#include "session/OutputNames.h"
#include "tags/TagCopier.h"

void CRunHooks::Begin(const CFileList& files, const Policy& policy) {
    m_policy = policy;
    m_jobFiles.clear();
    std::lock_guard lock(m_mutex);
    m_states.clear();
    m_planned.clear();
    m_claimed.clear();
    for (int i = 0; i < files.Count(); ++i) {
        CFileInfo* file = files.Get(i);
        if (file->Decoder) m_jobFiles[file->Decoder.get()] = file;
        if (file->Coder) m_jobFiles[file->Coder.get()] = file;
        const std::string output = CConversion::GetFinalOutput(*file);
        if (!output.empty()) m_planned.emplace(output, file);
    }
}

bool CRunHooks::WritesOutput(const CFileInfo& file, IProcess* job) {
    if (file.Coder) return job == file.Coder.get();
    return job == file.Decoder.get();
}

bool CRunHooks::IsTaken(const std::string& path, const CFileInfo* file) const {
    if (m_claimed.count(path) != 0 || platform::EntryExists(path)) return true;
    const auto planned = m_planned.find(path);
    return planned != m_planned.end() && planned->second != file;
}

bool CRunHooks::DecideOutput(CFileInfo& file, FileState& state, std::string* reason) {
    const std::string wanted = CConversion::GetFinalOutput(file);
    std::string chosen = wanted;
    switch (m_policy.ExistingOutput) {
        case ExistingOutputPolicy::Overwrite:
            // The old file stays until the new one is complete: a failed or stopped job then
            // costs nothing, even where the output replaces its own source. Where the new file
            // could not take the old one's place as writing over it would (a link, a file
            // kelto may not write, a folder it may not add to) or where the command line was
            // edited away from the output's name, the program writes over it as it always did.
            if (platform::CanReplaceFromBeside(wanted) && file.NamesOutputOnce()) {
                std::string apart = UnfinishedOutputName(wanted, 1);
                for (int number = 2; !apart.empty() && IsTaken(apart, &file); ++number) {
                    apart = UnfinishedOutputName(wanted, number);
                }
                if (!apart.empty()) {
                    file.RetargetOutput(apart);
                    m_claimed.insert(apart);
                    state.File = &file;
                    state.Replaces = wanted;
                }
            }
            break;
        case ExistingOutputPolicy::Skip:
            if (m_claimed.count(wanted) != 0 || platform::EntryExists(wanted)) {
                *reason = "skipped: " + wanted + " exists";
                return false;
            }
            break;
        case ExistingOutputPolicy::KeepBoth:
            for (int number = 2; IsTaken(chosen, &file); ++number) {
                chosen = NumberedOutputName(wanted, number);
            }
            // None of the file's jobs has started: changing their command line is safe.
            if (chosen != wanted) file.RetargetOutput(chosen);
            break;
    }
    m_claimed.insert(chosen);
    return true;
}

IJobHooks::Decision CRunHooks::BeforeJobRun(IProcess* job, std::string* reason) {
    const auto found = m_jobFiles.find(job);
    if (found == m_jobFiles.end()) return Decision::Run;
    CFileInfo& file = *found->second;
    {
        std::lock_guard lock(m_mutex);
        FileState& state = m_states[&file];
        if (!state.Decided) {
            state.Decided = true;
            state.Skipped = !DecideOutput(file, state, reason);
        }
        if (state.Skipped) {
            if (reason->empty()) *reason = "skipped: " + CConversion::GetFinalOutput(file) + " exists";
            return Decision::Decline;
        }
    }
    if (!WritesOutput(file, job)) return Decision::Run;
    const std::string folder = PathFolder(CConversion::GetFinalOutput(file));
    platform::Error error;
    if (!folder.empty() && !platform::MakeFolders(folder, &error)) {
        *reason = "the output folder " + folder + " cannot be made: " + error.text;
        return Decision::Fail;
    }
    return Decision::Run;
}

bool CRunHooks::AfterJobSucceeded(IProcess* job, std::string* reason) {
    const auto found = m_jobFiles.find(job);
    if (found == m_jobFiles.end()) return true;
    const CFileInfo& file = *found->second;
    if (!WritesOutput(file, job)) return true;
    const std::string output = CConversion::GetFinalOutput(file);
    std::string tagError;
    // An output that replaced its own source has nothing left to copy from.
    if (m_policy.CopyTags && !platform::IsSameFile(output, file.Path) &&
        CTagCopier::Copy(file.Path, output, &tagError) != CTagCopier::Result::Failed) {
        tagError.clear();
    }
    std::lock_guard lock(m_mutex);
    FileState& state = m_states[&file];
    state.TagWarning = tagError;
    if (state.Replaces.empty()) return true;
    platform::Error error;
    state.Replaced = platform::CopyPermissions(state.Replaces, output, &error) &&
                     platform::RenameFile(output, state.Replaces, &error);
    if (state.Replaced) return true;
    // The new output stays where it is, for the user to find.
    state.KeptApart = true;
    *reason = "the new output " + output + " cannot replace " + state.Replaces + ": " + error.text;
    return false;
}

void CRunHooks::Finish() {
    std::lock_guard lock(m_mutex);
    for (auto& entry : m_states) {
        FileState& state = entry.second;
        if (state.Replaces.empty()) continue;
        const std::string apart = CConversion::GetFinalOutput(*state.File);
        // A job that failed may have left part of its output; a stopped one's is gone already.
        if (!state.Replaced && !state.KeptApart && platform::EntryExists(apart)) {
            platform::RemoveFile(apart);
        }
        state.File->RetargetOutput(state.Replaces);
        // Done once: the file's output is the old name again, which must never be removed.
        state.Replaces.clear();
    }
}

bool CRunHooks::WasSkipped(const CFileInfo* file) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_states.find(file);
    return found != m_states.end() && found->second.Skipped;
}

std::string CRunHooks::GetTagWarning(const CFileInfo* file) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_states.find(file);
    return found != m_states.end() ? found->second.TagWarning : std::string();
}
