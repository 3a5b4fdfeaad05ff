#include "reports/ExcelReport.h"

#include "reports/ColumnLetters.h"
#include "reports/OoxmlPackage.h"
#include "reports/XmlPart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <pugixml.hpp>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

using pugi::xml_node;

namespace {

bool is(xml_node n, const char *name)
{
    return n && std::strcmp(n.name(), name) == 0;
}

QString attr(xml_node n, const char *name)
{
    return QString::fromUtf8(n.attribute(name).value());
}

void setAttr(xml_node n, const char *name, const QString &value)
{
    pugi::xml_attribute a = n.attribute(name);
    if (!a)
        a = n.append_attribute(name);
    a.set_value(value.toUtf8().constData());
}

int rowOf(xml_node rowOrCell)
{
    if (is(rowOrCell, "row"))
        return rowOrCell.attribute("r").as_int();
    int r = 0;
    parseCellAddress(attr(rowOrCell, "r"), &r, nullptr);
    return r;
}

int columnOf(xml_node cell)
{
    int c = 0;
    parseCellAddress(attr(cell, "r"), nullptr, &c);
    return c;
}

// Moves every row number at or below `from` down by one in a reference such as "A1", "B2:C4",
// "$A$1:$K$40", "$1:$3" or "'Sheet'!$A$1:$B$2"; column-only parts stay.
QString shiftReference(const QString &reference, int from)
{
    static const QRegularExpression endpoint(QStringLiteral("(\\$?[A-Z]{0,3})(\\$?)(\\d+)(?=$|[:, ])"));
    QString out;
    int last = 0;
    const int bang = reference.lastIndexOf(QLatin1Char('!'));
    auto it = endpoint.globalMatch(reference, bang + 1);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        // Only tokens that start an endpoint: at the beginning, after '!', ':', ',' or a space.
        const int start = m.capturedStart();
        if (start > 0 && !QStringLiteral("!:, ").contains(reference.at(start - 1)))
            continue;
        const int row = m.captured(3).toInt();
        out += reference.mid(last, m.capturedStart(3) - last);
        out += QString::number(row >= from ? row + 1 : row);
        last = m.capturedEnd(3);
    }
    out += reference.mid(last);
    return out;
}

struct Area
{
    int r1, c1, r2, c2;
    bool intersects(const Area &o) const { return r1 <= o.r2 && o.r1 <= r2 && c1 <= o.c2 && o.c1 <= c2; }
    Area united(const Area &o) const
    {
        return {std::min(r1, o.r1), std::min(c1, o.c1), std::max(r2, o.r2), std::max(c2, o.c2)};
    }
    QString text() const { return cellAddress(r1, c1) + QLatin1Char(':') + cellAddress(r2, c2); }
};

bool parseArea(const QString &ref, Area *area)
{
    const QStringList parts = ref.split(QLatin1Char(':'));
    if (parts.isEmpty() || parts.size() > 2)
        return false;
    if (!parseCellAddress(parts.first(), &area->r1, &area->c1))
        return false;
    if (parts.size() == 1) {
        area->r2 = area->r1;
        area->c2 = area->c1;
        return true;
    }
    return parseCellAddress(parts.last(), &area->r2, &area->c2);
}

// Elements that come before mergeCells in a worksheet, in schema order.
const char *const beforeMergeCells[] = {"sheetData", "sheetCalcPr", "sheetProtection", "protectedRanges", "scenarios",
                                        "autoFilter", "sortState", "dataConsolidate", "customSheetViews"};

} // namespace

struct ExcelReport::Impl
{
    OoxmlPackage package;
    QString workbookPart, sheetPart;
    pugi::xml_document workbook, sheet, styles;
    xml_node sheetData;
    bool open = false;
    QString error;

    void close()
    {
        open = false;
        workbook.reset();
        sheet.reset();
        styles.reset();
        sheetData = xml_node();
        package = OoxmlPackage();
    }

    xml_node findRow(int r) const
    {
        for (xml_node row = sheetData.child("row"); row; row = row.next_sibling("row"))
            if (rowOf(row) == r)
                return row;
        return {};
    }

