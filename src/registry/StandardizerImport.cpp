#include "registry/StandardizerImport.h"

#include "instruments/Collection1611A.h"

namespace StandardizerImport {

namespace {

// The collector's values come as fixed-point texts with every significant digit; a very small or
// very large one is given in exponent notation instead, with the same digits, to fit a cell.
QString fitted(const QString &text)
{
    if (text.size() <= StandardizerRules::MaxCoefficientLength)
        return text;
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? QString::number(value, 'g', 9) : text;
}

} // namespace

Result fromCollector(Collection1611A &collector, const LinkSettings &link, int channels, const StopWait &stop)
{
    Result result;
    if (!collector.OpenLink(link)) {
        result.outcome = Result::NotConnected;
        return result;
    }
    StandardizerRules::Columns columns;
    for (int i = 0; i < channels; ++i) {
        if (stop.stopped()) {
            collector.Close();
            result.outcome = Result::Stopped;
            return result;
        }
        QString c[StandardizerRules::CoefficientCount];
        if (!collector.ReadCoefficients(i, c[0], c[1], c[2], c[3])) {
            collector.Close();
            result.outcome = Result::ReadFailed;
            result.channel = i;
            return result;
        }
        for (int k = 0; k < StandardizerRules::CoefficientCount; ++k)
            columns[size_t(k)] << fitted(c[k]);
    }
    collector.Close();
    // A channel holding no number (an erased block reads as NaN) is not taken over either.
    result.fault = StandardizerRules::firstBadCoefficient(columns);
    if (!result.fault.isNone()) {
        result.outcome = Result::BadValue;
        result.channel = result.fault.row;
        return result;
    }
    result.outcome = Result::Done;
    result.columns = columns;
    return result;
}

QString Texts::title(const Result &result)
{
    return result.outcome == Result::Done ? tr("提示") : tr("警告");
}

QString Texts::message(const Result &result, const QStringList &channelNames)
{
    const QString channel = channelNames.value(result.channel, QString::number(result.channel + 1));
    switch (result.outcome) {
    case Result::Done:
        return tr("获取成功！");
    case Result::NotConnected:
        return tr("设备连接失败！");
    case Result::ReadFailed:
        return tr("获取系数失败！") + QLatin1Char('\n')
               + tr("通道%1的系数没有读到，表格未改动。").arg(channel);
    case Result::BadValue:
        return tr("获取系数失败！") + QLatin1Char('\n') + StandardizerRules::Texts::badCoefficient(result.fault, channel);
    case Result::Stopped:
        return tr("设备导入已取消，表格未改动。");
    }
    return QString();
}

} // namespace StandardizerImport
