#include "reports/WordReport.h"

#include "reports/OfficeConverter.h"
#include "reports/OoxmlPackage.h"
#include "reports/XmlPart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <pugixml.hpp>

#include <cstring>

using pugi::xml_node;

namespace {

bool is(xml_node n, const char *name)
{
    return n && std::strcmp(n.name(), name) == 0;
}

bool isBookmark(xml_node n)
{
    return is(n, "w:bookmarkStart") || is(n, "w:bookmarkEnd");
}

xml_node nextElement(xml_node n, const char *name)
{
    for (n = n.next_sibling(); n; n = n.next_sibling())
        if (is(n, name))
            return n;
    return {};
}

// First paragraph of a cell, created when the cell has none.
xml_node firstParagraph(xml_node tc)
{
    if (xml_node p = tc.child("w:p"))
        return p;
    return tc.append_child("w:p");
}

int gridSpan(xml_node tc)
{
    const int span = tc.child("w:tcPr").child("w:gridSpan").attribute("w:val").as_int(1);
    return span > 0 ? span : 1;
}

int gridStart(xml_node tc)
{
    xml_node tr = tc.parent();
    int col = tr.child("w:trPr").child("w:gridBefore").attribute("w:val").as_int(0);
    for (xml_node c = tr.child("w:tc"); c && c != tc; c = nextElement(c, "w:tc"))
        col += gridSpan(c);
    return col;
}

// The cell of a row that covers a grid column (the last cell when the row is shorter).
xml_node cellAt(xml_node tr, int gridColumn)
{
    int col = tr.child("w:trPr").child("w:gridBefore").attribute("w:val").as_int(0);
    xml_node last;
    for (xml_node c = tr.child("w:tc"); c; c = nextElement(c, "w:tc")) {
        const int span = gridSpan(c);
        if (gridColumn < col + span)
            return c;
        col += span;
        last = c;
    }
    return last;
}

bool isMergeContinuation(xml_node tc)
{
    xml_node vm = tc.child("w:tcPr").child("w:vMerge");
    return vm && std::strcmp(vm.attribute("w:val").as_string("continue"), "restart") != 0;
}

// Start of a paragraph for typing: after its properties and any leading bookmark starts.
xml_node startOf(xml_node p)
{
    xml_node n = p.first_child();
    while (is(n, "w:pPr"))
        n = n.next_sibling();
    return n;
}

// Child order inside w:rPr; vertAlign must precede these.
const char *const afterVertAlign[] = {"w:rtl", "w:cs", "w:em", "w:lang", "w:eastAsianLayout", "w:specVanish", "w:oMath"};

void setSubscript(xml_node rPr, bool on)
{
    xml_node va = rPr.child("w:vertAlign");
    if (!on) {
        if (va && std::strcmp(va.attribute("w:val").value(), "subscript") == 0)
            rPr.remove_child(va);
        return;
    }
    if (!va) {
        xml_node before;
        for (xml_node c = rPr.first_child(); c && !before; c = c.next_sibling())
            for (const char *name : afterVertAlign)
                if (is(c, name)) {
                    before = c;
                    break;
                }
        va = before ? rPr.insert_child_before("w:vertAlign", before) : rPr.append_child("w:vertAlign");
    }
    if (va.attribute("w:val"))
        va.attribute("w:val").set_value("subscript");
    else
        va.append_attribute("w:val") = "subscript";
}

bool hasSubscript(xml_node rPr)
{
    return std::strcmp(rPr.child("w:vertAlign").attribute("w:val").value(), "subscript") == 0;
}

xml_node firstRunIn(xml_node container)
{
    return container.find_node([](xml_node n) { return is(n, "w:r"); });
}

} // namespace

struct Selection
{
    enum Kind { Point, Range, Cell } kind = Point;
    xml_node para;
    xml_node before;        // Point: the typed text goes before this child (null: at the end)
    xml_node first, last;   // Range: children of para, inclusive
    xml_node cell;          // Cell: the whole cell is selected
    int subscript = -1;     // -1 as the text around it, 0 off, 1 on
};

struct WordReport::Impl
{
    OoxmlPackage package;
    QString mainPart;
    pugi::xml_document doc;
    xml_node body;
    Selection sel;
    bool open = false;
    QString error;

