#include "instruments/Collection1611A.h"

#include "instruments/FrameHelpers.h"

#include <QDebug>
#include <cmath>

namespace {

const char *const AddressQuery = "010300010001CAD5";

// Start registers of the 16 coefficient blocks, channel 1 to channel 16.
const char *const registerTable[Collection1611A::MaxChannels] = {
    "0010", "0012", "0014", "0016", "0018", "001A", "001C", "001E",
    "0020", "0022", "0024", "0026", "0028", "002A", "002C", "002E"};

const QString Fahrenheit = QStringLiteral("℉");
const QString Ohm = QStringLiteral("Ohm");

} // namespace

Collection1611A::Collection1611A(QObject *parent)
    : Collection(parent), link(openFlag), modeNames{QStringLiteral("串口"), QStringLiteral("网络")}
{
    // The slots run on the driver thread: the signals reach them through its context object.
    QObject *onLink = link.context();
    connect(this, &Collection1611A::Open_signals, onLink, [this](QString Mode, QString IP, int Port) { Open_slots(Mode, IP, Port); });
    connect(this, &Collection1611A::Write_signals, onLink, [this](QString Data) { Write_slots(Data); });
    connect(this, &Collection1611A::Close_signals, onLink, [this] { Close_slots(); });
}

Collection1611A::~Collection1611A()
{
    link.shutdown();
}

QString Collection1611A::address()
{
    return link.locked([this] { return busAddress; });
}

void Collection1611A::closeAndWait()
{
    link.closeAndWait([this] { emit Close_signals(); }, CloseWaitMs);
}

bool Collection1611A::OpenLink(const LinkSettings &Link)
{
    const auto call = link.enter("Collection1611A::Open");
    if (!call || openFlag.load())
        return false;
    // Serial and network only; an unknown kind cannot open, so there is nothing to wait for.
    if (!Link.isValid() || (Link.kind != LinkSettings::Serial && Link.kind != LinkSettings::Network))
        return false;
    if (!link.openAndWait([&] { emit Open_signals(Link.modeText(), Link.address, Link.kind == LinkSettings::Serial ? Link.baudRate : Link.port); },
                          [this] { emit Close_signals(); }))
        return false;

    // The address query goes to address 01 and may be answered by a collector at any address,
    // so the framing accepts any sender until it is answered.
    link.locked([this] { acceptAnyAddress = true; });
    // One dropped or damaged reply must not fail the open: tried as often as a read.
    QString reply;
    bool answered = false;
    for (int attempt = 0; attempt < OpenAttempts && !answered && openFlag.load(); ++attempt)
        answered = request(QString::fromLatin1(AddressQuery), reply);
    link.locked([&] {
        acceptAnyAddress = false;
        if (answered && reply.size() == 12)
            busAddress = reply.mid(6, 2);
    });
    if (!answered) {
        // Closed when this returns, so the caller may try again at once.
        closeAndWait();
        return false;
    }
    return true;
}

bool Collection1611A::Close()
{
    const auto call = link.enter("Collection1611A::Close");
    if (!call || !openFlag.load())
        return false;
    // Let the close happen before returning, so an Open right after it works.
    closeAndWait();
    return true;
}

bool Collection1611A::IsOpen()
{
    return openFlag.load();
}

bool Collection1611A::Read(QString &Data)
{
    const auto call = link.enter("Collection1611A::Read");
    return call && link.takeReply(Data, ReadWaitMs);
}

bool Collection1611A::Write(const QString &Data)
{
    const auto call = link.enter("Collection1611A::Write");
    if (!call || !openFlag.load())
        return false;
    emit Write_signals(Data);
    return true;
}

bool Collection1611A::request(const QString &frame, QString &reply)
{
    link.discardReplies();
    if (!Write(frame))
        return false;
    return Read(reply);
}

bool Collection1611A::GetIdentity(QString &Identity)
{
    const auto call = link.enter("Collection1611A::GetIdentity");
    if (!call)
        return false;
    QString frame = address() + QStringLiteral("0310000005");
    frame += crcHex(frame);
    QString reply;
    if (!request(frame, reply) || reply.size() != 30)
        return false;
    QByteArray text = QByteArray::fromHex(reply.mid(6, 20).toLatin1());
    while (text.endsWith('\0'))
        text.chop(1);
    Identity = QString::fromLatin1(text);
    return true;
}

QStringList Collection1611A::GetModes()
{
    return modeNames;
}

