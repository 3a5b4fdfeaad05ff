// A second station for the server tests: a process of its own on the same database.
//   pg_station LOCATION add-device NUMBER GOFILE   adds a PCR instrument once GOFILE exists;
//                                                   exit 0 stored, 3 refused as a duplicate, 1 other
//   pg_station LOCATION devices                     prints the numbers of the instruments, one a line
//   pg_station LOCATION audit COUNT GOFILE          appends COUNT audit entries once GOFILE exists
//   pg_station LOCATION run NAME READYFILE          begins a calibration run NAME, makes READYFILE
//                                                   and keeps the run going until killed
#include "store/DatabaseSettings.h"
#include "store/runrecords.h"
#include "store/tool.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QThread>

namespace {

bool waitForFile(const QString &file)
{
    QElapsedTimer t;
    t.start();
    while (!QFileInfo::exists(file)) {
        if (t.elapsed() > 30000)
            return false;
        QThread::msleep(2);
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    DatabaseSettings settings;
    if (a.size() < 3 || !DatabaseSettings::fromLocation(a.at(1), &settings) || !Tool::openDatabase(settings))
        return 1;
    Tool::CurrentUser.Name = QStringLiteral("station-%1").arg(QCoreApplication::applicationPid());
    const QString action = a.at(2);
    if (action == QLatin1String("add-device") && a.size() == 5) {
        Tool::Struct_PCRDevice device;
        device.Number = a.at(3);
        device.DeviceName = Tool::CurrentUser.Name;
        device.SerialNumber = a.at(3) + QStringLiteral("-") + Tool::CurrentUser.Name;
        if (!waitForFile(a.at(4)))
            return 1;
        if (Tool::addPCRDevice(device))
            return 0;
        return Tool::lastWriteWasDuplicate() ? 3 : 1;
    }
    if (action == QLatin1String("devices")) {
        QList<Tool::Struct_PCRDevice> devices;
        if (!Tool::getPCRDevice(devices, QString()))
            return 1;
        QTextStream out(stdout);
        for (const auto &d : devices)
            out << d.Number << '\n';
        return 0;
    }
    if (action == QLatin1String("audit") && a.size() == 5) {
        if (!waitForFile(a.at(4)))
            return 1;
        for (int i = 0; i < a.at(3).toInt(); ++i)
            Tool::SaveAuditLog(AuditEvent::UserLogin, QStringLiteral("%1 #%2").arg(Tool::CurrentUser.Name).arg(i));
        return 0;
    }
    if (action == QLatin1String("run") && a.size() == 5) {
        Tool::Struct_Calibration project;
        project.CalibrationName = a.at(3);
        if (!RunRecords::begin(project))
            return 1;
        QFile ready(a.at(4));
        if (!ready.open(QIODevice::WriteOnly))
            return 1;
        ready.close();
        for (;;)
            QThread::sleep(60);
    }
    return 1;
}
