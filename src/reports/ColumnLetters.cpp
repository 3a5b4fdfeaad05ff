#include "reports/ColumnLetters.h"

QString columnLetters(int position)
{
    QString letters;
    while (position > 0) {
        const int last = (position - 1) % 26 + 1;
        letters.prepend(QChar('A' + last - 1));
        position = (position - last) / 26;
    }
    return letters;
}

QString cellAddress(int row, int column)
{
    return columnLetters(column) + QString::number(row);
}

bool parseCellAddress(const QString &address, int *row, int *column)
{
    int i = 0;
    const int size = address.size();
    if (i < size && address.at(i) == QLatin1Char('$'))
        ++i;
    long long col = 0;
    int letters = 0;
    while (i < size && address.at(i) >= QLatin1Char('A') && address.at(i) <= QLatin1Char('Z')) {
        col = col * 26 + (address.at(i).unicode() - 'A' + 1);
        ++i;
        if (++letters > 3)
            return false;
    }
    if (i < size && address.at(i) == QLatin1Char('$'))
        ++i;
    bool ok = false;
    const int r = address.mid(i).toInt(&ok);
    if (!letters || !ok || r < 1 || address.mid(i).startsWith(QLatin1Char('+')))
        return false;
    if (row)
        *row = r;
    if (column)
        *column = int(col);
    return true;
}

ProbeLabel probeLabel(const QString &entry)
{
    const int colon = entry.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return {QString(), entry.trimmed()};
    return {columnLetters(entry.left(colon).trimmed().toInt()), entry.mid(colon + 1).trimmed()};
}
