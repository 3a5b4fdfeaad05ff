#pragma once
// The one rule for texts typed into names and free-text fields, and given to the tools, before
// they are stored or used. A control character (ESC, VT, SOH, ...) is invisible in a field,
// breaks the XML of a document and acts on a terminal that prints it; a bidirectional control
// makes one name display as another ("adm\u202eni" shows as "admin"); an unassigned code point
// shows as nothing. Each field also has a length that fits its use.

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <utility>

class TextChecks
{
    Q_DECLARE_TR_FUNCTIONS(TextChecks)

public:
    // Lengths in characters (code points).
    static constexpr int NameLength = 64;      // names, numbers, models, questions, answers, short values
    static constexpr int SecretLength = 128;   // passwords
    static constexpr int RemarkLength = 500;   // remarks and other free texts

    // Whether the text holds a C0 control (tab, line feed and carriage return included: the
    // fields are single lines), DEL, a C1 control, a non-character (U+FFFE, U+FFFF), half of a
    // surrogate pair, a bidirectional control or an unassigned code point.
    static bool hasControlCharacters(const QString &text);
    static bool anyHasControlCharacters(const QStringList &texts);
    // Whether a code point is a bidirectional formatting character (marks, embeddings, overrides,
    // isolates).
    static bool isBidiControl(uint codePoint);
    // The text's length in code points.
    static int length(const QString &text);
    // "输入内容不能包含控制字符！"
    static QString refusalText();
    // "输入内容不能超过%1个字符！"
    static QString lengthText(int limit);
    // The message for the first text that breaks the rule, each with its length limit; empty
    // when all keep it.
    static QString refusal(std::initializer_list<std::pair<QString, int>> fields);
    static QString refusal(const QStringList &texts, int limit);
    // Whether a character may stand in an XML 1.0 document.
    static bool isXmlCharacter(uint codePoint);
};
