// The MORVA 1621A Bluetooth LE thermometer driver against a scripted peer in the place of
// QtBluetooth: the polled Open counting to ready and to abandonment, the command frames, the
// measurement notifications, staleness, link loss and close. And QtBluetooth itself on a machine
// without a Bluetooth service: an immediate "not available", never a hang.

#include "SimHarness.h"
#include "instruments/BleCentral.h"
#include "instruments/BleTransport.h"
#include "instruments/CriteriaMorva1621.h"

#include <QMutex>
#include <QPointer>
#include <QtTest>
#include <atomic>

namespace {

const QString Name = QStringLiteral("MORVA-1621A-0042");
const QString Ble = QStringLiteral("蓝牙");

// What the scripted thermometer does, and what it saw. Shared between the test and the driver
// thread, on which the centrals live.
struct Script
{
    QMutex mutex;
    bool adapter = true;
    QStringList advertised{Name, QStringLiteral("OTHER")};
    bool connects = true;
    bool writeServiceReady = true;
    int writeProperties = BleCentral::WriteNoResponse;
    int notifyProperties = BleCentral::Notify;
    // Seen:
    QList<QByteArray> writes;
    int centrals = 0, notificationsEnabled = 0, disconnects = 0;
    QPointer<BleCentral> current;
};

class ScriptedCentral : public BleCentral
{
public:
    explicit ScriptedCentral(Script *script) : script(script)
    {
        QMutexLocker lock(&script->mutex);
        ++script->centrals;
        script->current = this;
    }

    void startDiscovery(int) override
    {
        bool adapter;
        {
            QMutexLocker lock(&script->mutex);
            adapter = script->adapter;
        }
        // Like QtBluetooth without an adapter: the error comes at once.
        if (!adapter) {
            emit discoveryFailed(QStringLiteral("InputOutputError"));
            return;
        }
        later([this] {
            QMutexLocker lock(&script->mutex);
            const QStringList found = script->advertised;
            lock.unlock();
            emit discoveryFinished(found);
        });
    }
    bool connectToDevice(const QString &name) override
    {
        QMutexLocker lock(&script->mutex);
        if (!script->advertised.contains(name))
            return false;
        const bool connects = script->connects;
        lock.unlock();
        later([this, connects] {
            if (connects)
                emit connected();
            else
                emit controllerError(QStringLiteral("ConnectionError"));
        });
        return true;
    }
    void discoverServices() override
    {
        later([this] {
            emit serviceDiscovered(QStringLiteral("00001800-0000-1000-8000-00805f9b34fb"));
            emit serviceDiscovered(BleTransport::NotifyService);
            emit serviceDiscovered(BleTransport::WriteService);
            emit serviceDiscoveryFinished();
        });
    }
    void discoverDetails(const QString &service) override
    {
        QMutexLocker lock(&script->mutex);
        if (service == BleTransport::WriteService && !script->writeServiceReady)
            return;
        lock.unlock();
        later([this, service] { emit detailsDiscovered(service); });
    }
    int characteristicProperties(const QString &service, const QString &characteristic) override
    {
        QMutexLocker lock(&script->mutex);
        if (service == BleTransport::NotifyService && characteristic == BleTransport::NotifyCharacteristic)
            return script->notifyProperties;
        if (service == BleTransport::WriteService && characteristic == BleTransport::WriteCharacteristic)
            return script->writeProperties;
        return -1;
    }
    bool enableNotifications(const QString &, const QString &) override
    {
        QMutexLocker lock(&script->mutex);
        ++script->notificationsEnabled;
        return true;
    }
    void writeWithoutResponse(const QString &service, const QString &characteristic, const QByteArray &bytes) override
    {
        QMutexLocker lock(&script->mutex);
        if (service == BleTransport::WriteService && characteristic == BleTransport::WriteCharacteristic)
            script->writes << bytes;
    }
    void disconnectFromDevice() override
    {
        QMutexLocker lock(&script->mutex);
        ++script->disconnects;
    }

private:
    template <class F> void later(F f) { QTimer::singleShot(5, this, f); }
    Script *script;
};

// Runs `f` on the thread of the central the driver uses now.
template <class F> bool onCentral(Script &script, F f)
{
    QPointer<BleCentral> central;
    {
        QMutexLocker lock(&script.mutex);
        central = script.current;
    }
    return central && QMetaObject::invokeMethod(central, [central, f] { f(central.data()); }, Qt::BlockingQueuedConnection);
}

// A measurement frame of 24 bytes carrying the float whose big-endian bytes are `floatHex`.
QByteArray measurement(const char *floatHex)
{
    return QByteArray::fromHex("1705" + QByteArray("00").repeated(16) + floatHex + "0000");
}

void notify(Script &script, const QByteArray &bytes)
{
    onCentral(script, [bytes](BleCentral *c) {
        emit c->notified(BleTransport::NotifyService, BleTransport::NotifyCharacteristic, bytes);
    });
}

// Calls Open every 100 ms, as a caller does every second, until it reports the link open; the
// number of calls it took (0: not within `calls`).
int openWithin(CriteriaMorva1621 &driver, int calls)
{
    for (int i = 1; i <= calls; ++i) {
        if (driver.Open(Ble, Name, QString()))
            return i;
        QThread::msleep(100);
    }
    return 0;
}

int count(Script &script, int Script::*field)
{
    QMutexLocker lock(&script.mutex);
    return script.*field;
}

QList<QByteArray> writes(Script &script)
{
    QMutexLocker lock(&script.mutex);
    return script.writes;
}

} // namespace

