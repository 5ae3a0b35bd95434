// The main window's job commands: Apply, Reset, the command lines, Start and the end of a run.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include "app/DlgConsole.h"
#include "app/DlgJobControl.h"
#include "app/DlgMain.h"
#include "app/FileListModel.h"
#include "base/Log.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "fileinfo/FileInfo.h"
#include "session/RunFailures.h"
#include "ui/ListViewEx.h"
#include "ui/MessageBoxes.h"

namespace {

constexpr int kTextStart = 101;
constexpr int kTextWarning = 120;
constexpr int kTextCancel = 124;
constexpr int kTextRunFailed = 181;
constexpr int kTextNoTempFile = 183;
constexpr int kTextRunNotes = 192;
constexpr int kTextOrphans = 341;
constexpr int kTextNoAlbumGain = 352;
constexpr int kTextVerified = 254;
constexpr int kTextDiffering = 260;
constexpr int kTextUnprepared = 261;
constexpr int kTextDropsEdits = 262;
constexpr int kTextApplyFirst = 263;
constexpr int kTextApplyAndStart = 264;
constexpr int kTextStartAsPrepared = 265;
constexpr int kTextBesideSource = 266;
constexpr int kTextConverted = 275;
constexpr int kTextFailed = 276;
constexpr int kTextSkipped = 277;
constexpr int kTextStopped = 278;
constexpr int kTextRunFinished = 279;
constexpr int kTextMoreFiles = 284;
// Files named in a box; the rest are counted.
constexpr std::size_t kNamedFiles = 10;

}  // namespace

// What Apply finds, shown as the main window's message boxes.
class CDlgMain::CReport final : public IConversionReport {
public:
    explicit CReport(CDlgMain& window) : m_window(window) {}

    void ReportNoDecoder(const CFileInfo& file) override {
        m_window.ShowError(CConversion::NoDecoderText(file));
    }
    void ReportNotFitted(const CFileInfo& file, const std::string& reason) override {
        m_window.ShowError(CConversion::NotFittedText(file, reason));
    }
    void ReportOverwrite() override {
        m_window.m_services.MessageBoxes.Show(&m_window, CConversion::OverwriteText(),
                                              m_window.GetStdString(kTextWarning),
                                              IMessageBoxes::Icon::Warning);
    }

    void ReportNoTempFile(const CFileInfo& file, const std::string& folder,
                          const std::string& reason) override {
        // One box for all of them: a folder that cannot be written fails every file.
        if (m_noTempFiles.empty()) m_noTempFolder = folder + " (" + reason + ")";
        m_noTempFiles.push_back(file.Path);
    }

    // Shows what was collected; called once Apply is over.
    void ShowCollected() {
        if (m_noTempFiles.empty()) return;
        std::string text = m_window.GetStdString(kTextNoTempFile) + "\n" + m_noTempFolder + "\n";
        for (std::size_t i = 0; i < m_noTempFiles.size() && i < kNamedFiles; ++i) {
            text += "\n" + m_noTempFiles[i];
        }
        if (m_noTempFiles.size() > kNamedFiles) {
            text += "\n(+" + std::to_string(m_noTempFiles.size() - kNamedFiles) + ")";
        }
        m_window.ShowError(text);
        m_noTempFiles.clear();
    }

private:
    CDlgMain& m_window;
    std::string m_noTempFolder;
    std::vector<std::string> m_noTempFiles;
};

void CDlgMain::WaitForWorkers() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_core.WaitForWorkers();
    QApplication::restoreOverrideCursor();
}

std::vector<int> CDlgMain::TargetRows() const { return GetSelectedRows(); }

void CDlgMain::ShowCommandLines() {
    const std::vector<int> rows = GetSelectedRows();
    const CFileInfo* file = rows.size() == 1 ? m_files.Get(rows.front()) : nullptr;
    m_coderEdit->setText(file && file->Coder ? ToQString(file->Coder->GetCommandLine())
                                             : QString());
    m_decoderEdit->setText(file && file->Decoder ? ToQString(file->Decoder->GetCommandLine())
                                                 : QString());
}

