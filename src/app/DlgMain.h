#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/PluginList.h"
#include "base/WorkingFolder.h"
#include "core/Core.h"
#include "fileinfo/FileInfoCache.h"
#include "session/Catalogue.h"
#include "session/Conversion.h"
#include "session/FileList.h"
#include "session/ProgramVersions.h"
#include "settings/SettingsSet.h"
#include "ui/DlgLanguageImpl.h"
#include "ui/DlgSettingsImpl.h"

class CCoder;
class CDlgConsole;
class CDlgJobControl;
class CFileListEditor;
class CFileListModel;
class CListViewEx;
class IChoosers;
class IMessageBoxes;
class IShell;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;

// What the main window asks of the desktop: message boxes, file and folder choosers and the
// shell's "open". Tests give their own.
struct MainWindowServices {
    IMessageBoxes& MessageBoxes;
    IChoosers& Choosers;
    IShell& Shell;
};

// The program's only top-level window: the file list, the coder and preset choice, the jobs'
// command lines and Start. It owns the running program's objects and drives them through the
// session layer, which kelto-cli uses too.
class CDlgMain final : public QDialog, public CDlgSettingsImpl, public CDlgLanguageImpl {
    Q_OBJECT
public:
    // Command ids of the menus.
    enum Command {
        kCmdOptions = 32777,
        kCmdConsole = 32778,
        kCmdCodecsInfo = 32807,
        kCmdUpdateCodecs = 32808,
        kCmdExit = 32776,
        kCmdAddFile = 32781,
        kCmdAddFolder = 32782,
        kCmdLoadList = 32784,
        kCmdSaveList = 32785,
        kCmdSelectAll = 32787,
        kCmdInvertSelection = 32788,
        kCmdClearSelection = 32789,
        kCmdRemoveSelected = 32791,
        kCmdRemoveDead = 32792,
        kCmdRemoveAll = 32793,
        kCmdHelp = 32809,
        kCmdHomePage = 32810,
        kCmdAbout = 32796,
        kCmdCodersInfo = 32794,
        kCmdNothing = 32795,
        kCmdContextAddFile = 32799,
        kCmdContextAddFolder = 32800,
        kCmdOpenFileFolder = 32801,
        kCmdOpenOutputFolder = 32802,
    };
    static constexpr int kFirstPluginCommand = 100000;
    static constexpr const char* kHomePage = "https://kelto.org/";

    CDlgMain(const CLanguageManager* language, const MainWindowServices& services);
    ~CDlgMain() override;

    // Builds the window and initialises it from the working folder (the current directory).
    void Initialise();

    // One command of the menus, the context menu or the buttons.
    void OnCommand(int commandId);
    void OnStart();
    void OnApplySettings();
    void OnResetSettings();
    void OnAddFile();
    void OnAddFolder();
    void OnLoadList();
    void OnSaveList();
    void OnRemoveSelected();
    void OnRemoveDeadEntries();
    void OnRemoveAll();
    void OnUpdateCodecs();
    void OnCodecsInfo(bool codersOnly);
    void OnConsole();
    void OnAbout();
    void OnOptions();
    // Opens the manual, or says where it was looked for.
    void OnHelp();
    // The dialog of the plug-in at index, owned by this window; nothing for an unknown index.
    void OnPluginCommand(int index);
    // The paths handed over by a drop, in order; folders are added with their subfolders.
    void OnDrop(const std::vector<std::string>& paths);
    // Adds one file as the add commands do; a cue sheet that lists nothing adds why to
    // unreadable.
    void AddOnePath(CFileListEditor& editor, const std::string& path,
                    std::vector<std::string>& unreadable);
    // The paths of a kelto started later on this working folder: added as a drop adds them (at
    // the end of a run when one is in progress), and the window comes to the front.
    void OnHandOver(const std::vector<std::string>& paths);
    // Rebuilds the whole file list view.
    void RefreshView();
    // Shows in the state column where the files of the run stand; a timer calls it while the
    // run is shown.
    void ShowRunStates();
    // How often the state column follows a run.
    static constexpr int kRunStatesMilliseconds = 500;

