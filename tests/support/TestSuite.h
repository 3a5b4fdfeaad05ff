#pragma once
// Several Qt Test classes in one executable: each class registers itself with PCR_TEST_CLASS and
// the shared main() of TestSuiteMain.cpp runs them all, one after the other.

#include <QObject>

#include <functional>
#include <vector>

std::vector<std::function<QObject *()>> &suiteTests();

#define PCR_TEST_CLASS(Class)                                                                      \
    static const bool registered_##Class = [] {                                                    \
        suiteTests().push_back([] { return static_cast<QObject *>(new Class); });                  \
        return true;                                                                               \
    }();
