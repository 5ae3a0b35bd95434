#include "cli/CliApplication.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "base/AsciiText.h"
#include "base/Folders.h"
#include "base/Version.h"
#include "base/WorkingFolder.h"
#include "cli/CliListing.h"
#include "cli/PrintableText.h"
#include "cli/RunMonitor.h"
#include "cli/RunSummary.h"
#include "codecs/Coder.h"
#include "core/Core.h"
#include "core/ProcessPriority.h"
#include "core/TempFileName.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/FileInfoCache.h"
#include "fileinfo/FormatTable.h"
#include "lang/LanguageManager.h"
#include "platform/File.h"
#include "platform/MakeFolders.h"
#include "platform/SignalWatcher.h"
#include "platform/SystemLanguage.h"
#include "platform/TempFolder.h"
#include "platform/Terminal.h"
#include "session/AudioExtensions.h"
#include "session/Catalogue.h"
#include "session/FileList.h"
#include "session/FileListEditor.h"
#include "session/RunFailures.h"
#include "session/Shard.h"
#include "session/StartupSettings.h"
#include "session/UserWorkingFolder.h"
#include "settings/SettingsSet.h"

namespace {

// Language texts used here.
constexpr int kTextPassThrough = 111;

std::string Absolute(const std::string& start, const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    return start + "/" + path;
}

bool IsIndexText(const std::string& text) {
    if (text.empty() || text.size() > 6) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// The entry whose name is text, else the entry whose index is text; -1 when neither.
template <class NameAt>
int FindByNameOrIndex(int count, const std::string& text, NameAt nameAt) {
    for (int i = 0; i < count; ++i) {
        if (nameAt(i) == text) return i;
    }
    if (IsIndexText(text)) {
        const int index = std::stoi(text);
        if (index < count) return index;
    }
    return -1;
}

void PrintError(const std::string& message) {
    std::fprintf(stderr, "kelto-cli: %s\n", message.c_str());
}

// The lines of a text meant for a message box, as one line.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n') c = ' ';
    }
    return text;
}

// Apply's findings, printed; files without a decoder are remembered for the caller.
class CCliReport : public IConversionReport {
public:
    void ReportNoDecoder(const CFileInfo& file) override { m_undecodable.push_back(&file); }
    void ReportOverwrite() override { PrintError("warning: " + CConversion::OverwriteText()); }
    void ReportNoTempFile(const CFileInfo& file, const std::string& folder,
                          const std::string& reason) override {
        PrintError(PrintableText(file.Path) + ": no temporary file can be made in " +
                   PrintableText(folder) + " (" + reason + ")");
        m_tempFileFailed = true;
    }
    void ReportNotFitted(const CFileInfo& file, const std::string& reason) override {
        m_notFitted.emplace_back(&file, OneLine(reason));
    }
    const std::vector<const CFileInfo*>& Undecodable() const { return m_undecodable; }
    const std::vector<std::pair<const CFileInfo*, std::string>>& NotFitted() const {
        return m_notFitted;
    }
    bool TempFileFailed() const { return m_tempFileFailed; }

private:
    std::vector<const CFileInfo*> m_undecodable;
    bool m_tempFileFailed = false;
    std::vector<std::pair<const CFileInfo*, std::string>> m_notFitted;
};

}  // namespace

CCliApplication::CCliApplication() = default;

CCliApplication::~CCliApplication() = default;

int CCliApplication::UsageError(const std::string& message) {
    PrintError(message);
    std::fprintf(stderr, "Try 'kelto-cli --help'.\n");
    return kExitUsage;
}

int CCliApplication::Run(const std::vector<std::string>& args) {
    std::string error;
    if (!CliOptions::Parse(args, m_options, error)) return UsageError(error);
    if (m_options.Help) {
        std::fputs(CliOptions::Usage(), stdout);
        return kExitOk;
    }
    if (m_options.Version) {
        std::printf("%s\n", GetVersionText().c_str());
        return kExitOk;
    }
    return Execute();
}