    xml_node ensureRow(int r)
    {
        xml_node after;
        for (xml_node row = sheetData.child("row"); row; row = row.next_sibling("row")) {
            const int n = rowOf(row);
            if (n == r)
                return row;
            if (n > r) {
                xml_node created = sheetData.insert_child_before("row", row);
                created.append_attribute("r") = r;
                return created;
            }
            after = row;
        }
        xml_node created = sheetData.append_child("row");
        created.append_attribute("r") = r;
        return created;
    }

    QString defaultStyle(xml_node row, int column) const
    {
        if (row.attribute("customFormat").as_bool() && row.attribute("s"))
            return attr(row, "s");
        for (xml_node col : sheet.document_element().child("cols").children("col"))
            if (col.attribute("min").as_int() <= column && column <= col.attribute("max").as_int() && col.attribute("style"))
                return attr(col, "style");
        return {};
    }

    xml_node ensureCell(int r, int column)
    {
        xml_node row = ensureRow(r);
        for (xml_node c = row.child("c"); c; c = c.next_sibling("c")) {
            const int n = columnOf(c);
            if (n == column)
                return c;
            if (n > column) {
                xml_node created = row.insert_child_before("c", c);
                created.append_attribute("r") = cellAddress(r, column).toUtf8().constData();
                const QString s = defaultStyle(row, column);
                if (!s.isEmpty())
                    setAttr(created, "s", s);
                return created;
            }
        }
        xml_node created = row.append_child("c");
        created.append_attribute("r") = cellAddress(r, column).toUtf8().constData();
        const QString s = defaultStyle(row, column);
        if (!s.isEmpty())
            setAttr(created, "s", s);
        return created;
    }

    void clearValue(xml_node cell)
    {
        for (const char *name : {"f", "v", "is"})
            while (xml_node c = cell.child(name))
                cell.remove_child(c);
        cell.remove_attribute("t");
    }

    // The font of a cell's format, for the runs of rich text (a run without one falls back
    // to the workbook's default font, not the cell's).
    xml_node cellFont(xml_node cell) const
    {
        const int s = cell.attribute("s").as_int(0);
        xml_node xf = styles.document_element().child("cellXfs").child("xf");
        for (int i = 0; xf && i < s; ++i)
            xf = xf.next_sibling("xf");
        const int fontId = xf ? xf.attribute("fontId").as_int(0) : 0;
        xml_node font = styles.document_element().child("fonts").child("font");
        for (int i = 0; font && i < fontId; ++i)
            font = font.next_sibling("font");
        return font;
    }

    struct Run
    {
        QString text;
        QString font;   // empty: the cell's font
        bool subscript = false;
    };

    void writeRuns(int r, int column, const std::vector<Run> &runs)
    {
        xml_node cell = ensureCell(r, column);
        clearValue(cell);
        QString whole;
        for (const Run &run : runs)
            whole += run.text;
        if (whole.isEmpty())
            return;
        const xml_node base = cellFont(cell);
        setAttr(cell, "t", QStringLiteral("inlineStr"));
        xml_node inlineText = cell.append_child("is");
        for (const Run &run : runs) {
            if (run.text.isEmpty())
                continue;
            xml_node rEl = inlineText.append_child("r");
            xml_node rPr = rEl.append_child("rPr");
            for (xml_node p = base.first_child(); p; p = p.next_sibling()) {
                if (is(p, "vertAlign"))
                    continue;
                if (!run.font.isEmpty() && (is(p, "name") || is(p, "charset") || is(p, "family") || is(p, "scheme")))
                    continue;
                xml_node copy = rPr.append_copy(p);
                if (is(copy, "name"))
                    copy.set_name("rFont");
            }
            if (!run.font.isEmpty()) {
                setAttr(rPr.append_child("rFont"), "val", run.font);
                const bool symbol = run.font == QLatin1String("Symbol");
                setAttr(rPr.append_child("charset"), "val", symbol ? QStringLiteral("2") : QStringLiteral("134"));
            }
            if (run.subscript)
                setAttr(rPr.append_child("vertAlign"), "val", QStringLiteral("subscript"));
            xml_node t = rEl.append_child("t");
            t.append_attribute("xml:space") = "preserve";
            t.text().set(run.text.toUtf8().constData());
        }
    }