    void point(xml_node p, xml_node before)
    {
        sel = Selection();
        sel.kind = Selection::Point;
        sel.para = p;
        sel.before = before;
    }

    void pointAtStart(xml_node p) { point(p, startOf(p)); }
    void pointAtEnd(xml_node p) { point(p, xml_node()); }

    void selectCell(xml_node tc)
    {
        sel = Selection();
        sel.kind = Selection::Cell;
        sel.cell = tc;
        sel.para = firstParagraph(tc);
    }

    // Lands on a block-level element: a paragraph's start or a table's first cell.
    bool enterBlock(xml_node block)
    {
        if (is(block, "w:p")) {
            pointAtStart(block);
            return true;
        }
        if (is(block, "w:tbl")) {
            xml_node tr = block.child("w:tr");
            xml_node tc = tr ? tr.child("w:tc") : xml_node();
            if (!tc)
                return false;
            pointAtEnd(firstParagraph(tc));
            return true;
        }
        return false;
    }

    xml_node currentCell() const
    {
        if (sel.kind == Selection::Cell)
            return sel.cell;
        xml_node p = sel.para;
        return is(p.parent(), "w:tc") ? p.parent() : xml_node();
    }

    // The run properties the typed text takes over: the run before the insertion point,
    // else the run after it, else the paragraph mark's.
    xml_node inheritedRunProperties() const
    {
        if (sel.kind == Selection::Cell) {
            if (xml_node r = firstRunIn(sel.cell))
                return r.child("w:rPr");
            return firstParagraph(sel.cell).child("w:pPr").child("w:rPr");
        }
        if (sel.kind == Selection::Range) {
            for (xml_node n = sel.first; n; n = n.next_sibling()) {
                if (is(n, "w:r"))
                    return n.child("w:rPr");
                if (n == sel.last)
                    break;
            }
        }
        xml_node anchor = sel.kind == Selection::Range ? sel.first : sel.before;
        for (xml_node n = anchor ? anchor.previous_sibling() : sel.para.last_child(); n; n = n.previous_sibling())
            if (is(n, "w:r"))
                return n.child("w:rPr");
        for (xml_node n = anchor; n; n = n.next_sibling())
            if (is(n, "w:r"))
                return n.child("w:rPr");
        return sel.para.child("w:pPr").child("w:rPr");
    }

    bool effectiveSubscript() const
    {
        if (sel.subscript >= 0)
            return sel.subscript == 1;
        return hasSubscript(inheritedRunProperties());
    }

    xml_node makeRun(xml_node parent, xml_node before, const QString &text, xml_node rPrSource, bool subscript)
    {
        xml_node r = before ? parent.insert_child_before("w:r", before) : parent.append_child("w:r");
        xml_node rPr = rPrSource ? r.append_copy(rPrSource) : r.append_child("w:rPr");
        for (const char *revision : {"w:ins", "w:del", "w:moveFrom", "w:moveTo", "w:rPrChange"})
            while (xml_node c = rPr.child(revision))
                rPr.remove_child(c);
        setSubscript(rPr, subscript);
        if (!rPr.first_child())
            r.remove_child(rPr);
        QString chunk;
        auto flush = [&] {
            if (chunk.isEmpty())
                return;
            xml_node t = r.append_child("w:t");
            t.append_attribute("xml:space") = "preserve";
            t.text().set(chunk.toUtf8().constData());
            chunk.clear();
        };
        for (const QChar c : text) {
            if (c == QLatin1Char('\n')) {
                flush();
                r.append_child("w:br");
            } else if (c == QLatin1Char('\t')) {
                flush();
                r.append_child("w:tab");
            } else if (c != QLatin1Char('\r')) {
                chunk += c;
            }
        }
        flush();
        return r;
    }

    // Empties a cell down to one paragraph with its properties; bookmarks survive.
    xml_node clearCell(xml_node tc)
    {
        xml_node keep = firstParagraph(tc);
        std::vector<xml_node> doomed;
        for (xml_node n = keep.first_child(); n; n = n.next_sibling())
            if (!is(n, "w:pPr") && !isBookmark(n))
                doomed.push_back(n);
        for (xml_node n = tc.first_child(); n; n = n.next_sibling()) {
            if (n == keep || is(n, "w:tcPr"))
                continue;
            for (pugi::xpath_node b : n.select_nodes(".//w:bookmarkStart | .//w:bookmarkEnd"))
                keep.append_copy(b.node());
            doomed.push_back(n);
        }
        for (xml_node n : doomed)
            n.parent().remove_child(n);
        return keep;
    }

