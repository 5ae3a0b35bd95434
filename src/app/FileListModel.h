#pragma once

#include <QAbstractTableModel>
#include <array>
#include <unordered_set>

class CConversion;
class CFileList;
class CLanguageManager;
class IProcess;

// The main window's file list as Qt sees it: the rows are CFileList's entries themselves, so a
// list of 100,000 files costs no widget item per cell. A refresh is one model reset.
class CFileListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kName, kSize, kFormat, kDecoder, kCoder, kPreset, kState, kColumnCount };

    CFileListModel(const CFileList& files, const CLanguageManager& language,
                   QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The list changed as a whole (added, removed, loaded).
    void Refresh();
    // The job columns of these rows changed (Apply, Reset).
    void RowsChanged(int first, int last);
    // Where the files of conversion's last run stand: running holds the jobs the core runs
    // now, runOver says it runs no more. Repaints the state column.
    void ShowRunStates(const CConversion* conversion, std::unordered_set<const IProcess*> running,
                       bool runOver);
    // The header texts, from the language texts.
    void ReloadHeaders();

    QString Text(int row, int column) const;
    QVariant ToolTip(int row, int column) const;

private:
    static constexpr std::size_t kStateCount = 8;  // the values of RowState

    const CFileList& m_files;
    const CLanguageManager& m_language;
    std::array<QString, kColumnCount> m_headers;
    std::array<QString, kStateCount> m_stateWords;
    QString m_widestState;
    const CConversion* m_conversion = nullptr;
    std::unordered_set<const IProcess*> m_running;
    bool m_runOver = true;
};
