#include "session/Conversion.h"

#include <unordered_set>
#include <vector>

#include "base/Folders.h"
#include "base/Log.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "core/Core.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/FormatTable.h"
#include "lang/LanguageManager.h"
#include "session/Catalogue.h"
#include "session/FileList.h"
#include "session/NamePattern.h"
#include "session/OutputNames.h"
#include "session/SourceFit.h"
#include "settings/SettingsSet.h"

namespace {

constexpr int kTextNotFitted = 330;
constexpr int kTextFitNeedsFFmpeg = 331;
constexpr int kTextNoRateFits = 332;

// folder as its names read, with a trailing "/": "." components dropped and each ".." taking
// away the name before it (links are not followed, so a tree listed below a folder keeps its
// shape). A ".." at the start of a relative path stays; one at the root goes.
std::string LexicalFolder(const std::string& folder) {
    const bool absolute = !folder.empty() && folder.front() == '/';
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at <= folder.size()) {
        std::size_t end = folder.find('/', at);
        if (end == std::string::npos) end = folder.size();
        std::string name = folder.substr(at, end - at);
        if (name == "..") {
            if (!names.empty() && names.back() != "..") {
                names.pop_back();
            } else if (!absolute) {
                names.push_back(std::move(name));
            }
        } else if (!name.empty() && name != ".") {
            names.push_back(std::move(name));
        }
        at = end + 1;
    }
    std::string result = absolute ? "/" : "";
    for (const std::string& name : names) result += name + "/";
    return result;
}

}  // namespace

CConversion::CConversion(CSettingsSet& settings, CFileList& files, CCatalogue& catalogue,
                         CCore& core)
    : m_settings(settings), m_files(files), m_catalogue(catalogue), m_core(core) {}

CConversion::~CConversion() {
    m_core.WaitForWorkers();
    m_core.SetJobHooks(nullptr);
}

std::string CConversion::GetOutputFolder() const {
    if (m_settings.General.OutputFolderSameAsOriginal != 0) return {};
    // An empty folder setting with the option off means beside the source, as when it is on.
    return TrailingSeparator(m_settings.General.OutputFolder, true);
}

std::string CConversion::GetOutputFolder(const CFileInfo& file) const {
    const std::string folder = GetOutputFolder();
    if (folder.empty() || m_settings.General.KeepFolderTree == 0 || file.AddedFolder.empty()) {
        return folder;
    }
    // Both read as their names say: an added "/m/Jazz/.." is "/m", and its files' folders
    // "/m/Jazz/../Rock" are "/m/Rock", so nothing goes above the output folder.
    const std::string added = LexicalFolder(file.AddedFolder);
    const std::string parent =
        added.size() <= 1 ? added
                          : TrailingSeparator(PathFolder(added.substr(0, added.size() - 1)), true);
    const std::string own = LexicalFolder(file.Folder);
    // A file that is not below its folder's parent (never for a listed one) stays flat.
    if (added.empty() || own.compare(0, parent.size(), parent) != 0) {
        return folder;
    }
    const std::string below = own.substr(parent.size());
    if (below.compare(0, 3, "../") == 0) return folder;
    return folder + below;
}

std::string CConversion::GetOutputExtension(const ConversionChoice& choice) const {
    if (IsDecodeOnly(choice)) return ".wav";
    // The first preset names the output, whichever preset was chosen.
    const CCoder* coder = m_catalogue.GetCoders().GetAt(choice.CoderIndex);
    const CPreset* first = coder ? coder->GetPresets().GetAt(0) : nullptr;
    return first ? first->Extension : std::string();
}