    void type(const QString &text)
    {
        const xml_node rPr = inheritedRunProperties();
        const bool subscript = effectiveSubscript();
        const int keepSubscript = sel.subscript;
        // Copy the properties first: clearing the selection may delete their run.
        pugi::xml_document scratch;
        xml_node props = rPr ? scratch.append_copy(rPr) : xml_node();
        switch (sel.kind) {
        case Selection::Cell: {
            xml_node p = clearCell(sel.cell);
            if (!text.isEmpty())
                makeRun(p, xml_node(), text, props, subscript);
            pointAtEnd(p);
            break;
        }
        case Selection::Range: {
            xml_node p = sel.para;
            xml_node anchor = sel.last.next_sibling();
            std::vector<xml_node> doomed;
            for (xml_node n = sel.first; n && n != anchor; n = n.next_sibling())
                if (!isBookmark(n) && !is(n, "w:pPr"))
                    doomed.push_back(n);
            for (xml_node n : doomed)
                p.remove_child(n);
            if (!text.isEmpty())
                makeRun(p, anchor, text, props, subscript);
            point(p, anchor);
            break;
        }
        case Selection::Point:
            if (!sel.para)
                return;
            if (!text.isEmpty())
                makeRun(sel.para, sel.before, text, props, subscript);
            break;
        }
        sel.subscript = keepSubscript;
    }

    void toggleSubscript()
    {
        const bool on = !effectiveSubscript();
        auto apply = [on](xml_node r) {
            xml_node rPr = r.child("w:rPr");
            if (!rPr)
                rPr = r.prepend_child("w:rPr");
            setSubscript(rPr, on);
        };
        if (sel.kind == Selection::Cell) {
            for (pugi::xpath_node r : sel.cell.select_nodes(".//w:r"))
                apply(r.node());
        } else if (sel.kind == Selection::Range) {
            for (xml_node n = sel.first; n; n = n.next_sibling()) {
                if (is(n, "w:r"))
                    apply(n);
                if (n == sel.last)
                    break;
            }
        }
        sel.subscript = on ? 1 : 0;
    }

    bool selectBookmark(const QString &name)
    {
        const QByteArray wanted = name.toUtf8();
        xml_node start = body.find_node([&](xml_node n) {
            return is(n, "w:bookmarkStart") && wanted == n.attribute("w:name").value();
        });
        if (!start)
            return false;
        xml_node parent = start.parent();
        if (is(parent, "w:p")) {
            const QByteArray id = start.attribute("w:id").value();
            xml_node end;
            bool content = false;
            xml_node last;
            for (xml_node n = start.next_sibling(); n; n = n.next_sibling()) {
                if (is(n, "w:bookmarkEnd") && id == n.attribute("w:id").value()) {
                    end = n;
                    break;
                }
                if (!isBookmark(n))
                    content = true;
                last = n;
            }
            if (!content) {
                point(parent, end ? end : xml_node());
            } else {
                sel = Selection();
                sel.kind = Selection::Range;
                sel.para = parent;
                sel.first = start.next_sibling();
                sel.last = last;
            }
            return true;
        }
        if (is(parent, "w:tr")) {
            xml_node tc = cellAt(parent, start.attribute("w:colFirst").as_int(0));
            if (!tc)
                return false;
            selectCell(tc);
            return true;
        }
        for (xml_node n = start.next_sibling(); n; n = n.next_sibling())
            if (enterBlock(n))
                return true;
        return false;
    }

