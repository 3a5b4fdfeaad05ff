#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// An Office Open XML package (.docx, .dotx, .xlsx, .xltx) held in memory: the zip entries in
// their stored order. Loading reads every entry; saving writes a new archive in one piece, so
// a failed save never leaves a half-written file at the destination.
class OoxmlPackage
{
public:
    bool load(const QString &path);
    bool loadFromData(const QByteArray &zipData);

    bool hasPart(const QString &name) const;
    QByteArray part(const QString &name) const;
    void setPart(const QString &name, const QByteArray &data);   // replaces or appends
    QStringList partNames() const;

    // Target of the package relationship of the given type suffix ("/officeDocument"),
    // as a part name without leading '/'. Empty when absent.
    QString mainPartName() const;
    // Content type of a part from [Content_Types].xml (overrides first, then defaults).
    QString contentType(const QString &partName) const;
    // Rewrites the override of one part; false when the part has no override.
    bool setContentType(const QString &partName, const QString &type);

    // Resolves a relationship target relative to the part that owns the relationships.
    static QString resolveTarget(const QString &sourcePart, const QString &target);
    // Relationship targets of a part by id, read from its _rels file.
    QString relationshipTarget(const QString &sourcePart, const QString &id) const;

    QByteArray toZip(bool fixedTimestamps = false) const;
    // Writes atomically: the file appears complete or not at all.
    bool save(const QString &path, bool fixedTimestamps = false);

    QString errorString() const { return m_error; }

private:
    struct Entry
    {
        QString name;
        QByteArray data;
    };
    QVector<Entry> m_entries;
    QString m_error;
};
