#include "app/DlgJobControl.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <vector>

#include "core/Core.h"
#include "core/ICore.h"
#include "core/IProcess.h"
#include "core/IProcessJob.h"
#include "core/ProcessPriority.h"
#include "fileinfo/FileInfo.h"
#include "session/ProgressEstimate.h"
#include "settings/SettingsSet.h"
#include "ui/DialogLayout.h"
#include "ui/SortListViewEx.h"

namespace {

constexpr int kTextCaption = 163;
constexpr int kTextGroup = 168;
constexpr int kTextPriority = 138;
constexpr int kTextStop = 161;
constexpr int kTextCoder = 105;
constexpr int kTextDecoder = 149;
constexpr int kTextCpu = 169;
constexpr int kTextStarted = 171;
constexpr int kTextWaiting = 170;
constexpr int kTextTotal = 172;
constexpr int kTextTimeLeft = 191;
constexpr int kColumnTexts[] = {160, 162, 164, 165, 190};
constexpr int kPriorityTexts[] = {139, 140, 141, 142};

QString FileNameOf(const std::string& path) { return ToQString(PathFileName(path)); }

}  // namespace

CDlgJobControl::CDlgJobControl(CSettingsSet* settings, const CLanguageManager* language,
                               CCore& core, QWidget* owner)
    : QDialog(owner),
      CDlgSettingsImpl(settings),
      CDlgLanguageImpl(language),
      m_core(core),
      m_list(new CSortListViewEx(this)),
      m_progress(new QProgressBar(this)),
      m_detail(new QLabel(this)),
      m_priority(new QComboBox(this)) {
    setObjectName(QStringLiteral("dlg227"));
    setWindowTitle(GetString(kTextCaption));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // At the top the run's figures in a frame, beside them the priority and Stop; below, the
    // running jobs and the progress of the whole run.
    auto* group = Named(new QGroupBox(GetString(kTextGroup), this), 1049);
    m_detail->setObjectName(QStringLiteral("ctlDetail"));
    m_detail->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_detail->setAccessibleName(GetString(kTextGroup));
    // Room for the figures of a long run, whatever they are now.
    QStringList widest;
    for (int id : {kTextCpu, kTextStarted, kTextWaiting, kTextTotal, kTextTimeLeft}) {
        widest << GetString(static_cast<std::uint32_t>(id)) + QStringLiteral(": 100000 (100.00%)");
    }
    m_detail->setMinimumSize(
        m_detail->fontMetrics().boundingRect(QRect(), 0, widest.join(QLatin1Char('\n'))).size());
    auto* figures = new QVBoxLayout(group);
    figures->addWidget(m_detail);

    auto* label = Named(new QLabel(GetString(kTextPriority), this), 1052);
    Named(m_priority, 1032)->setAccessibleName(WithoutMnemonic(GetString(kTextPriority)));
    label->setBuddy(m_priority);
    for (int id : kPriorityTexts) m_priority->addItem(GetString(static_cast<std::uint32_t>(id)));
    m_priority->setMinimumWidth(TextSize(*this, 24, 0).width());
    auto* stop = Named(new QPushButton(GetString(kTextStop), this), 1038);
    auto* side = new QVBoxLayout;
    side->addWidget(label);
    side->addWidget(m_priority);
    side->addStretch(1);
    side->addWidget(stop, 0, Qt::AlignRight);
    auto* top = new QHBoxLayout;
    top->addWidget(group, 1);
    top->addLayout(side);

    Named(m_list, 1039)->setAccessibleName(GetString(kTextCaption));
    m_list->setMinimumSize(TextSize(*this, 96, 6));
    int column = 0;
    for (int id : kColumnTexts)
        m_list->InsertColumn(column++, GetString(static_cast<std::uint32_t>(id)));
    Named(m_progress, 1006)->setAccessibleName(GetString(kTextStarted));
    m_progress->setTextVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_progress);
    // Tab as one reads the window (the list was made first).
    setTabOrder(m_priority, stop);
    setTabOrder(stop, m_list);

    const int priority = settings->Core.Priority;
    m_priority->setCurrentIndex(priority >= 0 && priority < m_priority->count() ? priority : -1);
    connect(m_priority, &QComboBox::currentIndexChanged, this, &CDlgJobControl::OnPriorityChanged);
    connect(stop, &QPushButton::clicked, this, &CDlgJobControl::OnStop);
    m_timer.setInterval(kRefreshMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &CDlgJobControl::Refresh);
}

