#include "ui/Choosers.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "ui/QtText.h"

namespace {

QStringList FilterList(const std::string& filter) {
    return ToQString(ToQtFilter(filter)).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
}

}  // namespace

std::string ToQtFilter(const std::string& windowsFilter) {
    const QStringList parts = ToQString(windowsFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString name = parts[i].trimmed();
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (!pattern.trimmed().isEmpty()) patterns << pattern.trimmed();
        }
        if (name.isEmpty() && patterns.isEmpty()) break;  // the closing "||"
        const QString bracketed =
            QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        const QString alreadyShown =
            QLatin1Char('(') + patterns.join(QStringLiteral("; ")) + QLatin1Char(')');
        if (name.endsWith(bracketed) || name.endsWith(alreadyShown)) {
            filters << name.left(name.size() - (name.endsWith(bracketed) ? bracketed.size()
                                                                         : alreadyShown.size()))
                               .trimmed() +
                           QLatin1Char(' ') + bracketed;
        } else {
            filters << name + QLatin1Char(' ') + bracketed;
        }
    }
    return ToStdString(filters.join(QStringLiteral(";;")));
}

CChoosers::CChoosers() : m_lastFolder(QDir::homePath()) {}

std::vector<std::string> CChoosers::ChooseFiles(QWidget* owner, const std::string& filter,
                                                int& filterIndex) {
    QFileDialog dialog(owner, {}, m_lastFolder);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    const QStringList filters = FilterList(filter);
    dialog.setNameFilters(filters);
    const int index = filterIndex > 0 ? filterIndex - 1 : 0;
    if (index < filters.size()) dialog.selectNameFilter(filters[index]);
    if (dialog.exec() != QDialog::Accepted) return {};
    m_lastFolder = dialog.directory().absolutePath();
    const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0) filterIndex = static_cast<int>(chosen) + 1;
    std::vector<std::string> paths;
    for (const QString& path : dialog.selectedFiles()) paths.push_back(ToStdString(path));
    return paths;
}

std::string CChoosers::ChooseOpenFile(QWidget* owner, const std::string& filter) {
    const QString path =
        QFileDialog::getOpenFileName(owner, {}, m_lastFolder, ToQString(ToQtFilter(filter)));
    if (!path.isEmpty()) m_lastFolder = QFileInfo(path).absolutePath();
    return ToStdString(path);
}

std::string CChoosers::ChooseSaveFile(QWidget* owner, const std::string& filter) {
    // The user's name is used as typed: no extension is added and a file is replaced unasked.
    const QString path =
        QFileDialog::getSaveFileName(owner, {}, m_lastFolder, ToQString(ToQtFilter(filter)),
                                     nullptr, QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty()) m_lastFolder = QFileInfo(path).absolutePath();
    return ToStdString(path);
}

std::string CChoosers::ChooseFolder(QWidget* owner) {
    const QString folder = QFileDialog::getExistingDirectory(owner, {}, m_lastFolder);
    if (!folder.isEmpty()) m_lastFolder = folder;
    return ToStdString(folder);
}
