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

// XML 1.0 allows no control character but tab, line feed and carriage return, neither as such
// nor as a character reference, and neither U+FFFE nor U+FFFF. A stored name holding one would
// make the whole document unreadable to every office program: such characters are dropped.
inline QByteArray withoutForbiddenCharacters(const QByteArray &xml)
{
    const auto forbidden = [](unsigned c) { return c < 0x20 && c != 0x9 && c != 0xa && c != 0xd; };
    QByteArray out;
    out.reserve(xml.size());
    const int n = xml.size();
    for (int i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(xml.at(i));
        if (forbidden(c))
            continue;
        // U+FFFE and U+FFFF: EF BF BE, EF BF BF.
        if (c == 0xef && i + 2 < n && static_cast<unsigned char>(xml.at(i + 1)) == 0xbf
            && (static_cast<unsigned char>(xml.at(i + 2)) & 0xfe) == 0xbe) {
            i += 2;
            continue;
        }
        // A reference such as "&#27;" or "&#x1B;" (pugixml writes controls so).
        if (c == '&' && i + 2 < n && xml.at(i + 1) == '#') {
            const int end = xml.indexOf(';', i);
            if (end > i + 2 && end - i <= 12) {
                const bool hex = xml.at(i + 2) == 'x' || xml.at(i + 2) == 'X';
                bool ok = false;
                const uint code = xml.mid(i + (hex ? 3 : 2), end - i - (hex ? 3 : 2)).toUInt(&ok, hex ? 16 : 10);
                if (ok && (forbidden(code) || code == 0xfffe || code == 0xffff)) {
                    i = end;
                    continue;
                }
            }
        }
        out.append(char(c));
    }
    return out;
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
    return withoutForbiddenCharacters(writer.out);
}

} // namespace XmlPart