    CFileList& GetFiles() { return m_files; }
    CCore& GetCore() { return m_core; }
    CCatalogue& GetCatalogue() { return m_catalogue; }
    CListViewEx* GetFileListView() const { return m_fileList; }
    CFileListModel* GetFileListModel() const { return m_model; }
    CDlgConsole* GetConsole() const { return m_console.get(); }
    // The job window while a run is shown; null otherwise.
    CDlgJobControl* GetJobWindow() const { return m_jobWindow; }
    QMenuBar* GetMenuBar() const { return m_menuBar; }
    QMenu* GetContextMenu() const { return m_contextMenu; }
    // The plug-ins popup, null when the Plugins folder held no library.
    QMenu* GetPluginMenu() const { return m_pluginMenu; }
    const CPluginList& GetPlugins() const { return m_plugins; }
    const CWorkingFolder& GetWorkingFolder() const { return *m_workingFolder; }
    // Selects exactly these rows.
    void SelectRows(const std::vector<int>& rows);
    std::vector<int> GetSelectedRows() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

signals:
    // The window is closing for good: what it holds now is saved, and nothing more may come.
    void Closing();

public slots:
    // Esc does not close the main window.
    void reject() override {}

private:
    class CReport;

    void CreateControls();
    void BuildMenus();
    // F10 opens the menu bar; Enter starts a run only when both its press and its release
    // reached this window.
    void SetUpKeys();
    void LoadPlugins();
    void LoadState();
    bool SaveState();
    void LoadCatalogue();
    void FillCoderBox();
    void MakeCoderCurrent(int index);
    void ShowCoderInfo();
    void FillPresets(int index);
    void OnCoderSelectionChanged(int index);
    void OnCoderActivated(int index);
    void ShowCommandLines();
    void OnEditCommandLine(bool coderEdit, const QString& text);
    void OnContextMenu(const QPoint& position);
    void OnOpenFileFolder();
    // The box at the end of every run: how many files ended how, and the failures.
    void ShowRunSummary();
    // The file information cache's place in the working folder.
    std::string InfoCachePath() const;
    // What Start asks when the files' jobs do not all hold what the window shows.
    std::string StartQuestion(const StartCheck& check, const ConversionChoice& choice) const;
    std::string DescribePrepared(const PreparedWith& with, const std::string& folder) const;
    void SelectAll(bool select);
    void InvertSelection();
    // Waits, with the wait cursor, until no worker of a stopped run holds a job.
    void WaitForWorkers();
    ConversionChoice GetChoice() const;
    std::vector<int> TargetRows() const;
    void ShowError(const std::string& text);
    // Adds the handed-over paths unless a run is in progress.
    void AddHandedOverPaths();

    const MainWindowServices m_services;
    CSettingsSet m_settingsSet;
    CCore m_core;
    CPluginList m_plugins;
    // What listing read from each file, kept in the working folder; lent to m_files.
    CFileInfoCache m_infoCache;
    CFileList m_files;
    CCatalogue m_catalogue;
    CConversion m_conversion;
    std::unique_ptr<CDlgConsole> m_console;
    std::optional<CWorkingFolder> m_workingFolder;
    CProgramVersions m_programVersions;
    CCoder* m_currentCoder = nullptr;

    CFileListModel* m_model = nullptr;
    CListViewEx* m_fileList = nullptr;
    CListViewEx* m_info = nullptr;
    QPushButton* m_start = nullptr;
    QComboBox* m_coderBox = nullptr;
    QComboBox* m_presetBox = nullptr;
    QLabel* m_coderLabel = nullptr;
    QLabel* m_presetLabel = nullptr;
    QLineEdit* m_decoderEdit = nullptr;
    QLineEdit* m_coderEdit = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QMenu* m_contextMenu = nullptr;
    QMenu* m_pluginMenu = nullptr;
    CDlgJobControl* m_jobWindow = nullptr;
    std::vector<std::string> m_handedOver;
    bool m_closeAfterRun = false;
    bool m_closed = false;
};
