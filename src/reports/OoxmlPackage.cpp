#include "reports/OoxmlPackage.h"

#include "store/OutputFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "reports/XmlPart.h"

#include <pugixml.hpp>
#include <zip.h>

#include <memory>

namespace {

QString zipErrorText(zip_error_t *error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

} // namespace

bool OoxmlPackage::load(const QString &path)
{
    m_entries.clear();
    QFile file(path);
    if (!file.exists()) {
        m_error = QCoreApplication::translate("OoxmlPackage", "文件不存在：%1").arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QCoreApplication::translate("OoxmlPackage", "无法读取文件：%1（%2）").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    if (!loadFromData(file.readAll())) {
        m_error = QCoreApplication::translate("OoxmlPackage", "文件已损坏或不是Office文档：%1（%2）").arg(QDir::toNativeSeparators(path), m_error);
        return false;
    }
    return true;
}

bool OoxmlPackage::loadFromData(const QByteArray &zipData)
{
    m_entries.clear();
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(zipData.constData(), zip_uint64_t(zipData.size()), 0, &error);
    if (!source) {
        m_error = zipErrorText(&error);
        zip_error_fini(&error);
        return false;
    }
    zip_t *archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive) {
        zip_source_free(source);
        m_error = zipErrorText(&error);
        zip_error_fini(&error);
        return false;
    }
    zip_error_fini(&error);

    bool ok = true;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; ok && i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) {
            ok = false;
            break;
        }
        const QString name = QString::fromUtf8(st.name);
        if (name.endsWith(QLatin1Char('/')))
            continue;
        zip_file_t *file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        if (!file) {
            ok = false;
            break;
        }
        QByteArray data;
        char buffer[65536];
        zip_int64_t n;
        while ((n = zip_fread(file, buffer, sizeof buffer)) > 0)
            data.append(buffer, int(n));
        if (n < 0)
            ok = false;
        zip_fclose(file);
        m_entries.append({name, data});
    }
    if (!ok)
        m_error = QString::fromLocal8Bit(zip_strerror(archive));
    zip_discard(archive);
    if (!ok) {
        m_entries.clear();
        return false;
    }
    if (!hasPart(QStringLiteral("[Content_Types].xml"))) {
        m_entries.clear();
        m_error = QCoreApplication::translate("OoxmlPackage", "缺少[Content_Types].xml");
        return false;
    }
    return true;
}

