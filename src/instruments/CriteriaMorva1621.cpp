#include "instruments/CriteriaMorva1621.h"

#include "instruments/BleFrames.h"
#include "instruments/BleTransport.h"
#include "instruments/QtBleCentral.h"

#include <QBluetoothLocalDevice>
#include <QDebug>
#include <chrono>

namespace {

const char *const StartCommand = "04050100";
const char *const StopCommand = "04050101";

qint64 steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

CriteriaMorva1621::CriteriaMorva1621(QObject *parent) : CriteriaMorva1621([] { return new QtBleCentral; }, parent) {}

CriteriaMorva1621::CriteriaMorva1621(CentralFactory factory, QObject *parent)
    : Criteria(parent), link(openFlag), factory(std::move(factory)), clock(steadyMs)
{
    QObject *onLink = link.context();
    connect(this, &CriteriaMorva1621::Search_signals, onLink, [this] { Search_slots(); });
    connect(this, &CriteriaMorva1621::Open_signals, onLink, [this] { Open_slots(); });
    connect(this, &CriteriaMorva1621::Write_signals, onLink, [this](QString Data) { Write_slots(Data); });
    connect(this, &CriteriaMorva1621::Close_signals, onLink, [this] { Close_slots(); });
    // The write characteristic found makes the link ready; a loss or a close makes it idle.
    link.setStateHook([this](bool up) {
        if (!up) {
            linkState = BleIdle;
            return;
        }
        int state = linkState.load();
        while (state != BleOpen && !linkState.compare_exchange_weak(state, BleReady)) {
        }
    });
}

CriteriaMorva1621::~CriteriaMorva1621()
{
    link.shutdown();
}

bool CriteriaMorva1621::AdapterPresent()
{
    return !QBluetoothLocalDevice::allDevices().isEmpty();
}

void CriteriaMorva1621::setClock(const std::function<qint64()> &msClock)
{
    link.locked([&] { clock = msClock; });
}

qint64 CriteriaMorva1621::now() const
{
    return clock();
}

bool CriteriaMorva1621::Open(const QString &Mode, const QString &IP, const QString &Port)
{
    qDebug() << "Open:" << linkState.load();
    return Device::Open(Mode, IP, Port);
}

bool CriteriaMorva1621::OpenLink(const LinkSettings &Link)
{
    const auto call = link.enter("CriteriaMorva1621::Open");
    if (!call || !Link.isValid() || Link.kind != LinkSettings::Bluetooth)
        return false;
    link.locked([&] { targetName = Link.address; });
    // The driver thread may make the link ready, or lose it, at any moment: count atomically.
    int state = linkState.load();
    BleOpenStep step;
    do {
        step = bleOpenStep(state);
    } while (!linkState.compare_exchange_weak(state, step.next));
    if (step.startAttempt)
        emit Open_signals();
    return step.opened;
}

bool CriteriaMorva1621::Close()
{
    const auto call = link.enter("CriteriaMorva1621::Close");
    if (!call || linkState.load() == BleIdle)
        return false;
    Write(bleCommandFrame(QLatin1String(StopCommand)));
    // Closed when this returns, so that an Open right after starts afresh.
    link.closeAndWait([this] { emit Close_signals(); });
    linkState = BleIdle;
    return true;
}

bool CriteriaMorva1621::IsOpen()
{
    return linkState.load() == BleOpen;
}

bool CriteriaMorva1621::Read(QString &)
{
    return false;
}

bool CriteriaMorva1621::Write(const QString &Data)
{
    const auto call = link.enter("CriteriaMorva1621::Write");
    if (!call || linkState.load() == BleIdle)
        return false;
    emit Write_signals(Data);
    link.pause(WritePauseMs);
    return true;
}

bool CriteriaMorva1621::GetIdentity(QString &Identity)
{
    Identity = link.locked([this] { return targetName; });
    return true;
}

bool CriteriaMorva1621::SetChannel(const ChannelSetting &)
{
    const auto call = link.enter("CriteriaMorva1621::SetChannel");
    if (!call || linkState.load() == BleIdle)
        return false;
    return Write(bleCommandFrame(QLatin1String(StartCommand)));
}

bool CriteriaMorva1621::ReadValue(double &Value)
{
    if (linkState.load() == BleIdle)
        return false;
    // Before the first measurement there is no reading, and an old one is no reading of now.
    const qint64 at = lastFrameMs.load();
    if (at < 0 || link.locked([this] { return now(); }) - at > StaleAfterMs)
        return false;
    Value = lastValue.load();
    return true;
}

void CriteriaMorva1621::Search()
{
    searchState = 1;
    emit Search_signals();
}

QStringList CriteriaMorva1621::FoundNames()
{
    return link.locked([this] { return foundNames; });
}

void CriteriaMorva1621::Search_slots()
{
    searchState = 1;
    if (searcher) {
        searcher->disconnect(link.context());
        searcher->deleteLater();
    }
    searcher = factory();
    // Released with the driver thread's context if the driver goes first.
    searcher->setParent(link.context());
    connect(searcher, &BleCentral::discoveryFinished, link.context(), [this](const QStringList &names) { Finished_slots(names); });
    connect(searcher, &BleCentral::discoveryFailed, link.context(), [this](const QString &reason) {
        qDebug() << "CriteriaMorva1621: no search:" << reason;
        Finished_slots({});
    });
    searcher->startDiscovery(BleTransport::DiscoveryTimeoutMs);
}

void CriteriaMorva1621::Finished_slots(const QStringList &Names)
{
    link.locked([&] { foundNames = Names; });
    if (searcher) {
        searcher->disconnect(link.context());
        searcher->deleteLater();
        searcher = nullptr;
    }
    searchState = 2;
    emit SearchFinished_signals(Names);
}

void CriteriaMorva1621::Open_slots()
{
    // A link that came up after its attempt was given up is kept: the next Open reports it.
    if (openFlag.load())
        return;
    link.clear();
    lastFrameMs = -1;
    const QString name = link.locked([this] { return targetName; });
    // A new attempt replaces the previous one, with its objects.
    link.openTransport(std::make_unique<BleTransport>(factory(), name), StreamLink::Bluetooth, QStringLiteral("BLE ") + name,
                       [this] { ReadData_slots(); });
}

void CriteriaMorva1621::Write_slots(QString Data)
{
    link.write(QByteArray::fromHex(Data.toLatin1()));
}

void CriteriaMorva1621::Close_slots()
{
    link.close();
}

void CriteriaMorva1621::ReadData_slots()
{
    const QString hex = QString::fromLatin1(link.readAvailable().toHex());
    if (hex.isEmpty())
        return;
    link.frame([&](QString &buffer) {
        buffer += hex;
        double value = 0;
        if (takeBleMeasurement(buffer, value)) {
            lastValue = value;
            lastFrameMs = now();
        }
        return QStringList();
    });
}