int CCliApplication::Execute() {
    m_startDirectory = platform::CurrentDirectory();
    for (std::string& input : m_options.Inputs) input = Absolute(m_startDirectory, input);
    if (m_options.Output) m_options.Output = Absolute(m_startDirectory, *m_options.Output);
    if (!EnterWorkingFolder() || !LoadStartup()) return kExitUsage;
    RemoveStaleTempFiles(platform::TemporaryFolder());  // what a kelto that died left
    if (m_options.ListCoders) {
        WarnRefusedPresets();
        std::fputs(CatalogueJsonLines(*m_catalogue).c_str(), stdout);
        return kExitOk;
    }
    if (m_options.Inputs.empty()) return UsageError("no input given");
    ConversionChoice choice;
    if (!ChooseCoder(choice) || !ChoosePreset(choice) || !ApplyRunSettings() || !BuildFileList()) {
        return kExitUsage;
    }
    if (m_shareEmpty) return CRunSummary::PrintInputs(stderr, m_inputs, "kelto-cli: ");
    if (m_options.Info) {
        for (int i = 0; i < m_files->Count(); ++i) {
            std::printf("%s\n", FileInfoJson(*m_files->Get(i)).c_str());
        }
        return CRunSummary::PrintInputs(stderr, m_inputs, "kelto-cli: ");
    }
    if (!PrepareJobs(choice)) return kExitUsage;
    if (m_options.DryRun) {
        for (int i = 0; i < m_files->Count(); ++i) {
            std::printf("%s\n", DryRunJson(*m_files->Get(i)).c_str());
        }
        return CRunSummary::PrintInputs(stderr, m_inputs, "kelto-cli: ");
    }
    return Convert(choice);
}

bool CCliApplication::EnterWorkingFolder() {
    if (!m_options.WorkDir) {
        // An installed kelto-cli started outside a working folder works in the user's own.
        if (platform::IsDirectory(m_startDirectory + "/Languages")) return true;
        std::string problem;
        const bool entered = EnterUserWorkingFolder(&problem);
        if (!problem.empty()) PrintError((entered ? "warning: " : "") + OneLine(problem));
        return entered;
    }
    const std::string folder = Absolute(m_startDirectory, *m_options.WorkDir);
    platform::Error error;
    if (!platform::IsDirectory(folder) || !platform::ChangeCurrentDirectory(folder, &error)) {
        UsageError("working folder " + folder + " cannot be used" +
                   (error ? ": " + error.text : std::string(": not a folder")));
        return false;
    }
    return true;
}

bool CCliApplication::LoadStartup() {
    const CWorkingFolder folder = CWorkingFolder::FromCurrentDirectory();
    CLanguageManager& language = GetLanguageManager();
    if (!SelectStartupLanguage(language, platform::SystemLanguageId())) {
        PrintError(std::string(kNoLanguageMessage) + " (no Languages/English.so in " +
                   folder.GetFolder() + "; --workdir names the working folder)");
        return false;
    }
    m_settings = std::make_unique<CSettingsSet>();
    const std::string problem = LoadStartupSettings(*m_settings, folder.GetSettingsPath());
    if (!problem.empty()) PrintError("warning: " + OneLine(problem));
    m_catalogue = std::make_unique<CCatalogue>();
    m_catalogue->Load(folder, language.GetString(kTextPassThrough),
                      m_settings->Database.FindByFileName == 1);
    m_audio = std::make_unique<CAudioExtensions>(m_catalogue->GetDecoders());
    return true;
}

void CCliApplication::WarnRefusedPresets() const {
    const auto warn = [](const CCodec& codec) {
        for (const std::string& text : codec.GetPresets().GetRefused()) {
            PrintError("warning: " + PrintableText(text));
        }
    };
    const CCoderList& coders = m_catalogue->GetCoders();
    for (int i = 0; i < coders.GetCount(); ++i) warn(*coders.GetAt(i));
    const CDecoderList& decoders = m_catalogue->GetDecoders();
    for (int i = 0; i < decoders.GetCount(); ++i) warn(*decoders.GetAt(i));
}

bool CCliApplication::ChooseCoder(ConversionChoice& choice) {
    const CCoderList& coders = m_catalogue->GetCoders();
    if (m_options.DecodeOnly) {
        choice.CoderIndex = m_catalogue->GetPassThroughIndex();
        return true;
    }
    if (!m_options.Coder) {
        const int saved = m_settings->CoderIndex;
        choice.CoderIndex = (saved >= 0 && saved < coders.GetCount()) ? saved : 0;
        return true;
    }
    choice.CoderIndex = FindByNameOrIndex(coders.GetCount(), *m_options.Coder,
                                          [&](int i) { return coders.GetAt(i)->GetName(); });
    if (choice.CoderIndex < 0) {
        UsageError("unknown coder '" + *m_options.Coder + "' (--list-coders lists them)");
        return false;
    }
    return true;
}

