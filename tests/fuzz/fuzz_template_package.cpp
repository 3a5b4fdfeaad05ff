// A report template package as the document layer reads it: the zip, its content types, its
// relationships and its main part's XML.
#include "reports/OoxmlPackage.h"
#include "reports/XmlPart.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    OoxmlPackage package;
    if (!package.loadFromData(QByteArray(reinterpret_cast<const char *>(data), int(size))))
        return 0;
    const QString main = package.mainPartName();
    for (const QString &name : package.partNames())
        (void)package.contentType(name);
    if (!main.isEmpty() && package.hasPart(main)) {
        pugi::xml_document doc;
        if (XmlPart::load(doc, package.part(main)))
            (void)XmlPart::save(doc);
        (void)package.relationshipTarget(main, QStringLiteral("rId1"));
    }
    (void)package.toZip(true);
    return 0;
}
