#pragma once

#include <QObject>
#include <functional>
#include <vector>

// Every test class of this program registers a factory here; main runs them all.
using TestFactory = std::function<QObject*()>;
std::vector<TestFactory>& AppTestRegistry();

template <class TTest>
struct RegisterAppTest {
    RegisterAppTest() {
        AppTestRegistry().push_back([] { return new TTest; });
    }
};

// Runs action on the next modal dialog that opens, as a person would answer it.
void WhenModalOpens(std::function<void(QWidget* dialog)> action);