bool OoxmlPackage::hasPart(const QString &name) const
{
    for (const Entry &e : m_entries)
        if (e.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QByteArray OoxmlPackage::part(const QString &name) const
{
    for (const Entry &e : m_entries)
        if (e.name.compare(name, Qt::CaseInsensitive) == 0)
            return e.data;
    return {};
}

void OoxmlPackage::setPart(const QString &name, const QByteArray &data)
{
    for (Entry &e : m_entries) {
        if (e.name.compare(name, Qt::CaseInsensitive) == 0) {
            e.data = data;
            return;
        }
    }
    m_entries.append({name, data});
}

QStringList OoxmlPackage::partNames() const
{
    QStringList names;
    for (const Entry &e : m_entries)
        names << e.name;
    return names;
}

QString OoxmlPackage::resolveTarget(const QString &sourcePart, const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(target).mid(1);
    const QString base = QFileInfo(sourcePart).path();
    QString joined = (base == QLatin1String(".") || base.isEmpty()) ? target : base + QLatin1Char('/') + target;
    joined = QDir::cleanPath(joined);
    while (joined.startsWith(QLatin1String("../")))
        joined = joined.mid(3);
    return joined;
}

QString OoxmlPackage::relationshipTarget(const QString &sourcePart, const QString &id) const
{
    const QFileInfo info(sourcePart);
    const QString dir = info.path() == QLatin1String(".") ? QString() : info.path() + QLatin1Char('/');
    const QString relsName = sourcePart.isEmpty() ? QStringLiteral("_rels/.rels")
                                                  : dir + QStringLiteral("_rels/") + info.fileName() + QStringLiteral(".rels");
    const QByteArray rels = part(relsName);
    pugi::xml_document doc;
    if (!doc.load_buffer(rels.constData(), size_t(rels.size())))
        return {};
    const QByteArray wanted = id.toUtf8();
    for (pugi::xml_node rel : doc.document_element().children("Relationship")) {
        if (wanted == rel.attribute("Id").value())
            return resolveTarget(sourcePart, QString::fromUtf8(rel.attribute("Target").value()));
    }
    return {};
}

namespace {

QString relsNameOf(const QString &sourcePart)
{
    if (sourcePart.isEmpty())
        return QStringLiteral("_rels/.rels");
    const QFileInfo info(sourcePart);
    const QString dir = info.path() == QLatin1String(".") ? QString() : info.path() + QLatin1Char('/');
    return dir + QStringLiteral("_rels/") + info.fileName() + QStringLiteral(".rels");
}

} // namespace

QString OoxmlPackage::addRelationship(const QString &sourcePart, const QString &type, const QString &target)
{
    const QString relsName = relsNameOf(sourcePart);
    pugi::xml_document doc;
    const QByteArray rels = part(relsName);
    if (rels.isEmpty() || !XmlPart::load(doc, rels)) {
        doc.reset();
        pugi::xml_node decl = doc.append_child(pugi::node_declaration);
        decl.append_attribute("version") = "1.0";
        decl.append_attribute("encoding") = "UTF-8";
        decl.append_attribute("standalone") = "yes";
        doc.append_child("Relationships").append_attribute("xmlns")
            = "http://schemas.openxmlformats.org/package/2006/relationships";
        ensureDefaultContentType(QStringLiteral("rels"),
                                 QStringLiteral("application/vnd.openxmlformats-package.relationships+xml"));
    }
    pugi::xml_node root = doc.document_element();
    QString id;
    for (int n = 1;; ++n) {
        id = QStringLiteral("rIdX%1").arg(n);
        const QByteArray wanted = id.toUtf8();
        bool used = false;
        for (pugi::xml_node rel : root.children("Relationship"))
            used = used || wanted == rel.attribute("Id").value();
        if (!used)
            break;
    }
    pugi::xml_node rel = root.append_child("Relationship");
    rel.append_attribute("Id") = id.toUtf8().constData();
    rel.append_attribute("Type") = type.toUtf8().constData();
    rel.append_attribute("Target") = target.toUtf8().constData();
    setPart(relsName, XmlPart::save(doc));
    return id;
}

QStringList OoxmlPackage::relatedParts(const QString &sourcePart, const QString &typeSuffix) const
{
    QStringList out;
    const QByteArray rels = part(relsNameOf(sourcePart));
    pugi::xml_document doc;
    if (!doc.load_buffer(rels.constData(), size_t(rels.size())))
        return out;
    for (pugi::xml_node rel : doc.document_element().children("Relationship"))
        if (QString::fromUtf8(rel.attribute("Type").value()).endsWith(typeSuffix))
            out << resolveTarget(sourcePart, QString::fromUtf8(rel.attribute("Target").value()));
    return out;
}

void OoxmlPackage::ensureDefaultContentType(const QString &extension, const QString &type)
{
    const QString name = QStringLiteral("[Content_Types].xml");
    const QByteArray data = part(name);
    pugi::xml_document doc;
    if (!XmlPart::load(doc, data))
        return;
    pugi::xml_node root = doc.document_element();
    const QByteArray ext = extension.toUtf8();
    for (pugi::xml_node d : root.children("Default"))
        if (QByteArray(d.attribute("Extension").value()).compare(ext, Qt::CaseInsensitive) == 0)
            return;
    // Defaults come before overrides.
    pugi::xml_node firstOverride = root.child("Override");
    pugi::xml_node d = firstOverride ? root.insert_child_before("Default", firstOverride) : root.append_child("Default");
    d.append_attribute("Extension") = ext.constData();
    d.append_attribute("ContentType") = type.toUtf8().constData();
    setPart(name, XmlPart::save(doc));
}

void OoxmlPackage::setOverride(const QString &partName, const QString &type)
{
    if (!setContentType(partName, type)) {
        const QString name = QStringLiteral("[Content_Types].xml");
        const QByteArray data = part(name);
        pugi::xml_document doc;
        if (!XmlPart::load(doc, data))
            return;
        pugi::xml_node o = doc.document_element().append_child("Override");
        o.append_attribute("PartName") = (QLatin1Char('/') + partName).toUtf8().constData();
        o.append_attribute("ContentType") = type.toUtf8().constData();
        setPart(name, XmlPart::save(doc));
    }
}

bool OoxmlPackage::pngSize(const QByteArray &png, quint32 *width, quint32 *height)
{
    if (png.size() < 24 || !png.startsWith("\x89PNG\r\n\x1a\n"))
        return false;
    auto be32 = [&png](int at) {
        return (quint32(quint8(png[at])) << 24) | (quint32(quint8(png[at + 1])) << 16)
            | (quint32(quint8(png[at + 2])) << 8) | quint32(quint8(png[at + 3]));
    };
    *width = be32(16);
    *height = be32(20);
    return *width > 0 && *height > 0;
}

QString OoxmlPackage::unusedPartName(const QString &prefix, const QString &suffix) const
{
    for (int n = 1;; ++n) {
        const QString name = prefix + QString::number(n) + suffix;
        if (!hasPart(name))
            return name;
    }
}

QString OoxmlPackage::mainPartName() const
{
    const QByteArray rels = part(QStringLiteral("_rels/.rels"));
    pugi::xml_document doc;
    if (!doc.load_buffer(rels.constData(), size_t(rels.size())))
        return {};
    for (pugi::xml_node rel : doc.document_element().children("Relationship")) {
        const QString type = QString::fromUtf8(rel.attribute("Type").value());
        if (type.endsWith(QLatin1String("/officeDocument")))
            return resolveTarget(QString(), QString::fromUtf8(rel.attribute("Target").value()));
    }
    return {};
}

QString OoxmlPackage::contentType(const QString &partName) const
{
    const QByteArray types = part(QStringLiteral("[Content_Types].xml"));
    pugi::xml_document doc;
    if (!doc.load_buffer(types.constData(), size_t(types.size())))
        return {};
    const QString wanted = QLatin1Char('/') + partName;
    for (pugi::xml_node o : doc.document_element().children("Override"))
        if (wanted.compare(QString::fromUtf8(o.attribute("PartName").value()), Qt::CaseInsensitive) == 0)
            return QString::fromUtf8(o.attribute("ContentType").value());
    const QString suffix = QFileInfo(partName).suffix();
    for (pugi::xml_node d : doc.document_element().children("Default"))
        if (suffix.compare(QString::fromUtf8(d.attribute("Extension").value()), Qt::CaseInsensitive) == 0)
            return QString::fromUtf8(d.attribute("ContentType").value());
    return {};
}

bool OoxmlPackage::setContentType(const QString &partName, const QString &type)
{
    const QByteArray types = part(QStringLiteral("[Content_Types].xml"));
    pugi::xml_document doc;
    if (!doc.load_buffer(types.constData(), size_t(types.size()), pugi::parse_default | pugi::parse_declaration))
        return false;
    const QString wanted = QLatin1Char('/') + partName;
    for (pugi::xml_node o : doc.document_element().children("Override")) {
        if (wanted.compare(QString::fromUtf8(o.attribute("PartName").value()), Qt::CaseInsensitive) == 0) {
            o.attribute("ContentType").set_value(type.toUtf8().constData());
                    setPart(QStringLiteral("[Content_Types].xml"), XmlPart::save(doc));
            return true;
        }
    }
    return false;
}

QByteArray OoxmlPackage::toZip(bool fixedTimestamps) const
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    if (!buffer)
        return {};
    zip_t *archive = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
    if (!archive) {
        zip_source_free(buffer);
        return {};
    }
    zip_source_keep(buffer);
    bool ok = true;
    // [Content_Types].xml first: some readers sniff the package from the first entry.
    QVector<const Entry *> order;
    for (const Entry &e : m_entries)
        if (e.name == QLatin1String("[Content_Types].xml"))
            order.prepend(&e);
        else
            order.append(&e);
    for (const Entry *e : order) {
        zip_source_t *data = zip_source_buffer(archive, e->data.constData(), zip_uint64_t(e->data.size()), 0);
        const QByteArray name = e->name.toUtf8();
        const zip_int64_t index = data ? zip_file_add(archive, name.constData(), data, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (data)
                zip_source_free(data);
            ok = false;
            break;
        }
        if (fixedTimestamps)
            zip_file_set_mtime(archive, zip_uint64_t(index), 315532800 + 86400, 0);   // 1980-01-02
    }
    if (!ok || zip_close(archive) != 0) {
        zip_discard(archive);   // after a failed close the archive is still ours to free
        zip_source_free(buffer);
        return {};
    }
    QByteArray out;
    zip_stat_t st;
    if (zip_source_stat(buffer, &st) == 0 && zip_source_open(buffer) == 0) {
        out.resize(int(st.size));
        const zip_int64_t n = zip_source_read(buffer, out.data(), st.size);
        zip_source_close(buffer);
        if (n != zip_int64_t(st.size))
            out.clear();
    }
    zip_source_free(buffer);
    return out;
}

bool OoxmlPackage::save(const QString &path, bool fixedTimestamps)
{
    const QByteArray zip = toZip(fixedTimestamps);
    if (zip.isEmpty()) {
        m_error = QCoreApplication::translate("OoxmlPackage", "无法生成文档压缩包");
        return false;
    }
    return OutputFile::write(path, zip, &m_error);
}
