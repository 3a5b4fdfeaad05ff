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

    // Adds a relationship from sourcePart (type: the full relationship type URI, target
    // relative to the source part) and returns its new id.
    QString addRelationship(const QString &sourcePart, const QString &type, const QString &target);
    // Targets of the relationships of a type suffix ("/header"), as part names.
    QStringList relatedParts(const QString &sourcePart, const QString &typeSuffix) const;
    // Declares a content type for an extension (Default) when none is declared yet.
    void ensureDefaultContentType(const QString &extension, const QString &type);
    // Declares a content type for one part (Override), replacing an earlier one.
    void setOverride(const QString &partName, const QString &type);
    // A part name not used yet: prefix + number + suffix, from 1 up.
    QString unusedPartName(const QString &prefix, const QString &suffix) const;

    // Width and height in pixels of PNG data (from its header); false when it is no PNG.
    static bool pngSize(const QByteArray &png, quint32 *width, quint32 *height);

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
