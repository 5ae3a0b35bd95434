// One window per working folder: the command line, the hand-over from a later start to the
// running instance (in this process, the later start on a thread of its own), and the window
// taking what was handed over; Help when the manual cannot be shown.
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QLocalSocket>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "AppFixture.h"
#include "AppTest.h"
#include "app/CommandLine.h"
#include "app/DlgJobControl.h"
#include "app/SingleInstance.h"
#include "fileinfo/FileInfo.h"

namespace fs = std::filesystem;

namespace {

// A later kelto on its own thread, as a second process would be: it blocks while it waits,
// and the test's event loop lets the first instance answer meanwhile.
class CLaterStart {
public:
    CLaterStart(const std::string& socketPath, std::vector<std::string> paths, int timeout = 20000)
        : m_thread([this, socketPath, paths = std::move(paths), timeout] {
              CSingleInstance later(socketPath);
              m_outcome = later.Start(paths, timeout);
              m_done = true;
          }) {}
    ~CLaterStart() { m_thread.join(); }
    // Runs the event loop until the later start has ended.
    CSingleInstance::Outcome Wait() {
        while (!m_done) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return m_outcome;
    }

private:
    std::atomic<bool> m_done{false};
    CSingleInstance::Outcome m_outcome = CSingleInstance::Outcome::Failed;
    std::thread m_thread;
};

// What a kelto killed mid-run leaves: a socket file nobody listens on, and a lock file naming
// a process that has ended.
void LeaveCrashedInstance(const std::string& socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    QVERIFY(fs::is_socket(socketPath));
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    QVERIFY(child > 0);
    QCOMPARE(::waitpid(child, nullptr, 0), child);
    std::ofstream(socketPath + ".lock") << child << "\n"
                                        << QCoreApplication::applicationName().toStdString() << "\n"
                                        << QSysInfo::machineHostName().toStdString() << "\n";
}

class CFailingShell final : public IShell {
public:
    bool Open(const std::string&) override { return false; }
};

}  // namespace

class CSingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void TheCommandLineGivesAbsolutePathsAndItsOptions() {
        CommandLine line = ParseCommandLine(
            {"a.wav", "./sub//b.flac", "/x/../y.m3u", "../../c", "sub/../d", "--", "-c", "--help"},
            "/home/u/music/");
        QCOMPARE(line.What, CommandLine::Action::Run);
        // ".." leaves the starting directory, whose links are resolved, but not a folder the
        // path names, which may be a link.
        const std::vector<std::string> expected = {
            "/home/u/music/a.wav",    "/home/u/music/sub/b.flac", "/x/../y.m3u",         "/home/c",
            "/home/u/music/sub/../d", "/home/u/music/-c",         "/home/u/music/--help"};
        QCOMPARE(line.Paths, expected);
        // Asked for help or the version, nothing else counts, not even a bad option before it.
        QCOMPARE(ParseCommandLine({"-x", "a", "--version", "--help"}, "/").What,
                 CommandLine::Action::Version);
        line = ParseCommandLine({"a.wav", "--verbose", "-q"}, "/");
        QCOMPARE(line.What, CommandLine::Action::BadOption);
        QCOMPARE(line.BadOption, std::string("--verbose"));
        QVERIFY(line.Paths.empty());
        // A lone "-" is a file of that name.
        QCOMPARE(ParseCommandLine({"-"}, "/w").Paths, std::vector<std::string>{"/w/-"});
    }

    void TheSocketIsNamedByFolderAndUserAndStaysShort() {
        const std::string runtime = "/run/user/1000";
        const std::string a =
            CSingleInstance::SocketPath("/home/u/.local/share/kelto", 1000, runtime);
        QVERIFY(a.rfind(runtime + "/kelto-", 0) == 0);
        QVERIFY(a != CSingleInstance::SocketPath("/home/u/.local/share/kelto", 1001, runtime));
        QVERIFY(a != CSingleInstance::SocketPath("/home/u/.local/share/kelto2", 1000, runtime));
        QCOMPARE(a, CSingleInstance::SocketPath("/home/u/.local/share/kelto", 1000, runtime + "/"));
        // Neither a long folder nor a long runtime folder makes the name too long for a socket.
        const std::string deep = "/" + std::string(3000, 'd');
        const std::string longRuntime = "/" + std::string(120, 'r');
        const std::string path = CSingleInstance::SocketPath(deep, 1000, longRuntime);
        QVERIFY2(path.size() < 100, path.c_str());
        QVERIFY(path.rfind(longRuntime, 0) != 0);
        QVERIFY(CSingleInstance::SocketPath(deep, 1000, "").size() < 100);
    }

    void ALaterStartHandsEveryPathOverWhateverItsBytes() {
        QTemporaryDir runtime;
        const std::string socket =
            CSingleInstance::SocketPath("/some/folder", 1000, runtime.path().toStdString());
        CSingleInstance first(socket);
        QCOMPARE(first.Start({}, 1000), CSingleInstance::Outcome::First);
        QCOMPARE(first.GetError(), std::string());
        std::vector<std::vector<std::string>> received;
        first.SetReceiver(
            [&received](const std::vector<std::string>& paths) { received.push_back(paths); });

        const std::vector<std::string> paths = {"/music/two\nlines.wav", "/música/Dvořák – Ля.flac",
                                                std::string("/raw/\xff\xfe\x01 not utf-8.wv"),
                                                "/music/" + std::string(4000, 'n') + ".mp3"};
        QCOMPARE(CLaterStart(socket, paths).Wait(), CSingleInstance::Outcome::HandedOver);
        // A start that gave up before it heard back (it said so and ended with an error) must
        // not have its paths added after all.
        QLocalSocket impatient;
        impatient.connectToServer(QString::fromStdString(socket));
        QVERIFY(impatient.waitForConnected(5000));
        impatient.write(handover::Encode({"/gave/up.wav"}));
        QVERIFY(impatient.waitForBytesWritten(5000));
        impatient.abort();
        // Without paths a later start only brings the window forward.
        QCOMPARE(CLaterStart(socket, {}).Wait(), CSingleInstance::Outcome::HandedOver);
        // A later start ends once it sent its word; this one reads it on its next turn.
        const std::vector<std::vector<std::string>> expected = {paths, {}};
        QTRY_COMPARE(received, expected);

        // The window closing, the instance takes nothing more; while it holds the folder, a
        // later start gives up rather than open a second window there.
        first.StopListening();
        QCOMPARE(CLaterStart(socket, {"/a.wav"}, 300).Wait(), CSingleInstance::Outcome::NoAnswer);
        QCOMPARE(received, expected);
    }

    void WhatACrashedInstanceLeftIsTakenOver() {
        QTemporaryDir runtime;
        const std::string socket =
            CSingleInstance::SocketPath("/crashed", 1000, runtime.path().toStdString());
        LeaveCrashedInstance(socket);
        CSingleInstance first(socket);
        QCOMPARE(first.Start({"/x.wav"}, 2000), CSingleInstance::Outcome::First);
        QCOMPARE(first.GetError(), std::string());
        std::vector<std::string> received;
        first.SetReceiver([&received](const std::vector<std::string>& paths) { received = paths; });
        QCOMPARE(CLaterStart(socket, {"/y.wav"}).Wait(), CSingleInstance::Outcome::HandedOver);
        QTRY_COMPARE(received, std::vector<std::string>{"/y.wav"});
    }

    void ALaterStartNeverBecomesASecondWindowOfALiveHolder() {
        QTemporaryDir runtime;
        const std::string socket =
            CSingleInstance::SocketPath("/hung", 1000, runtime.path().toStdString());
        // A live holder of the folder that does not listen (hung, or still starting).
        QLockFile holder(QString::fromStdString(socket + ".lock"));
        QVERIFY(holder.tryLock(0));
        CSingleInstance later(socket);
        QCOMPARE(later.Start({"/a.wav"}, 300), CSingleInstance::Outcome::NoAnswer);
        // Once the holder has gone, the next start is the folder's instance.
        holder.unlock();
        QCOMPARE(later.Start({"/a.wav"}, 300), CSingleInstance::Outcome::First);
    }

    void TheWindowAddsHandedOverPathsAsADropDoes() {
        CAppFixture fixture;
        auto window = fixture.OpenWindow();
        QTemporaryDir runtime;
        const std::string socket =
            CSingleInstance::SocketPath(fixture.Work(), 1000, runtime.path().toStdString());
        CSingleInstance first(socket);
        QCOMPARE(first.Start({}, 1000), CSingleInstance::Outcome::First);
        CDlgMain* shown = window.get();
        first.SetReceiver(
            [shown](const std::vector<std::string>& paths) { shown->OnHandOver(paths); });
        connect(shown, &CDlgMain::Closing, &first, &CSingleInstance::StopListening);

        fs::create_directories(fixture.Audio("album/cd2"));
        const std::string single = fixture.MakeAudio("line\nbreak é.wav", 0.2, 1);
        fixture.MakeAudio("album/one.wav", 0.2, 2);
        fixture.MakeAudio("album/cd2/two.flac", 0.2, 3);
        const std::string listed = fixture.MakeAudio("listed.wav", 0.2, 4);
        std::ofstream(fixture.Audio("list.m3u")) << "#EXTM3U\nlisted.wav\n";
        QCOMPARE(
            CLaterStart(socket, {single, fixture.Audio("album"), fixture.Audio("list.m3u")}).Wait(),
            CSingleInstance::Outcome::HandedOver);
        QTRY_COMPARE(window->GetFiles().Count(), 4);
        std::vector<std::string> names;
        for (int row = 0; row < window->GetFiles().Count(); ++row) {
            names.push_back(window->GetFiles().Get(row)->Path);
        }
        std::sort(names.begin() + 1, names.begin() + 3);
        const std::vector<std::string> expected = {single, fixture.Audio("album/cd2/two.flac"),
                                                   fixture.Audio("album/one.wav"), listed};
        QCOMPARE(names, expected);
        QVERIFY(fixture.Boxes.Shown.empty());

        // Closed for good, the window takes nothing it could no longer save.
        window->close();
        QCOMPARE(CLaterStart(socket, {listed}, 300).Wait(), CSingleInstance::Outcome::NoAnswer);
        QCoreApplication::processEvents();
        QCOMPARE(window->GetFiles().Count(), 4);
    }

    void PathsHandedOverDuringARunWaitForItsEnd() {
        CAppFixture fixture;
        auto window = fixture.OpenWindowWritingTo(fixture.Audio("out"));
        window->OnDrop({fixture.MakeAudio("long.flac", 20.0, 1)});
        window->GetCore().SetThreadsCount(1);
        PickCoder(*window, "MP3", 0);
        const std::string late = fixture.MakeAudio("late.wav", 0.2, 2);
        int duringRun = -1;
        CDlgMain* running = window.get();
        WhenModalOpens([&, running](QWidget* dialog) {
            running->OnHandOver({late});
            QCoreApplication::processEvents();
            duringRun = running->GetFiles().Count();
            qobject_cast<CDlgJobControl*>(dialog)->StopAndClose();
        });
        window->OnStart();
        QCOMPARE(duringRun, 1);
        QCOMPARE(window->GetFiles().Count(), 2);
        QCOMPARE(window->GetFiles().Get(1)->Path, late);
    }

    void HelpSaysWhereTheManualShouldBe() {
        CAppFixture fixture;
        auto window = fixture.OpenWindow();
        const std::string manual = fixture.Work() + "/Manual/Manual.pdf";
        window->OnCommand(CDlgMain::kCmdHelp);
        QVERIFY(fixture.Shell.Opened.empty());
        QCOMPARE(fixture.Boxes.Shown.size(), std::size_t{1});
        QCOMPARE(fixture.Boxes.Shown[0].Text,
                 "The manual is not there. kelto looked for it here:\n" + manual);
        QCOMPARE(fixture.Boxes.Shown[0].Icon, IMessageBoxes::Icon::Error);

        // There, but no program on this desktop opens it.
        fs::create_directory(fixture.Work() + "/Manual");
        std::ofstream(manual) << "%PDF-1.4\n";
        CFailingShell failing;
        CDlgMain other(&GetLanguageManager(),
                       MainWindowServices{fixture.Boxes, fixture.Choosers, failing});
        other.Initialise();
        other.OnCommand(CDlgMain::kCmdHelp);
        QCOMPARE(fixture.Boxes.Shown.size(), std::size_t{2});
        QCOMPARE(fixture.Boxes.Shown[1].Text, "No program could open the manual:\n" + manual);
    }
};

static RegisterAppTest<CSingleInstanceTest> registered;
#include "SingleInstanceTest.moc"
