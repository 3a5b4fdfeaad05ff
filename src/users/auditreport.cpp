#include "users/auditreport.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QSaveFile>

#include <vector>

namespace {

// Layout in device pixels at 300 dpi: header down to the rule at 260, rows of 120 from 300.
constexpr int Resolution = 300;
constexpr int FirstRowTop = 300;
constexpr int RowHeight = 120;
constexpr int RowPoints = 12;
constexpr int SmallestPoints = 8;

QFont reportFont(int points, int weight)
{
    // "宋体" is what the report asks for; the Noto face stands in where it does not exist and
    // keeps the Simplified Chinese glyphs.
    QFont font(QStringLiteral("宋体"), points, weight);
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC")});
    // Shaping would swap in contextual glyph variants (a digit after letters) that the PDF's
    // text map cannot name; Latin and Han need no shaping.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

void setupWriter(QPdfWriter &writer)
{
    writer.setResolution(Resolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(30, 30, 30, 30), QPageLayout::Point);
    writer.setTitle(AuditReport::tr("审计报告"));
    writer.setCreator(QStringLiteral("pcrcal"));
}

struct Columns
{
    int x[4];
    int w[4];
    explicit Columns(int width)
    {
        const int c = width / 24;
        const int starts[4] = {0, 6 * c, 9 * c, 15 * c};
        const int widths[4] = {6 * c, 3 * c, 6 * c, 9 * c};
        for (int i = 0; i < 4; ++i) {
            x[i] = starts[i];
            w[i] = widths[i];
        }
    }
};

// Draws text and remembers it, for the text map.
class Page
{
public:
    explicit Page(QPainter &p) : m_p(p) {}
    void text(const QRect &rect, int flags, const QString &s)
    {
        m_p.drawText(rect, flags, s);
        m_used += s;
    }
    const QString &used() const { return m_used; }

private:
    QPainter &m_p;
    QString m_used;
};

void drawHeader(QPainter &p, Page &page, int width, const Columns &cols)
{
    p.setFont(reportFont(18, 36));
    p.setPen(QPen(Qt::black, 8));
    page.text(QRect(0, 10, width, 100), Qt::AlignCenter, AuditReport::tr("审计报告"));

    p.setFont(reportFont(14, 28));
    const QString titles[4] = {AuditReport::tr("操作时间"), AuditReport::tr("用户名"),
                               AuditReport::tr("操作类型"), AuditReport::tr("操作说明")};
    for (int i = 0; i < 4; ++i)
        page.text(QRect(cols.x[i], 160, cols.w[i], 80), Qt::AlignCenter, titles[i]);

    p.setPen(QPen(QColor(144, 166, 188), 8));
    p.drawLine(0, 260, width, 260);
}

// The row font, smaller where the text would not fit its column (a time with milliseconds is a
// little wider than its column at 12 points); past the smallest size the text is cut with an
// ellipsis, so the cut shows.
QString fitted(const QString &text, int width, QPaintDevice *device, QFont &font)
{
    for (int points = RowPoints; points >= SmallestPoints; --points) {
        font = reportFont(points, 20);
        if (QFontMetrics(font, device).horizontalAdvance(text) <= width)
            return text;
    }
    return QFontMetrics(font, device).elidedText(text, Qt::ElideRight, width);
}

int viewportHeight()
{
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    QPdfWriter writer(&sink);
    setupWriter(writer);
    QPainter p(&writer);
    return p.viewport().height();
}

} // namespace

int AuditReport::rowsPerPage()
{
    // A row is placed at y while y + RowHeight < H.
    const int h = viewportHeight();
    int n = 0;
    for (int y = FirstRowTop; y + RowHeight < h; y += RowHeight)
        ++n;
    return n;
}

QByteArray AuditReport::render(const QVector<Row> &rows)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString used;
    {
        QPdfWriter writer(&buffer);
        setupWriter(writer);
        QPainter p(&writer);
        Page page(p);
        const int width = p.viewport().width();
        const int height = p.viewport().height();
        const Columns cols(width);
        drawHeader(p, page, width, cols);

        const Qt::Alignment align[4] = {Qt::AlignCenter, Qt::AlignCenter,
                                        Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignLeft | Qt::AlignVCenter};
        int y = FirstRowTop;
        for (const Row &row : rows) {
            if (y + RowHeight >= height) {
                writer.newPage();
                drawHeader(p, page, width, cols);
                y = FirstRowTop;
            }
            p.setPen(QPen(Qt::black, 1));
            for (int i = 0; i < 4; ++i) {
                QFont font;
                const QString text = fitted(row.value(i), cols.w[i], &writer, font);
                p.setFont(font);
                page.text(QRect(cols.x[i], y + 50, cols.w[i], 50), int(align[i]), text);
            }
            p.setPen(QPen(QColor(166, 188, 222), 3));
            p.drawLine(0, y + RowHeight, width, y + RowHeight);
            y += RowHeight;
        }
        p.end();
        used = page.used();
    }
    QByteArray pdf = buffer.data();
    repairToUnicode(pdf, lookAlikes(reportFont(RowPoints, 20), used));
    return pdf;
}

