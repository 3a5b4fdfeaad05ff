#include "instruments/FieldTank.h"

#include "instruments/BathProtocol.h"
#include "instruments/FrameHelpers.h"

FieldTank::FieldTank(QObject *parent)
    : Field(parent), link(openFlag), modeNames{QStringLiteral("串口")}, bathModels(::bathModels())
{
    QObject *onLink = link.context();
    connect(this, &FieldTank::Open_signals, onLink, [this](QString Mode, QString IP, int Port) { Open_slots(Mode, IP, Port); });
    connect(this, &FieldTank::Write_signals, onLink, [this](QString Data) { Write_slots(Data); });
    connect(this, &FieldTank::Close_signals, onLink, [this] { Close_slots(); });
}

FieldTank::~FieldTank()
{
    // Shutting the link down closes the port on the driver thread.
    link.shutdown();
}

bool FieldTank::Open(const QString &, const QString &IP, const QString &Port)
{
    if (IsOpen())
        return false;
    return Device::Open(modeNames.first(), IP, Port);
}

bool FieldTank::OpenLink(const LinkSettings &Link)
{
    const auto call = link.enter("FieldTank::Open");
    if (!call || openFlag.load() || !Link.isValid())
        return false;
    // Whatever kind of link was stored, the bath is reached on the serial port it names.
    const LinkSettings serial = LinkSettings::serial(Link.address, Link.kind == LinkSettings::Network ? Link.port : Link.baudRate);
    if (!serial.isValid())
        return false;
    return link.openAndWait([&] { emit Open_signals(serial.modeText(), serial.address, serial.baudRate); },
                            [this] { emit Close_signals(); });
}

bool FieldTank::Close()
{
    const auto call = link.enter("FieldTank::Close");
    if (!call || !openFlag.load())
        return false;
    link.closeAndWait([this] { emit Close_signals(); });
    return true;
}

bool FieldTank::IsOpen()
{
    return openFlag.load();
}

bool FieldTank::Read(QString &Data)
{
    const auto call = link.enter("FieldTank::Read");
    Data.clear();
    if (!call || !openFlag.load())
        return false;
    // The bath answers in bursts; the pause lets one complete before it is looked at.
    if (!link.pause(ReadPauseMs))
        return false;
    return link.takeAllReplies(Data, ReadWaitMs) && !Data.isEmpty();
}

bool FieldTank::Write(const QString &Data)
{
    const auto call = link.enter("FieldTank::Write");
    if (!call || !openFlag.load())
        return false;
    emit Write_signals(Data);
    link.pause(WritePauseMs);
    return true;
}

FieldTank::Outcome FieldTank::query(const QString &command, const QString &key, QString &reply)
{
    // Replies to the set-up commands, or one that came too late for an earlier query, are not
    // this query's answer.
    link.discardReplies();
    if (!Write(command))
        return WriteFailed;
    if (!Read(reply))
        return NoAnswer;
    return reply.startsWith(key) ? Answered : NoAnswer;
}

bool FieldTank::ask(const QString &command, const QString &key, const std::function<bool(const QString &)> &accept)
{
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        QString reply;
        const Outcome o = query(command, key, reply);
        if (o == WriteFailed)
            return false;
        if (o == Answered && accept(reply))
            return true;
    }
    return false;
}

bool FieldTank::GetIdentity(QString &Identity)
{
    const auto call = link.enter("FieldTank::GetIdentity");
    return call && ask(QStringLiteral("sn\r\n"), QStringLiteral("sn:"), [&](const QString &reply) {
        Identity = reply.section(QLatin1Char(':'), 1).trimmed();
        return true;
    });
}

QStringList FieldTank::GetModels()
{
    return bathModels;
}

QStringList FieldTank::GetModes()
{
    return modeNames;
}

void FieldTank::GetResolution(const QString &, QString &Resolution)
{
    Resolution = QStringLiteral("0.01");
}

void FieldTank::GetRange(const QString &Model, QString &Minimum, QString &Maximum)
{
    bathModelRange(Model, Minimum, Maximum);
}

bool FieldTank::Initialize()
{
    const auto call = link.enter("FieldTank::Initialize");
    if (!call)
        return false;
    // The replies are not read: the next query drops them.
    const QStringList commands = bathSetupCommands();
    for (const QString &command : commands) {
        if (!Write(command))
            return false;
    }
    return true;
}

bool FieldTank::ReadTemperature(double &Value)
{
    const auto call = link.enter("FieldTank::ReadTemperature");
    return call && ask(QStringLiteral("r\r\n"), QStringLiteral("r:"),
                       [&](const QString &reply) { return bathReplyValue(reply, QStringLiteral("r:"), Value); });
}

bool FieldTank::SetTemperature(double Value)
{
    const auto call = link.enter("FieldTank::SetTemperature");
    if (!call)
        return false;
    const QString text = bathSetPointText(Value);
    for (int round = 0; round < Attempts; ++round) {
        if (!Write(QStringLiteral("s=") + text + QStringLiteral("\r\n")))
            return false;
        // Compared as sent: a caller's 36.999 went out as 37.00 and comes back as 37.00.
        if (ask(QStringLiteral("s\r\n"), QStringLiteral("set:"), [&](const QString &reply) {
                double shown = 0;
                return bathReplyValue(reply, QStringLiteral("set:"), shown) && bathSetPointText(shown) == text;
            }))
            return true;
    }
    return false;
}

bool FieldTank::SetChannel(const ChannelSetting &Setting)
{
    const auto call = link.enter("FieldTank::SetChannel");
    if (!call)
        return false;
    QList<BathCoefficientCommand> commands;
    if (!bathCoefficientCommands(Setting, commands))
        return false;
    for (const BathCoefficientCommand &c : qAsConst(commands)) {
        if (!ask(c.command, c.confirmation, [](const QString &) { return true; }))
            return false;
    }
    return true;
}

void FieldTank::Open_slots(QString Mode, QString IP, int Port)
{
    // Open always asks for the serial port.
    link.openStored(Mode, IP, Port, [this] { SerialReadData_slots(); }, [this] { SerialReadData_slots(); });
}

void FieldTank::Write_slots(QString Data)
{
    link.write(Data.toLatin1());
}

void FieldTank::Close_slots()
{
    link.close();
}

void FieldTank::SerialReadData_slots()
{
    const QString text = QString::fromLatin1(link.readAvailable());
    if (text.isEmpty())
        return;
    link.frame([&](QString &buffer) {
        buffer += text;
        return takeBurst(buffer);
    });
}
