// kelto, the desktop program: chooses the language, opens the main window on the working
// folder (the current directory) and runs the message loop.
#include <QApplication>
#include <atomic>
#include <memory>
#include <thread>

#include "app/DlgMain.h"
#include "app/Shell.h"
#include "lang/LanguageLocale.h"
#include "lang/LanguageManager.h"
#include "platform/SignalWatcher.h"
#include "platform/SystemLanguage.h"
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

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
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
    window->show();
    int code = 0;
    {
        CSignalCloser closer(*window);
        code = QApplication::exec();
    }
    language.Free();
    window.reset();
    return code;
}
