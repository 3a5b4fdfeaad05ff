#pragma once
// Checks of texts typed into names and free-text fields before they are stored. A control
// character (ESC, VT, SOH, ...) is invisible in a field, breaks the XML of a document and acts on
// a terminal that prints it; it is refused where it is typed.

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class TextChecks
{
    Q_DECLARE_TR_FUNCTIONS(TextChecks)

public:
    // Whether the text holds a C0 control (tab, line feed and carriage return included: the
    // fields are single lines), DEL, a C1 control, a non-character (U+FFFE, U+FFFF) or half of a
    // surrogate pair.
    static bool hasControlCharacters(const QString &text);
    static bool anyHasControlCharacters(const QStringList &texts);
    // "输入内容不能包含控制字符！"
    static QString refusalText();
    // Whether a character may stand in an XML 1.0 document.
    static bool isXmlCharacter(uint codePoint);
};