    xml_node mergeCells(bool create)
    {
        xml_node ws = sheet.document_element();
        xml_node merges = ws.child("mergeCells");
        if (merges || !create)
            return merges;
        xml_node after;
        for (xml_node c = ws.first_child(); c; c = c.next_sibling())
            for (const char *name : beforeMergeCells)
                if (is(c, name))
                    after = c;
        merges = after ? ws.insert_child_after("mergeCells", after) : ws.append_child("mergeCells");
        return merges;
    }

    void updateMergeCount()
    {
        xml_node merges = mergeCells(false);
        if (!merges)
            return;
        int count = 0;
        for (xml_node m = merges.child("mergeCell"); m; m = m.next_sibling("mergeCell"))
            ++count;
        if (!count) {
            merges.parent().remove_child(merges);
            return;
        }
        setAttr(merges, "count", QString::number(count));
    }

    void shiftAttribute(xml_node n, const char *name, int from)
    {
        if (n.attribute(name))
            setAttr(n, name, shiftReference(attr(n, name), from));
    }

    void insertRow(int at)
    {
        std::vector<xml_node> rows;
        for (xml_node row = sheetData.child("row"); row; row = row.next_sibling("row"))
            rows.push_back(row);
        xml_node firstBelow;
        for (xml_node row : rows) {
            const int r = rowOf(row);
            if (r < at)
                continue;
            if (!firstBelow)
                firstBelow = row;
            row.attribute("r").set_value(r + 1);
            for (xml_node c = row.child("c"); c; c = c.next_sibling("c"))
                setAttr(c, "r", cellAddress(r + 1, columnOf(c)));
        }
        // The new row is formatted like the row above it.
        if (xml_node above = findRow(at - 1)) {
            xml_node created = firstBelow ? sheetData.insert_child_before("row", firstBelow) : sheetData.append_child("row");
            for (pugi::xml_attribute a : above.attributes())
                if (std::strcmp(a.name(), "r") != 0 && std::strcmp(a.name(), "hidden") != 0)
                    created.append_attribute(a.name()) = a.value();
            created.prepend_attribute("r") = at;
            for (xml_node c = above.child("c"); c; c = c.next_sibling("c")) {
                if (!c.attribute("s"))
                    continue;
                xml_node copy = created.append_child("c");
                copy.append_attribute("r") = cellAddress(at, columnOf(c)).toUtf8().constData();
                copy.append_attribute("s") = c.attribute("s").value();
            }
        }
        xml_node ws = sheet.document_element();
        for (xml_node m : mergeCells(false).children("mergeCell"))
            shiftAttribute(m, "ref", at);
        for (pugi::xpath_node n : ws.select_nodes("conditionalFormatting | dataValidations/dataValidation | "
                                                  "ignoredErrors/ignoredError | selection"))
            shiftAttribute(n.node(), "sqref", at);
        for (xml_node h : ws.child("hyperlinks").children("hyperlink"))
            shiftAttribute(h, "ref", at);
        for (xml_node b : ws.child("rowBreaks").children("brk"))
            if (b.attribute("id").as_int() >= at)
                b.attribute("id").set_value(b.attribute("id").as_int() + 1);
        // Print area and print titles of this sheet.
        for (xml_node name : workbook.document_element().child("definedNames").children("definedName")) {
            const bool local = name.attribute("localSheetId") && name.attribute("localSheetId").as_int() == 0;
            if (!local)
                continue;
            const QStringList parts = QString::fromUtf8(name.text().get()).split(QLatin1Char(','));
            QStringList shifted;
            for (const QString &part : parts)
                shifted << shiftReference(part, at);
            name.text().set(shifted.join(QLatin1Char(',')).toUtf8().constData());
        }
    }

    void merge(int row, int column, int span)
    {
        Area area{row, column, row, column + span - 1};
        xml_node merges = mergeCells(true);
        bool grown = true;
        while (grown) {
            grown = false;
            for (xml_node m = merges.child("mergeCell"); m; m = m.next_sibling("mergeCell")) {
                Area other;
                if (parseArea(attr(m, "ref"), &other) && other.intersects(area)) {
                    area = area.united(other);
                    merges.remove_child(m);
                    grown = true;
                    break;
                }
            }
        }
        for (xml_node rowNode = sheetData.child("row"); rowNode; rowNode = rowNode.next_sibling("row")) {
            const int r = rowOf(rowNode);
            if (r < area.r1 || r > area.r2)
                continue;
            for (xml_node c = rowNode.child("c"); c; c = c.next_sibling("c")) {
                const int col = columnOf(c);
                if (col >= area.c1 && col <= area.c2 && !(r == area.r1 && col == area.c1))
                    clearValue(c);
            }
        }
        setAttr(merges.append_child("mergeCell"), "ref", area.text());
        updateMergeCount();
    }

