// Build tool: packs the unpacked XML sources of a report template into an OOXML package.
//   pcr_ooxml_pack OUTPUT DIR [DIR...]
// Files of later folders replace those of earlier ones (shared parts first, then the
// template's own). XML is checked for well-formedness and its indentation removed.
#include "reports/OoxmlPackage.h"
#include "reports/XmlPart.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>

#include <pugixml.hpp>

#include <cstdio>
#include <vector>

namespace {

bool isBlank(const char *text)
{
    for (; *text; ++text)
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n')
            return false;
    return true;
}

// Whitespace between elements is layout of the source file, not content.
void strip(pugi::xml_node node)
{
    bool hasElement = false;
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element)
            hasElement = true;
    std::vector<pugi::xml_node> doomed;
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element)
            strip(c);
        else if (hasElement && c.type() == pugi::node_pcdata && isBlank(c.value()))
            doomed.push_back(c);
        else if (c.type() == pugi::node_comment)
            doomed.push_back(c);
    }
    for (pugi::xml_node c : doomed)
        node.remove_child(c);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: pcr_ooxml_pack OUTPUT DIR [DIR...]\n");
        return 2;
    }
    QMap<QString, QString> files;   // part name -> source file
    for (int i = 2; i < args.size(); ++i) {
        const QDir dir(args.at(i));
        if (!dir.exists()) {
            std::fprintf(stderr, "pcr_ooxml_pack: no folder %s\n", qPrintable(args.at(i)));
            return 1;
        }
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            files.insert(dir.relativeFilePath(file), file);
        }
    }
    if (!files.contains(QStringLiteral("[Content_Types].xml"))) {
        std::fprintf(stderr, "pcr_ooxml_pack: no [Content_Types].xml\n");
        return 1;
    }
    OoxmlPackage package;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile in(it.value());
        if (!in.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "pcr_ooxml_pack: cannot read %s\n", qPrintable(it.value()));
            return 1;
        }
        QByteArray data = in.readAll();
        if (it.key().endsWith(QLatin1String(".xml")) || it.key().endsWith(QLatin1String(".rels"))) {
            pugi::xml_document doc;
            const pugi::xml_parse_result parsed = doc.load_buffer(
                data.constData(), size_t(data.size()), pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata
                                                           | pugi::parse_comments);
            if (!parsed) {
                std::fprintf(stderr, "%s: offset %lld: %s\n", qPrintable(it.value()), static_cast<long long>(parsed.offset),
                             parsed.description());
                return 1;
            }
            strip(doc);
            data = XmlPart::save(doc);
        }
        package.setPart(it.key(), data);
    }
    if (!package.save(args.at(1), true)) {
        std::fprintf(stderr, "pcr_ooxml_pack: %s\n", qPrintable(package.errorString()));
        return 1;
    }
    return 0;
}
