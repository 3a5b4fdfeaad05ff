#include "DocumentProbe.h"

#include "reports/ColumnLetters.h"
#include "reports/OoxmlPackage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <pugixml.hpp>

#include <cstring>

namespace {

bool is(pugi::xml_node n, const char *name)
{
    return n && std::strcmp(n.name(), name) == 0;
}

bool loadPart(pugi::xml_document &doc, const OoxmlPackage &package, const QString &name)
{
    const QByteArray data = package.part(name);
    return !data.isEmpty()
           && doc.load_buffer(data.constData(), size_t(data.size()), pugi::parse_default | pugi::parse_ws_pcdata_single);
}

QString runText(pugi::xml_node r)
{
    QString text;
    for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
        if (is(c, "w:t"))
            text += QString::fromUtf8(c.text().get());
        else if (is(c, "w:tab"))
            text += QLatin1Char('\t');
        else if (is(c, "w:br"))
            text += QLatin1Char('\n');
    }
    return text;
}

QString nodeText(pugi::xml_node n)
{
    QString text;
    for (pugi::xpath_node r : n.select_nodes(".//w:r"))
        text += runText(r.node());
    return text;
}

QVector<pugi::xml_node> children(pugi::xml_node n, const char *name)
{
    QVector<pugi::xml_node> out;
    for (pugi::xml_node c = n.child(name); c; c = c.next_sibling(name))
        out << c;
    return out;
}

} // namespace

struct DocxProbe::Impl
{
    OoxmlPackage package;
    pugi::xml_document doc;
    bool ok = false;

    QVector<pugi::xml_node> tables() const
    {
        QVector<pugi::xml_node> out;
        for (pugi::xpath_node t : doc.select_nodes("//w:tbl"))
            out << t.node();
        return out;
    }
};

DocxProbe::DocxProbe(const QString &path) : d(new Impl)
{
    d->ok = d->package.load(path) && loadPart(d->doc, d->package, QStringLiteral("word/document.xml"));
}

DocxProbe::~DocxProbe() = default;

bool DocxProbe::ok() const
{
    return d->ok;
}

QString DocxProbe::contentType() const
{
    return d->package.contentType(QStringLiteral("word/document.xml"));
}

QString DocxProbe::bookmarkText(const QString &name) const
{
    const QByteArray wanted = name.toUtf8();
    pugi::xml_node start = d->doc.find_node([&](pugi::xml_node n) {
        return is(n, "w:bookmarkStart") && wanted == n.attribute("w:name").value();
    });
    if (!start)
        return QStringLiteral("<missing>");
    QString text;
    for (pugi::xml_node n = start.next_sibling(); n; n = n.next_sibling()) {
        if (is(n, "w:bookmarkEnd") && std::strcmp(n.attribute("w:id").value(), start.attribute("w:id").value()) == 0)
            break;
        if (is(n, "w:r"))
            text += runText(n);
    }
    return text;
}

int DocxProbe::bookmarkCount(const QString &name) const
{
    int count = 0;
    const QByteArray wanted = name.toUtf8();
    for (pugi::xpath_node n : d->doc.select_nodes("//w:bookmarkStart"))
        if (wanted == n.node().attribute("w:name").value())
            ++count;
    return count;
}

int DocxProbe::tableCount() const
{
    return d->tables().size();
}

QVector<QStringList> DocxProbe::table(int index) const
{
    QVector<QStringList> rows;
    const auto tables = d->tables();
    if (index >= tables.size())
        return rows;
    for (pugi::xml_node tr : children(tables.at(index), "w:tr")) {
        QStringList cells;
        for (pugi::xml_node tc : children(tr, "w:tc"))
            cells << nodeText(tc);
        rows << cells;
    }
    return rows;
}

QVector<Run> DocxProbe::cellRuns(int table, int row, int column) const
{
    QVector<Run> runs;
    const auto tables = d->tables();
    if (table >= tables.size())
        return runs;
    const auto trs = children(tables.at(table), "w:tr");
    if (row >= trs.size())
        return runs;
    const auto tcs = children(trs.at(row), "w:tc");
    if (column >= tcs.size())
        return runs;
    for (pugi::xpath_node r : tcs.at(column).select_nodes(".//w:r")) {
        const QString text = runText(r.node());
        if (text.isEmpty())
            continue;
        Run run;
        run.text = text;
        run.subscript = std::strcmp(r.node().child("w:rPr").child("w:vertAlign").attribute("w:val").value(), "subscript") == 0;
        runs << run;
    }
    return runs;
}

