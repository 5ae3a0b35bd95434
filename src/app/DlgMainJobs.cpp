// The main window's job commands: Apply, Reset, the command lines, Start and the end of a run.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include "app/DlgJobControl.h"
#include "app/DlgMain.h"
#include "app/FileListModel.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "fileinfo/FileInfo.h"
#include "base/Log.h"
#include "session/RunFailures.h"
#include "ui/ListViewEx.h"
#include "ui/MessageBoxes.h"

namespace {

constexpr int kTextError = 119;
constexpr int kTextWarning = 120;
constexpr int kTextRunFailed = 181;
constexpr int kTextNoTempFile = 183;
constexpr int kTextRunNotes = 192;
constexpr int kTextVerified = 254;
// Files named in the box about temporary files; the rest are counted.
constexpr std::size_t kNamedFiles = 10;

}  // namespace

// What Apply finds, shown as the main window's message boxes.
class CDlgMain::CReport final : public IConversionReport {
public:
    explicit CReport(CDlgMain& window) : m_window(window) {}

    void ReportNoDecoder(const CFileInfo& file) override {
        m_window.ShowError(CConversion::NoDecoderText(file));
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

void CDlgMain::OnStart() {
    if (m_jobWindow) return;
    WaitForWorkers();
    CReport report(*this);
    // With nothing prepared, Start prepares what Apply settings would: the selected rows.
    const int queued = m_conversion.Start(GetChoice(), &report, TargetRows());
    report.ShowCollected();
    if (m_files.Count() > 0) m_model->RowsChanged(0, m_files.Count() - 1);
    m_fileList->AutosizeColumns();
    ShowCommandLines();
    if (queued == 0) return;

    CDlgJobControl window(&m_settingsSet, GetLanguage(), m_core,
                          QApplication::activeWindow() ? QApplication::activeWindow() : this);
    m_jobWindow = &window;
    window.exec();
    m_jobWindow = nullptr;
    // A stopped run's workers are still ending their programs; nothing may touch the jobs
    // before they let go of them.
    WaitForWorkers();
    m_conversion.FinishRun();
    if (m_closeAfterRun) {
        close();
        return;
    }
    ShowRunFailures();
}

void CDlgMain::ShowRunFailures() {
    const int verified = CountVerified(m_files, m_conversion.GetRunHooks());
    std::string verifiedText;
    if (verified != 0) {
        verifiedText = GetString(kTextVerified)
                           .replace(QStringLiteral("%d"), QString::number(verified))
                           .toStdString();
        AddLogLine(verifiedText);
    }
    const std::vector<RunNote> notes = CollectRunNotes(m_files, m_conversion.GetRunHooks());
    if (!notes.empty()) {
        std::string text = GetStdString(kTextRunNotes);
        for (const RunNote& note : notes) text += "\n" + note.File->Path + "\n    " + note.Text;
        m_services.MessageBoxes.Show(this, text, GetStdString(kTextWarning),
                                     IMessageBoxes::Icon::Warning);
    }
    const std::vector<RunFailure> failures = CollectRunFailures(m_files, false);
    if (failures.empty()) return;
    std::string text = GetStdString(kTextRunFailed);
    for (const RunFailure& failure : failures) {
        text += "\n" + failure.File->Path + "\n    " + failure.Program + ": " + failure.End;
    }
    if (!verifiedText.empty()) text += "\n\n" + verifiedText;
    m_services.MessageBoxes.Show(this, text, GetStdString(kTextError), IMessageBoxes::Icon::Error);
}
