// What the window shows of a run once it is over, with the real codec programs: each row's
// state and why, the summary, and the program log in the console, copied and saved.
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "AppFixture.h"
#include "AppTest.h"
#include "app/DlgConsole.h"
#include "app/FileListModel.h"
#include "codecs/Coder.h"
#include "fileinfo/FileInfo.h"
#include "settings/SettingsSet.h"

namespace fs = std::filesystem;

class CRunReportTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_fixture = std::make_unique<CAppFixture>();
        m_output = m_fixture->Audio("out");
        m_window = m_fixture->OpenWindowWritingTo(m_output);
    }
    void cleanup() {
        m_window.reset();
        m_fixture.reset();
    }

    void EachRowSaysHowItEndedAndTheSummaryAndTheLogCountIt() {
        m_window->OnDrop({m_fixture->MakeAudio("a.wav", 0.3, 1), m_fixture->MakeAudio("b.wav", 0.3, 2),
                          m_fixture->MakeAudio("c.wav", 0.3, 3)});
        m_window->GetSettings()->General.ExistingOutput = 1;  // skip an existing output
        std::ofstream(m_output + "/c.mp3") << "already there";
        PickCoder(*m_window, "MP3", 0);
        m_window->OnApplySettings();
        m_window->GetFiles().Get(1)->Coder->SetCommandLine("--no-such-option %in% %out%");
        m_window->OnStart();
        QVERIFY(m_fixture->Boxes.Asked.empty());

        const CFileListModel& model = *m_window->GetFileListModel();
        const auto state = [&model](int row, int role) {
            return model.index(row, CFileListModel::kState).data(role).toString();
        };
        QCOMPARE(state(0, Qt::DisplayRole), QStringLiteral("done"));
        QCOMPARE(state(0, Qt::ToolTipRole), QString::fromStdString(m_output + "/a.mp3"));
        QCOMPARE(state(1, Qt::DisplayRole), QStringLiteral("failed"));
        QVERIFY2(state(1, Qt::ToolTipRole).startsWith(QStringLiteral("lame: exit status ")),
                 qPrintable(state(1, Qt::ToolTipRole)));
        QCOMPARE(state(2, Qt::DisplayRole), QStringLiteral("skipped"));
        QCOMPARE(state(2, Qt::ToolTipRole),
                 QString::fromStdString("skipped: " + m_output + "/c.mp3 exists"));

        QCOMPARE(m_fixture->Boxes.Reports.size(), std::size_t{1});
        const ShownReport& summary = m_fixture->Boxes.Reports[0];
        QCOMPARE(summary.Text, std::string("1 converted, 1 failed, 1 skipped"));
        QCOMPARE(summary.Icon, IMessageBoxes::Icon::Error);
        const std::string b = m_window->GetFiles().Get(1)->Path;
        const std::string c = m_window->GetFiles().Get(2)->Path;
        QVERIFY2(summary.Details.starts_with("These files could not be converted:\n" + b +
                                             "\n    lame: exit status "),
                 summary.Details.c_str());
        QVERIFY(summary.Details.find("\n" + c + "\n    skipped: ") != std::string::npos);

        // The program log has a line for each file that ran, and the summary.
        m_window->OnConsole();
        CDlgConsole* console = m_window->GetConsole();
        const std::string log = console->GetText().toStdString();
        for (const std::string& line :
             {"Converted: " + m_window->GetFiles().Get(0)->Path + " -> " + m_output + "/a.mp3\n",
              "Failed: " + b + ": lame: exit status ", "Skipped: " + c + ": skipped: ",
              std::string("\n1 converted, 1 failed, 1 skipped")}) {
            QVERIFY2(log.find(line) != std::string::npos, line.c_str());
        }
        console->OnCopy();
        QCOMPARE(QGuiApplication::clipboard()->text(), console->GetText() + QLatin1Char('\n'));
        const std::string saved = m_fixture->Audio("console.txt");
        m_fixture->Choosers.Paths = {saved, m_fixture->Audio("no/such/folder/console.txt")};
        console->OnSave();
        std::ifstream in(saved);
        const std::string written((std::istreambuf_iterator<char>(in)), {});
        QCOMPARE(written, log + "\n");
        QVERIFY(m_fixture->Boxes.Shown.empty());
        console->OnSave();
        QCOMPARE(m_fixture->Boxes.Shown.size(), std::size_t{1});
        QCOMPARE(m_fixture->Boxes.Shown[0].Icon, IMessageBoxes::Icon::Error);
        console->close();
    }

private:
    std::unique_ptr<CAppFixture> m_fixture;
    std::unique_ptr<CDlgMain> m_window;
    std::string m_output;
};

static RegisterAppTest<CRunReportTest> registered;

#include "RunReportTest.moc"