class TestCriteriaMorva1621 : public QObject
{
    Q_OBJECT

private slots:
    void onlyBluetoothOpens_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("name");
        QTest::newRow("serial") << "串口" << "/dev/ttyS0";
        QTest::newRow("network") << "网络" << "127.0.0.1";
        QTest::newRow("no name") << "蓝牙" << "";
    }
    void onlyBluetoothOpens()
    {
        QFETCH(QString, mode);
        QFETCH(QString, name);
        Script script;
        CriteriaMorva1621 driver([&] { return new ScriptedCentral(&script); });
        for (int i = 0; i < 3; ++i)
            QVERIFY(!driver.Open(mode, name, "9600"));
        QThread::msleep(100);
        QCOMPARE(count(script, &Script::centrals), 0);  // nothing started
        QVERIFY(!driver.IsOpen());
    }

    // The first call starts the attempt and reports nothing open; a later call, once the write
    // characteristic is found, reports it open.
    void openCountsToReady()
    {
        Script script;
        CriteriaMorva1621 driver([&] { return new ScriptedCentral(&script); });
        QVERIFY(!driver.Open(Ble, Name, QString()));
        QVERIFY(!driver.IsOpen());
        const int calls = openWithin(driver, 10);
        QVERIFY(calls >= 1);
        QVERIFY(driver.IsOpen());
        QVERIFY(!driver.Open(Ble, Name, QString()));  // open already: left alone
        QVERIFY(driver.IsOpen());
        QCOMPARE(count(script, &Script::centrals), 1);
        QCOMPARE(count(script, &Script::notificationsEnabled), 1);
        QString id;
        QVERIFY(driver.GetIdentity(id));
        QCOMPARE(id, Name);
        QVERIFY(!driver.Read(id));
    }

    // Attempts that never get ready: abandoned when the count reaches 10, and the next call
    // starts a new one with new objects.
    void openGivesUp_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("write service never ready") << 0;
        QTest::newRow("write characteristic not writable") << 1;
        QTest::newRow("connection refused") << 2;
        QTest::newRow("name not advertised") << 3;
        QTest::newRow("no adapter") << 4;
    }
    void openGivesUp()
    {
        QFETCH(int, how);
        Script script;
        script.writeServiceReady = how != 0;
        script.writeProperties = how == 1 ? BleCentral::Read : BleCentral::WriteNoResponse;
        script.connects = how != 2;
        if (how == 3)
            script.advertised = QStringList{"OTHER"};
        script.adapter = how != 4;
        CriteriaMorva1621 driver([&] { return new ScriptedCentral(&script); });
        for (int i = 0; i < 11; ++i) {
            QVERIFY(!driver.Open(Ble, Name, QString()));
            QThread::msleep(20);
        }
        QCOMPARE(count(script, &Script::centrals), 1);
        QVERIFY(!driver.Open(Ble, Name, QString()));  // a new attempt
        QTRY_COMPARE(count(script, &Script::centrals), 2);
        QVERIFY(!driver.IsOpen());
        double v = 0;
        QVERIFY(!driver.ReadValue(v));
    }

    // The command frames with their checksum, and what the notifications make of ReadValue.
    void measurements()
    {
        Script script;
        std::atomic<qint64> now{1000000};
        CriteriaMorva1621 driver([&] { return new ScriptedCentral(&script); });
        driver.setClock([&] { return now.load(); });
        QVERIFY(openWithin(driver, 10) > 0);
        double v = -1;
        // Connected, but nothing measured yet: no reading (not 0 °C).
        QVERIFY(!driver.ReadValue(v));
        QVERIFY(driver.SetChannel(ChannelSetting()));
        QCOMPARE(writes(script), QList<QByteArray>({QByteArray::fromHex("0405010000")}));

        notify(script, measurement("41c80000"));
        QTRY_VERIFY(driver.ReadValue(v));
        QCOMPARE(v, 25.0);
        // A frame in two packets of 20 bytes.
        const QByteArray f37 = measurement("42140000") + QByteArray(16, '\0');
        notify(script, f37.left(20));
        notify(script, f37.mid(20));
        QTRY_VERIFY(driver.ReadValue(v) && v == 37.0);
        // Another frame type is dropped; the last measurement stays.
        notify(script, QByteArray::fromHex("1805") + measurement("41c80000").mid(2));
        notify(script, measurement("c19c0000"));  // -19.5 once the dropped one is gone
        QTRY_VERIFY(driver.ReadValue(v) && v == -19.5);

        // No measurement for 10 s: no reading; the next one brings it back.
        now += CriteriaMorva1621::StaleAfterMs;
        QVERIFY(driver.ReadValue(v));
        now += 1;
        QVERIFY(!driver.ReadValue(v));
        notify(script, measurement("41c80000"));
        QTRY_VERIFY(driver.ReadValue(v) && v == 25.0);
    }

    // Close sends the stop frame and disconnects; afterwards everything but Open is refused.
    void close()
    {
        Script script;
        CriteriaMorva1621 driver([&] { return new ScriptedCentral(&script); });
        QVERIFY(!driver.Close());
        QVERIFY(openWithin(driver, 10) > 0);
        notify(script, measurement("41c80000"));
        double v = 0;
        QTRY_VERIFY(driver.ReadValue(v));
        QVERIFY(driver.Close());
        QVERIFY(!driver.IsOpen());
        QCOMPARE(writes(script).last(), QByteArray::fromHex("0405010101"));
        QCOMPARE(count(script, &Script::disconnects), 1);
        QVERIFY(!driver.Close());
        QVERIFY(!driver.ReadValue(v));
        QVERIFY(!driver.Write("04050100"));
        QVERIFY(!driver.SetChannel(ChannelSetting()));
        // Open again: a new attempt, and no reading until it measures again.
        QVERIFY(openWithin(driver, 10) > 0);
        QCOMPARE(count(script, &Script::centrals), 2);
        QVERIFY(!driver.ReadValue(v));
    }

    // The instrument goes away: the driver is idle, and the next Open starts again.
    void linkLoss()
    {
        Script script;
        CriteriaMorva1621 driver([&] { return new ScriptedCentral(&script); });
        QVERIFY(openWithin(driver, 10) > 0);
        notify(script, measurement("41c80000"));
        double v = 0;
        QTRY_VERIFY(driver.ReadValue(v));
        onCentral(script, [](BleCentral *c) { emit c->disconnected(); });
        QTRY_VERIFY(!driver.IsOpen());
        QVERIFY(!driver.ReadValue(v));
        QVERIFY(!driver.SetChannel(ChannelSetting()));
        QVERIFY(!driver.Close());
        QVERIFY(openWithin(driver, 10) > 0);
        QCOMPARE(count(script, &Script::centrals), 2);
    }

    void destroyedWhileConnecting()
    {
        Script script;
        script.writeServiceReady = false;
        auto driver = std::make_unique<CriteriaMorva1621>([&] { return new ScriptedCentral(&script); });
        QVERIFY(!driver->Open(Ble, Name, QString()));
        QTRY_COMPARE(count(script, &Script::centrals), 1);
        driver.reset();
    }

    void search()
    {
        Script script;
        CriteriaMorva1621 driver([&] { return new ScriptedCentral(&script); });
        QSignalSpy finished(&driver, &CriteriaMorva1621::SearchFinished_signals);
        QCOMPARE(driver.SearchState(), 0);
        driver.Search();
        QTRY_COMPARE(driver.SearchState(), 2);
        QCOMPARE(driver.FoundNames(), QStringList({Name, "OTHER"}));
        QTRY_COMPARE(finished.count(), 1);
        {
            QMutexLocker lock(&script.mutex);
            script.adapter = false;
        }
        driver.Search();
        QTRY_COMPARE(driver.SearchState(), 2);
        QVERIFY(driver.FoundNames().isEmpty());
    }

    // QtBluetooth itself: on a machine without a Bluetooth service a search ends at once and
    // finds nothing, Open never reports an open link, and nothing hangs.
    void qtBluetoothWithoutAdapter()
    {
        const bool present = CriteriaMorva1621::AdapterPresent();
        CriteriaMorva1621 driver;
        driver.Search();
        QTRY_COMPARE_WITH_TIMEOUT(driver.SearchState(), 2, 30000);
        if (present)
            QSKIP("this machine has a Bluetooth adapter");
        QVERIFY(driver.FoundNames().isEmpty());
        for (int i = 0; i < 3; ++i) {
            QVERIFY(!driver.Open(Ble, Name, QString()));
            spin(100);
        }
        QVERIFY(!driver.IsOpen());
        double v = 0;
        QVERIFY(!driver.ReadValue(v));
    }
};

QTEST_MAIN(TestCriteriaMorva1621)
#include "tst_criteriamorva1621.moc"
