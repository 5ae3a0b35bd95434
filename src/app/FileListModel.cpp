#include "app/FileListModel.h"

#include "base/FileSize.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "fileinfo/FileInfo.h"
#include "lang/LanguageManager.h"
#include "session/Conversion.h"
#include "session/FileList.h"
#include "ui/ColumnWidth.h"
#include "ui/QtText.h"

namespace {

// Header texts of the columns, in order.
constexpr std::array<int, CFileListModel::kColumnCount> kHeaderText = {102, 103, 104, 149,
                                                                       105, 106, 267};
// The state column's words, in the order of RowState (None has none).
constexpr std::array<int, 8> kStateText = {0, 268, 269, 270, 271, 272, 273, 274};

}  // namespace

CFileListModel::CFileListModel(const CFileList& files, const CLanguageManager& language,
                               QObject* parent)
    : QAbstractTableModel(parent), m_files(files), m_language(language) {
    ReloadHeaders();
}

int CFileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_files.Count();
}

int CFileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QString CFileListModel::Text(int row, int column) const {
    const CFileInfo* file = m_files.Get(row);
    if (!file) return {};
    switch (column) {
        case kName:
            // A track of an image shows its number and title, then the image it comes from.
            if (file->Track) return ToQString(file->Track->OutputName() + " (" + file->Name + ")");
            return ToQString(file->Name);
        case kSize:
            return file->Size == CFileInfo::kUnknownSize
                       ? QString()
                       : ToQString(FormatFileSize(static_cast<std::int64_t>(file->Size), 0, 2));
        case kFormat:
            return ToQString(file->FormatName);
        case kDecoder:
            return file->Decoder ? ToQString(file->Decoder->GetName()) : QString();
        case kCoder:
            return file->Coder ? ToQString(file->Coder->GetName()) : QString();
        case kPreset:
            return ToQString(file->PresetName);
        case kState: {
            if (!m_conversion) return {};
            const RowStatus status = m_conversion->GetRowStatus(*file, m_running, m_runOver);
            return m_stateWords[static_cast<std::size_t>(status.State)];
        }
        default:
            return {};
    }
}

QVariant CFileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return Text(index.row(), index.column());
        case Qt::ToolTipRole:
            return ToolTip(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return QVariant::fromValue((index.column() == kSize ? Qt::AlignRight : Qt::AlignLeft) |
                                       Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant CFileListModel::ToolTip(int row, int column) const {
    const CFileInfo* file = m_files.Get(row);
    if (!file) return {};
    switch (column) {
        case kName:
            return ToQString(file->Path);
        case kFormat:
            return Text(row, column);  // the column may be too narrow for it
        case kDecoder:
        case kCoder:
        case kPreset: {
            // What the row will write, where the user looks at how it is made; the cell's own
            // text first, as the column may be too narrow for it.
            const std::string output = CConversion::GetFinalOutput(*file);
            const QString cell = Text(row, column);
            if (output.empty()) return cell.isEmpty() ? QVariant() : QVariant(cell);
            return cell + QLatin1Char('\n') + ToQString(output);
        }
        case kState:
            if (m_conversion) {
                const RowStatus status = m_conversion->GetRowStatus(*file, m_running, m_runOver);
                if (!status.Reason.empty()) return ToQString(status.Reason);
            }
            return {};
        default:
            return {};
    }
}

QVariant CFileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
    if (role == Qt::DisplayRole) return m_headers[static_cast<std::size_t>(section)];
    // The names give way, so the columns that say what is done to them stay in view.
    if (role == kYieldingColumnRole) return section == kName;
    if (role == kMostCharactersRole) {
        if (section == kFormat || section == kDecoder || section == kCoder) return 16;
        if (section == kPreset) return 22;
    }
    if (role == kWidestTextRole && section == kState) return m_widestState;
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue((section == kSize ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
    }
    return {};
}

void CFileListModel::Refresh() {
    beginResetModel();
    endResetModel();
}

void CFileListModel::RowsChanged(int first, int last) {
    if (first > last || first < 0) return;
    emit dataChanged(index(first, kDecoder), index(last, kState));
}

void CFileListModel::ShowRunStates(const CConversion* conversion,
                                   std::unordered_set<const IProcess*> running, bool runOver) {
    m_conversion = conversion;
    m_running = std::move(running);
    m_runOver = runOver;
    // Only the rows in view are painted again, however long the list.
    if (rowCount() > 0) {
        emit dataChanged(index(0, kState), index(rowCount() - 1, kState), {Qt::DisplayRole});
    }
}

void CFileListModel::ReloadHeaders() {
    for (std::size_t i = 0; i < kHeaderText.size(); ++i) {
        m_headers[i] = WithoutMnemonic(
            ToQString(m_language.GetString(static_cast<std::uint32_t>(kHeaderText[i]))));
    }
    m_widestState.clear();
    for (std::size_t i = 1; i < kStateText.size(); ++i) {
        m_stateWords[i] =
            ToQString(m_language.GetString(static_cast<std::uint32_t>(kStateText[i])));
        if (m_stateWords[i].size() > m_widestState.size()) m_widestState = m_stateWords[i];
    }
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}
