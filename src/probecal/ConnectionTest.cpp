#include "probecal/ConnectionTest.h"

#include "instruments/Device.h"

namespace ConnectionTest {

Result run(Device &driver, const LinkSettings &link, StopWait &stop, int retryWaitMs)
{
    Result result;
    const int attempts = link.kind == LinkSettings::Bluetooth ? 1 + BluetoothRetries : 1;
    bool open = false;
    for (int i = 0; i < attempts && !open; ++i) {
        if (i > 0 && !stop.sleepFor(std::chrono::milliseconds(retryWaitMs))) {
            result.outcome = Outcome::Stopped;
            return result;
        }
        ++result.openCalls;
        open = driver.OpenLink(link);
    }
    if (!open) {
        result.outcome = Outcome::NotConnected;
        return result;
    }
    const bool identified = driver.GetIdentity(result.identity);
    driver.Close();
    result.outcome = identified ? Outcome::Identified : Outcome::NoIdentity;
    if (!identified)
        result.identity.clear();
    return result;
}

QString Texts::title(Outcome outcome)
{
    return outcome == Outcome::Identified ? tr("提示") : tr("警告");
}

QString Texts::text(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Identified:
        return tr("测试成功！");
    case Outcome::NoIdentity:
        return tr("获取序列号失败！");
    case Outcome::NotConnected:
    case Outcome::Stopped:
        return tr("设备连接失败！");
    }
    return QString();
}

} // namespace ConnectionTest
