// What Start asks when the rows' jobs are not what the window shows, with real codec programs:
// the three answers, hand-edited command lines, rows left without jobs by Update codecs, a
// changed output folder; and the file list's columns that show what each row will do.
#include <QComboBox>
#include <QHeaderView>
#include <QTest>
#include <filesystem>

#include "AppFixture.h"
#include "AppTest.h"
#include "app/FileListModel.h"
#include "codecs/Coder.h"
#include "fileinfo/FileInfo.h"
#include "settings/SettingsSet.h"
#include "ui/ListViewEx.h"

namespace fs = std::filesystem;

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string WithoutMnemonic(std::string text) {
    std::erase(text, '&');
    return text;
}

}  // namespace

class CStartQuestionTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_fixture = std::make_unique<CAppFixture>();
        m_output = m_fixture->Audio("out");
        m_window = m_fixture->OpenWindowWritingTo(m_output);
        m_window->OnDrop(
            {m_fixture->MakeAudio("a.wav", 0.3, 1), m_fixture->MakeAudio("b.wav", 0.3, 2)});
    }
    void cleanup() {
        m_window.reset();
        m_fixture.reset();
    }

    // Rows prepared with AAC, then MP3 / VBR V2 picked: each answer of the one box.
    void StartAsksOnceWhenTheRowsHoldAnotherCoder_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("written");
        QTest::newRow("apply") << 0 << "mp3";
        QTest::newRow("as prepared") << 1 << "m4a";
        QTest::newRow("cancel") << 2 << "";
    }
    void StartAsksOnceWhenTheRowsHoldAnotherCoder() {
        QFETCH(int, answer);
        QFETCH(QString, written);
        PickCoder(*m_window, "AAC (M4A)", 0);
        m_window->OnApplySettings();
        PickCoder(*m_window, "MP3", 1);
        m_fixture->Boxes.Answers.push_back(answer);
        m_window->OnStart();
        QCOMPARE(m_fixture->Boxes.Asked.size(), std::size_t{1});
        const AskedQuestion& asked = m_fixture->Boxes.Asked[0];
        QVERIFY2(Contains(asked.Text, "a.wav (AAC (M4A), 128 kbit/s, " + m_output + "/)"),
                 asked.Text.c_str());
        QVERIFY2(Contains(asked.Text, "MP3, VBR V2 (about 190 kbit/s), " + m_output + "/"),
                 asked.Text.c_str());
        QVERIFY(!Contains(asked.Text, "hand edits"));
        QCOMPARE(asked.Buttons.size(), std::size_t{3});
        QVERIFY(WithoutMnemonic(asked.Buttons[0]).starts_with("Apply"));
        for (const char* name : {"a", "b"}) {
            QCOMPARE(fs::exists(m_output + "/" + name + ".mp3"), written == "mp3");
            QCOMPARE(fs::exists(m_output + "/" + name + ".m4a"), written == "m4a");
        }
        QCOMPARE(m_fixture->Boxes.Reports.size(),
                 written.isEmpty() ? std::size_t{0} : std::size_t{1});
        if (answer == 0) {
            QCOMPARE(m_window->GetFiles().Get(0)->PresetName,
                     std::string("VBR V2 (about 190 kbit/s)"));
            // Once applied, the rows hold what the window shows: the next Start asks nothing.
            m_window->OnStart();
            QCOMPARE(m_fixture->Boxes.Asked.size(), std::size_t{1});
        }
    }

    void AHandEditedLineRunsAsShownAndTheBoxSaysApplyingDropsIt() {
        PickCoder(*m_window, "MP3", 4);
        m_window->OnApplySettings();
        CFileInfo* edited = m_window->GetFiles().Get(0);
        edited->Coder->SetCommandLine("--cbr -b 96 " + edited->Coder->GetCommandLine().substr(
                                                           std::string("--cbr -b 128 ").size()));
        m_window->OnStart();
        // The same coder, preset and folder as the window shows: the edit counts, no question.
        QVERIFY(m_fixture->Boxes.Asked.empty());
        QCOMPARE(m_fixture->Boxes.Reports.size(), std::size_t{1});
        QVERIFY(fs::file_size(m_output + "/a.mp3") < fs::file_size(m_output + "/b.mp3"));
        PickCoder(*m_window, "MP3", 3);
        m_window->OnStart();  // unanswered: nothing runs
        QCOMPARE(m_fixture->Boxes.Asked.size(), std::size_t{1});
        QVERIFY2(Contains(m_fixture->Boxes.Asked[0].Text, "drops the hand edits of 1 command"),
                 m_fixture->Boxes.Asked[0].Text.c_str());
        QCOMPARE(m_fixture->Boxes.Reports.size(), std::size_t{1});
    }

    void RowsLeftWithoutJobsByUpdateCodecsAreNamedAndApplied() {
        m_window->OnDrop({m_fixture->MakeAudio("c.wav", 0.3, 3)});
        PickCoder(*m_window, "FLAC", 0);
        m_window->OnApplySettings();
        m_window->SelectRows({1});
        m_window->OnUpdateCodecs();
        QVERIFY(!m_window->GetFiles().Get(1)->Coder);
        QVERIFY(m_window->GetFiles().Get(2)->Coder);
        m_fixture->Boxes.Answers.push_back(0);
        m_window->OnStart();
        QCOMPARE(m_fixture->Boxes.Asked.size(), std::size_t{1});
        const std::string& text = m_fixture->Boxes.Asked[0].Text;
        QVERIFY2(Contains(text, "have no jobs") && Contains(text, "\n    b.wav"), text.c_str());
        QVERIFY(!Contains(text, "a.wav"));
        for (const char* name : {"a", "b", "c"}) {
            QVERIFY2(fs::exists(m_output + "/" + name + ".flac"), name);
        }
    }

    void AChangedOutputFolderIsNamedAndAppliedToPreparedRows() {
        PickCoder(*m_window, "FLAC", 0);
        m_window->OnApplySettings();
        const std::string moved = m_fixture->Audio("moved");
        SetOutputFolder(moved);
        m_fixture->Boxes.Answers.push_back(0);
        m_window->OnStart();
        QCOMPARE(m_fixture->Boxes.Asked.size(), std::size_t{1});
        QVERIFY(Contains(m_fixture->Boxes.Asked[0].Text, "FLAC, "));
        QVERIFY(Contains(m_fixture->Boxes.Asked[0].Text, moved + "/"));
        QVERIFY(fs::exists(moved + "/a.flac") && fs::exists(moved + "/b.flac"));
        QVERIFY(!fs::exists(m_output + "/a.flac"));
        // The coder cell says, under its own text, where the row writes.
        const QModelIndex coder = m_window->GetFileListModel()->index(0, CFileListModel::kCoder);
        QCOMPARE(coder.data(Qt::ToolTipRole).toString(),
                 coder.data(Qt::DisplayRole).toString() + QStringLiteral("\n") +
                     QString::fromStdString(moved + "/a.flac"));
    }

    void TheNameColumnLeavesTheOthersInViewAndUserWidthsStay() {
        m_window->OnDrop({m_fixture->MakeAudio(std::string(180, 'n') + ".wav", 0.3, 4)});
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->RefreshView();
        CListViewEx* list = m_window->GetFileListView();
        const auto right = [list](int column) {
            return list->columnViewportPosition(column) + list->columnWidth(column);
        };
        QVERIFY2(right(CFileListModel::kState) <= list->viewport()->width(),
                 qPrintable(QStringLiteral("%1 > %2")
                                .arg(right(CFileListModel::kState))
                                .arg(list->viewport()->width())));
        QCOMPARE(list->model()->index(2, CFileListModel::kName).data(Qt::ToolTipRole).toString(),
                 QString::fromStdString(m_window->GetFiles().Get(2)->Path));
        // The user drags the divider after the Format column 30 pixels to the right.
        QHeaderView* header = list->horizontalHeader();
        const int format = CFileListModel::kFormat;
        const int width = list->columnWidth(format);
        const QPoint divider(header->sectionViewportPosition(format) + width - 1,
                             header->height() / 2);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, divider);
        QTest::mouseMove(header->viewport(), divider + QPoint(30, 0));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, divider + QPoint(30, 0));
        QCOMPARE(list->columnWidth(format), width + 30);
        PickCoder(*m_window, "FLAC", 0);
        m_window->OnStart();
        m_window->RefreshView();
        QCOMPARE(list->columnWidth(format), width + 30);
        QVERIFY(!list->HasUserWidth(CFileListModel::kCoder));
    }

private:
    void SetOutputFolder(const std::string& folder) {
        m_window->GetSettings()->General.OutputFolderSameAsOriginal = 0;
        m_window->GetSettings()->General.OutputFolder = folder;
    }

    std::unique_ptr<CAppFixture> m_fixture;
    std::unique_ptr<CDlgMain> m_window;
    std::string m_output;
};

static RegisterAppTest<CStartQuestionTest> registered;

#include "StartQuestionTest.moc"
