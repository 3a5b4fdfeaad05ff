#pragma once
// Shared by the calibration tests: a workspace with the records a calibration needs, the form
// filled as an engineer would, and the stored rows read back.

#include "../support/Workspace.h"
#include "../instruments/SimHarness.h"
#include "../support/TestSuite.h"

#include "app/messages.h"
#include "calibration/Calibration.h"
#include "CalibrationDemo.h"
#include "store/tool.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace CalibrationTest {

// Threads of this process right now.
inline int threadCount()
{
    return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
}

inline void logIn(bool allRights = true)
{
    Tool::Struct_UesrManagement u;
    u.Name = QStringLiteral("tester");
    u.Rights = QStringLiteral("管理员");
    u.setAllRights(allRights);
    Tool::CurrentUser = u;
}

// The start of every calibration test: ℃, a fresh workspace as the working directory (held in ws
// until the test's cleanup resets it) with its database open, and a user with every right.
inline bool enterFreshWorkspace(std::unique_ptr<Workspace> &ws)
{
    Tool::TemperatureUnit = QStringLiteral("℃");
    ws = std::make_unique<Workspace>();
    if (!ws->openDatabase())
        return false;
    logIn();
    return true;
}

// The demo records (PCR instrument, collector at port, 16 probes, two cycle files, 16-point
// layout) in the open database.
inline bool registerRecords(const QString &port, const QString &program = QStringLiteral("95:1,60:1,72:1"))
{
    CalibrationDemo::Options o;
    o.port = port;
    o.program = program;
    QString error;
    if (!CalibrationDemo::registerRecords(o, &error)) {
        qWarning() << error;
        return false;
    }
    return true;
}

template <class T> T *child(QWidget *parent, const char *name)
{
    T *c = parent->findChild<T *>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

inline QPushButton *button(Calibration &page)
{
    return child<QPushButton>(&page, "pushButton_StartUp");
}

// Everything an engineer types for a valid project.
inline void fillForm(Calibration &page, const QString &name, const QTime &duration, const QString &interval,
                     bool uniformity, bool rate)
{
    child<QLineEdit>(&page, "lineEdit_ProjectName")->setText(name);
    child<QLineEdit>(&page, "lineEdit_Company")->setText(QStringLiteral("送检单位甲"));
    child<QLineEdit>(&page, "lineEdit_ProjectRemarks")->setText(QStringLiteral("备注"));
    child<QLineEdit>(&page, "lineEdit_AmbientTemperature")->setText(QStringLiteral("20"));
    child<QLineEdit>(&page, "lineEdit_AmbientHumidity")->setText(QStringLiteral("50"));
    child<QLineEdit>(&page, "lineEdit_AmbientPressure")->setText(QStringLiteral("1000"));
    child<QLineEdit>(&page, "lineEdit_Calibrated")->setText(QStringLiteral("张三"));
    child<QLineEdit>(&page, "lineEdit_Checked")->setText(QStringLiteral("李四"));
    child<QLineEdit>(&page, "lineEdit_Interval")->setText(interval);
    child<QTimeEdit>(&page, "timeEdit_Long")->setTime(duration);
    child<QCheckBox>(&page, "checkBox_Uniformity")->setChecked(uniformity);
    child<QCheckBox>(&page, "checkBox_Rate")->setChecked(rate);
}

// The samples of a project in time order (the store returns them grouped by item).
inline QList<Tool::Struct_CalibrationData> rows(const QString &name)
{
    QList<Tool::Struct_CalibrationData> list;
    Tool::getCalibrationData(list, name);
    std::stable_sort(list.begin(), list.end(), [](const auto &a, const auto &b) { return a.Time < b.Time; });
    return list;
}

inline QList<Tool::Struct_Calibration> projects(const QString &name)
{
    QList<Tool::Struct_Calibration> list;
    Tool::getCalibration(list, name);
    return list;
}

inline QDateTime sampleTime(const Tool::Struct_CalibrationData &row)
{
    return QDateTime::fromString(row.Time, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

} // namespace CalibrationTest
