// One program for every window test class: `ui_tests` runs them all; `ui_tests Class
// [QtTest options]` runs one.

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <vector>

#include "UiHarness.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    auto& tests = brivant::uitest::UiTests();
    std::sort(tests.begin(), tests.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });

    std::vector<char*> args(argv, argv + argc);
    std::string only;
    if (args.size() > 1 && args[1][0] != '-') {
        only = args[1];
        args.erase(args.begin() + 1);
    }
    int failed = 0;
    bool ran = false;
    for (const auto& [name, make] : tests) {
        if (!only.empty() && name != only) continue;
        ran = true;
        const auto test = make();
        failed += QTest::qExec(test.get(), static_cast<int>(args.size()), args.data());
    }
    if (!ran) {
        qWarning("no test class %s", only.c_str());
        return 1;
    }
    return failed;
}