    void updateDimension()
    {
        Area used{INT_MAX, INT_MAX, 0, 0};
        for (xml_node row = sheetData.child("row"); row; row = row.next_sibling("row"))
            for (xml_node c = row.child("c"); c; c = c.next_sibling("c")) {
                const int r = rowOf(c), col = columnOf(c);
                used = {std::min(used.r1, r), std::min(used.c1, col), std::max(used.r2, r), std::max(used.c2, col)};
            }
        xml_node dim = sheet.document_element().child("dimension");
        if (!dim || used.r2 == 0)
            return;
        setAttr(dim, "ref", used.r1 == used.r2 && used.c1 == used.c2 ? cellAddress(used.r1, used.c1) : used.text());
    }

    QByteArray data()
    {
        updateDimension();
        package.setPart(sheetPart, XmlPart::save(sheet));
        package.setPart(workbookPart, XmlPart::save(workbook));
        if (package.contentType(workbookPart).contains(QLatin1String("template.main+xml")))
            package.setContentType(workbookPart, QStringLiteral(
                "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"));
        return package.toZip();
    }
};

ExcelReport::ExcelReport() : d(new Impl) {}

ExcelReport::~ExcelReport() = default;

int ExcelReport::Open(const QString &path)
{
    d->close();
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        d->error = QCoreApplication::translate("ExcelReport", "找不到模板文件或无法读取：%1").arg(shown);
        return 1;
    }
    if (!d->package.load(path)) {
        d->error = d->package.errorString();
        return 2;
    }
    d->workbookPart = d->package.mainPartName();
    if (d->workbookPart.isEmpty() || !d->package.hasPart(d->workbookPart)
        || !d->package.contentType(d->workbookPart).contains(QLatin1String("spreadsheetml"))) {
        d->error = QCoreApplication::translate("ExcelReport", "模板不是Excel工作簿：%1").arg(shown);
        return 2;
    }
    auto broken = [&] {
        d->error = QCoreApplication::translate("ExcelReport", "模板工作簿已损坏：%1").arg(shown);
        d->close();
        return 3;
    };
    if (!XmlPart::load(d->workbook, d->package.part(d->workbookPart)) || !is(d->workbook.document_element(), "workbook"))
        return broken();
    xml_node firstSheet = d->workbook.document_element().child("sheets").child("sheet");
    QString relId;
    for (pugi::xml_attribute a : firstSheet.attributes())
        if (QByteArray(a.name()).endsWith(":id"))
            relId = QString::fromUtf8(a.value());
    d->sheetPart = relId.isEmpty() ? QString() : d->package.relationshipTarget(d->workbookPart, relId);
    if (d->sheetPart.isEmpty() || !XmlPart::load(d->sheet, d->package.part(d->sheetPart))
        || !is(d->sheet.document_element(), "worksheet") || !d->sheet.document_element().child("sheetData"))
        return broken();
    d->sheetData = d->sheet.document_element().child("sheetData");
    // Formats are optional; without them rich text uses the default font.
    const QString relsName = QFileInfo(d->workbookPart).path() + QStringLiteral("/_rels/")
                             + QFileInfo(d->workbookPart).fileName() + QStringLiteral(".rels");
    pugi::xml_document rels;
    if (XmlPart::load(rels, d->package.part(relsName))) {
        for (xml_node rel : rels.document_element().children("Relationship"))
            if (QByteArray(rel.attribute("Type").value()).endsWith("/styles"))
                XmlPart::load(d->styles, d->package.part(OoxmlPackage::resolveTarget(
                                             d->workbookPart, QString::fromUtf8(rel.attribute("Target").value()))));
    }
    // Rows and cells without their own address get one, so later edits can find them.
    int nextRow = 1;
    for (xml_node row = d->sheetData.child("row"); row; row = row.next_sibling("row")) {
        if (!row.attribute("r"))
            row.append_attribute("r") = nextRow;
        nextRow = row.attribute("r").as_int() + 1;
        int nextCol = 1;
        for (xml_node c = row.child("c"); c; c = c.next_sibling("c")) {
            if (!c.attribute("r"))
                c.prepend_attribute("r") = cellAddress(rowOf(row), nextCol).toUtf8().constData();
            nextCol = columnOf(c) + 1;
        }
    }
    d->open = true;
    d->error.clear();
    return 0;
}

