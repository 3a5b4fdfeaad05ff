#include "registry/StandardizerRules.h"

#include "probecal/ProbeDevices.h"
#include "store/datawords.h"
#include "store/queries.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>

#include <cfloat>
#include <cmath>
#include <memory>

namespace StandardizerRules {

namespace {

const char *const DefaultCoefficients[CoefficientCount] = {"-4", "4000", "0", "0"};
const char *const FileKeys[CoefficientCount] = {"Standardizer/B0", "Standardizer/B1", "Standardizer/B2",
                                               "Standardizer/B3"};

const QString ProbeType = QStringLiteral("热敏电阻-2W");
const QString Conversion = QStringLiteral("R(T)");

QString repeated(const QString &text, int n)
{
    QStringList list;
    for (int i = 0; i < n; ++i)
        list << text;
    return list.join(QLatin1Char(','));
}

QStringList listOf(const QString &stored)
{
    return stored.isEmpty() ? QStringList() : stored.split(QLatin1Char(','));
}

} // namespace

QStringList channelCounts()
{
    return {QStringLiteral("4"), QStringLiteral("6"), QStringLiteral("8"), QStringLiteral("12"), QStringLiteral("15"),
            QStringLiteral("16")};
}

Row defaultRow(int index)
{
    Row r;
    r.channel = QString::number(FirstChannel + index);
    for (int i = 0; i < CoefficientCount; ++i)
        r.b[size_t(i)] = QString::fromLatin1(DefaultCoefficients[i]);
    return r;
}

Rows resized(const Rows &rows, int n)
{
    Rows out = rows.mid(0, qMax(n, 0));
    while (out.size() < n)
        out << defaultRow(out.size());
    return out;
}

QString coefficientName(int index)
{
    return QStringLiteral("B%1").arg(index);
}

QString coefficientPattern()
{
    return QStringLiteral("[-+]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][-+]?[0-9]+)?");
}

bool isCoefficient(const QString &text)
{
    static const QRegularExpression number(QRegularExpression::anchoredPattern(coefficientPattern()));
    if (text.isEmpty() || text.size() > MaxCoefficientLength || !number.match(text).hasMatch())
        return false;
    bool ok = false;
    const double value = text.toDouble(&ok);
    // The collector keeps single-precision values: a larger magnitude would arrive as infinity.
    return ok && std::isfinite(value) && std::fabs(value) <= double(FLT_MAX);
}

Fault firstBadCoefficient(const Rows &rows)
{
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < CoefficientCount; ++c)
            if (!isCoefficient(rows.at(r).b[size_t(c)]))
                return Fault{r, c, rows.at(r).b[size_t(c)]};
    return Fault();
}

Fault firstBadCoefficient(const Columns &columns)
{
    const int n = channelCountOf(columns);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < CoefficientCount; ++c)
            if (!isCoefficient(columns[size_t(c)].at(r)))
                return Fault{r, c, columns[size_t(c)].at(r)};
    return Fault();
}

int channelCountOf(const Columns &columns)
{
    const int n = columns[0].size();
    for (const QStringList &list : columns)
        if (list.size() != n)
            return -1;
    return n;
}

Columns columnsOf(const Rows &rows)
{
    Columns columns;
    for (const Row &r : rows)
        for (int c = 0; c < CoefficientCount; ++c)
            columns[size_t(c)] << r.b[size_t(c)];
    return columns;
}

Rows withCoefficients(const Rows &rows, const Columns &columns)
{
    Rows out = rows;
    if (channelCountOf(columns) != rows.size())
        return out;
    for (int r = 0; r < out.size(); ++r)
        for (int c = 0; c < CoefficientCount; ++c)
            out[r].b[size_t(c)] = columns[size_t(c)].at(r);
    return out;
}

Check checkNew(const QString &number, const QString &name, const Rows &rows,
               const std::function<bool(const QString &)> &numberTaken,
               const std::function<bool(const QString &)> &nameTaken, Fault *fault)
{
    const QString n = number.trimmed();
    const QString m = name.trimmed();
    if (n.isEmpty())
        return Check::NumberEmpty;
    if (!DataWords::isUsableKey(n))
        return Check::NumberHasSeparator;
    if (numberTaken(n))
        return Check::NumberTaken;
    if (m.isEmpty())
        return Check::NameEmpty;
    if (nameTaken(m))
        return Check::NameTaken;
    if (rows.isEmpty())
        return Check::NoChannels;
    const Fault bad = firstBadCoefficient(rows);
    if (!bad.isNone()) {
        if (fault)
            *fault = bad;
        return Check::BadCoefficient;
    }
    return Check::Ok;
}