std::string CConversion::TrackOutput(const CFileInfo& file, const ConversionChoice& choice) const {
    const SheetTrack& track = *file.Track;
    NameTags tags;
    tags.Title = track.Title;
    tags.Artist = track.Performer;
    tags.AlbumArtist = track.AlbumPerformer;
    tags.Album = track.Album;
    tags.Track = std::to_string(track.Number);
    tags.Date = track.Date;
    tags.Genre = track.Genre;
    tags.Composer = track.Songwriter;
    // Without a pattern of the user's a track is named "NN - Title" in the image's output folder.
    const bool own = m_settings.General.NamePattern.empty();
    const std::string pattern = !own                  ? m_settings.General.NamePattern
                                : track.Title.empty() ? std::string("%track%")
                                                      : std::string("%track% - %title%");
    const std::string name =
        CNamePattern(pattern).Expand(file.Path, tags, GetOutputExtension(choice));
    const std::string folder = own ? GetOutputFolder(file) : GetOutputFolder();
    if (!folder.empty()) return folder + name;
    return TrailingSeparator(file.Folder, true) + PathFileName(name);
}

std::string CConversion::NamedOutput(const CFileInfo& file,
                                     const ConversionChoice& choice) const {
    // Tracks of one image share its path: their names come from the sheet.
    if (file.Track) return TrackOutput(file, choice);
    if (m_settings.General.NamePattern.empty()) return {};
    if (m_settings.General.ExistingOutput == static_cast<int>(ExistingOutputPolicy::Update)) {
        // A file converted before keeps its name, found without reading its tags again.
        const std::string folder = CRunHooks::RecordFolder(GetOutputFolder(), file);
        auto record = m_records.find(folder);
        if (record == m_records.end()) {
            record = m_records.emplace(folder, COutputRecord::Load(folder)).first;
        }
        const RecordEntry* entry = record->second.FindSource(file.Path, GetOutputExtension(choice));
        if (entry) return TrailingSeparator(folder, true) + entry->Output;
    }
    return CNamePattern(m_settings.General.NamePattern)
        .OutputPath(GetOutputFolder(), file.Path, GetOutputExtension(choice));
}

bool CConversion::IsDecodeOnly(const ConversionChoice& choice) const {
    return m_catalogue.IsPassThrough(choice.CoderIndex);
}

std::vector<CFileInfo*> CConversion::Targets(const std::vector<int>& rows) const {
    std::vector<CFileInfo*> targets;
    if (rows.empty()) {
        for (int i = 0; i < m_files.Count(); ++i) targets.push_back(m_files.Get(i));
        return targets;
    }
    // A row named twice is prepared once; the second time it would collide with itself.
    std::unordered_set<const CFileInfo*> seen;
    for (int row : rows) {
        CFileInfo* file = m_files.Get(row);
        if (file && seen.insert(file).second) targets.push_back(file);
    }
    return targets;
}

CConversion::Prepared CConversion::PrepareFile(CFileInfo& file, const ConversionChoice& choice,
                                               const std::string& outputFolder,
                                               COutputNames& outputs,
                                               const std::unordered_set<std::string>& sources) {
    const bool decodeOnly = IsDecodeOnly(choice);
    const CCoder* coder = m_catalogue.GetCoders().GetAt(choice.CoderIndex);
    const CPreset* preset = coder ? coder->GetPresets().GetAt(choice.PresetIndex) : nullptr;
    const std::string named = NamedOutput(file, choice);
    const SourceFit fit = SourceFit::Plan(
        file, FitLimits::Of(m_settings.General.MaxSampleRate, m_settings.General.MaxBitDepth,
                            decodeOnly || !coder ? nullptr : &coder->GetProperties()));
    if (fit.NoRate || (fit.Needed && !m_catalogue.GetDecoders().FindFor(".wav", nullptr))) {
        // Caught here, the file fails with its reason before any program runs.
        file.ResetJobs();
        m_fitFailure = GetLanguageManager().GetString(fit.NoRate ? kTextNoRateFits
                                                                 : kTextFitNeedsFFmpeg);
        return Prepared::NotFitted;
    }
    const bool decodable =
        file.PrepareDecoder(m_catalogue.GetDecoders(), outputFolder, decodeOnly,
                            decodeOnly ? named : std::string(), fit.ForDecoder(file));
    if (!file.GetTempNameFailure().Folder.empty()) {
        // Coding a WAV source directly instead would ignore the decoder that lists "wav".
        file.ResetJobs();
        return Prepared::NoTempFile;
    }
    if (!decodable && (file.FormatId != kFormatWAV || file.NeedsDecoding)) {
        // Without a decoder an earlier coder job would read a WAV file nobody writes.
        file.ResetJobs();
        return Prepared::NoDecoder;
    }
    if (!decodeOnly && !preset) {
        // A coder without presets has no command line to run, and a decoded WAV file nobody
        // codes would only be left behind in the temporary folder.
        file.ResetJobs();
        return Prepared::Yes;
    }
    if (decodeOnly) {
        // The decoder's WAV file is the result; no coder of an earlier Apply may run after it.
        file.SetCoder(nullptr);
        file.OutputPath.clear();
        file.PresetName.clear();
    } else {
        file.SetCoder(coder);
        file.PrepareCoder(preset->CommandLine, outputFolder, named);
        file.PresetName = preset->Name;
    }
    KeepOutputApart(file, choice, outputFolder, outputs, sources);
    return Prepared::Yes;
}

