#pragma once

#include <QString>

// Column-letter form of a 1-based position: 1 -> "A", 26 -> "Z", 27 -> "AA".
// Positions below 1 give an empty text.
QString columnLetters(int position);

// "A5" style address of a 1-based (row, column) cell.
QString cellAddress(int row, int column);

// Parses "B12" (optionally with '$' markers) into a 1-based row and column.
bool parseCellAddress(const QString &address, int *row, int *column);

// The label of one probe-list entry "row:column": the row as letters and the column text,
// for example "1:5" -> {"A", "5"}, "27:3" -> {"AA", "3"}. An entry without ":" keeps its
// whole text as the column part and gets no letters.
struct ProbeLabel
{
    QString letters;
    QString index;
    QString plain() const { return letters + index; }
};
ProbeLabel probeLabel(const QString &entry);
