#pragma once

#include <QString>

#include <string>
#include <vector>

class QWidget;

// The file and folder choosers, behind one interface so tests answer them. Filters are written
// the Windows way, "Name|pattern; pattern|Name|pattern||"; filter indexes count from 1 (0 picks
// the first filter), as the FilterIndex setting stores them.
class IChoosers {
public:
    // Several existing files; filterIndex is read and then set to the filter last used. Empty
    // when cancelled.
    virtual std::vector<std::string> ChooseFiles(QWidget* owner, const std::string& filter,
                                                 int& filterIndex) = 0;
    // One existing file, or empty.
    virtual std::string ChooseOpenFile(QWidget* owner, const std::string& filter) = 0;
    // A name to save under (it may exist), or empty.
    virtual std::string ChooseSaveFile(QWidget* owner, const std::string& filter) = 0;
    // A folder, or empty.
    virtual std::string ChooseFolder(QWidget* owner) = 0;

protected:
    ~IChoosers() = default;
};

// The real choosers: QFileDialog, opening in the folder last used (the home folder at first).
class CChoosers final : public IChoosers {
public:
    CChoosers();

    std::vector<std::string> ChooseFiles(QWidget* owner, const std::string& filter,
                                         int& filterIndex) override;
    std::string ChooseOpenFile(QWidget* owner, const std::string& filter) override;
    std::string ChooseSaveFile(QWidget* owner, const std::string& filter) override;
    std::string ChooseFolder(QWidget* owner) override;

    const QString& GetLastFolder() const { return m_lastFolder; }

private:
    QString m_lastFolder;
};

// "Name|*.a; *.b|Other|*.c||" as Qt's "Name (*.a *.b);;Other (*.c)". A name that already ends
// with its patterns in brackets keeps them once.
std::string ToQtFilter(const std::string& windowsFilter);
