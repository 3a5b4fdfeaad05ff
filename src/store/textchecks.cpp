#include "store/textchecks.h"

#include <QVector>

bool TextChecks::isBidiControl(uint u)
{
    return u == 0x061c || u == 0x200e || u == 0x200f || (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
}

bool TextChecks::hasControlCharacters(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        uint u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            u = QChar::surrogateToUcs4(c, text.at(++i));
        else if (c.isSurrogate())
            return true;
        if (u < 0x20 || (u >= 0x7f && u < 0xa0) || u == 0xfffe || u == 0xffff || isBidiControl(u)
            || QChar::category(u) == QChar::Other_NotAssigned)
            return true;
    }
    return false;
}

bool TextChecks::anyHasControlCharacters(const QStringList &texts)
{
    for (const QString &t : texts)
        if (hasControlCharacters(t))
            return true;
    return false;
}

int TextChecks::length(const QString &text)
{
    return text.toUcs4().size();
}

QString TextChecks::refusalText()
{
    return tr("输入内容不能包含控制字符！");
}

QString TextChecks::lengthText(int limit)
{
    return tr("输入内容不能超过%1个字符！").arg(limit);
}

QString TextChecks::refusal(std::initializer_list<std::pair<QString, int>> fields)
{
    for (const auto &f : fields) {
        if (hasControlCharacters(f.first))
            return refusalText();
        if (length(f.first) > f.second)
            return lengthText(f.second);
    }
    return QString();
}

QString TextChecks::refusal(const QStringList &texts, int limit)
{
    for (const QString &t : texts) {
        const QString why = refusal({{t, limit}});
        if (!why.isEmpty())
            return why;
    }
    return QString();
}

bool TextChecks::isXmlCharacter(uint u)
{
    return u == 0x9 || u == 0xa || u == 0xd || (u >= 0x20 && u <= 0xd7ff) || (u >= 0xe000 && u <= 0xfffd)
        || (u >= 0x10000 && u <= 0x10ffff);
}