bool Collection1611A::SetChannels(const QList<ChannelSetting> &Settings)
{
    const auto call = link.enter("Collection1611A::SetChannels");
    if (!call)
        return false;
    // There is no coefficient block beyond channel 16.
    if (Settings.size() > MaxChannels)
        return false;
    channelCount = Settings.size();
    channelUnits.clear();
    for (int i = 0; i < Settings.size(); ++i) {
        const ChannelSetting &s = Settings.at(i);
        resistanceMode = s[ChannelSetting::Unit] == Ohm;
        channelUnits << s[ChannelSetting::Unit];
        if (!writeCoefficients(i, s[ChannelSetting::Coefficient1].toFloat(), s[ChannelSetting::Coefficient2].toFloat(),
                               s[ChannelSetting::Coefficient3].toFloat(), s[ChannelSetting::Coefficient4].toFloat()))
            return false;
    }
    return true;
}

bool Collection1611A::writeCoefficients(int channel, float c1, float c2, float c3, float c4)
{
    QString frame = address() + QStringLiteral("10") + QLatin1String(registerTable[channel]) + QStringLiteral("000810")
                    + floatToHexLE(c1) + floatToHexLE(c2) + floatToHexLE(c3) + floatToHexLE(c4);
    frame += crcHex(frame);
    for (int attempt = 0; attempt < Retry::CollectorWrite.attempts; ++attempt) {
        QString reply;
        if (!openFlag.load())
            return false;
        // The collector echoes the whole frame: a reply of the right length that is not this
        // frame (a late echo of another channel's write) confirms nothing.
        if (request(frame, reply) && reply.compare(frame, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool Collection1611A::ReadChannels(QStringList &Values)
{
    const auto call = link.enter("Collection1611A::ReadChannels");
    if (!call)
        return false;
    Values.clear();
    if (channelCount == 0)
        return false;
    QString frame = address() + (resistanceMode ? QStringLiteral("030200") : QStringLiteral("030100"))
                    + QStringLiteral("%1").arg(2 * channelCount, 4, 16, QLatin1Char('0'));
    frame += crcHex(frame);
    const int expected = 8 * channelCount + 10;
    for (int attempt = 0; attempt < Retry::Collector.attempts; ++attempt) {
        if (!openFlag.load())
            return false;
        QString reply;
        if (!request(frame, reply) || reply.size() != expected)
            continue;
        QStringList values;
        bool finite = true;
        for (int j = 0; j < channelCount; ++j) {
            const double v = hexLEToFloat(reply.mid(6 + 8 * j, 8));
            // An open or shorted probe (or nonsense coefficients, or a garbled frame) gives no
            // usable number: nothing a PCR block can reach.
            if (!std::isfinite(v)
                || (!resistanceMode && (v < plausibleMinimum.load() || v > plausibleMaximum.load()))) {
                finite = false;
                break;
            }
            // The collector measures in ℃; a ℉ channel gets its value in ℉.
            if (!resistanceMode && channelUnits.value(j) == Fahrenheit)
                values << fahrenheitText(v);
            else
                values << QString::number(v, 'f', 6);
        }
        if (!finite)
            continue;
        Values = values;
        return true;
    }
    return false;
}

void Collection1611A::setPlausibleRange(double minimum, double maximum)
{
    if (!(minimum < maximum))
        return;
    plausibleMinimum = minimum;
    plausibleMaximum = maximum;
}

bool Collection1611A::ReadCoefficients(int Channel, QString &C1, QString &C2, QString &C3, QString &C4)
{
    const auto call = link.enter("Collection1611A::ReadCoefficients");
    if (!call)
        return false;
    if (Channel < 0 || Channel >= MaxChannels)
        return false;
    QString frame = address() + QStringLiteral("03") + QLatin1String(registerTable[Channel]) + QStringLiteral("0008");
    frame += crcHex(frame);
    QString reply;
    if (!request(frame, reply) || reply.size() != 42)
        return false;
    C1 = significantText(hexLEToFloat(reply.mid(6, 8)));
    C2 = significantText(hexLEToFloat(reply.mid(14, 8)));
    C3 = significantText(hexLEToFloat(reply.mid(22, 8)));
    C4 = significantText(hexLEToFloat(reply.mid(30, 8)));
    return true;
}

void Collection1611A::Open_slots(QString Mode, QString IP, int Port)
{
    link.openStored(Mode, IP, Port, [this] { SerialReadData_slots(); }, [this] { NetReadData_slots(); });
}

void Collection1611A::Write_slots(QString Data)
{
    link.write(QByteArray::fromHex(Data.toLatin1()));
}

void Collection1611A::Close_slots()
{
    link.close();
}

void Collection1611A::NetReadData_slots()
{
    receive();
}

void Collection1611A::SerialReadData_slots()
{
    receive();
}

void Collection1611A::receive()
{
    const QString hex = QString::fromLatin1(link.readAvailable().toHex());
    if (hex.isEmpty())
        return;
    link.frame([&](QString &buffer) -> QStringList {
        buffer += hex;
        const QString reply = takeCollectorFrame(buffer, acceptAnyAddress ? QString() : busAddress);
        return reply.isEmpty() ? QStringList() : QStringList{reply};
    });
}
