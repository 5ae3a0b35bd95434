// What the main window keeps between runs of the program: the settings, its placement and
// the file list.
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>

#include "app/DlgConsole.h"
#include "app/DlgJobControl.h"
#include "app/DlgMain.h"
#include "base/Folders.h"
#include "platform/File.h"
#include "session/FileListEditor.h"
#include "session/StartupSettings.h"
#include "ui/MessageBoxes.h"

namespace {

constexpr int kTextNotSaved = 117;

WindowPlacement PlacementOf(const QWidget& window) {
    WindowPlacement placement;
    placement.Length = static_cast<std::int32_t>(WindowPlacement::kSize);
    placement.ShowCmd = window.isMaximized()   ? WindowPlacement::kShowMaximized
                        : window.isMinimized() ? WindowPlacement::kShowMinimized
                                               : WindowPlacement::kShowNormal;
    const QRect normal =
        window.isMaximized() || window.isMinimized() ? window.normalGeometry() : window.geometry();
    placement.NormalPosition = {normal.left(), normal.top(), normal.left() + normal.width(),
                                normal.top() + normal.height()};
    placement.MinPosition = {-1, -1};
    placement.MaxPosition = {-1, -1};
    return placement;
}

void ApplyPlacement(QWidget& window, const WindowPlacement& placement) {
    if (placement.Length != static_cast<std::int32_t>(WindowPlacement::kSize)) return;
    const WindowPlacement::Rect& r = placement.NormalPosition;
    if (r.Right > r.Left && r.Bottom > r.Top) {
        window.setGeometry(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    }
    if (placement.ShowCmd == WindowPlacement::kShowMaximized) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
}

}  // namespace

void CDlgMain::LoadState() {
    const std::string problem =
        LoadStartupSettings(m_settingsSet, m_workingFolder->GetSettingsPath());
    if (problem.empty()) {
        ApplyPlacement(*this, m_settingsSet.Window.Placement);
    } else {
        ShowError(problem);
    }
    m_core.SetThreadsCount(m_settingsSet.Core.ThreadsCount);
    const std::string listPath = m_workingFolder->GetFileListPath();
    if (m_settingsSet.General.RememberFileList == 1 && platform::PathExists(listPath)) {
        CFileListEditor editor(m_files, m_settingsSet.General);
        if (!editor.LoadPlaylist(listPath)) ShowError(editor.GetLastError());
        RefreshView();
    }
}

bool CDlgMain::SaveState() {
    m_settingsSet.CoderIndex = m_coderBox->currentIndex();
    m_settingsSet.PresetIndex = m_presetBox->currentIndex();
    m_settingsSet.Window.Placement = PlacementOf(*this);
    bool saved = true;
    if (!m_settingsSet.SaveFile(m_workingFolder->GetSettingsPath())) {
        ShowError(GetStdString(kTextNotSaved));
        saved = false;
    }
    CFileListEditor editor(m_files, m_settingsSet.General);
    if (!editor.SavePlaylist(m_workingFolder->GetFileListPath())) {
        ShowError(editor.GetLastError());
        saved = false;
    }
    return saved;
}

std::string CDlgMain::InfoCachePath() const {
    return TrailingSeparator(m_workingFolder->GetFolder(), true) + CFileInfoCache::kFileName;
}

void CDlgMain::closeEvent(QCloseEvent* event) {
    if (m_jobWindow) {
        // The window manager can close the program while the modal job window is open: stop
        // the run, and finish closing once its workers have let go of the jobs.
        m_closeAfterRun = true;
        m_jobWindow->StopAndClose();
        event->ignore();
        return;
    }
    if (!m_closed && m_workingFolder) {
        emit Closing();
        if (m_core.IsRunning()) m_core.Stop();
        WaitForWorkers();
        // Paths handed over just before the close are kept in the list it saves.
        AddHandedOverPaths();
        SaveState();
        m_infoCache.Save(InfoCachePath());
        m_closed = true;
    }
    if (m_console) m_console->close();
    event->accept();
    QCoreApplication::quit();
}