Tool::Struct_Standardizer record(const QString &number, const QString &name, const Rows &rows,
                                 const QDateTime &now)
{
    Tool::Struct_Standardizer s;
    s.Number = number.trimmed();
    s.Name = name.trimmed();
    s.NumberChannels = QString::number(rows.size());
    s.TimeDate = now.toString(Tool::TimeFormat);
    QStringList names, numbers;
    for (const Row &r : rows) {
        names << QStringLiteral("CH") + r.channel;
        numbers << r.channel;
    }
    s.ChannelNames = names.join(QLatin1Char(','));
    s.ChannelNumbers = numbers.join(QLatin1Char(','));
    s.ProbeTypes = repeated(ProbeType, rows.size());
    s.Conversions = repeated(Conversion, rows.size());
    s.ChannelParameter1 = repeated(QStringLiteral("0"), rows.size());
    s.ChannelParameter2 = repeated(QStringLiteral("1"), rows.size());
    s.ChannelParameter3 = repeated(QStringLiteral("0"), rows.size());
    const Columns columns = columnsOf(rows);
    s.B0_R0 = columns[0].join(QLatin1Char(','));
    s.B1 = columns[1].join(QLatin1Char(','));
    s.B2 = columns[2].join(QLatin1Char(','));
    s.B3 = columns[3].join(QLatin1Char(','));
    return s;
}

Columns columnsOf(const Tool::Struct_Standardizer &set)
{
    return {listOf(set.B0_R0), listOf(set.B1), listOf(set.B2), listOf(set.B3)};
}

Rows displayRows(const Tool::Struct_Standardizer &set)
{
    const QStringList names = listOf(set.ChannelNames);
    const Columns columns = columnsOf(set);
    const int count = qMax(set.NumberChannels.toInt(), 0);
    Rows rows;
    for (int i = 0; i < count; ++i) {
        Row r;
        r.channel = names.value(i);
        for (int c = 0; c < CoefficientCount; ++c)
            r.b[size_t(c)] = columns[size_t(c)].value(i);
        rows << r;
    }
    return rows;
}

bool writeFile(const QString &path, const Columns &columns)
{
    // A file chosen again is written afresh, not merged with what it held.
    if (QFile::exists(path) && !QFile::remove(path))
        return false;
    const std::unique_ptr<QSettings> ini = Tool::configFile(path);
    for (int c = 0; c < CoefficientCount; ++c)
        ini->setValue(QLatin1String(FileKeys[c]), columns[size_t(c)]);
    ini->sync();
    return ini->status() == QSettings::NoError && QFile::exists(path);
}

FileRead readFile(const QString &path, int rowCount)
{
    FileRead read;
    if (!QFile::exists(path))
        return read;
    const std::unique_ptr<QSettings> ini = Tool::configFile(path);
    if (ini->status() != QSettings::NoError)
        return read;
    bool same = true;
    bool any = false;
    for (int c = 0; c < CoefficientCount; ++c) {
        // "/Standardizer/B0" and "Standardizer/B0" address the same entry.
        const QStringList list = ini->value(QLatin1Char('/') + QLatin1String(FileKeys[c])).toStringList();
        read.columns[size_t(c)] = list;
        read.lengths[c] = list.size();
        same = same && list.size() == rowCount;
        any = any || !list.isEmpty();
    }
    // Not a coefficient file at all (or one of another group).
    if (!any)
        return read;
    if (!same) {
        read.problem = FileRead::WrongLength;
        return read;
    }
    read.fault = firstBadCoefficient(read.columns);
    read.problem = read.fault.isNone() ? FileRead::None : FileRead::BadCoefficient;
    return read;
}

bool namesSet(const QString &configured, const Tool::Struct_Standardizer &set)
{
    const QString text = configured.trimmed();
    if (text.isEmpty())
        return false;
    if (text == set.Name)
        return true;
    return DataWords::keyOf(text) == set.Number && DataWords::afterKey(text) == set.Name;
}

Usage usageOf(const Tool::Struct_Standardizer &set)
{
    Usage usage;
    QList<Tool::Struct_Calibration> projects;
    if (Tool::queryCalibration(projects, Queries::calibrationsUsingProbeSet(set.Name)))
        usage.projects = projects.size();
    else
        usage.lookupFailed = true;
    const std::unique_ptr<QSettings> ini = Tool::configFile();
    usage.probeCalibration = namesSet(ini->value(ProbeCalibrationKeys::probeSet()).toString(), set);
    return usage;
}

QString Texts::badCoefficient(const Fault &fault, const QString &channel)
{
    return tr("通道%1的系数%2不是有效的数值：“%3”。\n系数须为有限的数（可用指数形式，如 1.2345e-07），最多%4个字符。")
        .arg(channel, coefficientName(fault.coefficient), fault.text)
        .arg(MaxCoefficientLength);
}

QString Texts::check(Check check, const Fault &fault, const QString &channel)
{
    switch (check) {
    case Check::Ok:
        return QString();
    case Check::NumberEmpty:
        return tr("编号不能为空！");
    case Check::NumberHasSeparator:
        return tr("编号不能包含“--”！");
    case Check::NumberTaken:
        return tr("编号重复,添加失败！");
    case Check::NameEmpty:
        return tr("名称不能为空！");
    case Check::NameTaken:
        return tr("名称重复,添加失败！");
    case Check::NoChannels:
        return tr("通道不能为空！");
    case Check::BadCoefficient:
        return badCoefficient(fault, channel);
    }
    return QString();
}

QString Texts::usage(const Usage &usage)
{
    if (usage.lookupFailed)
        return tr("无法确认该探头组是否被校准项目使用，不能删除！");
    if (usage.projects > 0)
        return tr("该探头组已被%1个校准项目使用，不能删除！").arg(usage.projects);
    if (usage.probeCalibration)
        return tr("该探头组正被探头校准页面选用，不能删除！");
    return QString();
}

} // namespace StandardizerRules
