#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/IJobHooks.h"
#include "platform/FileStamp.h"
#include "session/AlbumGains.h"
#include "session/OutputVerifier.h"
#include "session/OutputRecord.h"

class CDecoderList;
class CFileInfo;
class CFileList;
class CRunFiles;

// What ExistingOutput asks for an output that exists when its file's first job starts.
enum class ExistingOutputPolicy {
    Overwrite = 0,
    Skip = 1,      // the file gets no jobs; the run reports it as skipped
    KeepBoth = 2,  // the new output gets " (2)" before its extension, or the first free number
    // The output record decides: a file whose recorded output is there and whose source and
    // settings are as recorded is skipped; one whose source or settings changed is converted
    // again under its recorded name; one without a record is converted as new (numbered when
    // its name is taken, as KeepBoth).
    Update = 3,
};

// Which outputs are decoded again and compared with their source (FullCheck).
enum class FullCheckPolicy {
    None = 0,
    Lossless = 1,  // outputs of coders whose package declares them lossless
    All = 2,
};

// What a run of CConversion does around each job, for both front ends:
// - when a file's first job starts: whether its output already exists (on disk, or claimed by
//   a file that started earlier in the run) and what to do about it, and the output's folder
//   is made. The output is then written apart, under a name claimed for this run alone
//   (UnfinishedOutputName), so nothing but a complete, checked file ever stands under the
//   output's own name. An output never takes the place of a listed source;
// - when a decoder has written its temporary WAV file, the file is checked against the listed
//   source before its coder may start (a disk that filled up cuts it short);
// - when the job that writes a file's output has succeeded, the output is checked (it is
//   there, it is what its coder makes, it is as long as the source), fully decoded and
//   compared where FullCheck asks for it, given the source's tags and cover art, and moved to
//   its own name. Where any of that fails, the job has failed and what it wrote is removed.
// The core calls it on its worker threads; what it learns is read once the run is over, after
// Finish.
class CRunHooks final : public IJobHooks {
public:
    struct Policy {
        bool CopyTags = true;
        ExistingOutputPolicy ExistingOutput = ExistingOutputPolicy::Overwrite;
        FullCheckPolicy FullCheck = FullCheckPolicy::Lossless;
        // The catalogue's decoders, which the full check decodes outputs with; null: no full
        // check.
        const CDecoderList* Decoders = nullptr;
        // The folder whose output record holds the outputs (the OutputFolder setting); empty
        // when outputs go beside their sources: then each source's folder.
        std::string OutputRoot;
        // Track and album gain tags, measured from the samples of each output as it plays.
        bool LoudnessTags = false;
    };

    CRunHooks();
    ~CRunHooks();
    CRunHooks(const CRunHooks&) = delete;
    CRunHooks& operator=(const CRunHooks&) = delete;

    // Before a run: the files whose jobs are queued, and what to do. Forgets the last run.
    void Begin(const CFileList& files, const Policy& policy);

    Decision BeforeJobRun(IProcess* job, std::string* reason) override;
    bool AfterJobSucceeded(IProcess* job, std::string* reason) override;
    void OnStop() override { m_stopping = true; }
    // Whether the run was stopped by the user.
    bool WasStopped() const { return m_stopping; }

    // After the run (no worker left): every file's output has its own name again, and what an
    // unfinished job left under the name it was written apart is removed.
    void Finish();

    // After the run (no worker left). Whether the file was skipped because its output existed.
    bool WasSkipped(const CFileInfo* file) const;
    // Why the file's tags could not be copied; empty when they were (or there were none).
    std::string GetTagWarning(const CFileInfo* file) const;
    // Whether the file's output passed the full check; what that check noted (a resolution
    // compared reduced), empty when nothing.
    bool WasVerified(const CFileInfo* file) const;
    std::string GetCheckNote(const CFileInfo* file) const;
    // After Finish, with the Update policy: the outputs in the records the run consulted whose
    // recorded source is gone. They are left where they are.
    const std::vector<std::string>& GetOrphanedOutputs() const { return m_orphans; }
    // After the run, with LoudnessTags: the albums that got no album figures, and why.
    std::vector<std::string> GetAlbumsWithoutGain() const { return m_albums.GetMissing(); }
    // After Finish: why an output record could not be written, one text per folder.
    const std::vector<std::string>& GetRecordFailures() const { return m_recordFailures; }

