// Runs every test class registered with PCR_TEST_CLASS; fails when any of them fails.

#include "TestSuite.h"

#include <QApplication>
#include <QtTest>

std::vector<std::function<QObject *()>> &suiteTests()
{
    static std::vector<std::function<QObject *()>> tests;
    return tests;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int failed = 0;
    for (const auto &make : suiteTests()) {
        QObject *test = make();
        failed += QTest::qExec(test, argc, argv);
        delete test;
    }
    return failed ? 1 : 0;
}
