// One program for the window tests: every registered Qt Test class, offscreen.

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "AppTest.h"
#include "ui/FocusStyle.h"

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
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The program's style, as main gives it.
    CFocusStyle::Install();
    int failed = 0;
    for (const TestFactory& factory : AppTestRegistry()) {
        std::unique_ptr<QObject> test(factory());
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