void CConversion::KeepOutputApart(CFileInfo& file, const ConversionChoice& choice,
                                  const std::string& outputFolder, COutputNames& outputs,
                                  const std::unordered_set<std::string>& sources) {
    const std::string wanted = GetFinalOutput(file);
    if (wanted.empty()) return;
    // Held like any other taken name, a listed source is never written over: the output is
    // numbered instead, and the user warned.
    if (sources.count(wanted) != 0) m_outputReplacedSource = true;
    const std::string output = outputs.Take(wanted);
    if (output == wanted) return;
    // Prepared again rather than patched, so the command line says what is written.
    if (file.Coder) {
        const CCoder* coder = m_catalogue.GetCoders().GetAt(choice.CoderIndex);
        file.PrepareCoder(coder->GetPresets().GetAt(choice.PresetIndex)->CommandLine, outputFolder,
                          output);
    } else {
        const CFileInfo::DecodeFit fit = file.GetDecodeFit();
        file.PrepareDecoder(m_catalogue.GetDecoders(), outputFolder, true, output, fit);
    }
}

bool CConversion::Apply(const ConversionChoice& choice, const std::vector<int>& rows,
                        IConversionReport* report) {
    m_core.WaitForWorkers();
    const std::vector<CFileInfo*> targets = Targets(rows);
    COutputNames outputs;
    std::unordered_set<std::string> sources;
    for (int i = 0; i < m_files.Count(); ++i) {
        sources.insert(m_files.Get(i)->Path);
        outputs.Hold(m_files.Get(i)->Path);
    }
    m_outputReplacedSource = false;
    m_records.clear();
    if (!rows.empty()) {
        // What the files left as they are will write is spoken for.
        const std::unordered_set<const CFileInfo*> targeted(targets.begin(), targets.end());
        for (int i = 0; i < m_files.Count(); ++i) {
            const CFileInfo* file = m_files.Get(i);
            if (targeted.count(file) == 0) outputs.Hold(GetFinalOutput(*file));
        }
    }
    std::vector<const CFileInfo*> listed;
    listed.reserve(static_cast<std::size_t>(m_files.Count()));
    for (int i = 0; i < m_files.Count(); ++i) listed.push_back(m_files.Get(i));
    m_prepared.KeepOnly(listed);
    const PreparedWith chosen = Describe(choice);
    bool allPrepared = true;
    for (CFileInfo* file : targets) {
        const std::string outputFolder = GetOutputFolder(*file);
        const Prepared prepared = PrepareFile(*file, choice, outputFolder, outputs, sources);
        // Its jobs are new: what the last run did with the old ones is no longer its state.
        m_lastRun.erase(file);
        RecordPrepared(*file, chosen, outputFolder, prepared != Prepared::Yes);
        if (prepared == Prepared::Yes) continue;
        allPrepared = false;
        if (!report) continue;
        if (prepared == Prepared::NoDecoder) {
            report->ReportNoDecoder(*file);
        } else if (prepared == Prepared::NotFitted) {
            report->ReportNotFitted(*file, m_fitFailure);
        } else {
            const CFileInfo::TempNameFailure& failure = file->GetTempNameFailure();
            report->ReportNoTempFile(*file, failure.Folder, failure.Reason);
        }
    }
    if (m_settings.General.ShowWarnings != 0 && m_outputReplacedSource && report) {
        report->ReportOverwrite();
    }
    return allPrepared;
}

