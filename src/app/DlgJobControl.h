#pragma once

#include <QDialog>
#include <QTimer>

#include "core/Core.h"
#include "ui/DlgLanguageImpl.h"
#include "ui/DlgSettingsImpl.h"

class QComboBox;
class QLabel;
class QProgressBar;
class CSortListViewEx;

// The modal window of a run: the running jobs, how far the run has got, the processor time the
// codec programs take, the priority, and Stop. It polls the core every 500 ms on a timer of
// the user-interface thread and closes itself once the core no longer runs.
class CDlgJobControl final : public QDialog, public CDlgSettingsImpl, public CDlgLanguageImpl {
    Q_OBJECT
public:
    static constexpr int kRefreshMilliseconds = 500;
    // The result when the Stop button ended the window.
    static constexpr int kResultStopped = 1038;

    CDlgJobControl(CSettingsSet* settings, const CLanguageManager* language, CCore& core,
                   QWidget* owner);

    // Stops the run and ends the window, as its close box does.
    void StopAndClose();

    CSortListViewEx* GetList() const { return m_list; }
    QString GetDetailText() const;
    QProgressBar* GetProgressBar() const { return m_progress; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

public slots:
    void reject() override;

private:
    void Refresh();
    void OnStop();
    void OnPriorityChanged(int index);
    QString TimeLeftLine(const CCore::RunProgress& progress) const;

    CCore& m_core;
    CSortListViewEx* m_list;
    QProgressBar* m_progress;
    QLabel* m_detail;
    QComboBox* m_priority;
    QTimer m_timer;
};
