#include "instruments/BathProtocol.h"

#include <cmath>

bool bathReplyValue(const QString &reply, const QString &key, double &value)
{
    if (!reply.startsWith(key))
        return false;
    QString text = reply;
    text.remove(QLatin1Char(' '));
    text.remove(QLatin1Char('C'));
    const int colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return false;
    bool ok = false;
    const double v = text.mid(colon + 1).toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

QString bathSetPointText(double value)
{
    QString text = QString::number(value, 'f', 2);
    // -0.004 rounds to "-0.00", which the bath shows back as 0.00.
    if (text == QLatin1String("-0.00"))
        text = QStringLiteral("0.00");
    return text;
}

QStringList bathSetupCommands()
{
    return {QStringLiteral("lf=on\r\n"), QStringLiteral("u=C\r\n"),  QStringLiteral("sa=n\r\n"),
            QStringLiteral("pc=s\r\n"),  QStringLiteral("co=au\r\n"), QStringLiteral("hg=auto\r\n")};
}

bool bathCoefficientCommands(const ChannelSetting &s, QList<BathCoefficientCommand> &commands)
{
    commands.clear();
    if (s[ChannelSetting::Function] != QStringLiteral("铂电阻") || s[ChannelSetting::Type] != QLatin1String("ITS90")
        || s[ChannelSetting::Wiring] != QStringLiteral("四线制"))
        return false;
    const struct
    {
        const char *key;
        int field;
    } order[] = {{"Rtp", ChannelSetting::ReferenceResistance}, {"A", ChannelSetting::Coefficient1}, {"B", ChannelSetting::Coefficient2},
                 {"C", ChannelSetting::Coefficient3},          {"A4", ChannelSetting::Coefficient5}, {"B4", ChannelSetting::Coefficient6}};
    QList<BathCoefficientCommand> list;
    for (const auto &o : order) {
        const QString text = s[o.field].trimmed();
        bool ok = true;
        const double v = text.isEmpty() ? 0.0 : text.toDouble(&ok);
        // A mistyped coefficient must not reach the reference probe as 0.
        if (!ok || !std::isfinite(v))
            return false;
        const QString key = QLatin1String(o.key);
        list << BathCoefficientCommand{key + QLatin1Char('=') + QString::number(v, 'g', 6) + QStringLiteral("\r\n"), key + QStringLiteral(" Save!")};
    }
    commands = list;
    return true;
}

QStringList bathModels()
{
    return {QStringLiteral("RURE-20RI"), QStringLiteral("RODA-40ZE"), QStringLiteral("VIRE-80ZA"), QStringLiteral("RIRI-95ZA"),
            QStringLiteral("DURU-300RU")};
}

void bathModelRange(const QString &model, QString &minimum, QString &maximum)
{
    static const char *const ranges[][3] = {{"RURE-20RI", "-20", "150"}, {"RODA-40ZE", "-45", "150"}, {"VIRE-80ZA", "-80", "100"},
                                            {"RIRI-95ZA", "35", "95"},   {"DURU-300RU", "35", "300"}};
    minimum = maximum = QStringLiteral("0");
    for (const auto &r : ranges) {
        if (model == QLatin1String(r[0])) {
            minimum = QLatin1String(r[1]);
            maximum = QLatin1String(r[2]);
            return;
        }
    }
}