bool CConversion::AnyFileHasJobs() const {
    for (int i = 0; i < m_files.Count(); ++i) {
        const CFileInfo* file = m_files.Get(i);
        if (file->Coder || file->Decoder) return true;
    }
    return false;
}

int CConversion::Start(const ConversionChoice& choice, IConversionReport* report,
                       const std::vector<int>& rows) {
    m_core.WaitForWorkers();
    if (!AnyFileHasJobs()) Apply(choice, rows, report);
    m_core.ClearQueue();
    for (int i = 0; i < m_files.Count(); ++i) {
        CFileInfo* file = m_files.Get(i);
        // What a job reports afterwards must be about this run.
        if (file->Decoder) {
            file->Decoder->SetExitStatus({});
            file->Decoder->SetShowWindow(m_showPrograms ? 1 : 0);
            m_core.AddJob(file->Decoder.get());
        }
        if (file->Coder) {
            file->Coder->SetExitStatus({});
            file->Coder->SetShowWindow(m_showPrograms ? 1 : 0);
            m_core.AddJob(file->Coder.get());
        }
    }
    CRunHooks::Policy policy;
    policy.CopyTags = m_settings.General.CopyTags != 0;
    const int existing = m_settings.General.ExistingOutput;
    // An unknown value keeps today's behaviour rather than losing files.
    if (existing >= 1 && existing <= 3) {
        policy.ExistingOutput = static_cast<ExistingOutputPolicy>(existing);
    }
    const int fullCheck = m_settings.General.FullCheck;
    policy.FullCheck = fullCheck >= 0 && fullCheck <= 2 ? static_cast<FullCheckPolicy>(fullCheck)
                                                        : FullCheckPolicy::Lossless;
    policy.Decoders = &m_catalogue.GetDecoders();
    policy.OutputRoot = GetOutputFolder();
    policy.LoudnessTags = m_settings.General.LoudnessTags != 0;
    m_lastRun.clear();
    for (int i = 0; i < m_files.Count(); ++i) {
        const CFileInfo* file = m_files.Get(i);
        if (file->Decoder || file->Coder) m_lastRun.insert(file);
    }
    m_hooks.Begin(m_files, policy);
    m_core.SetJobHooks(&m_hooks);
    const int count = m_core.GetJobsCount();
    if (count != 0) m_core.Start();
    return count;
}

void CConversion::FinishRun() {
    m_core.WaitForWorkers();
    m_hooks.Finish();
    LogLastRun();
}

void CConversion::Reset(const std::vector<int>& rows) {
    m_core.WaitForWorkers();
    for (CFileInfo* file : Targets(rows)) {
        file->ResetJobs();
        m_prepared.Forget(*file);
        m_lastRun.erase(file);
    }
}

PreparedWith CConversion::Describe(const ConversionChoice& choice) const {
    PreparedWith with;
    const CCoder* coder = m_catalogue.GetCoders().GetAt(choice.CoderIndex);
    if (coder) with.CoderName = coder->GetName();
    if (IsDecodeOnly(choice) || !coder) return with;
    if (const CPreset* preset = coder->GetPresets().GetAt(choice.PresetIndex)) {
        with.PresetName = preset->Name;
        with.PresetIndex = choice.PresetIndex;
    }
    return with;
}

void CConversion::RecordPrepared(const CFileInfo& file, const PreparedWith& chosen,
                                 const std::string& outputFolder, bool failed) {
    PreparedWith with = chosen;
    with.OutputFolder = outputFolder;
    with.NamePattern = m_settings.General.NamePattern;
    with.MaxSampleRate = m_settings.General.MaxSampleRate;
    with.MaxBitDepth = m_settings.General.MaxBitDepth;
    with.Failed = failed;
    if (file.Decoder) with.DecoderLine = CPreparedRows::LineHash(file.Decoder->GetCommandLine());
    if (file.Coder) with.CoderLine = CPreparedRows::LineHash(file.Coder->GetCommandLine());
    m_prepared.Record(file, std::move(with));
}

