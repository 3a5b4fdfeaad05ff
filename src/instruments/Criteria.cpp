#include "instruments/Criteria.h"

bool Criteria::Open(const QString &, const QString &, const QString &)
{
    openFlag = bath && bath->IsOpen();
    return openFlag.load();
}

bool Criteria::OpenLink(const LinkSettings &)
{
    return Open(QString(), QString(), QString());
}

bool Criteria::Close()
{
    openFlag = false;
    return true;
}

bool Criteria::IsOpen()
{
    return openFlag.load() && bath && bath->IsOpen();
}

bool Criteria::Read(QString &)
{
    return true;
}

bool Criteria::Write(const QString &)
{
    return true;
}

bool Criteria::GetIdentity(QString &Identity)
{
    return bath && bath->GetIdentity(Identity);
}

bool Criteria::SetChannel(const ChannelSetting &Setting)
{
    return bath && bath->SetChannel(Setting);
}

bool Criteria::ReadValue(double &Value)
{
    return bath && bath->ReadTemperature(Value);
}
