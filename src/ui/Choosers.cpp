#include "ui/Choosers.h"

#include <QFileDialog>
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

std::vector<std::string> CChoosers::ChooseFiles(QWidget* owner, const std::string& filter,
                                                int& filterIndex) {
    QFileDialog dialog(owner);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    const QStringList filters = FilterList(filter);
    dialog.setNameFilters(filters);
    const int index = filterIndex > 0 ? filterIndex - 1 : 0;
    if (index < filters.size()) dialog.selectNameFilter(filters[index]);
    if (dialog.exec() != QDialog::Accepted) return {};
    const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0) filterIndex = static_cast<int>(chosen) + 1;
    std::vector<std::string> paths;
    for (const QString& path : dialog.selectedFiles()) paths.push_back(ToStdString(path));
    return paths;
}

std::string CChoosers::ChooseOpenFile(QWidget* owner, const std::string& filter) {
    return ToStdString(QFileDialog::getOpenFileName(owner, {}, {}, ToQString(ToQtFilter(filter))));
}

std::string CChoosers::ChooseSaveFile(QWidget* owner, const std::string& filter) {
    // The user's name is used as typed: no extension is added and a file is replaced unasked.
    return ToStdString(QFileDialog::getSaveFileName(owner, {}, {}, ToQString(ToQtFilter(filter)),
                                                    nullptr, QFileDialog::DontConfirmOverwrite));
}

std::string CChoosers::ChooseFolder(QWidget* owner) {
    return ToStdString(QFileDialog::getExistingDirectory(owner));
}