    // What the record keeps of the settings a file's jobs were prepared with: a hash of their
    // programs and command lines, the file's own paths left out. Call it before the jobs are
    // pointed elsewhere (while their output is still the one Apply chose). Outputs given
    // loudness tags are made with other settings than those without (loudness leaves the key
    // of outputs without them as it was).
    static std::string SettingsKey(const CFileInfo& file, bool loudness = false);
    // The folder holding the record of file's output under root (see Policy::OutputRoot).
    static std::string RecordFolder(const std::string& root, const CFileInfo& file);
    // Whether entry's output (in folder) is there and was made from source as it is now
    // (stamp), with settings.
    static bool IsUpToDate(const RecordEntry& entry, const std::string& folder,
                           const platform::FileStamp& stamp, const std::string& settings);

private:
    struct FileState {
        bool Decided = false;
        bool Skipped = false;
        std::string TagWarning;
        CFileInfo* File = nullptr;
        // The output's own name, and the name it is written under until it is complete and
        // checked (empty: written in place).
        std::string Final;
        std::string Apart;
        bool Placed = false;     // the output has its own name
        bool KeptApart = false;  // complete, but it could not take its own name
        // The output's length that the checks expect, in seconds (-1: not known).
        double ExpectedSeconds = -1.0;
        bool Verified = false;
        std::string CheckNote;
        // For the output record: its folder, the source as it was when the file started, and
        // the settings; whether the output takes the place of the one recorded for it.
        std::string RecordFolder;
        platform::FileStamp Stamp;
        std::string Settings;
        bool ReplacesRecorded = false;
    };

    // Under m_mutex: folder's record, read on first need.
    const COutputRecord& RecordOf(const std::string& folder);
    // Under m_mutex: with Update, the name the file's output takes (the recorded one, or a
    // free one), or empty, with reason, when the recorded one is up to date or an unrecorded
    // file holds its name.
    std::string ChooseForUpdate(CFileInfo& file, FileState& state, const std::string& wanted,
                                std::string* reason);
    // Under m_mutex: notes a placed output for its folder's record (written by WriteRecordsNow
    // and WriteRecords).
    void NoteWritten(const FileState& state);
    // Not under m_mutex: writes the notes into the records and finds the orphaned outputs.
    void WriteRecords();
    // Writes the notes so far into the records when the last time is long enough ago, so that
    // a run that never ends (a crash, the power) loses little of them. Not under m_mutex.
    void WriteRecordsNow();

    // Under m_mutex: decides where file's output goes and claims the name it is written under.
    Decision DecideOutput(CFileInfo& file, FileState& state, std::string* reason);
    // Under m_mutex: claims a name apart from final for file's output; false when none can be
    // had (the output is then written in place).
    bool ClaimApart(CFileInfo& file, FileState& state);
    // Under m_mutex: whether path is written already or by another file of this run.
    bool IsTaken(const std::string& path, const CFileInfo* file) const;
    bool IsListedSource(const std::string& path, const CFileInfo& file) const;
    // The checks of a finished output; false with reason when it must not count.
    // onDecoded is shown the WAV file a full check decoded the output to.
    bool CheckFinishedOutput(CFileInfo& file, FileState& state, std::string* reason,
                             const DecodedWaveVisitor& onDecoded);
    // The loudness of file's output as it plays, into meter: the samples its coder read when
    // it is lossless, else the output decoded. False with why when it cannot be measured.
    bool MeasureOutput(CFileInfo& file, CLoudnessMeter& meter, std::string* why);
    // Gives the album figures to every output of an album whose last track is done.
    void TagAlbum(const CAlbumGains::Ready& album);
    // Moves a complete output written apart to its own name (or, keeping both, the first free
    // number); false with reason when it cannot.
    bool PlaceOutput(FileState& state, std::string* reason);
    // Removes what was written apart for file; the name is ours no longer.
    void DropApart(FileState& state);
    static bool WritesOutput(const CFileInfo& file, IProcess* job);

    Policy m_policy;
    std::unordered_map<IProcess*, CFileInfo*> m_jobFiles;
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;  // guards the members below
    std::unordered_map<const CFileInfo*, FileState> m_states;
    std::unordered_map<std::string, const CFileInfo*> m_planned;  // outputs Apply chose
    std::unordered_set<std::string> m_sources;  // the listed files' paths: never written over
    std::unordered_set<std::string> m_claimed;  // outputs of files that started in this run
    std::unordered_set<std::string> m_cleanedFolders;  // output folders rid of stale files
    std::unique_ptr<CRunFiles> m_runFiles;             // the names claimed apart in this run
    std::unordered_map<std::string, COutputRecord> m_records;             // by folder, as read
    std::unordered_map<std::string, std::vector<RecordEntry>> m_written;  // by folder
    std::vector<std::string> m_orphans;
    std::vector<std::string> m_recordFailures;
    std::int64_t m_lastRecordWrite = 0;  // platform::MonotonicTime100ns
    std::mutex m_recordMutex;            // one thread writes the records at a time
    CAlbumGains m_albums;                // locks itself
};