StartCheck CConversion::CheckStart(const ConversionChoice& choice) const {
    StartCheck check;
    if (!AnyFileHasJobs()) return check;
    const PreparedWith wanted = Describe(choice);
    for (int i = 0; i < m_files.Count(); ++i) {
        const CFileInfo& file = *m_files.Get(i);
        const PreparedWith* with = m_prepared.Find(file);
        const bool sameChoice =
            with && with->CoderName == wanted.CoderName && with->PresetName == wanted.PresetName &&
            with->PresetIndex == wanted.PresetIndex && with->OutputFolder == GetOutputFolder(file) &&
            with->NamePattern == m_settings.General.NamePattern &&
            with->MaxSampleRate == m_settings.General.MaxSampleRate &&
            with->MaxBitDepth == m_settings.General.MaxBitDepth;
        if (!file.Decoder && !file.Coder) {
            // Applying this very choice again would fail again.
            if (with && with->Failed && sameChoice) continue;
            check.Unprepared.push_back(i);
            check.ToApply.push_back(i);
            continue;
        }
        // Jobs of unknown origin count as differing: nobody can say what they hold.
        if (sameChoice && !with->Failed) continue;
        check.Differing.push_back(i);
        check.ToApply.push_back(i);
        if (with && CPreparedRows::IsEdited(file, *with)) check.Edited.push_back(i);
    }
    check.Result = check.ToApply.empty() ? StartCheck::Outcome::Run : StartCheck::Outcome::Ask;
    return check;
}

RowStatus CConversion::GetRowStatus(const CFileInfo& file,
                                    const std::unordered_set<const IProcess*>& running,
                                    bool runOver) const {
    if (m_lastRun.count(&file) == 0) return {};
    return DeriveRowStatus(file, m_hooks, running, runOver);
}

RunCounts CConversion::CountLastRun(const std::unordered_set<const IProcess*>& running,
                                    bool runOver) const {
    RunCounts counts;
    for (int i = 0; i < m_files.Count(); ++i) {
        counts.Add(GetRowStatus(*m_files.Get(i), running, runOver).State);
    }
    return counts;
}

void CConversion::LogLastRun() const {
    static const char* const kStateWords[] = {"",         "Waiting", "Running", "Converted",
                                              "Verified", "Skipped", "Failed",  "Stopped"};
    std::vector<std::string> lines;
    for (int i = 0; i < m_files.Count(); ++i) {
        const CFileInfo& file = *m_files.Get(i);
        const RowStatus status = GetRowStatus(file, {}, true);
        // A file whose jobs never started has nothing to tell.
        if (status.State == RowState::None || status.Reason == kNotRunReason) continue;
        std::string line =
            kStateWords[static_cast<int>(status.State)] + std::string(": ") + file.Path;
        if (!status.Reason.empty()) {
            const bool done = status.State == RowState::Done || status.State == RowState::Verified;
            line += (done ? " -> " : ": ") + status.Reason;
        }
        lines.push_back(std::move(line));
    }
    AddLogLines(std::move(lines));
}

std::string CConversion::GetFinalOutput(const CFileInfo& file) {
    if (file.Coder) return file.Coder->GetOutputFile();
    if (file.Decoder) return file.Decoder->GetWaveFile();
    return {};
}

std::string CConversion::NoDecoderText(const CFileInfo& file) {
    const CLanguageManager& language = GetLanguageManager();
    return language.GetString(121) + "\n" + file.Path + "\n" + language.GetString(122) + "\n" +
           file.FormatName;
}

std::string CConversion::NotFittedText(const CFileInfo& file, const std::string& reason) {
    return GetLanguageManager().GetString(kTextNotFitted) + "\n" + file.Path + "\n" + reason;
}

std::string CConversion::OverwriteText() { return GetLanguageManager().GetString(130); }
