// Runs every test class of the application shell in one executable.

#include <QApplication>
#include <QtTest>

#include <functional>
#include <vector>

std::vector<std::function<QObject *()>> &appTests()
{
    static std::vector<std::function<QObject *()>> tests;
    return tests;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int failed = 0;
    for (const auto &make : appTests()) {
        QObject *test = make();
        failed += QTest::qExec(test, argc, argv);
        delete test;
    }
    return failed ? 1 : 0;
}