bool ExcelReport::isOpen() const
{
    return d->open;
}

void ExcelReport::SetCell(int row, int column, const QString &text)
{
    if (!d->open || row < 1 || column < 1)
        return;
    xml_node cell = d->ensureCell(row, column);
    d->clearValue(cell);
    if (text.isEmpty())
        return;
    setAttr(cell, "t", QStringLiteral("inlineStr"));
    xml_node t = cell.append_child("is").append_child("t");
    t.append_attribute("xml:space") = "preserve";
    t.text().set(text.toUtf8().constData());
}

void ExcelReport::SetCellWithSubscript(int row, int column, const QString &a, const QString &b, const QString &c)
{
    if (!d->open || row < 1 || column < 1)
        return;
    d->writeRuns(row, column, {{a, QString(), false}, {b, QString(), true}, {c, QString(), false}});
}

void ExcelReport::SetMeanTemperatureHeader(int row, int column, const QString &unit)
{
    if (!d->open || row < 1 || column < 1)
        return;
    const QString song = QStringLiteral("宋体");
    // The mean's bar was a "`" in the Windows Symbol font; no such font here, so the bar is a
    // combining macron on the T (the serif CJK face has it, so no fallback font creeps in).
    d->writeRuns(row, column, {{QStringLiteral("T\u0304"), song, false},
                               {QStringLiteral("c"), song, true},
                               {unit.left(1), song, false},
                               {unit.mid(1), song, false}});
}

void ExcelReport::InsertRow(int row, int column)
{
    Q_UNUSED(column)   // the whole row moves, whatever cell named it
    if (d->open && row >= 1)
        d->insertRow(row);
}

void ExcelReport::Merge(int row, int column, int span)
{
    if (d->open && row >= 1 && column >= 1 && span >= 2)
        d->merge(row, column, span);
}

int ExcelReport::DefinedNameRow(const QString &name) const
{
    if (!d->open)
        return 0;
    const QByteArray wanted = name.toUtf8();
    for (xml_node n : d->workbook.document_element().child("definedNames").children("definedName")) {
        if (wanted != n.attribute("name").value())
            continue;
        static const QRegularExpression row(QStringLiteral("\\$?[A-Z]+\\$?(\\d+)"));
        const QRegularExpressionMatch m = row.match(QString::fromUtf8(n.text().get()).section(QLatin1Char('!'), -1));
        return m.hasMatch() ? m.captured(1).toInt() : 0;
    }
    return 0;
}

void ExcelReport::FillHeaderFooter(const QString &key, const QString &text)
{
    if (!d->open)
        return;
    const QByteArray placeholder = (QLatin1Char('{') + key + QLatin1Char('}')).toUtf8();
    // "&" starts a code in a header; a literal one is doubled.
    const QByteArray replacement = QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")).toUtf8();
    for (xml_node part : d->sheet.document_element().child("headerFooter").children()) {
        QByteArray value = part.text().get();
        if (value.contains(placeholder)) {
            value.replace(placeholder, replacement);
            part.text().set(value.constData());
        }
    }
}

void ExcelReport::RemoveRowsFrom(int row)
{
    if (!d->open || row < 1)
        return;
    std::vector<xml_node> doomed;
    for (xml_node r = d->sheetData.child("row"); r; r = r.next_sibling("row"))
        if (rowOf(r) >= row)
            doomed.push_back(r);
    for (xml_node r : doomed)
        d->sheetData.remove_child(r);
    if (xml_node merges = d->mergeCells(false)) {
        std::vector<xml_node> gone;
        for (xml_node m : merges.children("mergeCell")) {
            Area area;
            if (parseArea(attr(m, "ref"), &area) && area.r2 >= row)
                gone.push_back(m);
        }
        for (xml_node m : gone)
            merges.remove_child(m);
        d->updateMergeCount();
    }
    if (xml_node breaks = d->sheet.document_element().child("rowBreaks")) {
        std::vector<xml_node> gone;
        for (xml_node b : breaks.children("brk"))
            if (b.attribute("id").as_int() >= row - 1)
                gone.push_back(b);
        for (xml_node b : gone)
            breaks.remove_child(b);
        if (!breaks.child("brk"))
            d->sheet.document_element().remove_child(breaks);
        else {
            const QString count = QString::number(std::distance(breaks.children("brk").begin(), breaks.children("brk").end()));
            setAttr(breaks, "count", count);
            if (breaks.attribute("manualBreakCount"))
                setAttr(breaks, "manualBreakCount", count);
        }
    }
}