QByteArray DocxProbe::rowProperties(int table, int row) const
{
    const auto tables = d->tables();
    const auto trs = children(tables.value(table), "w:tr");
    if (row >= trs.size())
        return {};
    struct Writer : pugi::xml_writer
    {
        QByteArray out;
        void write(const void *data, size_t size) override { out.append(static_cast<const char *>(data), int(size)); }
    } writer;
    trs.at(row).child("w:trPr").print(writer, "", pugi::format_raw);
    for (pugi::xml_node tc : children(trs.at(row), "w:tc")) {
        tc.child("w:tcPr").print(writer, "", pugi::format_raw);
        tc.child("w:p").child("w:pPr").print(writer, "", pugi::format_raw);
    }
    return writer.out;
}

QString DocxProbe::bodyText() const
{
    QStringList paragraphs;
    for (pugi::xpath_node p : d->doc.select_nodes("//w:p"))
        paragraphs << nodeText(p.node());
    return paragraphs.join(QLatin1Char('\n'));
}

namespace {

QString partsText(const OoxmlPackage &package, const char *prefix)
{
    QString text;
    for (const QString &name : package.partNames()) {
        if (!name.startsWith(QLatin1String(prefix)) || !name.endsWith(QLatin1String(".xml")))
            continue;
        pugi::xml_document doc;
        if (loadPart(doc, package, name))
            text += nodeText(doc.document_element()) + QLatin1Char('\n');
    }
    return text;
}

} // namespace

QString DocxProbe::headerText() const
{
    return partsText(d->package, "word/header");
}

QString DocxProbe::footerText() const
{
    return partsText(d->package, "word/footer");
}

QStringList DocxProbe::footerFields() const
{
    QStringList fields;
    for (const QString &name : d->package.partNames()) {
        if (!name.startsWith(QLatin1String("word/footer")))
            continue;
        pugi::xml_document doc;
        if (!loadPart(doc, d->package, name))
            continue;
        for (pugi::xpath_node f : doc.select_nodes("//w:fldSimple"))
            fields << QString::fromUtf8(f.node().attribute("w:instr").value()).trimmed();
        for (pugi::xpath_node f : doc.select_nodes("//w:instrText"))
            fields << QString::fromUtf8(f.node().text().get()).trimmed();
    }
    return fields;
}

int DocxProbe::pictureCount() const
{
    return int(d->doc.select_nodes("//w:drawing//pic:pic").size());
}

QVector<QByteArray> DocxProbe::media() const
{
    QVector<QByteArray> out;
    for (const QString &name : d->package.partNames())
        if (name.startsWith(QLatin1String("word/media/")))
            out << d->package.part(name);
    return out;
}

struct XlsxProbe::Impl
{
    OoxmlPackage package;
    pugi::xml_document sheet;
    QStringList shared;
    bool ok = false;

    pugi::xml_node cell(int row, int column) const
    {
        const QByteArray ref = cellAddress(row, column).toUtf8();
        for (pugi::xml_node r : sheet.document_element().child("sheetData").children("row"))
            if (r.attribute("r").as_int() == row)
                for (pugi::xml_node c : r.children("c"))
                    if (ref == c.attribute("r").value())
                        return c;
        return {};
    }
};

XlsxProbe::XlsxProbe(const QString &path) : d(new Impl)
{
    d->ok = d->package.load(path) && loadPart(d->sheet, d->package, QStringLiteral("xl/worksheets/sheet1.xml"));
    pugi::xml_document strings;
    if (loadPart(strings, d->package, QStringLiteral("xl/sharedStrings.xml")))
        for (pugi::xml_node si : strings.document_element().children("si")) {
            QString text;
            for (pugi::xpath_node t : si.select_nodes(".//t"))
                text += QString::fromUtf8(t.node().text().get());
            d->shared << text;
        }
}

