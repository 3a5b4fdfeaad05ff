#include "users/auditreport.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QSaveFile>
#include <QTextOption>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Layout in device pixels at 300 dpi: header down to the rule at 260, rows of at least 120 from
// 300, the footer (chain head, page number) in the last 70 of the page.
constexpr int Resolution = 300;
constexpr int FirstRowTop = 300;
constexpr int RowHeight = 120;
constexpr int RowPadding = 40;    // above and below a row's text together
constexpr int FooterHeight = 70;
constexpr int RowPoints = 12;
constexpr int HeaderPoints = 14;
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

// A text placed in a column: the font it gets and the height it takes, wrapped.
struct Cell
{
    QString text;
    QFont font;
    int height = 0;
    Qt::Alignment align;
};

QTextOption wrapping(Qt::Alignment align)
{
    QTextOption option(align);
    // Words stay whole where they can; a hash or a path longer than the column breaks anywhere.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

// The largest size from `points` down to the smallest at which text fits one line of width;
// past that, the smallest size, wrapped.
Cell fit(QPainter &p, const QString &text, int width, int points, int weight, Qt::Alignment align, bool shrink)
{
    Cell cell{text, reportFont(points, weight), 0, align};
    for (int pt = points; shrink && pt >= SmallestPoints; --pt) {
        cell.font = reportFont(pt, weight);
        if (QFontMetrics(cell.font, p.device()).horizontalAdvance(text) <= width)
            break;
    }
    p.setFont(cell.font);
    const QRectF bound = p.boundingRect(QRectF(0, 0, width, 1e6), text, wrapping(align));
    cell.height = int(std::ceil(bound.height()));
    return cell;
}

// Draws text and remembers it, for the text map.
class Page
{
public:
    explicit Page(QPainter &p) : m_p(p) {}
    void text(const QRect &rect, const Cell &cell)
    {
        m_p.setFont(cell.font);
        m_p.save();
        m_p.setClipRect(rect);
        m_p.drawText(QRectF(rect), cell.text, wrapping(cell.align));
        m_p.restore();
        m_used += cell.text;
    }
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

    // Titles shrink to their column (English ones are longer than the Chinese), wrapping last.
    const QString titles[4] = {AuditReport::tr("操作时间"), AuditReport::tr("用户名"),
                               AuditReport::tr("操作类型"), AuditReport::tr("操作说明")};
    for (int i = 0; i < 4; ++i)
        page.text(QRect(cols.x[i], 160, cols.w[i], 80), fit(p, titles[i], cols.w[i], HeaderPoints, 28, Qt::AlignCenter, true));

    p.setPen(QPen(QColor(144, 166, 188), 8));
    p.drawLine(0, 260, width, 260);
}

void drawFooter(QPainter &p, Page &page, int width, int height, const QString &chain, int number, int pages)
{
    p.setPen(QPen(Qt::black, 1));
    p.setFont(reportFont(SmallestPoints, 20));
    const QRect band(0, height - FooterHeight + 20, width, FooterHeight - 20);
    if (!chain.isEmpty())
        page.text(band, int(Qt::AlignLeft | Qt::AlignVCenter), chain);
    page.text(band, int(Qt::AlignRight | Qt::AlignVCenter), AuditReport::tr("第 %1 页，共 %2 页").arg(number).arg(pages));
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
    // One-line rows: a row is placed at y while it ends above the footer.
    const int bottom = viewportHeight() - FooterHeight;
    int n = 0;
    for (int y = FirstRowTop; y + RowHeight < bottom; y += RowHeight)
        ++n;
    return n;
}

QByteArray AuditReport::render(const QVector<Row> &rows, const QString &chainHead)
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
        const int bottom = height - FooterHeight;
        const Columns cols(width);
        const QString chain = chainHead.isEmpty() ? QString() : tr("审计链头（条数:哈希）：%1").arg(chainHead);

        // First the layout: every row's cells and height, and where the pages break.
        const Qt::Alignment align[4] = {Qt::AlignCenter, Qt::AlignCenter,
                                        Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignLeft | Qt::AlignVCenter};
        const int maxRow = bottom - FirstRowTop;
        struct Placed
        {
            Cell cells[4];
            int height;
            int page;
            int y;
        };
        std::vector<Placed> placed;
        placed.reserve(size_t(rows.size()));
        int pageIndex = 0;
        int y = FirstRowTop;
        for (const Row &row : rows) {
            Placed r{};
            int text = 0;
            for (int i = 0; i < 4; ++i) {
                // Time and name shrink to one line first; type and details wrap at the row size.
                r.cells[i] = fit(p, row.value(i), cols.w[i], RowPoints, 20, align[i], i < 2);
                text = std::max(text, r.cells[i].height);
            }
            // A row taller than a page is cut at the page's end (its rectangle clips it).
            r.height = std::min(maxRow, std::max(RowHeight, text + RowPadding));
            if (y + r.height >= bottom && y > FirstRowTop) {
                ++pageIndex;
                y = FirstRowTop;
            }
            r.page = pageIndex;
            r.y = y;
            y += r.height;
            placed.push_back(r);
        }
        const int pages = pageIndex + 1;

        drawHeader(p, page, width, cols);
        drawFooter(p, page, width, height, chain, 1, pages);
        int current = 0;
        for (const Placed &r : placed) {
            if (r.page != current) {
                writer.newPage();
                current = r.page;
                drawHeader(p, page, width, cols);
                drawFooter(p, page, width, height, chain, current + 1, pages);
            }
            p.setPen(QPen(Qt::black, 1));
            // Each text centred in its row's height.
            for (int i = 0; i < 4; ++i) {
                const int h = std::min(r.cells[i].height, r.height);
                page.text(QRect(cols.x[i], r.y + (r.height - h) / 2, cols.w[i], h), r.cells[i]);
            }
            p.setPen(QPen(QColor(166, 188, 222), 3));
            p.drawLine(0, r.y + r.height, width, r.y + r.height);
        }
        p.end();
        used = page.used();
    }
    QByteArray pdf = buffer.data();
    repairToUnicode(pdf, lookAlikes(reportFont(RowPoints, 20), used));
    return pdf;
}

bool AuditReport::write(const QString &fileName, const QVector<Row> &rows, const QString &chainHead, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    const QByteArray pdf = render(rows, chainHead);
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
