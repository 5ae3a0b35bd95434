#include "app/FileListModel.h"

#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "base/FileSize.h"
#include "lang/LanguageManager.h"
#include "fileinfo/FileInfo.h"
#include "session/FileList.h"
#include "ui/QtText.h"

namespace {

// Header texts of the six columns, in order.
constexpr std::array<int, CFileListModel::kColumnCount> kHeaderText = {102, 103, 104,
                                                                       149, 105, 106};

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
            if (index.column() == kName) {
                if (const CFileInfo* file = m_files.Get(index.row())) return ToQString(file->Path);
            }
            return {};
        case Qt::TextAlignmentRole:
            return QVariant::fromValue((index.column() == kSize ? Qt::AlignRight : Qt::AlignLeft) |
                                       Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant CFileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
    if (role == Qt::DisplayRole) return m_headers[static_cast<std::size_t>(section)];
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
    emit dataChanged(index(first, kDecoder), index(last, kPreset));
}

void CFileListModel::ReloadHeaders() {
    for (std::size_t i = 0; i < kHeaderText.size(); ++i) {
        m_headers[i] = ToQString(m_language.GetString(static_cast<std::uint32_t>(kHeaderText[i])));
    }
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}