XlsxProbe::~XlsxProbe() = default;

bool XlsxProbe::ok() const
{
    return d->ok;
}

QString XlsxProbe::contentType() const
{
    return d->package.contentType(QStringLiteral("xl/workbook.xml"));
}

QString XlsxProbe::cell(int row, int column) const
{
    pugi::xml_node c = d->cell(row, column);
    const QByteArray t = c.attribute("t").value();
    if (t == "s")
        return d->shared.value(c.child("v").text().as_int());
    if (t == "inlineStr") {
        QString text;
        for (pugi::xpath_node n : c.child("is").select_nodes(".//t"))
            text += QString::fromUtf8(n.node().text().get());
        return text;
    }
    return QString::fromUtf8(c.child("v").text().get());
}

QString XlsxProbe::cell(const QString &address) const
{
    int r = 0, c = 0;
    parseCellAddress(address, &r, &c);
    return cell(r, c);
}

QString XlsxProbe::style(int row, int column) const
{
    return QString::fromUtf8(d->cell(row, column).attribute("s").value());
}

QString XlsxProbe::type(int row, int column) const
{
    return QString::fromUtf8(d->cell(row, column).attribute("t").value());
}

QVector<Run> XlsxProbe::runs(int row, int column) const
{
    QVector<Run> out;
    for (pugi::xml_node r : d->cell(row, column).child("is").children("r")) {
        Run run;
        run.text = QString::fromUtf8(r.child("t").text().get());
        run.subscript = std::strcmp(r.child("rPr").child("vertAlign").attribute("val").value(), "subscript") == 0;
        run.font = QString::fromUtf8(r.child("rPr").child("rFont").attribute("val").value());
        out << run;
    }
    return out;
}

QStringList XlsxProbe::merges() const
{
    QStringList out;
    for (pugi::xml_node m : d->sheet.document_element().child("mergeCells").children("mergeCell"))
        out << QString::fromUtf8(m.attribute("ref").value());
    return out;
}

double XlsxProbe::rowHeight(int row) const
{
    for (pugi::xml_node r : d->sheet.document_element().child("sheetData").children("row"))
        if (r.attribute("r").as_int() == row)
            return r.attribute("ht").as_double();
    return 0;
}

int XlsxProbe::lastRow() const
{
    int last = 0;
    for (pugi::xml_node r : d->sheet.document_element().child("sheetData").children("row"))
        if (r.child("c"))
            last = std::max(last, r.attribute("r").as_int());
    return last;
}

QByteArray XlsxProbe::sheetXml() const
{
    return d->package.part(QStringLiteral("xl/worksheets/sheet1.xml"));
}

QString runTool(const QString &program, const QStringList &arguments, int *exitCode)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished();
        if (exitCode)
            *exitCode = -1;
        return {};
    }
    if (exitCode)
        *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfText(const QString &pdf)
{
    return runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

QString fixed(double x, int decimals)
{
    return QString::asprintf("%.*f", decimals, x);
}

void keepDocument(const QString &path)
{
    const QString folder = qEnvironmentVariable("PCR_KEEP_REPORTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    const QString target = folder + QLatin1Char('/') + QFileInfo(path).fileName();
    QFile::remove(target);
    QFile::copy(path, target);
}

QString XlsxProbe::oddHeader() const
{
    return QString::fromUtf8(d->sheet.document_element().child("headerFooter").child("oddHeader").text().get());
}

QString XlsxProbe::oddFooter() const
{
    return QString::fromUtf8(d->sheet.document_element().child("headerFooter").child("oddFooter").text().get());
}

int XlsxProbe::pictureCount() const
{
    int count = 0;
    for (const QString &name : d->package.partNames()) {
        if (!name.startsWith(QLatin1String("xl/drawings/drawing")) || !name.endsWith(QLatin1String(".xml")))
            continue;
        pugi::xml_document doc;
        if (loadPart(doc, d->package, name))
            count += int(doc.select_nodes("//xdr:pic").size());
    }
    // A drawing counts only when the sheet refers to it.
    return d->sheet.document_element().child("drawing") ? count : 0;
}
