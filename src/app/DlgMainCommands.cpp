// The main window's list, program and help commands.
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <set>

#include "app/DlgAbout.h"
#include "app/DlgCodecs.h"
#include "app/DlgConsole.h"
#include "app/DlgMain.h"
#include "app/FileListModel.h"
#include "app/MenuBuilder.h"
#include "app/MenuShortcuts.h"
#include "app/Shell.h"
#include "base/AsciiText.h"
#include "base/FileSize.h"
#include "base/Folders.h"
#include "base/Paths.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "fileinfo/FileInfo.h"
#include "platform/File.h"
#include "session/FileListEditor.h"
#include "session/MissingPrograms.h"
#include "session/SheetTracks.h"
#include "ui/Choosers.h"
#include "ui/ListViewEx.h"
#include "ui/MessageBoxes.h"

namespace {

constexpr int kTextAllSupported = 128;
constexpr int kTextCodecsUpdatedTitle = 152;
constexpr int kTextCodecsUpdated = 153;
constexpr int kContextMenu = 215;
constexpr int kTextNoManual = 302;
constexpr int kTextManualNotOpened = 303;
constexpr const char* kPlaylistFilter = "M3U files (*.m3u)|*.m3u||";
constexpr int kTextCueSheets = 370;

// Where the focus is once row has gone from the list, which now holds count rows: it stays on
// its row, which moves up when a row above it goes; when its own row goes, the row that takes
// that place gets it (the last row at the end of the list). -1 is no focus.
int FocusAfterRemoving(int focus, int row, int count) {
    if (focus < 0 || row > focus) return focus;
    if (row < focus) return focus - 1;
    return std::min(focus, count - 1);
}

CodecRow RowOf(CCodec& codec, int sizeMode) {
    return {codec.GetName(), PathFileName(codec.GetProgramPath()),
            FormatFileSize(static_cast<std::int64_t>(codec.GetFileSize()), sizeMode, 2),
            IsProgramMissing(codec.GetProgramPath())};
}

// The packages of folder whose program is gone, unless listed already (gone since the start).
void AddMissing(std::vector<CodecRow>& rows, const std::string& folder) {
    for (const MissingProgram& gone : FindMissingPrograms(folder)) {
        const bool listed = std::any_of(rows.begin(), rows.end(), [&](const CodecRow& row) {
            return row.Missing && row.Name == gone.Name;
        });
        if (!listed) rows.push_back({gone.Name, gone.Program, {}, true});
    }
}

}  // namespace

void CDlgMain::OnCommand(int commandId) {
    // Plug-in commands are taken before the others, as the message filter took them.
    if (commandId >= kFirstPluginCommand) {
        OnPluginCommand(commandId - kFirstPluginCommand);
        return;
    }
    switch (commandId) {
        case kCmdExit:
            close();
            break;
        case kCmdConsole:
            OnConsole();
            break;
        case kCmdCodecsInfo:
            OnCodecsInfo(false);
            break;
        case kCmdCodersInfo:
            OnCodecsInfo(true);
            break;
        case kCmdUpdateCodecs:
            OnUpdateCodecs();
            break;
        case kCmdAddFile:
        case kCmdContextAddFile:
            OnAddFile();
            break;
        case kCmdAddFolder:
        case kCmdContextAddFolder:
            OnAddFolder();
            break;
        case kCmdLoadList:
            OnLoadList();
            break;
        case kCmdSaveList:
            OnSaveList();
            break;
        case kCmdSelectAll:
            SelectAll(true);
            break;
        case kCmdInvertSelection:
            InvertSelection();
            break;
        case kCmdClearSelection:
            SelectAll(false);
            break;
        case kCmdRemoveSelected:
            OnRemoveSelected();
            break;
        case kCmdRemoveDead:
            OnRemoveDeadEntries();
            break;
        case kCmdRemoveAll:
            OnRemoveAll();
            break;
        case kCmdOpenFileFolder:
            OnOpenFileFolder();
            break;
        case kCmdOpenOutputFolder:
            m_services.Shell.Open(m_settingsSet.General.OutputFolder);
            break;
        case kCmdHelp:
            OnHelp();
            break;
        case kCmdHomePage:
            m_services.Shell.Open(kHomePage);
            break;
        case kCmdAbout:
            OnAbout();
            break;
        case kCmdOptions:
            OnOptions();
            break;
        case kCmdNothing:
        default:
            break;
    }
}