bool CCliApplication::ChoosePreset(ConversionChoice& choice) {
    if (m_catalogue->IsPassThrough(choice.CoderIndex)) return true;
    CCoder* coder = m_catalogue->GetCoders().GetAt(choice.CoderIndex);
    const CPresetList& presets = coder->GetPresets();
    if (presets.GetCount() == 0) {
        UsageError("coder '" + coder->GetName() + "' has no presets");
        return false;
    }
    if (!m_options.Preset) {
        // A coder picked here starts at its first preset, as when it is picked in the window.
        const int saved = m_options.Coder ? 0 : std::max(0, m_settings->PresetIndex);
        choice.PresetIndex = std::min(saved, presets.GetCount() - 1);
        return true;
    }
    choice.PresetIndex = FindByNameOrIndex(presets.GetCount(), *m_options.Preset,
                                           [&](int i) { return presets.GetAt(i)->Name; });
    if (choice.PresetIndex < 0) {
        UsageError("coder '" + coder->GetName() + "' has no preset '" + *m_options.Preset +
                   "' (--list-coders lists them)");
        return false;
    }
    return true;
}

bool CCliApplication::ApplyRunSettings() {
    if (m_options.Output) {
        // A missing folder is made when the conversion starts (a dry run writes nothing).
        if (platform::PathExists(*m_options.Output) && !platform::IsDirectory(*m_options.Output)) {
            PrintError("output folder " + *m_options.Output + " is not a folder");
            return false;
        }
        m_settings->General.OutputFolder = *m_options.Output;
        m_settings->General.OutputFolderSameAsOriginal = 0;
    }
    if (m_options.CopyTags) m_settings->General.CopyTags = *m_options.CopyTags ? 1 : 0;
    if (m_options.FullCheck) m_settings->General.FullCheck = *m_options.FullCheck;
    if (m_options.LoudnessTags) m_settings->General.LoudnessTags = *m_options.LoudnessTags ? 1 : 0;
    if (m_options.MaxSampleRate) m_settings->General.MaxSampleRate = *m_options.MaxSampleRate;
    if (m_options.MaxBitDepth) m_settings->General.MaxBitDepth = *m_options.MaxBitDepth;
    if (m_options.KeepTree) m_settings->General.KeepFolderTree = 1;
    if (m_options.ExistingOutput) m_settings->General.ExistingOutput = *m_options.ExistingOutput;
    if (m_options.NamePattern) m_settings->General.NamePattern = *m_options.NamePattern;
    if (!m_options.Shard.empty()) {
        std::string error;
        CShard::Parse(m_options.Shard, m_shard, error);  // read once by CliOptions already
    }
    m_core = std::make_unique<CCore>();
    const int threads = m_options.Threads.value_or(std::max(1, m_settings->Core.ThreadsCount));
    m_core->SetThreadsCount(threads);
    if (m_options.PriorityIndex) {
        m_core->SetPriority(PriorityClassForIndex(*m_options.PriorityIndex));
    }
    return true;
}

bool CCliApplication::BuildFileList() {
    m_files = std::make_unique<CFileList>();
    // What an earlier listing read is taken as it is while the files stay the same.
    const std::string cachePath =
        TrailingSeparator(platform::CurrentDirectory(), true) + CFileInfoCache::kFileName;
    m_infoCache = std::make_unique<CFileInfoCache>();
    m_infoCache->Load(cachePath);
    m_files->SetInfoCache(m_infoCache.get());
    m_conversion = std::make_unique<CConversion>(*m_settings, *m_files, *m_catalogue, *m_core);
    // Files named one after another (a shell pattern gives thousands) are read together, on
    // every processor; a folder or a playlist between them keeps its place in the list.
    std::vector<std::string> named;
    for (const std::string& input : m_options.Inputs) {
        if (!platform::PathExists(input)) {
            PrintError(PrintableText(input) + ": no such file or folder");
            return false;
        }
        const bool isFolder = platform::IsDirectory(input);
        if (!isFolder && LowerAscii(PathExtension(input)) != ".m3u") {
            named.push_back(input);
            continue;
        }
        if (!AddNamedFiles(named)) return false;
        // What a folder or a playlist holds besides audio is passed over, not listed.
        CFileListEditor editor(*m_files, m_settings->General, m_audio.get());
        editor.SetShard(&m_shard);
        AddOutcome outcome;
        if (isFolder) {
            editor.AddFolder(input, true, &outcome);
        } else if (!editor.AppendPlaylist(input, &outcome)) {
            PrintError(PrintableText(editor.GetLastError()));
            return false;
        }
        TakeOutcome(outcome);
    }
    if (!AddNamedFiles(named)) return false;
    if (!m_infoCache->Save(cachePath)) PrintError("warning: cannot write " + cachePath);
    if (m_files->Count() == 0 && !m_shard.IsWhole()) {
        // Another machine's shares may hold every file of a small library.
        std::fprintf(stderr, "kelto-cli: share %d of %d holds no file\n", m_shard.GetIndex(),
                     m_shard.GetCount());
        m_shareEmpty = true;
        return true;
    }
    if (m_files->Count() == 0) {
        UsageError("the inputs hold no audio file");
        return false;
    }
    return true;
}