void CDlgJobControl::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_timer.isActive()) {
        m_timer.start();
        // The first look at the run comes at once, not half a second later: a run that had
        // nothing it could launch is over already.
        QTimer::singleShot(0, this, &CDlgJobControl::Refresh);
    }
}

void CDlgJobControl::Refresh() {
    if (!isVisible()) return;
    setUpdatesEnabled(false);
    std::vector<IProcess*> running;
    m_core.GetRunningJobs(running);
    const CCore::RunProgress progress = m_core.GetRunProgress();
    const int rows = static_cast<int>(running.size());
    while (m_list->GetItemCount() < rows) {
        m_list->AddItem(0, 0, QString());
    }
    while (m_list->GetItemCount() > rows) m_list->DeleteItem(0);
    for (int i = 0; i < rows; ++i) {
        IProcess* job = running[static_cast<std::size_t>(i)];
        auto* files = dynamic_cast<IProcessJob*>(job);
        m_list->SetItemText(
            i, 0, WithoutMnemonic(GetString(job->GetKind() == 0 ? kTextCoder : kTextDecoder)));
        m_list->SetItemText(i, 1, FileNameOf(job->GetProgramPath()));
        m_list->SetItemText(i, 2, files ? FileNameOf(files->GetJobInputFile()) : QString());
        m_list->SetItemText(i, 3, files ? FileNameOf(files->GetJobOutputFile()) : QString());
        const double jobPercent = progress.PercentOf(job);
        m_list->SetItemText(i, 4,
                            jobPercent >= 0 ? QString::asprintf("%.0f%%", jobPercent) : QString());
    }

    const int total = m_core.GetJobsCount();
    const int started = m_core.GetStartedCount();
    // The whole count, not the 16-bit range of the old progress control: a library of
    // 70,000 files would wrap.
    m_progress->setRange(0, std::max(total, 1));
    m_progress->setValue(std::min(started, std::max(total, 1)));
    const double percent = total > 0 ? 100.0 * started / total : 0.0;
    m_detail->setText(
        GetString(kTextCpu) + QString::asprintf(": %.0f%%\n", m_core.GetCpuUsage()) +
        GetString(kTextStarted) + QString::asprintf(": %d (%.2f%%)\n", started, percent) +
        GetString(kTextWaiting) +
        QString::asprintf(": %d (%.2f%%)\n", total - started, 100.0 - percent) +
        GetString(kTextTotal) + QString::asprintf(": %d", total) + TimeLeftLine(progress));

    if (m_core.IsRunning()) {
        m_list->AutosizeColumns();
        setUpdatesEnabled(true);
        return;
    }
    setUpdatesEnabled(true);
    m_timer.stop();
    done(0);
}

QString CDlgJobControl::TimeLeftLine(const CCore::RunProgress& progress) const {
    return "\n" + GetString(kTextTimeLeft) +
           QString::asprintf(": %s (%.0f%%)", FormatDuration(EstimateSecondsLeft(progress)).c_str(),
                             RunPercent(progress));
}

QString CDlgJobControl::GetDetailText() const { return m_detail->text(); }

void CDlgJobControl::OnStop() {
    m_timer.stop();
    m_core.Stop();
    done(kResultStopped);
}

void CDlgJobControl::StopAndClose() {
    m_timer.stop();
    if (m_core.IsRunning()) m_core.Stop();
    done(0);
}

void CDlgJobControl::reject() { StopAndClose(); }

void CDlgJobControl::closeEvent(QCloseEvent* event) {
    StopAndClose();
    event->accept();
}

void CDlgJobControl::OnPriorityChanged(int index) {
    if (index < 0) return;
    GetSettings()->Core.Priority = index;
    const int priorityClass = PriorityClassForIndex(index);
    if (priorityClass >= 0) m_core.SetPriority(priorityClass);
}
