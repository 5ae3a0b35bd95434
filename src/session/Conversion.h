#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "session/PreparedRows.h"
#include "session/RowStatus.h"
#include "session/RunHooks.h"

class CCatalogue;
class CCore;
class CFileInfo;
class CFileList;
class COutputNames;
class CSettingsSet;

// How a front end learns what Apply found, instead of message boxes: the main window shows the
// boxes, the command-line front end prints the lines.
class IConversionReport {
public:
    // A target file that no decoder takes and that is not WAV; it is left without jobs.
    virtual void ReportNoDecoder(const CFileInfo& file) = 0;
    // Some file's output would have taken the place of a listed source and was numbered
    // instead (only when ShowWarnings is on).
    virtual void ReportOverwrite() = 0;
    // A target file whose decoder needs a temporary WAV file that cannot be made in folder
    // (reason: the system's words); it is left without jobs. A front end that does not listen
    // shows only the missing jobs.
    virtual void ReportNoTempFile(const CFileInfo& /*file*/, const std::string& /*folder*/,
                                  const std::string& /*reason*/) {}
    // A target file above the highest sample rate or bit depth, or beyond what the coder takes,
    // that its decoding step cannot bring within them (reason: a language text); it is left
    // without jobs, so no program runs for it.
    virtual void ReportNotFitted(const CFileInfo& /*file*/, const std::string& /*reason*/) {}

protected:
    ~IConversionReport() = default;
};

// The coder and preset the user picked: indexes into the coder list and into that coder's
// presets. The last coder is the pass-through coder (decode only).
struct ConversionChoice {
    int CoderIndex = 0;
    int PresetIndex = 0;
};

// Apply, Start and Reset of the file list's jobs, outside any window: the main window and
// kelto-cli both drive a run through it. Everything is lent and must outlive the object.
// Every operation waits first until the core has no worker left, so no job is changed or
// destroyed while a worker of an earlier (stopped) run still holds it.
class CConversion {
public:
    CConversion(CSettingsSet& settings, CFileList& files, CCatalogue& catalogue, CCore& core);
    // Waits for the core's workers and takes the run's hooks back from the core.
    ~CConversion();
    CConversion(const CConversion&) = delete;
    CConversion& operator=(const CConversion&) = delete;

    // Prepares the jobs of the files at rows (every file when rows is empty). True when every
    // target file got its jobs (or, decoding only, is WAV already).
    // No two listed files write one output, and no output is a listed file: a target whose
    // output another listed file already writes (a file not re-applied, or an earlier target)
    // or that would take the place of a listed source gets " (2)" before the extension of its
    // output, or " (3)" and so on, the first that is free. Files not re-applied keep theirs.
    bool Apply(const ConversionChoice& choice, const std::vector<int>& rows,
               IConversionReport* report);
    // Queues every file's decoder and coder job in list order and starts the core. When no file
    // has a job, the files at rows are applied first (every file when rows is empty). The number
    // of jobs queued; 0 means nothing was started.
    int Start(const ConversionChoice& choice, IConversionReport* report,
              const std::vector<int>& rows = {});
    // Drops the jobs of the files at rows (every file when rows is empty).
    void Reset(const std::vector<int>& rows);
    // Before Start: whether the files' jobs hold what choice and the output settings say now.
    // A job whose command line was edited by hand counts as prepared as it was, edits aside.
    StartCheck CheckStart(const ConversionChoice& choice) const;
    // What file's jobs were prepared with; null when Apply did not prepare them.
    const PreparedWith* GetPrepared(const CFileInfo& file) const { return m_prepared.Find(file); }
    // The coder and preset of choice as GetPrepared holds them (no output folder).
    PreparedWith Describe(const ConversionChoice& choice) const;

