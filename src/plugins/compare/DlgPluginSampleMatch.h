#pragma once

#include <QDialog>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "plugins/compare/PluginTexts.h"

class CChoosers;
class CSortListViewEx;
class ICore;
class IChoosers;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
struct ComparisonResult;

// The SampleMatch dialog: an original WAV file, a list of test files and the share of words in
// which each test file differs from the original. Start waits for an original and a test file;
// a test file of another sample rate or channel count than the original's is marked, and a
// line under the list says how many there are. The object lives from InitPlugin to
// DeInitPlugin and is shown any number of times; the original and the test paths stay from one
// showing to the next, and each showing lists the kept test files afresh.
//
// The comparison runs on a thread of its own. It reports to this dialog through queued calls,
// so only the user-interface thread touches the widgets; closing the dialog ends the run and
// waits for the thread.
class CDlgPluginSampleMatch final : public QDialog {
    Q_OBJECT
public:
    CDlgPluginSampleMatch();
    ~CDlgPluginSampleMatch() override;

    void SetLanguage(const void* languageManager) { m_texts.SetLanguageManager(languageManager); }
    void SetCore(ICore* core) { m_core = core; }
    // Not owned; null goes back to the real file dialogs.
    void SetChoosers(IChoosers* choosers);

    // Shows the dialog modally, owned by owner, and returns when it closes.
    void DoModal(QWidget* owner);

    void done(int result) override;

    // Calls from the comparison thread, queued to the user-interface thread. run tells which
    // run reported: a report of a run that was ended is dropped.
    void OnRunProgress(std::uint64_t run, std::int64_t position);
    void OnRunResult(std::uint64_t run, std::size_t index, const ComparisonResult& result);
    void OnRunFinished(std::uint64_t run);

private:
    void CreateControls();
    void InitDialog();
    void InsertColumns();
    void AddTestRow(const std::string& path);
    void SetRunning(bool running);
    void UpdateStart();
    // Marks the rows whose file's format differs from the original's, and says how many.
    void UpdateWarnings();
    void StopRun();

    void OnLoadOriginal();
    void OnAddTestingFiles();
    void OnRemoveTestingFiles();
    void OnStart();

    CPluginTexts m_texts;
    ICore* m_core = nullptr;  // the host's; kept, not used
    std::unique_ptr<CChoosers> m_ownChoosers;
    IChoosers* m_choosers = nullptr;

    std::string m_originalPath;
    std::vector<std::string> m_testPaths;

    CSortListViewEx* m_list = nullptr;
    QLabel* m_originalLabel = nullptr;
    QLineEdit* m_originalBox = nullptr;
    QLabel* m_testsLabel = nullptr;
    QLabel* m_warning = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_loadOriginal = nullptr;
    QPushButton* m_addTests = nullptr;
    QPushButton* m_removeTests = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_close = nullptr;

    std::thread m_worker;
    std::atomic<bool> m_stop{false};
    std::uint64_t m_run = 0;  // the number of the latest run
    bool m_running = false;
};
