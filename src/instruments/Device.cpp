#include "instruments/Device.h"

#include <QDebug>

bool Device::Open(const QString &Mode, const QString &IP, const QString &Port)
{
    if (IsOpen())
        return false;
    const LinkSettings link = LinkSettings::fromStored(Mode, IP, Port);
    if (!link.isValid()) {
        qWarning().noquote() << metaObject()->className() << "not opened:" << link.problemText();
        return false;
    }
    return OpenLink(link);
}
