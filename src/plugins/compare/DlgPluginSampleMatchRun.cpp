// The comparison run of the SampleMatch dialog: a thread of its own that reports through
// queued calls.

#include <QMetaObject>
#include <QProgressBar>
#include <algorithm>
#include <new>
#include <system_error>

#include "plugins/compare/DlgPluginSampleMatch.h"
#include "plugins/compare/WavComparison.h"
#include "ui/QtText.h"
#include "ui/SortListViewEx.h"

namespace {

constexpr std::uint32_t kTextNotAvailable = 240;

// Runs on the comparison thread and hands every report to the dialog's thread. The position
// goes over only when the bar would show a change: a run of a few gigabytes compares hundreds
// of thousands of blocks.
class CRunRelay final : public IComparisonSink {
public:
    CRunRelay(CDlgPluginSampleMatch* dialog, std::uint64_t run) : m_dialog(dialog), m_run(run) {}

    void SetProgressRange(int, int) override {}

    void SetProgressPosition(std::int64_t position) override {
        // The bar stays full when a run of several test files passes its end.
        position = std::clamp<std::int64_t>(position, 0, CWavComparison::kProgressRange);
        if (position == m_position) return;
        m_position = position;
        QMetaObject::invokeMethod(
            m_dialog,
            [dialog = m_dialog, run = m_run, position] { dialog->OnRunProgress(run, position); },
            Qt::QueuedConnection);
    }

    void SetResult(std::size_t index, const ComparisonResult& result) override {
        QMetaObject::invokeMethod(
            m_dialog,
            [dialog = m_dialog, run = m_run, index, result] {
                dialog->OnRunResult(run, index, result);
            },
            Qt::QueuedConnection);
    }

private:
    CDlgPluginSampleMatch* m_dialog;
    std::uint64_t m_run;
    std::int64_t m_position = -1;
};

}  // namespace

void CDlgPluginSampleMatch::OnStart() {
    if (m_running || m_originalPath.empty() || m_testPaths.empty()) return;
    const std::uint64_t run = ++m_run;
    m_stop = false;
    try {
        m_worker = std::thread([this, run, original = m_originalPath, tests = m_testPaths] {
            try {
                CRunRelay relay(this, run);
                CWavComparison comparison;
                comparison.Compare(original, tests, relay, &m_stop);
            } catch (const std::bad_alloc&) {
                // No buffers: the run ends as if the original could not be opened.
            }
            QMetaObject::invokeMethod(
                this, [this, run] { OnRunFinished(run); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        return;  // no thread to be had: nothing runs, as when the original cannot be opened
    }
    m_running = true;
    SetRunning(true);
}

void CDlgPluginSampleMatch::StopRun() {
    if (!m_worker.joinable()) return;
    m_stop = true;
    m_worker.join();
    m_stop = false;
    m_running = false;
    SetRunning(false);
}

void CDlgPluginSampleMatch::OnRunProgress(std::uint64_t run, std::int64_t position) {
    if (!m_running || run != m_run) return;
    m_progress->setValue(static_cast<int>(position));
}

void CDlgPluginSampleMatch::OnRunResult(std::uint64_t run, std::size_t index,
                                        const ComparisonResult& result) {
    if (!m_running || run != m_run) return;
    const QString text = result.compared ? ToQString(FormatDifference(result.Percent()))
                                         : m_texts.GetString(kTextNotAvailable);
    m_list->AddItem(static_cast<int>(index), 2, text);
}

void CDlgPluginSampleMatch::OnRunFinished(std::uint64_t run) {
    if (!m_running || run != m_run) return;
    m_worker.join();
    m_running = false;
    SetRunning(false);
    m_list->AutosizeColumns();
}