void CDlgMain::OnAddFile() {
    // "All supported files |*.flac; *.mp3; ...; *.wav|Waveform PCM (*.wav)|*.wav|" and one
    // entry per decoder with presets. Each extension appears once in the first entry, also
    // one that two decoders list or that is "wav" (which decodes the WAV files coders cannot
    // read).
    std::string all = GetStdString(kTextAllSupported) + " |";
    std::string perDecoder;
    std::set<std::string> named;
    const CDecoderList& decoders = m_catalogue.GetDecoders();
    for (int i = 0; i < decoders.GetCount(); ++i) {
        const CPresetList& presets = decoders.GetAt(i)->GetPresets();
        std::string patterns;
        for (int p = 0; p < presets.GetCount(); ++p) {
            if (presets.GetAt(p)->Extension != ".wav" &&
                named.insert(presets.GetAt(p)->Extension).second)
                all += "*" + presets.GetAt(p)->Extension + "; ";
            patterns += (p ? "; *" : "*") + presets.GetAt(p)->Extension;
        }
        if (presets.GetCount() > 0) {
            perDecoder += decoders.GetAt(i)->GetName() + " (" + patterns + ")|" + patterns + "|";
        }
    }
    // Cue sheets come last, so that the filter index saved by an earlier version still points
    // at the same entry.
    const std::string filter = all + "*.cue; *.wav|Waveform PCM (*.wav)|*.wav|" + perDecoder +
                               GetStdString(kTextCueSheets) + " (*.cue)|*.cue||";
    int filterIndex = m_settingsSet.FilterIndex;
    const std::vector<std::string> paths =
        m_services.Choosers.ChooseFiles(this, filter, filterIndex);
    if (paths.empty()) return;
    CFileListEditor editor(m_files, m_settingsSet.General);
    std::vector<std::string> unreadable;
    for (const std::string& path : paths) AddOnePath(editor, path, unreadable);
    m_settingsSet.FilterIndex = filterIndex;
    RefreshView();
    for (const std::string& error : unreadable) ShowError(error);
}

void CDlgMain::AddOnePath(CFileListEditor& editor, const std::string& path,
                          std::vector<std::string>& unreadable) {
    if (!CSheetTracks::IsSheet(path)) {
        editor.AddPath(path);
        return;
    }
    // A sheet that lists nothing says why: its image is missing, or does not fit it.
    AddOutcome outcome;
    editor.AddPaths({path}, &outcome);
    if (outcome.NotAudio != 0) {
        unreadable.push_back(path + "\n" + GetStdString(CSheetTracks::kTextNoTracks) + " " +
                             PathFileName(path));
    }
    for (const AddOutcome::Refusal& refusal : outcome.Unreadable) {
        unreadable.push_back(refusal.Path + "\n" + refusal.Reason);
    }
}

