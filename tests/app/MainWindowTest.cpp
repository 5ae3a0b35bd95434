// The main window without a run: start-up, the list commands, Apply and Reset, the command
// lines, and what is kept between starts.
#include <QAction>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <thread>

#include "../session/EngineFiles.h"
#include "AppFixture.h"
#include "AppTest.h"
#include "app/FileListModel.h"
#include "base/Version.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "fileinfo/FileInfo.h"
#include "platform/SystemLanguage.h"
#include "settings/SettingsSet.h"
#include "ui/ListViewEx.h"

namespace fs = std::filesystem;

namespace {

template <class T>
T* Control(CDlgMain& window, int id) {
    return window.findChild<T*>(QStringLiteral("ctl%1").arg(id));
}

QString Cell(CDlgMain& window, int row, int column) {
    return window.GetFileListModel()->Text(row, column);
}

void SelectCoder(CDlgMain& window, const std::string& name) {
    auto* box = Control<QComboBox>(window, 1004);
    const int index = CoderIndex(window, name);
    QVERIFY(index >= 0);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

}  // namespace

class CMainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_fixture = std::make_unique<CAppFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void FirstStartTakesTheProcessorCountAndNamesEveryControl() {
        auto window = m_fixture->OpenWindow();
        QCOMPARE(window->windowTitle(), QString::fromStdString(GetVersionText()));
        QCOMPARE(window->GetSettings()->Core.ThreadsCount,
                 static_cast<int>(std::thread::hardware_concurrency()));
        auto* coders = Control<QComboBox>(*window, 1004);
        QVERIFY(coders->count() >= 9);
        QCOMPARE(coders->itemText(coders->count() - 1), QStringLiteral("WAV (decode only)"));
        QCOMPARE(Control<QPushButton>(*window, 1003)->text(), QStringLiteral("&Start"));
        QVERIFY(Control<QPushButton>(*window, 1003)->font().bold());
        const QList<QAction*> menus = window->GetMenuBar()->actions();
        QCOMPARE(menus.size(), 3);
        QCOMPARE(menus[1]->text(), QStringLiteral("&List"));
        QVERIFY(window->findChild<QAction*>(QStringLiteral("cmd32792")));
        const std::vector<std::string> unnamed = UnnamedControls(*window);
        QVERIFY2(unnamed.empty(), unnamed.empty() ? "" : unnamed.front().c_str());
        QVERIFY(m_fixture->Boxes.Shown.empty());
    }

    void TextsFollowTheLocale() {
        setenv("LANG", "de_DE.UTF-8", 1);
        QVERIFY(SelectStartupLanguage(GetLanguageManager(), platform::SystemLanguageId()));
        auto window = m_fixture->OpenWindow();
        setenv("LANG", "C", 1);
        const QString apply = Control<QPushButton>(*window, 1017)->text();
        const QString list = window->GetMenuBar()->actions()[1]->text();
        QVERIFY(SelectStartupLanguage(GetLanguageManager(), platform::SystemLanguageId()));
        QCOMPARE(QString::fromStdString(GetLanguageManager().GetCurrentLanguage()),
                 QStringLiteral("English"));
        QVERIFY(apply != QStringLiteral("&Apply settings"));
        QVERIFY(!apply.isEmpty());
        QVERIFY(list != QStringLiteral("&List"));
    }

    void SelectionsAndTheListSurviveARestart() {
        const std::string wav = m_fixture->MakeAudio("a.wav");
        {
            auto window = m_fixture->OpenWindow();
            window->OnDrop({wav});
            auto* coders = Control<QComboBox>(*window, 1004);
            coders->setCurrentIndex(2);
            emit coders->activated(2);
            Control<QComboBox>(*window, 1005)->setCurrentIndex(1);
            window->close();
        }
        QVERIFY(fs::exists(m_fixture->Work() + "/Settings.ini"));
        auto window = m_fixture->OpenWindow();
        QCOMPARE(Control<QComboBox>(*window, 1004)->currentIndex(), 2);
        QCOMPARE(Control<QComboBox>(*window, 1005)->currentIndex(), 1);
        QCOMPARE(window->GetFiles().Count(), 1);
        QCOMPARE(Cell(*window, 0, CFileListModel::kName), QStringLiteral("a.wav"));
    }