    // The state of file in the last run (None for a file that was not in it, or was prepared
    // again since). running: the jobs the core runs now; runOver: the core runs no more.
    RowStatus GetRowStatus(const CFileInfo& file,
                           const std::unordered_set<const IProcess*>& running, bool runOver) const;
    // How the files of the last run ended (or stand, while it runs).
    RunCounts CountLastRun(const std::unordered_set<const IProcess*>& running, bool runOver) const;

    // Empty when outputs go beside their sources; otherwise the OutputFolder setting with one
    // trailing "/". With a NamePattern, the pattern names each output below it instead of
    // the kept folder tree (beside the sources, only the pattern's last part counts).
    std::string GetOutputFolder() const;
    // The folder file's output goes to: GetOutputFolder(), and below it, when KeepFolderTree
    // is on and the file came with an added folder, the file's folder relative to the parent
    // of that added folder (adding /m/Jazz puts /m/Jazz/A/x.flac into OUT/Jazz/A/).
    std::string GetOutputFolder(const CFileInfo& file) const;
    // Once the run is over (after the core's workers are waited for): gives outputs that were
    // written apart from an old file their own names back. Call it before reading the files'
    // outputs or the run hooks.
    void FinishRun();
    // What the last Start's run learnt about its files (skipped ones, tag warnings); read it
    // once the run is over.
    const CRunHooks& GetRunHooks() const { return m_hooks; }
    bool IsDecodeOnly(const ConversionChoice& choice) const;
    // The extension choice gives outputs (".flac"; ".wav" when decoding only).
    std::string GetOutputExtension(const ConversionChoice& choice) const;
    // Whether the codec programs Start queues write to kelto's own output (the default, as the
    // console window of each job did) or keep it, for the front end to report when a job fails.
    void SetShowPrograms(bool show) { m_showPrograms = show; }

    // The file the last job of file writes: its coder's output, else its decoder's WAV file
    // when decoding only; empty without jobs.
    static std::string GetFinalOutput(const CFileInfo& file);
    // The message texts of the main window's boxes, from the language texts.
    static std::string NoDecoderText(const CFileInfo& file);
    static std::string OverwriteText();
    static std::string NotFittedText(const CFileInfo& file, const std::string& reason);

private:
    std::vector<CFileInfo*> Targets(const std::vector<int>& rows) const;
    // The output of a track of an image, named after the sheet's tags.
    std::string TrackOutput(const CFileInfo& file, const ConversionChoice& choice) const;
    // The output NamePattern gives file; empty without a pattern (a track always has one).
    std::string NamedOutput(const CFileInfo& file, const ConversionChoice& choice) const;
    enum class Prepared { Yes, NoDecoder, NoTempFile, NotFitted };
    Prepared PrepareFile(CFileInfo& file, const ConversionChoice& choice,
                         const std::string& outputFolder, COutputNames& outputs,
                         const std::unordered_set<std::string>& sources);
    void KeepOutputApart(CFileInfo& file, const ConversionChoice& choice,
                         const std::string& outputFolder, COutputNames& outputs,
                         const std::unordered_set<std::string>& sources);
    bool AnyFileHasJobs() const;
    // Records what file was prepared with: chosen (Describe) and outputFolder.
    void RecordPrepared(const CFileInfo& file, const PreparedWith& chosen,
                        const std::string& outputFolder, bool failed);
    // One line in the program log per file of the last run that ran or failed.
    void LogLastRun() const;

    CSettingsSet& m_settings;
    CFileList& m_files;
    CCatalogue& m_catalogue;
    CCore& m_core;
    bool m_showPrograms = true;
    bool m_outputReplacedSource = false;  // the last Apply numbered an output to spare a source
    std::string m_fitFailure;  // why the last PrepareFile that gave NotFitted could not fit
    CRunHooks m_hooks;
    CPreparedRows m_prepared;
    std::unordered_set<const CFileInfo*> m_lastRun;  // the files the last Start queued
    // The output records the current Apply read, by folder.
    mutable std::unordered_map<std::string, COutputRecord> m_records;
};
