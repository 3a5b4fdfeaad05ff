// Runs every test class of the calibration page, its run and the sample-linearity window.

#include "CalibrationTest.h"

#include <QApplication>
#include <QtTest>

std::vector<std::function<QObject *()>> &calibrationTests()
{
    static std::vector<std::function<QObject *()>> tests;
    return tests;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int failed = 0;
    for (const auto &make : calibrationTests()) {
        QObject *test = make();
        failed += QTest::qExec(test, argc, argv);
        delete test;
    }
    return failed ? 1 : 0;
}
