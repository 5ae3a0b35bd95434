// One program for the window tests: every registered Qt Test class, offscreen.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "AppTest.h"

std::vector<TestFactory>& AppTestRegistry() {
    static std::vector<TestFactory> registry;
    return registry;
}

void WhenModalOpens(std::function<void(QWidget* dialog)> action) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Texts are checked in English unless a test chooses otherwise.
    setenv("LANG", "C", 1);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    // The codec programs print their progress to the output they inherit; the results go to
    // the original output through a descriptor they do not inherit.
    const int results = fcntl(1, F_DUPFD_CLOEXEC, 3);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    close(quiet);
    const std::string resultsPath = "/proc/self/fd/" + std::to_string(results);
    std::vector<char*> arguments(argv, argv + argc);
    std::string output = "-o";
    std::string target = resultsPath + ",txt";
    arguments.push_back(output.data());
    arguments.push_back(target.data());
    argc = static_cast<int>(arguments.size());
    argv = arguments.data();
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    int failed = 0;
    for (const TestFactory& factory : AppTestRegistry()) {
        std::unique_ptr<QObject> test(factory());
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