    void moveDown(int n)
    {
        xml_node p = sel.kind == Selection::Cell ? firstParagraph(sel.cell) : sel.para;
        if (!p)
            return;
        for (int step = 0; step < n; ++step) {
            xml_node tc = is(p.parent(), "w:tc") ? p.parent() : xml_node();
            if (tc) {
                if (xml_node next = nextElement(p, "w:p")) {
                    p = next;
                    continue;
                }
                xml_node tr = tc.parent();
                if (xml_node nextRow = nextElement(tr, "w:tr")) {
                    xml_node target = cellAt(nextRow, gridStart(tc));
                    if (!target)
                        break;
                    p = firstParagraph(target);
                    continue;
                }
                p = tr.parent();   // leave the table: continue from the table as a block
            }
            xml_node block;
            for (xml_node s = p.next_sibling(); s && !block; s = s.next_sibling())
                if (is(s, "w:p") || (is(s, "w:tbl") && s.child("w:tr").child("w:tc")))
                    block = s;
            if (!block) {
                if (is(p, "w:tbl"))   // nothing below the table: stay in its last row
                    p = firstParagraph(cellAt(p.last_child(), 0));
                break;
            }
            p = is(block, "w:p") ? block : firstParagraph(block.child("w:tr").child("w:tc"));
        }
        if (is(p.parent(), "w:tc"))
            pointAtEnd(p);
        else
            pointAtStart(p);
    }

    void moveRight(int n)
    {
        xml_node tc = currentCell();
        if (!tc)
            return;
        for (int step = 0; step < n; ++step) {
            xml_node next = tc;
            do {
                xml_node candidate = nextElement(next, "w:tc");
                if (!candidate) {
                    xml_node row = nextElement(next.parent(), "w:tr");
                    candidate = row ? row.child("w:tc") : xml_node();
                }
                next = candidate;
            } while (next && isMergeContinuation(next));
            if (!next)
                break;
            tc = next;
        }
        selectCell(tc);
    }

    void insertRows(int n)
    {
        xml_node tc = currentCell();
        xml_node tr = tc ? tc.parent() : xml_node();
        if (!is(tr, "w:tr") || n <= 0)
            return;
        xml_node tbl = tr.parent();
        xml_node firstNew;
        for (int i = 0; i < n; ++i) {
            xml_node copy = tbl.insert_copy_before(tr, tr);
            for (pugi::xpath_node b : copy.select_nodes(".//w:bookmarkStart | .//w:bookmarkEnd | .//w:commentRangeStart"
                                                        " | .//w:commentRangeEnd | .//w:commentReference"))
                b.parent().remove_child(b.node());
            for (xml_node c = copy.child("w:tc"); c; c = nextElement(c, "w:tc")) {
                xml_node keep = firstParagraph(c);
                std::vector<xml_node> doomed;
                for (xml_node k = c.first_child(); k; k = k.next_sibling())
                    if (k != keep && !is(k, "w:tcPr"))
                        doomed.push_back(k);
                for (xml_node k = keep.first_child(); k; k = k.next_sibling())
                    if (!is(k, "w:pPr"))
                        doomed.push_back(k);
                for (xml_node k : doomed)
                    k.parent().remove_child(k);
                c.child("w:tcPr").remove_child("w:vMerge");
            }
            for (pugi::xpath_node any : copy.select_nodes("descendant-or-self::*[@w14:paraId or @w14:textId]")) {
                any.node().remove_attribute("w14:paraId");
                any.node().remove_attribute("w14:textId");
            }
            if (!firstNew)
                firstNew = copy;
        }
        if (xml_node c = firstNew.child("w:tc"))
            pointAtEnd(firstParagraph(c));
    }

    void close()
    {
        open = false;
        doc.reset();
        body = xml_node();
        sel = Selection();
        package = OoxmlPackage();
    }

    QByteArray data()
    {
        package.setPart(mainPart, XmlPart::save(doc));
        if (package.contentType(mainPart).contains(QLatin1String("template.main+xml")))
            package.setContentType(mainPart, QStringLiteral(
                "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"));
        return package.toZip();
    }
};

WordReport::WordReport() : d(new Impl) {}

WordReport::~WordReport() = default;