bool ExcelReport::InsertPicture(int row, int column, const QByteArray &png, double widthCm)
{
    if (!d->open || row < 1 || column < 1)
        return false;
    quint32 w = 0, h = 0;
    if (!OoxmlPackage::pngSize(png, &w, &h))
        return false;
    // One drawing per sheet; this layer makes it with its one picture.
    if (d->sheet.document_element().child("drawing"))
        return false;
    const qint64 cx = qint64(widthCm * 360000.0);
    const qint64 cy = cx * qint64(h) / qint64(w);
    OoxmlPackage &package = d->package;
    const QString media = package.unusedPartName(QStringLiteral("xl/media/picture"), QStringLiteral(".png"));
    package.setPart(media, png);
    package.ensureDefaultContentType(QStringLiteral("png"), QStringLiteral("image/png"));
    const QString drawing = package.unusedPartName(QStringLiteral("xl/drawings/drawing"), QStringLiteral(".xml"));
    const QString imageId = package.addRelationship(
        drawing, QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/image"),
        QStringLiteral("../media/") + media.section(QLatin1Char('/'), -1));
    const QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<xdr:oneCellAnchor><xdr:from><xdr:col>%1</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>%2</xdr:row>"
        "<xdr:rowOff>0</xdr:rowOff></xdr:from><xdr:ext cx=\"%3\" cy=\"%4\"/>"
        "<xdr:pic><xdr:nvPicPr><xdr:cNvPr id=\"2\" name=\"Picture 1\"/><xdr:cNvPicPr/></xdr:nvPicPr>"
        "<xdr:blipFill><a:blip r:embed=\"%5\"/><a:stretch><a:fillRect/></a:stretch></xdr:blipFill>"
        "<xdr:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"%3\" cy=\"%4\"/></a:xfrm>"
        "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></xdr:spPr></xdr:pic><xdr:clientData/>"
        "</xdr:oneCellAnchor></xdr:wsDr>")
                            .arg(column - 1).arg(row - 1).arg(cx).arg(cy).arg(imageId);
    package.setPart(drawing, xml.toUtf8());
    package.setOverride(drawing, QStringLiteral("application/vnd.openxmlformats-officedocument.drawing+xml"));
    const QString drawingId = package.addRelationship(
        d->sheetPart, QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/drawing"),
        QStringLiteral("../drawings/") + drawing.section(QLatin1Char('/'), -1));
    // After the page set-up and before what follows it in the sheet.
    xml_node ws = d->sheet.document_element();
    xml_node before;
    for (const char *name : {"legacyDrawing", "legacyDrawingHF", "drawingHF", "picture", "oleObjects", "controls",
                             "webPublishItems", "tableParts", "extLst"})
        if ((before = ws.child(name)))
            break;
    xml_node element = before ? ws.insert_child_before("drawing", before) : ws.append_child("drawing");
    element.append_attribute("r:id") = drawingId.toUtf8().constData();
    if (!ws.attribute("xmlns:r"))
        ws.append_attribute("xmlns:r") = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    return true;
}

bool ExcelReport::SaveAndQuit(const QString &path)
{
    if (!d->open) {
        d->error = QCoreApplication::translate("ExcelReport", "工作簿未打开");
        return false;
    }
    d->data();
    const bool ok = d->package.save(path);
    const QString error = ok ? QString() : d->package.errorString();
    d->close();
    d->error = error;
    return ok;
}

void ExcelReport::Close()
{
    d->close();
}

QString ExcelReport::errorString() const
{
    return d->error;
}

QByteArray ExcelReport::workbookData() const
{
    return d->open ? d->data() : QByteArray();
}
