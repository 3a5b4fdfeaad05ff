#pragma once

#include <QByteArray>

#include <pugixml.hpp>

// Parsing and writing the XML parts of a package. Whitespace-only text is kept when it is an
// element's only content (a single space in a text run is content, not layout).
namespace XmlPart {

inline bool load(pugi::xml_document &doc, const QByteArray &data)
{
    const auto options = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
    return bool(doc.load_buffer(data.constData(), size_t(data.size()), options, pugi::encoding_utf8));
}

inline QByteArray save(const pugi::xml_document &doc)
{
    struct Writer : pugi::xml_writer
    {
        QByteArray out;
        void write(const void *data, size_t size) override
        {
            out.append(static_cast<const char *>(data), int(size));
        }
    } writer;
    doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.out;
}

} // namespace XmlPart