int WordReport::Open(const QString &templatePath)
{
    d->close();
    const QFileInfo info(templatePath);
    const QString shown = QDir::toNativeSeparators(templatePath);
    if (!info.isFile() || !info.isReadable()) {
        d->error = QCoreApplication::translate("WordReport", "找不到模板文件或无法读取：%1").arg(shown);
        return 1;
    }
    if (!d->package.load(templatePath)) {
        d->error = d->package.errorString();
        return 2;
    }
    d->mainPart = d->package.mainPartName();
    if (d->mainPart.isEmpty() || !d->package.hasPart(d->mainPart)
        || !d->package.contentType(d->mainPart).contains(QLatin1String("wordprocessingml"))) {
        d->error = QCoreApplication::translate("WordReport", "模板不是Word文档：%1").arg(shown);
        return 2;
    }
    if (!XmlPart::load(d->doc, d->package.part(d->mainPart)) || !is(d->doc.document_element(), "w:document")
        || !d->doc.document_element().child("w:body")) {
        d->error = QCoreApplication::translate("WordReport", "模板正文已损坏：%1").arg(shown);
        d->doc.reset();
        return 3;
    }
    d->body = d->doc.document_element().child("w:body");
    d->open = true;
    d->error.clear();
    // A new document's insertion point is the start of its first paragraph.
    for (xml_node n = d->body.first_child(); n; n = n.next_sibling())
        if (d->enterBlock(n))
            break;
    return 0;
}

bool WordReport::isOpen() const
{
    return d->open;
}

void WordReport::GoToBookmark(const QString &name)
{
    if (d->open)
        d->selectBookmark(name);
}

bool WordReport::FillBookmarks(const QString &prefix, const QStringList &texts)
{
    if (!d->open)
        return false;
    for (int i = 0; i < texts.size(); ++i) {
        if (!d->selectBookmark(prefix + QString::number(i + 1)))
            return true;
        d->type(texts.at(i));
    }
    return false;
}

void WordReport::InsertRows(int n)
{
    if (d->open)
        d->insertRows(n);
}

void WordReport::TypeText(const QString &text)
{
    if (d->open)
        d->type(text);
}

void WordReport::TypeWithSubscript(const QString &text, const QString &sub)
{
    if (!d->open)
        return;
    d->type(text);
    d->toggleSubscript();
    d->type(sub);
    d->toggleSubscript();
}

void WordReport::ToggleSubscriptAndType(const QString &text)
{
    if (!d->open)
        return;
    d->toggleSubscript();
    d->type(text);
}

void WordReport::MoveDown(int n)
{
    if (d->open && n > 0)
        d->moveDown(n);
}

void WordReport::MoveRight(int n)
{
    if (d->open && n > 0)
        d->moveRight(n);
}

bool WordReport::FillBookmark(const QString &name, const QString &text)
{
    if (!d->open || !d->selectBookmark(name))
        return false;
    d->type(text);
    return true;
}

void WordReport::FillHeaderFooter(const QString &key, const QString &text)
{
    if (!d->open)
        return;
    const QByteArray placeholder = (QLatin1Char('{') + key + QLatin1Char('}')).toUtf8();
    const QByteArray replacement = text.toUtf8();
    QStringList parts = d->package.relatedParts(d->mainPart, QStringLiteral("/header"));
    parts << d->package.relatedParts(d->mainPart, QStringLiteral("/footer"));
    for (const QString &name : qAsConst(parts)) {
        pugi::xml_document part;
        if (!XmlPart::load(part, d->package.part(name)))
            continue;
        bool changed = false;
        for (pugi::xpath_node t : part.select_nodes("//w:t")) {
            QByteArray value = t.node().text().get();
            if (!value.contains(placeholder))
                continue;
            value.replace(placeholder, replacement);
            t.node().text().set(value.constData());
            changed = true;
        }
        if (changed)
            d->package.setPart(name, XmlPart::save(part));
    }
}