bool CCliApplication::AddNamedFiles(std::vector<std::string>& files) {
    if (files.empty()) return true;
    // The user asked for these files by name: leaving one out would be a silent loss.
    bool usable = true;
    std::vector<std::string> audio;
    for (const std::string& path : files) {
        if (m_audio->IsAudio(path)) {
            audio.push_back(path);
        } else {
            PrintError(PrintableText(path) + ": not an audio file");
            usable = false;
        }
    }
    files.clear();
    const int first = m_files->Count();
    AddOutcome outcome;
    CFileListEditor editor(*m_files, m_settings->General, m_audio.get());
    editor.SetShard(&m_shard);
    editor.AddPaths(audio, &outcome);
    for (int i = first; i < m_files->Count(); ++i) m_namedFiles.insert(m_files->Get(i));
    for (const AddOutcome::Refusal& refusal : outcome.Unreadable) {
        PrintError(PrintableText(refusal.Path) + ": " + refusal.Reason);
    }
    return usable && outcome.Unreadable.empty();
}

void CCliApplication::TakeOutcome(const AddOutcome& outcome) {
    for (const AddOutcome::Refusal& refusal : outcome.Unreadable) {
        PrintError("warning: " + PrintableText(refusal.Path) + ": " + refusal.Reason + "; skipped");
    }
    m_inputs.Unreadable += static_cast<int>(outcome.Unreadable.size());
    m_inputs.NotAudio += outcome.NotAudio;
}

bool CCliApplication::MakeOutputFolder() {
    if (!m_options.Output || platform::IsDirectory(*m_options.Output)) return true;
    platform::Error error;
    if (platform::MakeFolders(*m_options.Output, &error)) return true;
    PrintError("output folder " + *m_options.Output + " cannot be made: " + error.text);
    return false;
}

bool CCliApplication::PrepareJobs(const ConversionChoice& choice) {
    CCliReport report;
    m_conversion->Apply(choice, {}, &report);
    bool usable = true;
    for (const CFileInfo* file : report.Undecodable()) {
        const bool named = m_namedFiles.count(file) != 0;
        PrintError(PrintableText(file->Path) + ": no decoder is available for the format " +
                   file->FormatName + (named ? "" : "; skipped"));
        if (named) usable = false;
    }
    for (const auto& [file, reason] : report.NotFitted()) {
        const bool named = m_namedFiles.count(file) != 0;
        PrintError(PrintableText(file->Path) + ": " + reason + (named ? "" : "; skipped"));
        if (named) usable = false;
    }
    if (m_conversion->IsDecodeOnly(choice)) {
        // Such a file gets no job: it is what decoding would make of it.
        for (int i = 0; i < m_files->Count(); ++i) {
            const CFileInfo* file = m_files->Get(i);
            if (!file->Decoder && file->FormatId == kFormatWAV) {
                PrintError(PrintableText(file->Path) + ": a WAV file already, nothing to decode");
            }
        }
    }
    // Converting the rest would leave out files that nothing is wrong with.
    return usable && !report.TempFileFailed();
}

int CCliApplication::Convert(const ConversionChoice& choice) {
    if (!MakeOutputFolder()) return kExitUsage;
    platform::SignalWatcher signals;
    std::vector<RunJob> jobs = CRunMonitor::CollectJobs(*m_files);
    // The codec programs' own chatter would mix with the progress and the summary; what a
    // failed one said comes with its job's summary line.
    m_conversion->SetShowPrograms(false);
    if (m_conversion->Start(choice, nullptr) == 0) {
        std::printf("Nothing to convert.\n");
        return CRunSummary::PrintInputs(stdout, m_inputs, "");
    }
    CRunMonitor monitor(*m_core, signals, platform::IsStandardErrorTerminal());
    monitor.WaitForEnd(jobs);
    m_conversion->FinishRun();
    const std::vector<RunNote> notes = CollectRunNotes(*m_files, m_conversion->GetRunHooks());
    CRunSummary summary(jobs, notes, m_inputs);
    summary.SetVerifiedCount(CountVerified(*m_files, m_conversion->GetRunHooks()));
    summary.SetOrphanedOutputs(m_conversion->GetRunHooks().GetOrphanedOutputs());
    summary.SetAlbumsWithoutGain(m_conversion->GetRunHooks().GetAlbumsWithoutGain());
    return summary.Print(stdout, monitor.GetStopSignal());
}