void CDlgMain::OnAddFolder() {
    const std::string folder = m_services.Choosers.ChooseFolder(this);
    if (folder.empty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CFileListEditor(m_files, m_settingsSet.General).AddFolder(folder, true);
    QApplication::restoreOverrideCursor();
    RefreshView();
}

void CDlgMain::OnHelp() {
    const std::string manual = m_workingFolder->GetManualPath();
    const auto naming = [&](int id) {
        return ToStdString(GetString(id).replace(QStringLiteral("%s"), ToQString(manual)));
    };
    if (!FileExists(manual)) {
        ShowError(naming(kTextNoManual));
    } else if (!m_services.Shell.Open(manual)) {
        ShowError(naming(kTextManualNotOpened));
    }
}

void CDlgMain::OnDrop(const std::vector<std::string>& paths) {
    CFileListEditor editor(m_files, m_settingsSet.General);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<std::string> unreadable;
    // A dropped folder is added as Add folder adds it: a drop that lists nothing looks broken.
    for (const std::string& path : paths) {
        if (platform::IsDirectory(path)) {
            editor.AddFolder(path, true);
        } else if (LowerAscii(PathExtension(path)) == ".m3u") {
            if (!editor.AppendPlaylist(path)) unreadable.push_back(editor.GetLastError());
        } else {
            AddOnePath(editor, path, unreadable);
        }
    }
    QApplication::restoreOverrideCursor();
    RefreshView();
    for (const std::string& error : unreadable) ShowError(error);
}

void CDlgMain::OnHandOver(const std::vector<std::string>& paths) {
    m_handedOver.insert(m_handedOver.end(), paths.begin(), paths.end());
    // Added from the event loop, not inside the socket's handler: a folder may take a while.
    if (!paths.empty()) QTimer::singleShot(0, this, &CDlgMain::AddHandedOverPaths);
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

void CDlgMain::AddHandedOverPaths() {
    // A drop is refused while the modal job window is open: these wait for the end of the run.
    if (m_jobWindow || m_handedOver.empty()) return;
    std::vector<std::string> paths;
    paths.swap(m_handedOver);
    OnDrop(paths);
}

void CDlgMain::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CDlgMain::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths.push_back(ToStdString(url.toLocalFile()));
    }
    event->acceptProposedAction();
    OnDrop(paths);
}

void CDlgMain::OnLoadList() {
    const std::string path = m_services.Choosers.ChooseOpenFile(this, kPlaylistFilter);
    if (path.empty()) return;
    WaitForWorkers();
    CFileListEditor editor(m_files, m_settingsSet.General);
    // A playlist that cannot be read is reported; the list then holds what was read of it.
    if (!editor.LoadPlaylist(path)) ShowError(editor.GetLastError());
    RefreshView();
}

void CDlgMain::OnSaveList() {
    const std::string path = m_services.Choosers.ChooseSaveFile(this, kPlaylistFilter);
    if (path.empty()) return;
    CFileListEditor editor(m_files, m_settingsSet.General);
    if (!editor.SavePlaylist(path)) ShowError(editor.GetLastError());
    RefreshView();
}

std::vector<int> CDlgMain::GetSelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_fileList->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CDlgMain::SelectRows(const std::vector<int>& rows) {
    QItemSelection selection;
    for (int row : rows) {
        if (row < 0 || row >= m_model->rowCount()) continue;
        selection.select(m_model->index(row, 0), m_model->index(row, m_model->columnCount() - 1));
    }
    m_fileList->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void CDlgMain::SelectAll(bool select) {
    if (select) {
        m_fileList->selectAll();
    } else {
        m_fileList->clearSelection();
    }
}

void CDlgMain::InvertSelection() {
    const int rows = m_model->rowCount();
    if (rows == 0) return;
    const QItemSelection all(m_model->index(0, 0),
                             m_model->index(rows - 1, m_model->columnCount() - 1));
    m_fileList->selectionModel()->select(all, QItemSelectionModel::Toggle);
}

void CDlgMain::OnRemoveSelected() {
    const std::vector<int> rows = GetSelectedRows();
    if (rows.empty()) return;
    WaitForWorkers();
    const QModelIndex current = m_fileList->currentIndex();
    int focus = current.isValid() ? current.row() : -1;
    m_fileList->setUpdatesEnabled(false);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        m_files.Remove(*row);
        focus = FocusAfterRemoving(focus, *row, m_files.Count());
    }
    m_model->Refresh();
    if (m_model->rowCount() > 0) {
        const int keep = focus >= 0 ? focus : 0;
        m_fileList->setCurrentIndex(m_model->index(keep, 0));
        SelectRows({keep});
    }
    m_fileList->AutosizeColumns();
    m_fileList->setUpdatesEnabled(true);
}