void CDlgMain::OnEditCommandLine(bool coderEdit, const QString& text) {
    const std::vector<int> rows = GetSelectedRows();
    if (rows.size() != 1) return;
    CFileInfo* file = m_files.Get(rows.front());
    if (!file) return;
    CCodec* job = coderEdit ? static_cast<CCodec*>(file->Coder.get())
                            : static_cast<CCodec*>(file->Decoder.get());
    if (job) job->SetCommandLine(ToStdString(text));
}

void CDlgMain::OnApplySettings() {
    WaitForWorkers();
    const std::vector<int> rows = TargetRows();
    m_fileList->setUpdatesEnabled(false);
    CReport report(*this);
    m_conversion.Apply(GetChoice(), rows, &report);
    report.ShowCollected();
    if (m_files.Count() > 0) {
        m_model->RowsChanged(rows.empty() ? 0 : rows.front(),
                             rows.empty() ? m_files.Count() - 1 : rows.back());
    }
    m_fileList->AutosizeColumns();
    m_fileList->setUpdatesEnabled(true);
    ShowCommandLines();
}

void CDlgMain::OnResetSettings() {
    WaitForWorkers();
    const std::vector<int> rows = TargetRows();
    m_fileList->setUpdatesEnabled(false);
    m_conversion.Reset(rows);
    if (m_files.Count() > 0) m_model->RowsChanged(0, m_files.Count() - 1);
    m_fileList->AutosizeColumns();
    m_fileList->setUpdatesEnabled(true);
    ShowCommandLines();
}

std::string CDlgMain::DescribePrepared(const PreparedWith& with, const std::string& folder) const {
    std::string text = with.CoderName;
    if (!with.PresetName.empty()) text += ", " + with.PresetName;
    return text + ", " + (folder.empty() ? GetStdString(kTextBesideSource) : folder);
}

std::string CDlgMain::StartQuestion(const StartCheck& check, const ConversionChoice& choice) const {
    const auto fill = [this](int id, const QString& value) {
        return ToStdString(GetString(id)
                               .replace(QStringLiteral("%s"), value)
                               .replace(QStringLiteral("%d"), value));
    };
    const auto names = [&](const std::vector<int>& rows, bool held) {
        std::string text;
        for (std::size_t i = 0; i < rows.size() && i < kNamedFiles; ++i) {
            const CFileInfo* file = m_files.Get(rows[i]);
            text += "\n    " + file->Name;
            const PreparedWith* with = held ? m_conversion.GetPrepared(*file) : nullptr;
            if (with) text += " (" + DescribePrepared(*with, with->OutputFolder) + ")";
        }
        if (rows.size() > kNamedFiles) {
            text += "\n    " + fill(kTextMoreFiles, QString::number(rows.size() - kNamedFiles));
        }
        return text;
    };
    const std::string shown =
        DescribePrepared(m_conversion.Describe(choice), m_conversion.GetOutputFolder());
    std::string text;
    if (!check.Differing.empty()) {
        text += fill(kTextDiffering, ToQString(shown)) + names(check.Differing, true) + "\n\n";
    }
    if (!check.Unprepared.empty()) {
        text += GetStdString(kTextUnprepared) + names(check.Unprepared, false) + "\n\n";
    }
    if (!check.Edited.empty()) {
        text += fill(kTextDropsEdits, QString::number(check.Edited.size())) + "\n\n";
    }
    return text + fill(kTextApplyFirst, ToQString(shown));
}

