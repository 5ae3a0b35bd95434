#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/OptionsPageImpl.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QLayout;
class QVBoxLayout;

// Page 4: what a conversion keeps of the user's files (Settings.General): tags and cover art,
// the folder tree of added folders, loudness tags, outputs that exist already, and which outputs are
// decoded again and compared once written, the highest sample rate and bit depth of the
// decoded sources, and the pattern that names outputs after their
// tags, with an example made from a listed file as it is typed.
class COptionsPageConversion final : public COptionsPageImpl {
public:
    explicit COptionsPageConversion(const CLanguageManager* language);
    // The file the pattern's example is named from (the first selected one) and the extension
    // its output gets; an empty path shows no example.
    void SetExampleSource(std::string path, std::string extension);

protected:
    void OnInitPage(QWidget& page) override;
    void OnApply() override;

private:
    // A label (its id labelId, its text textId) and below it, indented, one radio button per
    // text (ids[i] its id), one group.
    void AddChoices(QWidget& page, QVBoxLayout& column, int textId, int labelId, int count,
                    const int* texts, const int* ids, QRadioButton** buttons);

    void AddNamePattern(QWidget& page, QVBoxLayout& column);
    // The highest sample rate and bit depth, side by side in one row.
    void AddLimits(QWidget& page, QVBoxLayout& column);
    // A label (labelId, its text textId) and its combo box (labelId + 1) holding "No limit"
    // and values (as texts made by name), with value selected: one not listed is added.
    QComboBox* AddLimit(QWidget& page, QLayout& row, int textId, int labelId,
                        const std::vector<int>& values, int value,
                        const std::function<QString(int)>& name);
    void ShowExample();

    std::string m_examplePath;
    std::string m_exampleExtension;
    QLineEdit* m_pattern = nullptr;
    QLabel* m_example = nullptr;
    QCheckBox* m_copyTags = nullptr;
    QCheckBox* m_keepTree = nullptr;
    QCheckBox* m_loudness = nullptr;  // LoudnessTags
    // Indexed by the value of ExistingOutput: overwrite, skip, keep both.
    QRadioButton* m_existing[4] = {};
    // Indexed by the value of FullCheck: none, lossless coders, every coder.
    QRadioButton* m_fullCheck[3] = {};
    QComboBox* m_maxRate = nullptr;
    QComboBox* m_maxBits = nullptr;
};
