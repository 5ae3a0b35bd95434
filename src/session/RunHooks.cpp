#include "session/RunHooks.h"

#include <algorithm>
#include <cstdio>

#include "base/Folders.h"
#include "base/Log.h"
#include "base/Paths.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/MediaInfoHandle.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/FileIdentity.h"
#include "platform/FileStamp.h"
#include "platform/MakeFolders.h"
#include "session/ApartRewrite.h"
#include "session/Conversion.h"
#include "session/FileList.h"
#include "session/OutputCheck.h"
#include "session/OutputNames.h"
#include "session/OutputVerifier.h"
#include "session/RunFiles.h"
#include "tags/GainTags.h"
#include "tags/NameTags.h"
#include "tags/TagCopier.h"

namespace {

// How often the records are written while a run goes on, in 100-ns units: 10 seconds.
constexpr std::int64_t kRecordInterval = 100000000;

// How many names apart from an output are tried before it is written in place.
constexpr int kApartNameTries = 1000;

void LogUnknownLength(const std::string& path) {
    AddLogLine("The length of " + path + " cannot be known; it was checked without it.");
}

// The listed file as it is now: one whose size changed since it was listed (re-encoded or
// edited meanwhile) is read again, so the checks judge what its program really read; null when
// the listing still holds.
std::unique_ptr<CFileInfo> ReadAgainIfChanged(const CFileInfo& file) {
    // A track's length is its sheet's, not the image's.
    if (file.Track) return nullptr;
    const std::int64_t size = platform::GetFileSize(file.Path);
    if (size < 0 || static_cast<std::uint64_t>(size) == file.Size) return nullptr;
    auto fresh = std::make_unique<CFileInfo>();
    MediaInfoHandle mediaInfo;
    if (!fresh->Open(file.Path, &mediaInfo)) return nullptr;
    return fresh;
}

// The source's tags into output; a track gets its sheet's, and the image's cover.
CTagCopier::Result CopyTags(const CFileInfo& file, const std::string& output, std::string* error) {
    if (!file.Track) return CTagCopier::Copy(file.Path, output, error);
    const SheetTrack& track = *file.Track;
    std::string number = std::to_string(track.Number);
    if (track.Count > 0) number += "/" + std::to_string(track.Count);
    const CTagCopier::Fields fields = {
        {"TITLE", track.Title},        {"ARTIST", track.Performer},
        {"ALBUM", track.Album},        {"ALBUMARTIST", track.AlbumPerformer},
        {"TRACKNUMBER", number},       {"DATE", track.Date},
        {"GENRE", track.Genre},        {"COMMENT", track.Comment},
        {"COMPOSER", track.Songwriter}};
    return CTagCopier::Write(fields, file.Path, output, error);
}

// FNV-1a, 64 bits: the record outlives the program, so the hash must not change with it.
std::uint64_t StableHash(const std::string& text, std::uint64_t hash = 14695981039346656037ull) {
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// line without the given paths, each of which may name it anywhere.
std::string WithoutPaths(const std::string& line, std::initializer_list<const std::string*> paths) {
    std::string result;
    result.reserve(line.size());
    for (std::size_t at = 0; at < line.size();) {
        const std::string* found = nullptr;
        for (const std::string* path : paths) {
            if (!path->empty() && line.compare(at, path->size(), *path) == 0) found = path;
        }
        if (found) {
            result += '\x01';
            at += found->size();
        } else {
            result += line[at++];
        }
    }
    return result;
}

// The tracks of the run by album (CAlbumGains::AlbumKey), from the sources' tags or sheets.
std::vector<CAlbumGains::Member> AlbumMembers(const CFileList& files) {
    std::vector<CAlbumGains::Member> members;
    for (int i = 0; i < files.Count(); ++i) {
        const CFileInfo* file = files.Get(i);
        if (!file->Decoder && !file->Coder) continue;
        NameTags tags;
        if (file->Track) {
            // A track's tags are its sheet's; the image's own would put every sheet of one
            // folder's images into one album. Its own performer is left out: the tracks of a
            // sheet without one for the whole album (a compilation) are one album still.
            tags.AlbumArtist = file->Track->AlbumPerformer;
            tags.Album = file->Track->Album;
        } else {
            ReadNameTags(file->Path, tags);
        }
        CAlbumGains::Member member;
        member.File = file;
        member.Key = CAlbumGains::AlbumKey(tags.AlbumArtist, tags.Artist, tags.Album, file->Folder,
                                           &member.Name);
        members.push_back(std::move(member));
    }
    return members;
}

void AddNote(std::string& notes, const std::string& note) {
    if (note.empty()) return;
    if (!notes.empty()) notes += "; ";
    notes += note;
}

std::string SkipText(ExistingOutputPolicy policy, const std::string& output) {
    return "skipped: " + output +
           (policy == ExistingOutputPolicy::Update ? " is up to date" : " exists");
}

}  // namespace

std::string CRunHooks::SettingsKey(const CFileInfo& file, bool loudness) {
    std::uint64_t hash = StableHash(loudness ? "kelto loudness" : "kelto");
    const std::string wave = file.Decoder ? file.Decoder->GetWaveFile() : std::string();
    const std::string output = CConversion::GetFinalOutput(file);
    for (CCodec* job :
         {static_cast<CCodec*>(file.Decoder.get()), static_cast<CCodec*>(file.Coder.get())}) {
        if (!job) {
            hash = StableHash("-", hash);
            continue;
        }
        hash = StableHash(PathFileName(job->GetProgramPath()) + "\n", hash);
        hash = StableHash(WithoutPaths(job->GetCommandLine(), {&output, &wave, &file.Path}) + "\n",
                          hash);
    }
    if (file.Track) {
        // A track's borders are in its decoder's command line; what its sheet says of it is
        // written into its tags, so an edited sheet makes it out of date too.
        const SheetTrack& track = *file.Track;
        for (const std::string* field :
             {&track.Title, &track.Performer, &track.Album, &track.AlbumPerformer, &track.Date,
              &track.Genre, &track.Comment, &track.Songwriter}) {
            hash = StableHash(*field + "\n", hash);
        }
        hash = StableHash(std::to_string(track.Number) + "/" + std::to_string(track.Count), hash);
    }
    char text[17];
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string CRunHooks::RecordFolder(const std::string& root, const CFileInfo& file) {
    return TrailingSeparator(root.empty() ? file.Folder : root, false);
}

bool CRunHooks::IsUpToDate(const RecordEntry& entry, const std::string& folder,
                           const platform::FileStamp& stamp, const std::string& settings) {
    return entry.SourceSize == stamp.Size && entry.SourceModifiedNs == stamp.ModifiedNs &&
           entry.Settings == settings &&
           platform::IsPlainFile(TrailingSeparator(folder, true) + entry.Output);
}

CRunHooks::CRunHooks() = default;
CRunHooks::~CRunHooks() = default;

void CRunHooks::Begin(const CFileList& files, const Policy& policy) {
    m_policy = policy;
    m_jobFiles.clear();
    m_stopping = false;
    std::lock_guard lock(m_mutex);
    m_states.clear();
    m_planned.clear();
    m_sources.clear();
    m_claimed.clear();
    m_cleanedFolders.clear();
    m_records.clear();
    m_written.clear();
    m_lastRecordWrite = platform::MonotonicTime100ns();
    m_orphans.clear();
    m_recordFailures.clear();
    m_runFiles = std::make_unique<CRunFiles>();
    for (int i = 0; i < files.Count(); ++i) {
        CFileInfo* file = files.Get(i);
        m_sources.insert(file->Path);
        if (file->Decoder) m_jobFiles[file->Decoder.get()] = file;
        if (file->Coder) m_jobFiles[file->Coder.get()] = file;
        const std::string output = CConversion::GetFinalOutput(*file);
        if (!output.empty()) m_planned.emplace(output, file);
    }
    m_albums.Begin(policy.LoudnessTags ? AlbumMembers(files) : std::vector<CAlbumGains::Member>());
}

bool CRunHooks::WritesOutput(const CFileInfo& file, IProcess* job) {
    if (file.Coder) return job == file.Coder.get();
    return job == file.Decoder.get();
}

bool CRunHooks::IsListedSource(const std::string& path, const CFileInfo& file) const {
    // Exact names for every listed file; the file's own source also under any other name.
    return m_sources.count(path) != 0 || platform::IsSameFile(path, file.Path);
}

bool CRunHooks::IsTaken(const std::string& path, const CFileInfo* file) const {
    if (m_claimed.count(path) != 0 || platform::EntryExists(path)) return true;
    const auto planned = m_planned.find(path);
    return planned != m_planned.end() && planned->second != file;
}

IJobHooks::Decision CRunHooks::DecideOutput(CFileInfo& file, FileState& state,
                                            std::string* reason) {
    const std::string wanted = CConversion::GetFinalOutput(file);
    std::string chosen = wanted;
    state.RecordFolder = RecordFolder(m_policy.OutputRoot, file);
    state.Settings = SettingsKey(file, m_policy.LoudnessTags);
    if (!platform::ReadFileStamp(file.Path, &state.Stamp)) state.Stamp = {};
    switch (m_policy.ExistingOutput) {
        case ExistingOutputPolicy::Overwrite:
            // A source is never written over, whatever the policy: the new output is numbered.
            for (int number = 2; IsListedSource(chosen, file); ++number) {
                chosen = NumberedOutputName(wanted, number);
            }
            break;
        case ExistingOutputPolicy::Skip:
            if (m_claimed.count(wanted) != 0 || platform::EntryExists(wanted)) {
                *reason = "skipped: " + wanted + " exists";
                return Decision::Decline;
            }
            break;
        case ExistingOutputPolicy::KeepBoth:
            for (int number = 2; IsTaken(chosen, &file); ++number) {
                chosen = NumberedOutputName(wanted, number);
            }
            break;
        case ExistingOutputPolicy::Update:
            chosen = ChooseForUpdate(file, state, wanted, reason);
            if (chosen.empty()) return Decision::Decline;
            break;
    }
    const std::string folder = PathFolder(chosen);
    platform::Error error;
    if (!folder.empty() && !platform::MakeFolders(folder, &error)) {
        *reason = "the output folder " + folder + " cannot be made: " + error.text;
        return Decision::Fail;
    }
    // What an earlier run that ended without cleaning up (a crash) left there goes first.
    if (m_cleanedFolders.insert(folder).second) CRunFiles::RemoveStale(folder.empty() ? "." : folder);
    // None of the file's jobs has started: changing their command line is safe.
    if (chosen != wanted) file.RetargetOutput(chosen);
    m_claimed.insert(chosen);
    state.File = &file;
    state.Final = chosen;
    // Where the output cannot be written apart (a command line edited so that it does not
    // name its output once, a folder kelto may not add to, an old output that is a link or a
    // file kelto may not write), the program writes in place, as it always did.
    const bool oldOutput = platform::EntryExists(chosen);
    if (file.NamesOutputOnce() && (!oldOutput || platform::CanReplaceFromBeside(chosen))) {
        ClaimApart(file, state);
    }
    return Decision::Run;
}

const COutputRecord& CRunHooks::RecordOf(const std::string& folder) {
    auto found = m_records.find(folder);
    if (found == m_records.end()) {
        found = m_records.emplace(folder, COutputRecord::Load(folder)).first;
    }
    return found->second;
}

std::string CRunHooks::ChooseForUpdate(CFileInfo& file, FileState& state,
                                       const std::string& wanted, std::string* reason) {
    const COutputRecord& record = RecordOf(state.RecordFolder);
    const RecordEntry* entry =
        record.FindSource(file.Path, PathExtension(wanted), file.Track ? file.Track->Number : 0);
    if (entry) {
        if (IsUpToDate(*entry, state.RecordFolder, state.Stamp, state.Settings)) {
            *reason = SkipText(ExistingOutputPolicy::Update, wanted);
            return {};
        }
        const std::string recorded = TrailingSeparator(state.RecordFolder, true) + entry->Output;
        // The output keeps the name it had; written over like any overwrite, unless another
        // file of this run writes there or it is a listed source.
        if (!IsListedSource(recorded, file) && m_claimed.count(recorded) == 0) {
            state.ReplacesRecorded = true;
            return recorded;
        }
    }
    // Not in the record: a file that is there already is not kelto's to replace, and numbering
    // a new output beside it would double a library converted before records were kept (or
    // with the record lost) on every first update. It is left as it is, as skipping does.
    if (!entry && m_claimed.count(wanted) == 0 && !IsListedSource(wanted, file) &&
        platform::EntryExists(wanted)) {
        *reason = "skipped: " + wanted + " exists and was not recorded as written by kelto";
        return {};
    }
    // Another file of this run writes there, or the old name is a listed source.
    std::string chosen = wanted;
    for (int number = 2; IsTaken(chosen, &file); ++number) {
        chosen = NumberedOutputName(wanted, number);
    }
    return chosen;
}

void CRunHooks::NoteWritten(const FileState& state) {
    const std::string folder = TrailingSeparator(state.RecordFolder, true);
    if (state.RecordFolder.empty() || state.Final.compare(0, folder.size(), folder) != 0 ||
        state.Stamp.Size < 0) {
        return;
    }
    RecordEntry entry;
    entry.Output = state.Final.substr(folder.size());
    entry.Source = state.File->Path;
    entry.SourceSize = state.Stamp.Size;
    entry.SourceModifiedNs = state.Stamp.ModifiedNs;
    entry.Settings = state.Settings;
    if (state.File->Coder)
        entry.Coder = state.File->Coder->GetName();
    else if (state.File->Decoder)
        entry.Coder = state.File->Decoder->GetName();
    entry.Preset = state.File->PresetName;
    if (state.File->Track) entry.Track = state.File->Track->Number;
    m_written[state.RecordFolder].push_back(std::move(entry));
}

void CRunHooks::WriteRecordsNow() {
    std::unique_lock turn(m_recordMutex, std::try_to_lock);
    if (!turn.owns_lock()) return;  // another worker writes them
    std::unordered_map<std::string, std::vector<RecordEntry>> written;
    {
        std::lock_guard lock(m_mutex);
        const std::int64_t now = platform::MonotonicTime100ns();
        if (m_written.empty() || now - m_lastRecordWrite < kRecordInterval) return;
        m_lastRecordWrite = now;
        written.swap(m_written);
    }
    for (const auto& [folder, entries] : written) {
        std::string reason;
        if (COutputRecord::Merge(folder, entries, &reason)) continue;
        // Tried again at the end of the run.
        std::lock_guard lock(m_mutex);
        auto& pending = m_written[folder];
        pending.insert(pending.begin(), entries.begin(), entries.end());
    }
}

void CRunHooks::WriteRecords() {
    // A worker that is still writing its share is waited for.
    std::lock_guard turn(m_recordMutex);
    std::lock_guard lock(m_mutex);
    m_orphans.clear();
    for (const auto& [folder, entries] : m_written) {
        std::string reason;
        if (!COutputRecord::Merge(folder, entries, &reason)) {
            AddLogLine(reason);
            m_recordFailures.push_back(std::move(reason));
        }
    }
    m_written.clear();
    if (m_policy.ExistingOutput != ExistingOutputPolicy::Update) return;
    for (const auto& [folder, record] : m_records) {
        for (const auto& [output, entry] : record.Entries()) {
            const std::string path = TrailingSeparator(folder, true) + output;
            if (!platform::EntryExists(entry.Source) && platform::EntryExists(path)) {
                m_orphans.push_back(path);
            }
        }
    }
    std::sort(m_orphans.begin(), m_orphans.end());
}

bool CRunHooks::ClaimApart(CFileInfo& file, FileState& state) {
    for (int number = 1; number <= kApartNameTries; ++number) {
        const std::string apart = UnfinishedOutputName(state.Final, number);
        if (apart.empty()) return false;
        if (IsTaken(apart, &file)) continue;
        std::string why;
        // Made exclusively, so another kelto writing into the same folder never shares it.
        if (!m_runFiles->Claim(apart, &why)) {
            if (platform::EntryExists(apart)) continue;
            return false;
        }
        file.RetargetOutput(apart);
        m_claimed.insert(apart);
        state.Apart = apart;
        return true;
    }
    return false;
}

IJobHooks::Decision CRunHooks::BeforeJobRun(IProcess* job, std::string* reason) {
    const auto found = m_jobFiles.find(job);
    if (found == m_jobFiles.end()) return Decision::Run;
    CFileInfo& file = *found->second;
    std::lock_guard lock(m_mutex);
    FileState& state = m_states[&file];
    if (!state.Decided) {
        state.Decided = true;
        const Decision decision = DecideOutput(file, state, reason);
        state.Skipped = decision == Decision::Decline;
        if (decision != Decision::Run) return decision;
    }
    if (state.Skipped) {
        *reason = SkipText(m_policy.ExistingOutput, CConversion::GetFinalOutput(file));
        return Decision::Decline;
    }
    if (job == file.Coder.get() && !file.Decoder) {
        // The coder reads the listed WAV file itself: one cut short is refused before it runs.
        const auto fresh = ReadAgainIfChanged(file);
        const OutputCheckResult check =
            CheckDecodedWave(file.Path, fresh ? *fresh : file, &state.ExpectedSeconds);
        if (!check.Passed) {
            *reason = check.Reason;
            return Decision::Fail;
        }
        if (check.LengthUnknown) LogUnknownLength(file.Path);
    }
    return Decision::Run;
}

bool CRunHooks::CheckFinishedOutput(CFileInfo& file, FileState& state, std::string* reason,
                                    const DecodedWaveVisitor& onDecoded) {
    const std::string output = CConversion::GetFinalOutput(file);
    OutputCheckResult check;
    double seconds = -1.0;
    if (!file.Coder) {
        // Decoding only: the decoder's WAV file is the output.
        const auto fresh = ReadAgainIfChanged(file);
        check = CheckDecodedWave(output, fresh ? *fresh : file, &seconds);
    } else {
        MediaInfoHandle mediaInfo;
        check = CheckOutput(output, PathExtension(state.Final), state.ExpectedSeconds, &mediaInfo);
    }
    if (!check.Passed) {
        *reason = check.Reason;
        return false;
    }
    if (check.LengthUnknown) LogUnknownLength(output);
    const bool lossless = file.Coder && file.Coder->IsLossless();
    const bool fully = m_policy.FullCheck == FullCheckPolicy::All ||
                       (m_policy.FullCheck == FullCheckPolicy::Lossless && lossless);
    if (file.Coder && fully && m_policy.Decoders) {
        const std::string reference = file.Decoder ? file.Decoder->GetWaveFile() : file.Path;
        check = VerifyOutput(output, reference, *m_policy.Decoders, lossless,
                             file.Coder->GetHeldBits(), &m_stopping, onDecoded);
        if (!check.Passed) {
            *reason = check.Reason;
            return false;
        }
        state.Verified = check.Verified;
        state.CheckNote = check.Note;
    }
    return true;
}

bool CRunHooks::AfterJobSucceeded(IProcess* job, std::string* reason) {
    const auto found = m_jobFiles.find(job);
    if (found == m_jobFiles.end()) return true;
    CFileInfo& file = *found->second;
    FileState* state = nullptr;
    {
        std::lock_guard lock(m_mutex);
        state = &m_states[&file];
    }
    if (!WritesOutput(file, job)) {
        // A decoder's temporary WAV file, which its coder is about to read.
        double seconds = -1.0;
        const auto fresh = ReadAgainIfChanged(file);
        const OutputCheckResult check =
            CheckDecodedWave(file.Decoder->GetWaveFile(), fresh ? *fresh : file, &seconds);
        if (!check.Passed) {
            *reason = check.Reason;
            return false;
        }
        if (check.LengthUnknown) LogUnknownLength(file.Path);
        std::lock_guard lock(m_mutex);
        state->ExpectedSeconds = seconds;
        return true;
    }
    // The state's members other than the maps' are touched only by the file's own jobs, which
    // never run at the same time.
    std::unique_ptr<CLoudnessMeter> meter;
    std::string loudnessNote;
    bool measured = false;
    bool decoded = false;
    if (m_policy.LoudnessTags) meter = std::make_unique<CLoudnessMeter>();
    // A lossy output is measured as it decodes; the full check's decoding serves when it runs.
    const DecodedWaveVisitor measureDecoded = [&](const std::string& wave) {
        decoded = true;
        measured = meter->Measure(wave, &loudnessNote, &m_stopping);
    };
    const bool lossy = file.Coder && !file.Coder->IsLossless();
    if (!CheckFinishedOutput(file, *state, reason,
                             meter && lossy ? measureDecoded : DecodedWaveVisitor())) {
        std::lock_guard lock(m_mutex);
        DropApart(*state);
        return false;
    }
    if (meter && !decoded) measured = MeasureOutput(file, *meter, &loudnessNote);
    const std::string output = CConversion::GetFinalOutput(file);
    std::string tagError;
    if (m_policy.CopyTags && !platform::IsSameFile(output, file.Path) &&
        CopyTags(file, output, &tagError) != CTagCopier::Result::Failed) {
        tagError.clear();
    }
    // After the copy: gain tags the source held describe the source, and are replaced.
    if (measured) {
        const GainFigures track{ReplayGainOf(meter->Loudness()), meter->Peak()};
        std::string why;
        if (!WriteTrackGain(output, track, &why)) {
            measured = false;
            loudnessNote = why;
        }
    }
    if (!measured) meter.reset();
    std::unique_lock lock(m_mutex);
    state->TagWarning = tagError;
    if (!loudnessNote.empty()) AddNote(state->CheckNote, "no gain tags: " + loudnessNote);
    bool placed = true;
    if (state->Apart.empty()) {
        state->Placed = true;
        NoteWritten(*state);
    } else {
        placed = PlaceOutput(*state, reason);
        if (placed && state->Placed) NoteWritten(*state);
    }
    const bool done = placed && state->Placed;
    const std::string final = state->Final;
    lock.unlock();
    CAlbumGains::Ready album;
    if (m_policy.LoudnessTags && done && m_albums.TrackDone(&file, final, std::move(meter), &album))
        TagAlbum(album);
    WriteRecordsNow();
    return placed;
}

bool CRunHooks::MeasureOutput(CFileInfo& file, CLoudnessMeter& meter, std::string* why) {
    const std::string output = CConversion::GetFinalOutput(file);
    // Decoding only: the output is a WAV file.
    if (!file.Coder) return meter.Measure(output, why, &m_stopping);
    const std::string reference = file.Decoder ? file.Decoder->GetWaveFile() : file.Path;
    // A lossless output plays the samples its coder read.
    if (file.Coder->IsLossless()) return meter.Measure(reference, why, &m_stopping);
    if (!m_policy.Decoders) {
        *why = "the loudness of " + output + " cannot be measured: no decoder takes it";
        return false;
    }
    bool measured = false;
    bool decoded = false;
    const OutputCheckResult check =
        VerifyOutput(output, reference, *m_policy.Decoders, false, file.Coder->GetHeldBits(),
                     &m_stopping, [&](const std::string& wave) {
                         decoded = true;
                         measured = meter.Measure(wave, why, &m_stopping);
                     });
    if (!decoded) {
        *why = "the loudness of " + output +
               " cannot be measured: " + (check.Passed ? check.Note : check.Reason);
    }
    return measured;
}

void CRunHooks::TagAlbum(const CAlbumGains::Ready& album) {
    for (const std::string& output : album.Outputs) {
        std::string why;
        const auto write = [&album](const std::string& copy, std::string* error) {
            return WriteAlbumGain(copy, album.Album, error);
        };
        if (!RewriteApart(output, *m_runFiles, write, &why)) m_albums.AlbumFailed(album.Name, why);
    }
}

bool CRunHooks::PlaceOutput(FileState& state, std::string* reason) {
    platform::Error error;
    const bool oldOutput = platform::EntryExists(state.Final);
    if (oldOutput && !platform::CopyPermissions(state.Final, state.Apart, &error)) {
        state.KeptApart = true;
    } else if ((m_policy.ExistingOutput == ExistingOutputPolicy::Overwrite ||
                state.ReplacesRecorded) &&
               oldOutput) {
        state.Placed = platform::RenameFile(state.Apart, state.Final, &error);
    } else {
        // Nothing was there when the file started: another program (another kelto) may have
        // put a file there since, which is not ours to replace.
        const std::string wanted = state.Final;
        for (int number = 2; !state.Placed; ++number) {
            bool existed = false;
            state.Placed = platform::MoveIntoPlace(state.Apart, state.Final, &existed, &error);
            if (!existed) break;
            if (m_policy.ExistingOutput != ExistingOutputPolicy::KeepBoth &&
                m_policy.ExistingOutput != ExistingOutputPolicy::Update) {
                // Overwriting a file that appeared while the job ran could lose another
                // program's work; skipping leaves it as it is.
                state.Skipped = m_policy.ExistingOutput == ExistingOutputPolicy::Skip;
                if (state.Skipped) {
                    DropApart(state);
                    return true;
                }
                state.Placed = platform::RenameFile(state.Apart, state.Final, &error);
                break;
            }
            state.Final = NumberedOutputName(wanted, number);
        }
    }
    if (state.Placed) {
        m_runFiles->Forget(state.Apart);
        return true;
    }
    // The complete output stays where it is, for the user to find.
    state.KeptApart = true;
    m_runFiles->Forget(state.Apart);
    *reason = "the new output " + state.Apart + " cannot replace " + state.Final + ": " + error.text;
    return false;
}

void CRunHooks::DropApart(FileState& state) {
    if (state.Apart.empty()) return;
    if (platform::EntryExists(state.Apart)) platform::RemoveFile(state.Apart);
    m_runFiles->Forget(state.Apart);
}

void CRunHooks::Finish() {
    std::unique_lock lock(m_mutex);
    for (auto& entry : m_states) {
        FileState& state = entry.second;
        if (!state.File || state.Apart.empty()) continue;
        // A job that failed, or was stopped, may have left part of its output.
        if (!state.Placed && !state.KeptApart) DropApart(state);
        state.File->RetargetOutput(state.Final);
        // Done once: the file's output is its own name again, which must never be removed.
        state.Apart.clear();
    }
    // Anything still claimed was left by a job that never finished.
    m_runFiles.reset();
    lock.unlock();
    m_albums.End();
    WriteRecords();
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

bool CRunHooks::WasVerified(const CFileInfo* file) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_states.find(file);
    return found != m_states.end() && found->second.Verified;
}

std::string CRunHooks::GetCheckNote(const CFileInfo* file) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_states.find(file);
    return found != m_states.end() ? found->second.CheckNote : std::string();
}
