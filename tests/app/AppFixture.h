#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/DlgMain.h"
#include "app/Shell.h"
#include "support/TempDir.h"
#include "ui/Choosers.h"
#include "ui/MessageBoxes.h"

// What the window would have shown, in order.
struct ShownBox {
    std::string Text;
    std::string Caption;
    IMessageBoxes::Icon Icon;
};

// A question the window asked, and the report at the end of a run.
struct AskedQuestion {
    std::string Text;
    std::vector<std::string> Buttons;
};
struct ShownReport {
    std::string Text;
    std::string Details;
    IMessageBoxes::Icon Icon;
};

class CRecordingBoxes final : public IMessageBoxes {
public:
    void Show(QWidget*, const std::string& text, const std::string& caption, Icon icon) override {
        Shown.push_back({text, caption, icon});
    }
    // Answers from Answers in order; an empty queue closes the box unanswered (-1).
    int Ask(QWidget*, const std::string& text, const std::string&,
            const std::vector<std::string>& buttons) override {
        Asked.push_back({text, buttons});
        if (Answers.empty()) return -1;
        const int answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void ShowReport(QWidget*, const std::string& text, const std::string& details,
                    const std::string&, Icon icon) override {
        Reports.push_back({text, details, icon});
    }
    std::vector<ShownBox> Shown;
    std::vector<AskedQuestion> Asked;
    std::deque<int> Answers;
    std::vector<ShownReport> Reports;
};

// Answers the choosers from queues the test fills; an empty queue answers "cancelled".
class CScriptedChoosers final : public IChoosers {
public:
    std::vector<std::string> ChooseFiles(QWidget*, const std::string& filter,
                                         int& filterIndex) override;
    std::string ChooseOpenFile(QWidget*, const std::string& filter) override;
    std::string ChooseSaveFile(QWidget*, const std::string& filter) override;
    std::string ChooseFolder(QWidget*) override;

    std::deque<std::vector<std::string>> Files;
    int NextFilterIndex = 0;  // set when not 0
    std::deque<std::string> Paths;
    std::vector<std::string> Filters;  // every filter asked with
};

class CRecordingShell final : public IShell {
public:
    bool Open(const std::string& target) override {
        Opened.push_back(target);
        return true;
    }
    std::vector<std::string> Opened;
};

// A working folder with the shipped codec packages and languages, entered as the current
// directory for the test's life, and a folder for audio files.
class CAppFixture {
public:
    CAppFixture();
    ~CAppFixture();

    // A main window on the working folder, initialised (not shown).
    std::unique_ptr<CDlgMain> OpenWindow();
    // The same, writing its outputs into folder, which is made.
    std::unique_ptr<CDlgMain> OpenWindowWritingTo(const std::string& folder);

    std::string Work() const { return m_work.Path().string(); }
    std::string Audio(const std::string& name) const { return m_audio / name; }
    // A short WAV, then encoded by extension (.wav, .flac, .mp3, .ogg, .wv).
    std::string MakeAudio(const std::string& name, double seconds = 0.3, int seed = 1);

    CRecordingBoxes Boxes;
    CScriptedChoosers Choosers;
    CRecordingShell Shell;

private:
    TempDir m_work;
    TempDir m_audio;
    std::string m_previousDirectory;
};

// Every button, edit, box and list of root without a text or an accessible name.
std::vector<std::string> UnnamedControls(const QWidget& root);
// The index of the coder named name in the window's coder box, -1 when absent.
int CoderIndex(CDlgMain& window, const std::string& name);
// Picks the coder named name and its preset at index preset, as the user does.
void PickCoder(CDlgMain& window, const std::string& name, int preset);
