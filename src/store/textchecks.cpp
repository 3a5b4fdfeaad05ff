#include "store/textchecks.h"

bool TextChecks::hasControlCharacters(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u < 0xa0) || u == 0xfffe || u == 0xffff)
            return true;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
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

QString TextChecks::refusalText()
{
    return tr("输入内容不能包含控制字符！");
}

bool TextChecks::isXmlCharacter(uint u)
{
    return u == 0x9 || u == 0xa || u == 0xd || (u >= 0x20 && u <= 0xd7ff) || (u >= 0xe000 && u <= 0xfffd)
        || (u >= 0x10000 && u <= 0x10ffff);
}
