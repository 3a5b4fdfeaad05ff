#include "probecal/ProbeDevices.h"

#include "instruments/Collection1611A.h"
#include "instruments/Criteria1586A.h"
#include "instruments/CriteriaMorva1621.h"
#include "instruments/FieldTank.h"

#include <QSettings>

namespace ProbeDevices {

namespace {

const QString Serial = QStringLiteral("串口");
const QString Network = QStringLiteral("网络");
const QString Bluetooth = QStringLiteral("蓝牙");

struct Kind
{
    const char *name;
    QStringList links;
};

const QList<Kind> &kinds()
{
    static const QList<Kind> table = {
        {"VADE", {Serial}},
        {"ZIVI-D", {Serial}},
        {"1611A", {Serial, Network}},
        {"Fluke 1586A", {Serial, Network}},
        {"MORVA 1621A", {Bluetooth}},
    };
    return table;
}

} // namespace

QStringList names()
{
    QStringList list;
    for (const Kind &k : kinds())
        list << QString::fromLatin1(k.name);
    return list;
}

bool isKnown(const QString &device)
{
    return names().contains(device);
}

QStringList linkTypes(const QString &device)
{
    for (const Kind &k : kinds())
        if (device == QLatin1String(k.name))
            return k.links;
    return {};
}

QStringList baudRates()
{
    return {QStringLiteral("4800"),  QStringLiteral("9600"),  QStringLiteral("14400"), QStringLiteral("19200"),
            QStringLiteral("38400"), QStringLiteral("56000"), QStringLiteral("57600"), QStringLiteral("115200")};
}

std::unique_ptr<Device> createDriver(const QString &device)
{
    if (device == QLatin1String("VADE") || device == QLatin1String("ZIVI-D"))
        return std::make_unique<FieldTank>();
    if (device == collector())
        return std::make_unique<Collection1611A>();
    if (device == QLatin1String("Fluke 1586A"))
        return std::make_unique<Criteria1586A>();
    if (device == QLatin1String("MORVA 1621A"))
        return std::make_unique<CriteriaMorva1621>();
    return nullptr;
}

DeviceRecord defaults(const QString &device)
{
    DeviceRecord r;
    r.name = device;
    r.mode = linkTypes(device).value(0);
    if (r.mode == Network) {
        r.address = QStringLiteral("192.168.1.1");
        r.port = QStringLiteral("5980");
    } else if (r.mode == Serial) {
        r.port = QStringLiteral("9600");
    }
    return r;
}

DeviceRecord readRecord(const QSettings &ini, const QString &group, const QString &device)
{
    const QString prefix = group + QLatin1Char('/');
    DeviceRecord r;
    r.name = ini.value(prefix + QStringLiteral("Name")).toString();
    r.mode = ini.value(prefix + QStringLiteral("Mode")).toString();
    r.address = ini.value(prefix + QStringLiteral("IP")).toString();
    r.port = ini.value(prefix + QStringLiteral("Port")).toString();
    if (r.name != device || !linkTypes(device).contains(r.mode))
        return defaults(device);
    return r;
}

void writeRecord(QSettings &ini, const QString &group, const DeviceRecord &record)
{
    const QString prefix = group + QLatin1Char('/');
    ini.setValue(prefix + QStringLiteral("Name"), record.name);
    ini.setValue(prefix + QStringLiteral("Mode"), record.mode);
    ini.setValue(prefix + QStringLiteral("IP"), record.address);
    ini.setValue(prefix + QStringLiteral("Port"), record.port);
}

} // namespace ProbeDevices