void CDlgMain::OnStart() {
    if (m_jobWindow) return;
    WaitForWorkers();
    CReport report(*this);
    const ConversionChoice choice = GetChoice();
    // Start runs what the rows hold; where that is not what the window shows, the user says
    // which of the two counts.
    const StartCheck check = m_conversion.CheckStart(choice);
    if (check.Result == StartCheck::Outcome::Ask) {
        const int answer = m_services.MessageBoxes.Ask(
            this, StartQuestion(check, choice), ToStdString(WithoutMnemonic(GetString(kTextStart))),
            {GetStdString(kTextApplyAndStart), GetStdString(kTextStartAsPrepared),
             GetStdString(kTextCancel)});
        if (answer != 0 && answer != 1) return;
        if (answer == 0) m_conversion.Apply(choice, check.ToApply, &report);
    }
    // With nothing prepared, Start prepares what Apply settings would: the selected rows.
    const int queued = m_conversion.Start(choice, &report, TargetRows());
    report.ShowCollected();
    if (m_files.Count() > 0) m_model->RowsChanged(0, m_files.Count() - 1);
    m_fileList->AutosizeColumns();
    ShowCommandLines();
    if (queued == 0) return;

    ShowRunStates();
    QTimer states;
    connect(&states, &QTimer::timeout, this, &CDlgMain::ShowRunStates);
    states.start(kRunStatesMilliseconds);
    CDlgJobControl window(&m_settingsSet, GetLanguage(), m_core,
                          QApplication::activeWindow() ? QApplication::activeWindow() : this);
    m_jobWindow = &window;
    window.exec();
    m_jobWindow = nullptr;
    states.stop();
    // A stopped run's workers are still ending their programs; nothing may touch the jobs
    // before they let go of them.
    WaitForWorkers();
    m_conversion.FinishRun();
    ShowRunStates();
    AddHandedOverPaths();
    if (m_closeAfterRun) {
        close();
        return;
    }
    ShowRunSummary();
}

void CDlgMain::ShowRunStates() {
    std::vector<IProcess*> running;
    m_core.GetRunningJobs(running);
    m_model->ShowRunStates(&m_conversion, {running.begin(), running.end()}, !m_core.IsRunning());
}

void CDlgMain::ShowRunSummary() {
    // Kept after each run as well, so that a program that ends without closing keeps it.
    m_infoCache.Save(InfoCachePath());
    const RunCounts counts = m_conversion.CountLastRun({}, true);
    const auto count = [this](int id, int value) {
        return GetString(id).replace(QStringLiteral("%d"), QString::number(value)).toStdString();
    };
    std::string text = count(kTextConverted, counts.Converted);
    if (counts.Failed != 0) text += ", " + count(kTextFailed, counts.Failed);
    if (counts.Skipped != 0) text += ", " + count(kTextSkipped, counts.Skipped);
    if (counts.Stopped != 0) text += ", " + count(kTextStopped, counts.Stopped);
    AddLogLine(text);
    if (counts.Verified != 0) {
        const std::string verified = count(kTextVerified, counts.Verified);
        AddLogLine(verified);
        text += "\n" + verified;
    }
    std::string details;
    std::vector<RunFailure> failures = CollectRunFailures(m_files, false);
    // What the summary counts as stopped is not listed as failed.
    std::erase_if(failures, [this](const RunFailure& failure) {
        return m_conversion.GetRowStatus(*failure.File, {}, true).State != RowState::Failed;
    });
    if (!failures.empty()) {
        details = GetStdString(kTextRunFailed);
        for (const RunFailure& failure : failures) {
            details += "\n" + failure.File->Path + "\n    " + failure.Program + ": " + failure.End;
        }
    }
    const std::vector<RunNote> notes = CollectRunNotes(m_files, m_conversion.GetRunHooks());
    if (!notes.empty()) {
        if (!details.empty()) details += "\n\n";
        details += GetStdString(kTextRunNotes);
        for (const RunNote& note : notes) details += "\n" + note.File->Path + "\n    " + note.Text;
    }
    const std::vector<std::string>& orphans = m_conversion.GetRunHooks().GetOrphanedOutputs();
    if (!orphans.empty()) {
        if (!details.empty()) details += "\n\n";
        details += GetStdString(kTextOrphans);
        for (const std::string& output : orphans) details += "\n" + output;
    }
    const std::vector<std::string> noAlbumGain = m_conversion.GetRunHooks().GetAlbumsWithoutGain();
    if (!noAlbumGain.empty()) {
        if (!details.empty()) details += "\n\n";
        details += GetStdString(kTextNoAlbumGain);
        for (const std::string& album : noAlbumGain) details += "\n" + album;
    }
    m_console->Refresh();
    IMessageBoxes::Icon icon = IMessageBoxes::Icon::Information;
    if (!notes.empty() || !orphans.empty() || !noAlbumGain.empty() || counts.Stopped != 0)
        icon = IMessageBoxes::Icon::Warning;
    if (!failures.empty()) icon = IMessageBoxes::Icon::Error;
    m_services.MessageBoxes.ShowReport(this, text, details, GetStdString(kTextRunFinished), icon);
}