void CDlgMain::OnRemoveDeadEntries() {
    WaitForWorkers();
    m_fileList->setUpdatesEnabled(false);
    for (int i = m_files.Count() - 1; i >= 0; --i) {
        if (!platform::PathExists(m_files.Get(i)->Path)) m_files.Remove(i);
    }
    m_model->Refresh();
    m_fileList->setUpdatesEnabled(true);
}

void CDlgMain::OnRemoveAll() {
    WaitForWorkers();
    m_files.Clear();
    RefreshView();
}

void CDlgMain::OnContextMenu(const QPoint& position) {
    LanguageMenu menu;
    if (!GetLanguage()->GetMenu(kContextMenu, menu) || menu.items.empty()) return;
    const LanguageMenuItem& popup = menu.items.front();
    QMenu context(this);
    m_contextMenu = &context;
    CMenuBuilder([this](int id) { OnCommand(id); }, MenuShortcut).FillMenu(context, popup.children);
    context.exec(m_fileList->viewport()->mapToGlobal(position));
    m_contextMenu = nullptr;
}

void CDlgMain::OnOpenFileFolder() {
    const std::vector<int> rows = GetSelectedRows();
    if (rows.empty()) return;
    if (const CFileInfo* file = m_files.Get(rows.back())) m_services.Shell.Open(file->Folder);
}

void CDlgMain::OnUpdateCodecs() {
    WaitForWorkers();
    setUpdatesEnabled(false);
    const int coderIndex = m_coderBox->currentIndex();
    const int presetIndex = m_presetBox->currentIndex();
    m_presetBox->clear();
    // The files' jobs are copies that keep their own preset lists, so they outlive the reload.
    LoadCatalogue();
    FillCoderBox();
    const int count = m_coderBox->count();
    if (count > 0) {
        const QSignalBlocker block(m_coderBox);
        m_coderBox->setCurrentIndex(std::clamp(coderIndex, 0, count - 1));
    }
    MakeCoderCurrent(m_coderBox->currentIndex());
    m_services.MessageBoxes.Show(this, GetStdString(kTextCodecsUpdated),
                                 GetStdString(kTextCodecsUpdatedTitle),
                                 IMessageBoxes::Icon::Information);
    OnResetSettings();
    FillPresets(presetIndex);
    setUpdatesEnabled(true);
}

void CDlgMain::OnCodecsInfo(bool codersOnly) {
    std::vector<CodecRow> coders;
    std::vector<CodecRow> decoders;
    const CCoderList& coderList = m_catalogue.GetCoders();
    // Whole bytes for the full listing, scaled with 2 decimals for the coders-only one.
    const int sizeMode = codersOnly ? 0 : 1;
    for (int i = 0; i < coderList.GetCount(); ++i) {
        if (!m_catalogue.IsPassThrough(i)) coders.push_back(RowOf(*coderList.GetAt(i), sizeMode));
    }
    AddMissing(coders, GetWorkingFolder().GetCodersFolder());
    if (!codersOnly) {
        const CDecoderList& decoderList = m_catalogue.GetDecoders();
        for (int i = 0; i < decoderList.GetCount(); ++i) {
            decoders.push_back(RowOf(*decoderList.GetAt(i), sizeMode));
        }
        AddMissing(decoders, GetWorkingFolder().GetDecodersFolder());
    }
    CDlgCodecs dialog(std::move(coders), std::move(decoders), &m_settingsSet, GetLanguage(), this);
    dialog.exec();
}

void CDlgMain::OnConsole() { m_console->ShowConsole(); }

void CDlgMain::OnAbout() {
    CDlgAbout about(GetLanguage(), &m_programVersions, CatalogueProgramPaths(m_catalogue),
                    QApplication::activeWindow() ? QApplication::activeWindow() : this);
    about.exec();
}
