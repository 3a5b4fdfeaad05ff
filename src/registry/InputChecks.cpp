#include "registry/InputChecks.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace InputChecks {

QString firstMissing(const QVector<Field> &fields)
{
    for (const Field &f : fields)
        if (f.value.trimmed().isEmpty())
            return f.label;
    return QString();
}

QString missingText(const QString &label)
{
    return QCoreApplication::translate("InputChecks", "请先输入参数！") + QLatin1Char('\n')
           + QCoreApplication::translate("InputChecks", "%1不能为空。").arg(label);
}

bool isNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^[-+]?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    return number.match(text.trimmed()).hasMatch();
}

bool hasNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("\\d+(\\.\\d+)?|\\.\\d+"));
    return number.match(text).hasMatch();
}

bool notInFuture(const QDateTime &time, const QDateTime &now)
{
    return time.isValid() && time <= now;
}

} // namespace InputChecks