bool WordReport::InsertPicture(const QByteArray &png, double widthCm)
{
    if (!d->open || d->sel.kind != Selection::Point || !d->sel.para)
        return false;
    quint32 w = 0, h = 0;
    if (!OoxmlPackage::pngSize(png, &w, &h))
        return false;
    const QString media = d->package.unusedPartName(QStringLiteral("word/media/picture"), QStringLiteral(".png"));
    d->package.setPart(media, png);
    d->package.ensureDefaultContentType(QStringLiteral("png"), QStringLiteral("image/png"));
    const QString id = d->package.addRelationship(
        d->mainPart, QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/image"),
        media.mid(QStringLiteral("word/").size()));
    const qint64 cx = qint64(widthCm * 360000.0);
    const qint64 cy = cx * qint64(h) / qint64(w);
    const int docPr = 1000 + int(d->doc.select_nodes("//wp:docPr").size());
    const QString xml = QStringLiteral(
        "<w:r xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:drawing>"
        "<wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\" "
        "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\">"
        "<wp:extent cx=\"%1\" cy=\"%2\"/><wp:docPr id=\"%3\" name=\"Picture %3\"/>"
        "<a:graphic xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">"
        "<a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
        "<pic:pic xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
        "<pic:nvPicPr><pic:cNvPr id=\"%3\" name=\"Picture %3\"/><pic:cNvPicPr/></pic:nvPicPr>"
        "<pic:blipFill><a:blip r:embed=\"%4\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"/>"
        "<a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
        "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"%1\" cy=\"%2\"/></a:xfrm>"
        "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr>"
        "</pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>")
                            .arg(cx).arg(cy).arg(docPr).arg(id);
    pugi::xml_document fragment;
    const QByteArray bytes = xml.toUtf8();
    if (!fragment.load_buffer(bytes.constData(), size_t(bytes.size())))
        return false;
    xml_node run = fragment.first_child();
    // Namespaces are declared on the document root already; the fragment's copies go.
    for (pugi::xpath_node n : run.select_nodes("descendant-or-self::*")) {
        for (const char *ns : {"xmlns:w", "xmlns:wp", "xmlns:a", "xmlns:pic", "xmlns:r"})
            n.node().remove_attribute(ns);
    }
    xml_node root = d->doc.document_element();
    const struct { const char *prefix; const char *uri; } namespaces[] = {
        {"xmlns:wp", "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"},
        {"xmlns:a", "http://schemas.openxmlformats.org/drawingml/2006/main"},
        {"xmlns:pic", "http://schemas.openxmlformats.org/drawingml/2006/picture"},
        {"xmlns:r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships"}};
    for (const auto &ns : namespaces)
        if (!root.attribute(ns.prefix))
            root.append_attribute(ns.prefix) = ns.uri;
    if (d->sel.before)
        d->sel.para.insert_copy_before(run, d->sel.before);
    else
        d->sel.para.append_copy(run);
    return true;
}

bool WordReport::RemoveFromBookmark(const QString &name)
{
    if (!d->open)
        return false;
    const QByteArray wanted = name.toUtf8();
    xml_node start = d->body.find_node([&](xml_node n) {
        return is(n, "w:bookmarkStart") && wanted == n.attribute("w:name").value();
    });
    if (!start)
        return false;
    xml_node block = start;
    while (block.parent() != d->body)
        block = block.parent();
    std::vector<xml_node> doomed;
    for (xml_node n = block; n; n = n.next_sibling())
        if (!is(n, "w:sectPr"))
            doomed.push_back(n);
    for (xml_node n : doomed)
        d->body.remove_child(n);
    for (xml_node n = d->body.first_child(); n; n = n.next_sibling())
        if (d->enterBlock(n))
            break;
    return true;
}

bool WordReport::ExportPdf(const QString &path, const std::atomic<bool> *cancel)
{
    if (!d->open) {
        d->error = QCoreApplication::translate("WordReport", "文档未打开");
        return false;
    }
    QTemporaryDir work;
    if (!work.isValid()) {
        d->error = QCoreApplication::translate("WordReport", "无法创建临时目录：%1").arg(work.errorString());
        return false;
    }
    const QString docx = work.filePath(QStringLiteral("report.docx"));
    QFile file(docx);
    const QByteArray bytes = d->data();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        d->error = QCoreApplication::translate("WordReport", "无法写入临时文件：%1").arg(file.errorString());
        return false;
    }
    file.close();
    QString error;
    if (!OfficeConverter::convertToPdf(docx, path, &error, 180000, cancel)) {
        d->error = error;
        return false;
    }
    return true;
}

bool WordReport::SaveAndQuit(const QString &path)
{
    if (!d->open) {
        d->error = QCoreApplication::translate("WordReport", "文档未打开");
        return false;
    }
    d->data();
    const bool ok = d->package.save(path);
    if (!ok)
        d->error = d->package.errorString();
    const QString error = d->error;
    d->close();
    d->error = error;
    return ok;
}

void WordReport::CloseAndQuit()
{
    d->close();
}

QString WordReport::errorString() const
{
    return d->error;
}

QByteArray WordReport::documentData() const
{
    return d->open ? d->data() : QByteArray();
}
