#include "instruments/Criteria1586A.h"

#include "instruments/FrameHelpers.h"
#include "instruments/ScpiCommands.h"

namespace {

const QString IdentityMarker = QStringLiteral("FLUKE");

} // namespace

Criteria1586A::Criteria1586A(QObject *parent)
    : Criteria(parent),
      speeds{QStringLiteral("快速"), QStringLiteral("中速"), QStringLiteral("慢速")},
      units{QStringLiteral("℃"),  QStringLiteral("℉"),   QStringLiteral("%RH"), QStringLiteral("psi"), QStringLiteral("mbar"),
            QStringLiteral("bar"), QStringLiteral("Pa"),  QStringLiteral("KPa"), QStringLiteral("MPa"), QStringLiteral("mV"),
            QStringLiteral("V"),   QStringLiteral("Ω"),   QStringLiteral("kΩ"),  QStringLiteral("MΩ")},
      coldJunctionModes{QStringLiteral("内部补偿"), QStringLiteral("外部补偿"), QStringLiteral("固定冷端")},
      wiringOne{QStringLiteral("二线制")},
      wiringTwo{QStringLiteral("二线制"), QStringLiteral("四线制")},
      wiringThree{QStringLiteral("二线制"), QStringLiteral("三线制"), QStringLiteral("四线制")},
      functions{QStringLiteral("热电偶"), QStringLiteral("热敏电阻"), QStringLiteral("铂电阻"), QStringLiteral("直流电压"),
                QStringLiteral("电阻"), QStringLiteral("直流电流")},
      resistanceRanges{QStringLiteral("自动"), QStringLiteral("100Ω"), QStringLiteral("1kΩ"), QStringLiteral("10kΩ"),
                       QStringLiteral("100kΩ"), QStringLiteral("1MΩ"), QStringLiteral("10MΩ")},
      thermocoupleTypes{QStringLiteral("K"), QStringLiteral("T"), QStringLiteral("R"), QStringLiteral("S"), QStringLiteral("J"),
                        QStringLiteral("N"), QStringLiteral("E"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
                        QStringLiteral("G"), QStringLiteral("L"), QStringLiteral("M"), QStringLiteral("U"), QStringLiteral("W"),
                        QStringLiteral("POLY")},
      conversions{QStringLiteral("ITS90"), QStringLiteral("PT385"), QStringLiteral("PT392"), QStringLiteral("CVD")},
      thermistorTypes{QStringLiteral("R(T)"), QStringLiteral("2.252kΩ"), QStringLiteral("5kΩ"), QStringLiteral("10kΩ")},
      voltageRanges{QStringLiteral("自动"), QStringLiteral("100mV"), QStringLiteral("1V"), QStringLiteral("10V"), QStringLiteral("50V")},
      currentRanges{QStringLiteral("自动"), QStringLiteral("100μA"), QStringLiteral("1mA"), QStringLiteral("10mA"), QStringLiteral("100mA")},
      link(openFlag),
      modeNames{QStringLiteral("串口"), QStringLiteral("网络")}
{
    // The slots run on the driver thread: the signals reach them through its context object.
    QObject *onLink = link.context();
    connect(this, &Criteria1586A::Open_signals, onLink, [this](QString Mode, QString IP, int Port) { Open_slots(Mode, IP, Port); });
    connect(this, &Criteria1586A::Write_signals, onLink, [this](QString Data) { Write_slots(Data); });
    connect(this, &Criteria1586A::Close_signals, onLink, [this] { Close_slots(); });
}

Criteria1586A::~Criteria1586A()
{
    link.shutdown();
}

bool Criteria1586A::Open(const QString &Mode, const QString &IP, const QString &Port)
{
    return Device::Open(Mode, IP, Port);
}

bool Criteria1586A::OpenLink(const LinkSettings &Link)
{
    const auto call = link.enter("Criteria1586A::Open");
    if (!call || openFlag.load())
        return false;
    if (!Link.isValid() || (Link.kind != LinkSettings::Serial && Link.kind != LinkSettings::Network))
        return false;
    return link.openAndWait(
        [&] { emit Open_signals(Link.modeText(), Link.address, Link.kind == LinkSettings::Serial ? Link.baudRate : Link.port); },
        [this] { emit Close_signals(); });
}

bool Criteria1586A::Close()
{
    const auto call = link.enter("Criteria1586A::Close");
    if (!call || !openFlag.load())
        return false;
    // Closed when this returns, so that an Open right after works.
    link.closeAndWait([this] { emit Close_signals(); });
    return true;
}

bool Criteria1586A::IsOpen()
{
    return openFlag.load();
}

bool Criteria1586A::Read(QString &Data)
{
    const auto call = link.enter("Criteria1586A::Read");
    return call && link.takeReply(Data, ReadWaitMs);
}

bool Criteria1586A::Write(const QString &Data)
{
    const auto call = link.enter("Criteria1586A::Write");
    if (!call || !openFlag.load())
        return false;
    emit Write_signals(Data);
    // The instrument needs the time to take a command before the next one.
    link.pause(WritePauseMs);
    return true;
}

bool Criteria1586A::GetIdentity(QString &Identity)
{
    const auto call = link.enter("Criteria1586A::GetIdentity");
    if (!call)
        return false;
    // A line left over from an earlier query is not this one's answer.
    link.discardReplies();
    if (!Write(QStringLiteral("*IDN?\r\n")))
        return false;
    if (!Read(Identity))
        return false;
    return Identity.contains(IdentityMarker);
}

bool Criteria1586A::ReadValue(double &Value)
{
    const auto call = link.enter("Criteria1586A::ReadValue");
    if (!call)
        return false;
    // A reading that came too late for an earlier call would be taken for this one's.
    link.discardReplies();
    for (int attempt = 0; attempt < Retry::ScpiReading.attempts && openFlag.load(); ++attempt) {
        if (!Write(QStringLiteral("READ?\r\n")))
            return false;
        // Nothing, or a line that is no single number: ask again. A late answer to an earlier
        // READ? of this call is a reading of the same channel, as good as this one's.
        QString line;
        if (link.takeReply(line, Retry::ScpiReading.replyWaitMs) && scpiReadingValue(line, Value))
            return true;
    }
    return false;
}

bool Criteria1586A::SetChannel(const ChannelSetting &Setting)
{
    const auto call = link.enter("Criteria1586A::SetChannel");
    if (!call)
        return false;
    if (!Write(QStringLiteral("*RST\r\n")))
        return false;
    if (!SetRate(speeds.first()))
        return false;
    return SendChannelCommands(Setting);
}

bool Criteria1586A::SetRate(const QString &Speed)
{
    const QString command = scpiRateCommand(Speed);
    return !command.isEmpty() && Write(command);
}

bool Criteria1586A::SendChannelCommands(const ChannelSetting &Setting)
{
    const QStringList lines = scpiChannelCommands(Setting);
    for (const QString &line : lines) {
        if (!Write(line))
            return false;
    }
    return true;
}

void Criteria1586A::Open_slots(QString Mode, QString IP, int Port)
{
    link.openStored(Mode, IP, Port, [this] { SerialReadData_slots(); }, [this] { NetReadData_slots(); });
}

void Criteria1586A::Write_slots(QString Data)
{
    link.write(Data.toLatin1());
}

void Criteria1586A::Close_slots()
{
    link.close();
}

void Criteria1586A::NetReadData_slots()
{
    receive();
}

void Criteria1586A::SerialReadData_slots()
{
    receive();
}

void Criteria1586A::receive()
{
    const QString text = QString::fromLatin1(link.readAvailable());
    if (text.isEmpty())
        return;
    link.frame([&](QString &buffer) {
        buffer += text;
        return takeLines(buffer);
    });
}
