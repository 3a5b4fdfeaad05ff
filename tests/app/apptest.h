#pragma once
// Registers a test class of tests/app with the shared main().

#include <QObject>

#include <functional>
#include <vector>

std::vector<std::function<QObject *()>> &appTests();

#define PCR_APP_TEST(Class)                                                                        \
    static const bool registered_##Class = [] {                                                    \
        appTests().push_back([] { return static_cast<QObject *>(new Class); });                    \
        return true;                                                                               \
    }();
