#pragma once
// The audit report: the listed audit rows as an A4 PDF at 300 dpi, with the title and column
// titles on every page, long texts wrapped, and a footer naming the audit chain's last hash and
// the page number on every page. Needs QtGui only.

#include <QCoreApplication>
#include <QHash>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QVector>

class QFont;

class AuditReport
{
    Q_DECLARE_TR_FUNCTIONS(AuditReport)

public:
    // One row: time, user, type, details.
    using Row = QStringList;

    // One-line rows that fit on one page.
    static int rowsPerPage();

    // Writes the report to fileName, replacing it only once the whole report is written. False,
    // with the reason in *error, when the file cannot be created or written; an existing file is
    // then left as it was.
    // chainHead: the audit chain's head as "COUNT:HASH" (AuditChain::Head::text), printed on every
    // page (none when empty): what `pcrcal-export --verify-audit --anchor` takes.
    static bool write(const QString &fileName, const QVector<Row> &rows, const QString &chainHead = QString(),
                      QString *error = nullptr);

    // The report as PDF bytes.
    static QByteArray render(const QVector<Row> &rows, const QString &chainHead = QString());

    // The PDF writer names each glyph by the lowest code point the font maps to it, so "户"
    // would read back as the radical "⼾" and a blank as a tab. lookAlikes() lists, for the
    // characters of usedText, which code point the writer will name instead of which character;
    // repairToUnicode() rewrites the ToUnicode maps of pdf accordingly, keeping every byte
    // offset.
    static QHash<uint, uint> lookAlikes(const QFont &font, const QString &usedText);
    static void repairToUnicode(QByteArray &pdf, const QHash<uint, uint> &replacements);
};
