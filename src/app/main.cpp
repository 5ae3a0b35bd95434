// kelto, the desktop program: reads its command line, hands the paths to the kelto already
// running on the working folder (the current directory) if there is one, else chooses the
// language, opens the main window there and runs the message loop.
#include <QApplication>
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/CommandLine.h"
#include "app/DlgMain.h"
#include "app/Shell.h"
#include "app/SingleInstance.h"
#include "base/Version.h"
#include "lang/LanguageLocale.h"
#include "lang/LanguageManager.h"
#include "platform/File.h"
#include "platform/SignalWatcher.h"
#include "platform/SystemLanguage.h"
#include "session/UserWorkingFolder.h"
#include "ui/Choosers.h"
#include "ui/FocusStyle.h"
#include "ui/MessageBoxes.h"
#include "ui/QtTranslations.h"

namespace {

// The language manager's messages (a library that exists but does not load) as boxes.
class CBoxSink final : public IMessageSink {
public:
    explicit CBoxSink(IMessageBoxes& boxes) : m_boxes(boxes) {}
    void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override {
        m_boxes.Show(nullptr, text, caption,
                     icon == Icon::Error     ? IMessageBoxes::Icon::Error
                     : icon == Icon::Warning ? IMessageBoxes::Icon::Warning
                                             : IMessageBoxes::Icon::Information);
    }

private:
    IMessageBoxes& m_boxes;
};

// SIGTERM, SIGINT and SIGHUP (a logout, a kill, Ctrl+C in the terminal) close the main window
// as its close box does: the run is stopped, its temporary files removed, the state saved.
class CSignalCloser {
public:
    explicit CSignalCloser(QWidget& window)
        : m_thread([this, &window] {
              while (!m_done) {
                  if (m_signals.Wait(-1) == platform::SignalWatcher::Event::Signal) {
                      QMetaObject::invokeMethod(&window, "close", Qt::QueuedConnection);
                  }
              }
          }) {}
    ~CSignalCloser() {
        m_done = true;
        m_signals.Wake();
        m_thread.join();
    }

private:
    platform::SignalWatcher m_signals;
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

// How long a second kelto waits for the running one to take its paths.
constexpr int kHandOverMilliseconds = 5000;

std::vector<std::string> Arguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

// Answers --help and --version; an exit code, or -1 to go on.
int Answer(const CommandLine& line) {
    switch (line.What) {
        case CommandLine::Action::Help:
            std::fputs(UsageText().c_str(), stdout);
            return 0;
        case CommandLine::Action::Version:
            std::printf("%s\n", GetVersionText().c_str());
            return 0;
        case CommandLine::Action::BadOption:
            std::fprintf(stderr, "kelto: unknown option %s\n%s", line.BadOption.c_str(),
                         UsageText().c_str());
            return 2;
        case CommandLine::Action::Run:
            break;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string startDirectory = platform::CurrentDirectory();
    // --help and --version need no display: answered before Qt looks for one.
    const CommandLine early = ParseCommandLine(Arguments(argc, argv), startDirectory);
    if (early.What == CommandLine::Action::Help || early.What == CommandLine::Action::Version) {
        return Answer(early);
    }
    // Qt takes its own options (-platform, -style, ...) out of argv; the rest is kelto's.
    QApplication application(argc, argv);
    const CommandLine line = ParseCommandLine(Arguments(argc, argv), startDirectory);
    if (const int code = Answer(line); code >= 0) return code;

    // An installed kelto works in the user's own folder (~/.local/share/kelto); one run from a
    // build's working folder in the current directory.
    std::string problem;
    const bool entered = EnterUserWorkingFolder(&problem);
    if (!problem.empty()) std::fprintf(stderr, "kelto: %s\n", problem.c_str());
    if (!entered) {
        CMessageBoxes().Show(nullptr, problem, "kelto", IMessageBoxes::Icon::Error);
        return 1;
    }
    // The menu entry's name, for the desktop to match the window with it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kelto.Kelto"));
    // The working folder is the current directory from here on.

    CSingleInstance instance(CSingleInstance::SocketPathOf(platform::RealPath(".")));
    switch (instance.Start(line.Paths, kHandOverMilliseconds)) {
        case CSingleInstance::Outcome::HandedOver:
            return 0;
        case CSingleInstance::Outcome::NoAnswer:
            std::fprintf(stderr,
                         "kelto: kelto already runs in this folder but did not answer; "
                         "not opening a second window on it.\n");
            return 1;
        case CSingleInstance::Outcome::Failed:
        case CSingleInstance::Outcome::First:
            // Without the lock nothing can tell whether another kelto runs here: going on
            // beats not starting at all.
            if (!instance.GetError().empty()) {
                std::fprintf(stderr, "kelto: %s\n", instance.GetError().c_str());
            }
            break;
    }
    // The main window decides when the program ends (after saving), not its last window.
    QApplication::setQuitOnLastWindowClosed(false);
    CFocusStyle::Install();
    CMessageBoxes boxes;
    CChoosers choosers;
    CShell shell;
    CBoxSink sink(boxes);
    CLanguageManager& language = GetLanguageManager();
    language.SetMessageSink(&sink);
    if (!SelectStartupLanguage(language, platform::SystemLanguageId())) {
        boxes.Show(nullptr, kNoLanguageMessage, "Error", IMessageBoxes::Icon::Error);
        return -1;
    }
    InstallQtTranslations(LocaleOfLanguage(language.GetCurrentLanguage()));
    auto window = std::make_unique<CDlgMain>(&language, MainWindowServices{boxes, choosers, shell});
    window->Initialise();
    if (!line.Paths.empty()) window->OnDrop(line.Paths);
    instance.SetReceiver(
        [&window](const std::vector<std::string>& paths) { window->OnHandOver(paths); });
    // A kelto started from the close on waits for this one to end, then opens its own window.
    QObject::connect(window.get(), &CDlgMain::Closing, [&instance] { instance.StopListening(); });
    window->show();
    int code = 0;
    {
        CSignalCloser closer(*window);
        code = QApplication::exec();
    }
    instance.SetReceiver(nullptr);
    language.Free();
    window.reset();
    return code;
}