    void DroppedFilesAndFoldersAreAddedWithTheirSubfolders() {
        auto window = m_fixture->OpenWindow();
        const std::string wav = m_fixture->MakeAudio("one.wav");
        const std::string flac = m_fixture->MakeAudio("two.flac");
        fs::create_directories(m_fixture->Audio("folder/deeper"));
        m_fixture->MakeAudio("folder/deeper/three.wav");
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(wav)),
                      QUrl::fromLocalFile(QString::fromStdString(m_fixture->Audio("folder"))),
                      QUrl::fromLocalFile(QString::fromStdString(flac))});
        window->show();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
        QCOMPARE(window->GetFiles().Count(), 3);
        QCOMPARE(Cell(*window, 0, CFileListModel::kName), QStringLiteral("one.wav"));
        QCOMPARE(Cell(*window, 1, CFileListModel::kName), QStringLiteral("three.wav"));
        QCOMPARE(Cell(*window, 2, CFileListModel::kFormat), QStringLiteral("FLAC"));
        QVERIFY(Cell(*window, 2, CFileListModel::kSize).endsWith(QStringLiteral("KB")));
    }

    void ApplyAndResetWorkOnTheSelectionOrOnEveryRow() {
        auto window = m_fixture->OpenWindow();
        fs::create_directory(m_fixture->Audio("out"));
        window->GetSettings()->General.OutputFolderSameAsOriginal = 0;
        window->GetSettings()->General.OutputFolder = m_fixture->Audio("out");
        window->OnDrop({m_fixture->MakeAudio("a.flac", 0.2, 1), m_fixture->MakeAudio("b.wav"),
                        m_fixture->MakeAudio("c.mp3", 0.2, 3)});
        SelectCoder(*window, "FLAC");
        window->OnApplySettings();  // no row selected: all of them
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(Cell(*window, row, CFileListModel::kCoder), QStringLiteral("FLAC"));
        }
        QVERIFY(Cell(*window, 0, CFileListModel::kDecoder).size() > 0);
        QVERIFY(Cell(*window, 1, CFileListModel::kDecoder).isEmpty());  // WAV: coder only

        window->SelectRows({1});
        window->OnResetSettings();
        QVERIFY(Cell(*window, 1, CFileListModel::kCoder).isEmpty());
        QCOMPARE(Cell(*window, 0, CFileListModel::kCoder), QStringLiteral("FLAC"));

        SelectCoder(*window, "MP3");
        window->SelectRows({0, 2});
        window->OnApplySettings();
        QCOMPARE(Cell(*window, 0, CFileListModel::kCoder), QStringLiteral("MP3"));
        QVERIFY(Cell(*window, 1, CFileListModel::kCoder).isEmpty());
        QCOMPARE(Cell(*window, 2, CFileListModel::kCoder), QStringLiteral("MP3"));

        window->SelectRows({});
        window->OnResetSettings();
        for (int row = 0; row < 3; ++row) {
            QVERIFY(Cell(*window, row, CFileListModel::kCoder).isEmpty());
            QVERIFY(Cell(*window, row, CFileListModel::kDecoder).isEmpty());
        }
        QVERIFY(m_fixture->Boxes.Shown.empty());
    }

    void ThePassThroughCoderOnlyDecodes() {
        auto window = m_fixture->OpenWindow();
        window->OnDrop({m_fixture->MakeAudio("a.flac")});
        auto* coders = Control<QComboBox>(*window, 1004);
        SelectCoder(*window, coders->itemText(coders->count() - 1).toStdString());
        QVERIFY(!Control<QComboBox>(*window, 1005)->isEnabled());
        QVERIFY(!Control<QLabel>(*window, 1008)->isEnabled());
        window->OnApplySettings();
        const CFileInfo* file = window->GetFiles().Get(0);
        QVERIFY(file->Decoder);
        QVERIFY(!file->Coder);
        QVERIFY(Cell(*window, 0, CFileListModel::kCoder).isEmpty());
    }

    void CommandLinesAreEditedOnlyWithOneRowSelected() {
        auto window = m_fixture->OpenWindow();
        window->OnDrop(
            {m_fixture->MakeAudio("a.flac", 0.2, 1), m_fixture->MakeAudio("b.flac", 0.2, 2)});
        SelectCoder(*window, "FLAC");
        window->OnApplySettings();
        auto* coding = Control<QLineEdit>(*window, 1009);
        auto* decoding = Control<QLineEdit>(*window, 1010);
        const std::string before = window->GetFiles().Get(1)->Coder->GetCommandLine();

        window->SelectRows({0});
        // Coded beside its source, the output is numbered rather than the source replaced.
        QVERIFY(coding->text().contains(QStringLiteral("a (2).flac")));
        QVERIFY(decoding->text().contains(QStringLiteral("a.flac")));
        coding->selectAll();
        QTest::keyClicks(coding, "-f -8 -o out.flac in.wav");
        QCOMPARE(QString::fromStdString(window->GetFiles().Get(0)->Coder->GetCommandLine()),
                 QStringLiteral("-f -8 -o out.flac in.wav"));

        window->SelectRows({0, 1});
        QVERIFY(coding->text().isEmpty());
        QVERIFY(decoding->text().isEmpty());
        QTest::keyClicks(coding, "typed with two rows");
        QCOMPARE(window->GetFiles().Get(1)->Coder->GetCommandLine(), before);
        QCOMPARE(QString::fromStdString(window->GetFiles().Get(0)->Coder->GetCommandLine()),
                 QStringLiteral("-f -8 -o out.flac in.wav"));
    }

    void RemovingRowsKeepsTheOthersInOrder() {
        auto window = m_fixture->OpenWindow();
        const std::vector<std::string> paths = DropNumberedFiles(*window, 7);
        window->SelectRows({2, 5});
        window->OnRemoveSelected();
        QCOMPARE(window->GetFiles().Count(), 5);
        const QStringList expected = {"0.wav", "1.wav", "3.wav", "4.wav", "6.wav"};
        for (int row = 0; row < 5; ++row) QCOMPARE(Cell(*window, row, 0), expected[row]);

        fs::remove(paths[0]);
        fs::remove(paths[4]);
        window->OnRemoveDeadEntries();
        QCOMPARE(window->GetFiles().Count(), 3);
        QCOMPARE(Cell(*window, 0, 0), QStringLiteral("1.wav"));
        QCOMPARE(Cell(*window, 2, 0), QStringLiteral("6.wav"));

        QTest::keyClick(window->GetFileListView(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(window->GetFileListView(), Qt::Key_Delete);
        QCOMPARE(window->GetFiles().Count(), 0);
    }

    void RemovingRowsLeavesTheFocusedRowSelected() {
        auto window = m_fixture->OpenWindow();
        DropNumberedFiles(*window, 7);
        CListViewEx* list = window->GetFileListView();
        struct Step {
            int Focus;
            std::vector<int> Selected;
            QString Focused;  // the file with the focus afterwards
            int Row;          // its row, the only one selected
        };
        // Rows above the focused one go: the focus stays with its file, now two rows up. Then
        // the focused row goes itself: the row that takes its place gets focus and selection,
        // the last row when it was at the end.
        const std::vector<Step> steps = {
            {5, {1, 3}, "5.wav", 3}, {1, {1, 4}, "4.wav", 1}, {2, {0, 2}, "4.wav", 0}};
        for (const Step& step : steps) {
            list->selectionModel()->setCurrentIndex(
                window->GetFileListModel()->index(step.Focus, 0), QItemSelectionModel::NoUpdate);
            window->SelectRows(step.Selected);
            QTest::keyClick(list, Qt::Key_Delete);
            QCOMPARE(Cell(*window, list->currentIndex().row(), 0), step.Focused);
            QCOMPARE(window->GetSelectedRows(), std::vector<int>{step.Row});
        }
        QCOMPARE(window->GetFiles().Count(), 1);
    }

    void ShellCommandsOpenWhatTheyName() {
        auto window = m_fixture->OpenWindow();
        const std::vector<std::string>& opened = m_fixture->Shell.Opened;
        // With no row selected there is no file whose folder could be opened.
        window->OnCommand(CDlgMain::kCmdOpenFileFolder);
        QVERIFY(opened.empty());

        fs::create_directory(m_fixture->Audio("sub"));
        window->OnDrop({m_fixture->MakeAudio("x.wav"), m_fixture->MakeAudio("sub/y.wav")});
        window->SelectRows({0, 1});
        window->OnCommand(CDlgMain::kCmdOpenFileFolder);
        window->GetSettings()->General.OutputFolder = m_fixture->Audio("out");
        window->OnCommand(CDlgMain::kCmdOpenOutputFolder);
        fs::create_directory(m_fixture->Work() + "/Manual");
        std::ofstream(m_fixture->Work() + "/Manual/Manual.pdf") << "%PDF-1.4\n";
        window->findChild<QAction*>(QStringLiteral("cmd%1").arg(CDlgMain::kCmdHelp))->trigger();
        window->findChild<QAction*>(QStringLiteral("cmd%1").arg(CDlgMain::kCmdHomePage))->trigger();
        SelectCoder(*window, "MP3");
        Control<QPushButton>(*window, 1019)->click();

        const std::vector<std::string> expected = {
            m_fixture->Audio("sub"),                   // the last selected file's folder
            m_fixture->Audio("out"),                   // the output folder
            m_fixture->Work() + "/Manual/Manual.pdf",  // the manual
            "https://kelto.org/",                      // the home page
            m_fixture->Work() + "/Coders/MP3",         // the current coder's package
        };
        QCOMPARE(opened, expected);
    }

    void AddFileOffersEveryDecoderAndKeepsTheFilterIndex() {
        auto window = m_fixture->OpenWindow();
        const std::string mp3 = m_fixture->MakeAudio("x.mp3");
        m_fixture->Choosers.Files.push_back({mp3});
        m_fixture->Choosers.NextFilterIndex = 3;
        window->OnCommand(CDlgMain::kCmdAddFile);
        QCOMPARE(window->GetFiles().Count(), 1);
        QCOMPARE(window->GetSettings()->FilterIndex, 3);
        const std::string& filter = m_fixture->Choosers.Filters.front();
        QVERIFY(filter.rfind("All supported files |*.", 0) == 0);
        QVERIFY(filter.find("*.flac; ") != std::string::npos);
        QVERIFY(filter.find("*.wav|Waveform PCM (*.wav)|*.wav|") != std::string::npos);
        // Every source a library holds, each once in the first entry.
        const std::string all = filter.substr(0, filter.find("|Waveform PCM"));
        for (const char* pattern : {"*.aiff; ", "*.caf; ", "*.w64; ", "*.mka; ", "*.webm; ",
                                    "*.ac3; ", "*.eac3; ", "*.dts; ", "*.mpc; ", "*.dsf; ",
                                    "*.dff; ", "*.shn; ", "*.au; ", "*.tak; "}) {
            QVERIFY2(all.find(pattern) != std::string::npos, pattern);
        }
        QCOMPARE(all.find("*.wav"), all.rfind("*.wav"));
        QVERIFY(filter.size() > 2 && filter.compare(filter.size() - 2, 2, "||") == 0);
        QCOMPARE(
            QString::fromStdString(ToQtFilter("Waveform PCM (*.wav)|*.wav|MP3 (*.mp3)|*.mp3||")),
            QStringLiteral("Waveform PCM (*.wav);;MP3 (*.mp3)"));
    }

    void ACueSheetListsItsTracksAndOneThatDoesNotFitIsReported() {
        auto window = m_fixture->OpenWindow();
        m_fixture->MakeAudio("image.flac", 3.0, 4);
        const std::string sheet = m_fixture->Audio("image.cue");
        WriteFileBytes(sheet,
                       "FILE image.flac WAVE\nTRACK 01 AUDIO\nTITLE One\nINDEX 01 00:00:00\n"
                       "TRACK 02 AUDIO\nTITLE Two\nINDEX 01 00:02:00\n");
        const std::string broken = m_fixture->Audio("broken.cue");
        WriteFileBytes(broken, "FILE gone.flac WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
        // A FLAC image with its sheet inside, dropped alone, is listed as its tracks too.
        const std::string inside = m_fixture->MakeAudio("inside.flac", 3.0, 5);
        QVERIFY(RunShell("metaflac --set-tag-from-file=CUESHEET=" + ShellQuoted(sheet) + " " +
                         ShellQuoted(inside)));
        window->OnDrop({sheet, broken, inside});
        QCOMPARE(window->GetFiles().Count(), 4);
        QCOMPARE(Cell(*window, 3, CFileListModel::kName), QStringLiteral("02 - Two (inside.flac)"));
        QCOMPARE(Cell(*window, 0, CFileListModel::kName), QStringLiteral("01 - One (image.flac)"));
        QCOMPARE(Cell(*window, 1, CFileListModel::kName), QStringLiteral("02 - Two (image.flac)"));
        QCOMPARE(window->GetFiles().Get(1)->Samples, std::int64_t{44100});
        QCOMPARE(m_fixture->Boxes.Shown.size(), std::size_t{1});
        QCOMPARE(m_fixture->Boxes.Shown[0].Text,
                 broken + "\nThe cue sheet names a file that is missing: gone.flac");
        // Add file offers cue sheets, in the first entry and in their own, last.
        m_fixture->Choosers.Files.push_back({sheet});
        window->OnCommand(CDlgMain::kCmdAddFile);
        QCOMPARE(window->GetFiles().Count(), 6);
        const std::string& filter = m_fixture->Choosers.Filters.front();
        QVERIFY(filter.find("*.cue; *.wav|") != std::string::npos);
        QVERIFY(filter.find("|Cue sheets (*.cue)|*.cue||") != std::string::npos);
    }

    void APlaylistThatCannotBeReadOrWrittenIsReported() {
        auto window = m_fixture->OpenWindow();
        window->OnDrop({m_fixture->MakeAudio("keep.wav")});
        m_fixture->Choosers.Paths.push_back(m_fixture->Audio("no/such/folder/list.m3u"));
        window->OnSaveList();
        QCOMPARE(m_fixture->Boxes.Shown.size(), std::size_t{1});
        QCOMPARE(m_fixture->Boxes.Shown.back().Caption, std::string("Error"));
        QVERIFY(m_fixture->Boxes.Shown.back().Text.find("list.m3u") != std::string::npos);
        QCOMPARE(window->GetFiles().Count(), 1);
    }

    void ASettingsFileThatCannotBeUsedIsNamedAtStartAndNeverLost() {
        const std::string settings = m_fixture->Work() + "/Settings.ini";
        const std::string garbage =
            std::string("[Settings.General]\nExistingOutput=1\n") + '\0' + "\x01";
        WriteFileBytes(settings, garbage);
        {
            auto window = m_fixture->OpenWindow();
            QCOMPARE(m_fixture->Boxes.Shown.size(), std::size_t{1});
            QCOMPARE(m_fixture->Boxes.Shown[0].Caption, std::string("Error"));
            QCOMPARE(m_fixture->Boxes.Shown[0].Text,
                     "The settings could not be loaded. The default settings are used instead.\n" +
                         settings + ": not INI text: it holds NUL bytes\nIts text is kept as " +
                         settings + ".bad before the settings are saved again.");
            QCOMPARE(window->GetSettings()->General.ExistingOutput, 0);
            window->close();
        }
        QCOMPARE(m_fixture->Boxes.Shown.size(), std::size_t{1});
        QCOMPARE(ReadFileBytes(settings + ".bad"), garbage);
        QVERIFY(CSettingsSet().LoadFile(settings));

        // A named pipe is neither waited on at start nor replaced at the end.
        fs::remove(settings);
        QVERIFY(RunShell("mkfifo " + ShellQuoted(settings)));
        m_fixture->Boxes.Shown.clear();
        {
            auto window = m_fixture->OpenWindow();
            QCOMPARE(m_fixture->Boxes.Shown.size(), std::size_t{1});
            QVERIFY(m_fixture->Boxes.Shown[0].Text.ends_with("\n" + settings +
                                                             ": not a regular file (named pipe)"));
            window->close();
        }
        QCOMPARE(m_fixture->Boxes.Shown.size(), std::size_t{2});
        QCOMPARE(m_fixture->Boxes.Shown[1].Text, std::string("The settings could not be saved."));
        QVERIFY(fs::is_fifo(settings));
    }

private:
    // Short WAV files "0.wav", "1.wav", ... dropped on the window in that order.
    std::vector<std::string> DropNumberedFiles(CDlgMain& window, int count) {
        std::vector<std::string> paths;
        for (int i = 0; i < count; ++i)
            paths.push_back(m_fixture->MakeAudio(std::to_string(i) + ".wav", 0.05, i));
        window.OnDrop(paths);
        return paths;
    }

    std::unique_ptr<CAppFixture> m_fixture;
};

static RegisterAppTest<CMainWindowTest> registered;

#include "MainWindowTest.moc"