bool AuditReport::write(const QString &fileName, const QVector<Row> &rows, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    const QByteArray pdf = render(rows);
    if (pdf.isEmpty()) {
        file.cancelWriting();
        return fail(QStringLiteral("no PDF produced"));
    }
    if (file.write(pdf) != pdf.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

QHash<uint, uint> AuditReport::lookAlikes(const QFont &font, const QString &usedText)
{
    QHash<uint, uint> out;
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid())
        return out;
    // The writer's rule: a glyph is named by the lowest BMP code point mapped to it.
    std::vector<QChar> all;
    all.reserve(0x10000);
    for (uint u = 0; u < 0x10000; ++u)
        all.push_back((u >= 0xD800 && u < 0xE000) ? QChar(0) : QChar(ushort(u)));
    std::vector<quint32> glyphs(all.size());
    int count = int(glyphs.size());
    if (!raw.glyphIndexesForChars(all.data(), int(all.size()), glyphs.data(), &count))
        return out;
    QHash<quint32, uint> lowest;
    for (uint u = 0; u < uint(count); ++u)
        if (glyphs[u] && !lowest.contains(glyphs[u]))
            lowest.insert(glyphs[u], u);
    for (const QChar c : usedText) {
        const uint u = c.unicode();
        if (c.isSurrogate() || !glyphs[u])
            continue;
        const uint named = lowest.value(glyphs[u], u);
        if (named != u)
            out.insert(named, u);
    }
    return out;
}

namespace {

// Rewrites the "<xxxx>" tokens of pdf[from, to) in place.
void fixTokens(QByteArray &pdf, int from, int to, const QHash<uint, uint> &replacements)
{
    for (int i = from; i + 5 <= to && i + 5 < pdf.size(); ++i) {
        if (pdf.at(i) != '<' || pdf.at(i + 5) != '>')
            continue;
        bool ok = false;
        const uint code = pdf.mid(i + 1, 4).toUInt(&ok, 16);
        const uint fixed = ok ? replacements.value(code, code) : code;
        if (fixed != code && fixed <= 0xFFFF)
            pdf.replace(i + 1, 4, QByteArray::number(fixed, 16).rightJustified(4, '0').toUpper());
        i += 5;
    }
}

} // namespace

void AuditReport::repairToUnicode(QByteArray &pdf, const QHash<uint, uint> &replacements)
{
    if (replacements.isEmpty())
        return;
    static const QByteArray begin("beginbfrange"), end("endbfrange");
    int from = 0;
    while ((from = pdf.indexOf(begin, from)) >= 0) {
        const int stop = pdf.indexOf(end, from);
        if (stop < 0)
            break;
        // Lines "<first> <last> [<dest> ...]" or "<first> <last> <dest>"; only destinations
        // hold code points, and a single destination is safe to change only for one glyph.
        int line = pdf.indexOf('\n', from) + 1;
        while (line > 0 && line < stop) {
            int next = pdf.indexOf('\n', line);
            if (next < 0 || next > stop)
                next = stop;
            const QByteArray text = pdf.mid(line, next - line);
            const int bracket = text.indexOf('[');
            if (bracket >= 0) {
                fixTokens(pdf, line + bracket, next, replacements);
            } else {
                const QList<QByteArray> tokens = text.simplified().split(' ');
                if (tokens.size() == 3 && tokens.at(0) == tokens.at(1))
                    fixTokens(pdf, line + text.lastIndexOf('<'), next, replacements);
            }
            line = next + 1;
        }
        from = stop;
    }
}
