#pragma once

#include <QAbstractTableModel>
#include <array>

class CFileList;
class CLanguageManager;

// The main window's file list as Qt sees it: the rows are CFileList's entries themselves, so a
// list of 100,000 files costs no widget item per cell. A refresh is one model reset.
class CFileListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kName, kSize, kFormat, kDecoder, kCoder, kPreset, kColumnCount };

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
    // The header texts, from the language texts.
    void ReloadHeaders();

    QString Text(int row, int column) const;

private:
    const CFileList& m_files;
    const CLanguageManager& m_language;
    std::array<QString, kColumnCount> m_headers;
};
