#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <array>

// The configuration of one measuring channel: sixteen texts read by index. Each driver reads
// only the fields its function needs.
struct ChannelSetting
{
    enum Index {
        Channel = 0,            // instrument channel number, e.g. "101"
        Function = 1,           // "热敏电阻", "铂电阻", "热电偶", ...
        Type = 2,               // type or range, e.g. "R(T)", "ITS90", "自动"
        Wiring = 3,             // "二线制", "三线制", "四线制"
        Unit = 4,               // "℃", "℉", "Ohm" or empty
        ColdJunction = 5,
        ColdJunctionTemperature = 6,
        Coefficient1 = 7,
        Coefficient2 = 8,
        Coefficient3 = 9,
        Coefficient4 = 10,
        ReferenceResistance = 11,
        Coefficient5 = 12,
        Coefficient6 = 13,
        ScaleGain = 14,
        ScaleOffset = 15,
        FieldCount = 16
    };

    std::array<QString, FieldCount> fields;

    QString &operator[](int index) { return fields.at(size_t(index)); }
    const QString &operator[](int index) const { return fields.at(size_t(index)); }

    // Missing elements stay empty, surplus ones are ignored.
    static ChannelSetting fromList(const QStringList &texts)
    {
        ChannelSetting s;
        for (int i = 0; i < FieldCount && i < texts.size(); ++i)
            s.fields[size_t(i)] = texts.at(i);
        return s;
    }
    QStringList toList() const
    {
        QStringList texts;
        for (const QString &f : fields)
            texts << f;
        return texts;
    }
};

Q_DECLARE_METATYPE(ChannelSetting)
