#pragma once
// Words the database holds as data, compared with stored values and so never translated, and the
// way records are offered in lists: key + "--" + further columns, the key being the text before
// the first "--".

#include <QString>
#include <QStringList>

namespace DataWords {

// The calibration items, as CalibrationData.Model holds them.
inline QString uniformityItem() { return QStringLiteral("均匀度校准"); }
inline QString rateItem() { return QStringLiteral("升降温速率校准"); }

inline QString keySeparator() { return QStringLiteral("--"); }

// A record as a list entry: its key and further columns joined by "--".
inline QString listEntry(const QStringList &columns) { return columns.join(keySeparator()); }

// The text before the first "--" of a list entry (the whole text when there is none).
inline QString keyOf(const QString &entry)
{
    const int at = entry.indexOf(keySeparator());
    return at < 0 ? entry : entry.left(at);
}

// The text after the first "--" (empty when there is none).
inline QString afterKey(const QString &entry)
{
    const int at = entry.indexOf(keySeparator());
    return at < 0 ? QString() : entry.mid(at + keySeparator().size());
}

// A key holding "--" would be cut short when read back from its list entry.
inline bool isUsableKey(const QString &key) { return !key.contains(keySeparator()); }

} // namespace DataWords
