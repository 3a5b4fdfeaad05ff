#include "reports/ReportWriter.h"

#include "reports/ColumnLetters.h"
#include "reports/ExcelReport.h"
#include "reports/WordReport.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

#include <algorithm>

namespace {

struct Fmt
{
    int decimals;
    QString operator()(double x) const { return QString::number(x, 'f', decimals); }
};

QStringList padded(const QStringList &list, int size)
{
    QStringList out = list;
    while (out.size() < size)
        out << QString();
    return out;
}

int probeCount(const ReportContent &c)
{
    return c.rows.isEmpty() ? c.probes.size() : std::max(0, c.rows.first().size() - 3);
}

QString uncertaintyText(const ReportContent &c, int k, const Fmt &fmt)
{
    return k < c.uncertainty.size() ? fmt(c.uncertainty.at(k)) : QString();
}

// Opens a Word or Excel template; false, with the reason in *error, when it cannot be used.
template<class Document>
bool openTemplate(Document &document, const QString &templatePath, QString *error)
{
    if (document.Open(templatePath) == 0)
        return true;
    if (error)
        *error = document.errorString();
    return false;
}

// The original record's templates have columns for maxRecordProbes probes at the most.
bool fitsRecord(const ReportContent &c, QString *error)
{
    if (probeCount(c) <= ReportWriter::maxRecordProbes && c.probes.size() <= ReportWriter::maxRecordProbes)
        return true;
    if (error)
        *error = QCoreApplication::translate("ReportWriter", "原始记录最多支持%1个探头").arg(ReportWriter::maxRecordProbes);
    return false;
}

QString joinedNonEmpty(const QStringList &parts, const QString &separator)
{
    QStringList kept;
    for (const QString &p : parts)
        if (!p.trimmed().isEmpty())
            kept << p.trimmed();
    return kept.join(separator);
}

// The measuring standard in one line: name and model.
QString standardText(const ReportContent &c)
{
    return joinedNonEmpty({c.standardName, c.standardModel}, QStringLiteral(" "));
}

// The identification bookmarks of both Word documents; a template without one skips it.
void fillIdentity(WordReport &word, const ReportContent &c)
{
    const QPair<const char *, QString> fields[] = {
        {"CertificateNumber", c.certificateNumber},
        {"IssueDate", c.issueDate},
        {"CalibrationDate", c.calibrationDate},
        {"Client", c.company},
        {"ClientAddress", c.clientAddress},
        {"Laboratory", c.laboratory},
        {"DeviceName", c.deviceName},
        {"DeviceModel", c.deviceModel},
        {"SerialNumber", c.serialNumber},
        {"Manufacturer", c.manufacturer},
        {"Standard", standardText(c)},
        {"StandardSerial", c.standardSerial},
        {"StandardCertificate", c.standardCertificate},
        {"StandardValidUntil", c.standardValidUntil},
        {"StandardUncertainty", c.standardUncertainty},
        {"Ambient", c.ambientText()},
        {"Method", c.method},
    };
    for (const auto &field : fields)
        word.FillBookmark(QString::fromLatin1(field.first), field.second);
    word.FillHeaderFooter(QStringLiteral("CertificateNumber"), c.certificateNumber);
    word.FillHeaderFooter(QStringLiteral("AuditHead"), c.auditHead);
}

// The budget table of the original record: one row per plateau, typed cell after cell.
void fillBudgetWord(WordReport &word, const ReportContent &c, const Fmt &fmt)
{
    if (!word.FillBookmark(QStringLiteral("Budget"), QString()) || c.budget.isEmpty())
        return;
    const int r = c.budget.size();
    if (r > 1)
        word.InsertRows(r - 1);   // above the bookmark's row: the selection is in the first new one
    const Fmt fine{std::max(c.decimals, 3)};
    for (int k = 0; k < r; ++k) {
        const BudgetRow &b = c.budget.at(k);
        const QStringList cells{fmt(b.setTemperature), fine(b.u1), fine(b.u2), fine(b.combined),
                                QString::number(b.k, 'g', 3), fmt(b.expanded)};
        for (int i = 0; i < cells.size(); ++i) {
            if (k > 0 || i > 0)
                word.MoveRight(1);
            word.TypeText(cells.at(i));
        }
    }
}

void insertCurvesWord(WordReport &word, const ReportContent &c)
{
    if (c.curves.isEmpty() || !word.FillBookmark(QStringLiteral("Curves"), QString()))
        return;
    word.InsertPicture(c.curves, 22.0);
}

int finishExcel(ExcelReport &excel, const QString &outputPath, QString *error)
{
    if (excel.SaveAndQuit(outputPath))
        return ReportWriter::Written;
    if (error)
        *error = excel.errorString();
    return ReportWriter::WriteFailed;
}

int finishWord(WordReport &word, const QString &outputPath, bool pdf, QString *error,
               const std::atomic<bool> *cancel)
{
    // A place the PDF cannot go is a save failure, told before LibreOffice spends its time.
    if (pdf) {
        QSaveFile probe(outputPath);
        if (!probe.open(QIODevice::WriteOnly)) {
            if (error)
                *error = QCoreApplication::translate("ReportWriter", "无法写入文件：%1（%2）")
                             .arg(QDir::toNativeSeparators(outputPath), probe.errorString());
            word.CloseAndQuit();
            return ReportWriter::WriteFailed;
        }
        probe.cancelWriting();
    }
    const bool ok = pdf ? word.ExportPdf(outputPath, cancel) : word.SaveAndQuit(outputPath);
    if (!ok && error)
        *error = word.errorString();
    if (pdf)
        word.CloseAndQuit();
    if (ok)
        return ReportWriter::Written;
    if (cancel && cancel->load())
        return ReportWriter::Cancelled;
    // A PDF that LibreOffice could not make counts as the office program failing.
    return pdf ? ReportWriter::TemplateFailed : ReportWriter::WriteFailed;
}

// ---- the performance section ------------------------------------------------------------------

// The figure lines as the tables print them; one "无" line when the run gave none.
QVector<QStringList> performanceRows(const PerformanceContent &p)
{
    QVector<QStringList> rows;
    for (const PerformanceContent::Line &l : p.lines)
        rows << QStringList{l.name, l.setTemperature, l.value, l.limit, l.verdict};
    if (rows.isEmpty())
        rows << QStringList{QCoreApplication::translate("ReportWriter", "无"), QString(), QString(), QString(), QString()};
    return rows;
}

// The figures table (bookmark Perf2 in its first data row, Perf1 in its second), the texts
// perf_1 (profile), perf_2 (basis), perf_3 (verdict) and, for the record, the wells table
// (PerfW1 at its first probe heading, PerfW3 in its first data row, PerfW2 in its second) with
// its unit in perf_4.
void performanceWord(WordReport &word, const ReportContent &content, bool wells)
{
    const PerformanceContent &p = content.performance;
    const QVector<QStringList> rows = performanceRows(p);
    const int count = rows.size();
    if (count >= 2) {
        word.GoToBookmark(QStringLiteral("Perf1"));
        word.InsertRows(count - 2);
    }
    for (int k = count - 1; k >= 0; --k) {
        word.GoToBookmark(QStringLiteral("Perf2"));
        word.MoveDown(k);
        for (int j = 0; j < rows.at(k).size(); ++j) {
            if (j > 0)
                word.MoveRight(1);
            word.TypeText(rows.at(k).at(j));
        }
    }
    QStringList texts{p.profile, p.basis, p.verdict};
    if (wells) {
        texts << content.unit;
        word.GoToBookmark(QStringLiteral("PerfW1"));
        for (const QString &entry : content.probes) {
            const ProbeLabel label = probeLabel(entry);
            word.TypeWithSubscript(label.letters, label.index);
            word.MoveRight(1);
        }
        const int w = p.wells.size();
        if (w - 2 > 0) {
            word.GoToBookmark(QStringLiteral("PerfW2"));
            word.InsertRows(w - 2);
        }
        int columns = 0;
        for (const QStringList &row : p.wells)
            columns = std::max(columns, int(row.size()));
        // Column by column from the last, each from the table's bookmark, as the uniformity table.
        for (int j = columns - 1; j >= 0; --j) {
            word.GoToBookmark(QStringLiteral("PerfW3"));
            word.MoveRight(j);
            for (int k = 0; k < w; ++k) {
                word.TypeText(j < p.wells.at(k).size() ? p.wells.at(k).at(j) : QString());
                word.MoveDown(1);
            }
        }
    }
    word.FillBookmarks(QStringLiteral("perf_"), texts);
}

// Data rows of the figures in a sheet: from `first`, at least the template's two, grown below the
// first with the merges of `spans` (column, width) in every new row. Returns the row after them.
int performanceExcelRows(ExcelReport &excel, const QVector<QStringList> &rows, int first,
                         const QVector<QPair<int, int>> &spans)
{
    const int count = rows.size();
    for (int i = 2; i < count; ++i) {
        excel.InsertRow(first + 1, 1);
        for (const auto &span : spans)
            excel.Merge(first + 1, span.first, span.second);
    }
    for (int k = 0; k < count; ++k)
        for (int j = 0; j < rows.at(k).size() && j < spans.size(); ++j)
            excel.SetCell(first + k, spans.at(j).first, rows.at(k).at(j));
    return first + std::max(count, 2);
}

} // namespace

QString ReportContent::ambientText() const
{
    return joinedNonEmpty({ambientTemperature.trimmed().isEmpty() ? QString() : ambientTemperature.trimmed() + QLatin1Char(' ') + unit,
                           humidity.trimmed().isEmpty() ? QString() : humidity.trimmed() + QStringLiteral(" %RH"),
                           pressure.trimmed().isEmpty() ? QString() : pressure.trimmed() + QStringLiteral(" kPa")},
                          QStringLiteral(", "));
}

namespace ReportWriter {

int certificateWord(const QString &templatePath, const ReportContent &content, const QString &outputPath, bool pdf,
                    QString *error, const std::atomic<bool> *cancel)
{
    WordReport word;
    if (!openTemplate(word, templatePath, error))
        return TemplateFailed;
    const Fmt fmt{content.decimals};
    const auto &R = content.rows;
    const int r = R.size();
    if (r >= 2) {
        word.GoToBookmark(QStringLiteral("Form1"));
        word.InsertRows(r - 2);
        word.GoToBookmark(QStringLiteral("Form3"));
        word.InsertRows(r - 2);
    }
    // Typed from the last row up, each time from the table's bookmark: ascending order.
    for (int k = r - 1; k >= 0; --k) {
        const QVector<double> &row = R.at(k);
        word.GoToBookmark(QStringLiteral("Form2"));
        word.MoveDown(k);
        word.TypeText(fmt(row.first()));
        word.MoveRight(1);
        word.TypeText(fmt(row.last()));
        word.MoveRight(1);
        word.TypeText(fmt(row.first() - row.last()));
        word.MoveRight(1);
        word.TypeText(uncertaintyText(content, k, fmt));
    }
    for (int k = r - 1; k >= 0; --k) {
        const QVector<double> &row = R.at(k);
        word.GoToBookmark(QStringLiteral("Form4"));
        word.MoveDown(k);
        word.TypeText(fmt(row.first()));
        word.MoveRight(1);
        word.TypeText(fmt(row.at(row.size() - 2)));
    }
    const QStringList V = padded(content.rates, 8);
    const QStringList L = padded(content.linearity, 28);
    QStringList codes{V.at(3), V.at(7)};
    codes << L.mid(20, 8) << content.calibrator << content.checker;
    for (int i = 0; i < 6; ++i)
        codes << content.unit;
    word.FillBookmarks(QStringLiteral("code_"), codes);
    // The deviation header: "△T" in the template, then "d" as subscript and the unit.
    word.GoToBookmark(QStringLiteral("Form5"));
    word.ToggleSubscriptAndType(QStringLiteral("d"));
    word.ToggleSubscriptAndType(content.unit);
    fillIdentity(word, content);
    // The annex of the performance figures closes the certificate, when wanted and there are any.
    if (content.performance.annex && content.performance.present)
        performanceWord(word, content, false);
    else
        word.RemoveFromBookmark(QStringLiteral("PerfAnnex"));
    return finishWord(word, outputPath, pdf, error, cancel);
}

int originalRecordWord(const QString &templatePath, const ReportContent &content, const QString &outputPath, bool pdf,
                       QString *error, const std::atomic<bool> *cancel)
{
    if (!fitsRecord(content, error))
        return TemplateFailed;
    const int n = probeCount(content);
    WordReport word;
    if (!openTemplate(word, templatePath, error))
        return TemplateFailed;
    const Fmt fmt{content.decimals};
    const auto &R = content.rows;
    const int r = R.size();
    word.GoToBookmark(QStringLiteral("Form1"));
    for (const QString &entry : content.probes) {
        const ProbeLabel label = probeLabel(entry);
        word.TypeWithSubscript(label.letters, label.index);
        word.MoveRight(1);
    }
    word.GoToBookmark(QStringLiteral("Form2"));
    if (r - 2 > 0)
        word.InsertRows(r - 2);
    for (int j = n; j >= 0; --j) {
        word.GoToBookmark(QStringLiteral("Form3"));
        word.MoveRight(j);
        for (int k = 0; k < r; ++k) {
            word.TypeText(j < R.at(k).size() ? fmt(R.at(k).at(j)) : QString());
            word.MoveDown(1);
        }
    }
    const QStringList V = padded(content.rates, 8);
    const QStringList L = padded(content.linearity, 28);
    QStringList codes{content.company,       content.calibrationTime,      content.deviceName,
                      content.manufacturer,  content.deviceModel,          content.serialNumber,
                      content.certificateNumber, content.ambientTemperature, content.humidity + QStringLiteral("%"),
                      content.pressure + QStringLiteral("kPa"),
                      V.at(0), V.at(1), V.at(2), V.at(4), V.at(5), V.at(6)};
    codes << L.mid(0, 20) << content.calibrator << content.checker;
    for (int i = 0; i < 6; ++i)
        codes << content.unit;
    word.FillBookmarks(QStringLiteral("code_"), codes);
    fillIdentity(word, content);
    fillBudgetWord(word, content, fmt);
    insertCurvesWord(word, content);
    performanceWord(word, content, true);
    return finishWord(word, outputPath, pdf, error, cancel);
}

int certificateExcel(const QString &templatePath, const ReportContent &content, const QString &outputPath,
                     QString *error)
{
    ExcelReport excel;
    if (!openTemplate(excel, templatePath, error))
        return TemplateFailed;
    const Fmt fmt{content.decimals};
    const auto &R = content.rows;
    const int r = R.size();
    const int f = std::max(r, 1);   // without rows the template's own single row stays
    const QString &u = content.unit;
    // The results begin below the identification block, at the row the template names
    // "Results"; every row of the results is counted from there.
    const int o = std::max(0, excel.DefinedNameRow(QStringLiteral("Results")) - 1);
    if (r >= 2) {
        for (int i = 9; i < 9 + r - 1; ++i) {
            excel.InsertRow(o + 4, 1);
            excel.Merge(o + 4, 4, 2);
            excel.InsertRow(o + i, 1);
            excel.Merge(o + i, 1, 2);
            excel.Merge(o + i, 3, 3);
        }
    }
    for (int k = 0; k < r; ++k) {
        const QVector<double> &row = R.at(k);
        excel.SetCell(o + 4 + k, 1, fmt(row.first()));
        excel.SetCell(o + 4 + k, 2, fmt(row.last()));
        excel.SetCell(o + 4 + k, 3, fmt(row.first() - row.last()));
        excel.SetCell(o + 4 + k, 4, uncertaintyText(content, k, fmt));
    }
    for (int k = 0; k < r; ++k) {
        const QVector<double> &row = R.at(k);
        excel.SetCell(o + r + 7 + k, 1, fmt(row.first()));
        excel.SetCell(o + r + 7 + k, 3, fmt(row.at(row.size() - 2)));
    }
    const QStringList V = padded(content.rates, 8);
    const QStringList L = padded(content.linearity, 28);
    const int h = 2 * f - 2;
    excel.SetCell(o + h + 11, 2, V.at(3));
    excel.SetCell(o + 2 * f + 12, 2, V.at(7));
    const int c = 2 * f + 16;
    for (int i = 0; i < 4; ++i) {
        excel.SetCell(o + c, 2 + i, L.at(20 + i));
        excel.SetCell(o + c + 1, 2 + i, L.at(24 + i));
    }
    excel.SetCell(o + h + 23, 2, content.calibrator);
    excel.SetCell(o + h + 23, 5, content.checker);
    excel.SetCell(o + 3, 1, QCoreApplication::translate("ReportWriter", "设定温度") + u);
    excel.SetMeanTemperatureHeader(o + 3, 2, u);
    excel.SetCellWithSubscript(o + 3, 3, QStringLiteral("△T"), QStringLiteral("d"), u);
    excel.SetCell(o + 3, 4, QCoreApplication::translate("ReportWriter", "不确定度") + u + QStringLiteral("(k=2)"));
    excel.SetCell(o + f + 6, 1, QCoreApplication::translate("ReportWriter", "设定温度/") + u);
    excel.SetCell(o + f + 6, 3, QCoreApplication::translate("ReportWriter", "极差/") + u);
    excel.SetCell(o + h + 11, 3, u + QStringLiteral("/s"));
    excel.SetCell(o + 2 * f + 12, 3, u + QStringLiteral("/s"));
    if (o > 0) {
        // The identification block: values beside the template's labels.
        const struct
        {
            int row, column;
            QString text;
        } identity[] = {
            {2, 2, content.certificateNumber},  {2, 5, content.issueDate},
            {3, 2, content.company},            {4, 2, content.laboratory},
            {5, 2, content.deviceName},         {5, 5, content.deviceModel},
            {6, 2, content.serialNumber},       {6, 5, content.manufacturer},
            {7, 2, content.calibrationDate},    {7, 5, content.ambientText()},
            {8, 2, content.method},             {9, 2, standardText(content)},
            {9, 5, content.standardSerial},     {10, 2, content.standardCertificate},
            {10, 5, content.standardValidUntil}, {11, 2, content.standardUncertainty},
        };
        for (const auto &cell : identity)
            if (cell.row < o)
                excel.SetCell(cell.row, cell.column, cell.text);
    }
    excel.FillHeaderFooter(QStringLiteral("CertificateNumber"), content.certificateNumber);
    excel.FillHeaderFooter(QStringLiteral("AuditHead"), content.auditHead);
    // The annex on a page of its own after the signatures: title, profile, basis, heading, the
    // figures, the verdict.
    const int annex = o + 2 * f + 25;
    const PerformanceContent &p = content.performance;
    if (p.annex && p.present) {
        excel.SetCell(annex + 1, 1, p.profile);
        excel.SetCell(annex + 2, 1, p.basis);
        const int verdict = performanceExcelRows(excel, performanceRows(p), annex + 4,
                                                 {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}});
        excel.SetCell(verdict, 2, p.verdict);
    } else {
        excel.RemoveRowsFrom(annex - 1);
    }
    return finishExcel(excel, outputPath, error);
}

int originalRecordExcel(const QString &templatePath, const ReportContent &content, const QString &outputPath,
                        QString *error)
{
    if (!fitsRecord(content, error))
        return TemplateFailed;
    const int n = probeCount(content);
    ExcelReport excel;
    if (!openTemplate(excel, templatePath, error))
        return TemplateFailed;
    const Fmt fmt{content.decimals};
    const auto &R = content.rows;
    const int r = R.size();
    const int f = std::max(r, 1);
    const QString &u = content.unit;
    if (content.hasUniformity) {
        for (int p = 0; p < content.probes.size(); ++p) {
            const ProbeLabel label = probeLabel(content.probes.at(p));
            excel.SetCellWithSubscript(9, p + 2, label.letters, label.index, QString());
        }
    }
    for (int i = 1; i < r; ++i)
        excel.InsertRow(10, 10);
    for (int k = 0; k < r; ++k)
        for (int j = 0; j <= n && j < R.at(k).size(); ++j)
            excel.SetCell(10 + k, j + 1, fmt(R.at(k).at(j)));
    excel.SetCell(2, 3, content.company);
    excel.SetCell(2, 9, content.calibrationTime);
    excel.SetCell(3, 3, content.deviceName);
    excel.SetCell(3, 9, content.manufacturer);
    excel.SetCell(4, 3, content.deviceModel);
    excel.SetCell(4, 9, content.serialNumber);
    excel.SetCell(5, 3, content.certificateNumber);
    excel.SetCell(6, 2, content.ambientTemperature);
    excel.SetCell(6, 6, content.humidity);
    excel.SetCell(6, 10, content.pressure);
    excel.SetCell(6, 3, u);
    excel.SetCell(9, 1, QCoreApplication::translate("ReportWriter", "设定温度") + u);
    const QStringList V = padded(content.rates, 8);
    const QStringList L = padded(content.linearity, 28);
    const int columns[] = {3, 7, 11};
    for (int i = 0; i < 3; ++i) {
        excel.SetCell(f + 12, columns[i], V.at(i));
        excel.SetCell(f + 15, columns[i], V.at(4 + i));
    }
    for (int col : {4, 8}) {
        excel.SetCell(f + 12, col, u + QStringLiteral(","));
        excel.SetCell(f + 15, col, u + QStringLiteral(","));
    }
    for (int i = 0; i < 10; ++i) {
        excel.SetCell(f + 19, 2 + i, L.at(i));
        excel.SetCell(f + 20, 2 + i, L.at(10 + i));
    }
    excel.SetCell(f + 25, 3, content.calibrator);
    excel.SetCell(f + 25, 8, content.checker);
    // The performance section below the signatures: title, profile, basis, heading, the
    // figures, the verdict; then the wells a fixed time after reaching.
    const PerformanceContent &p = content.performance;
    const int top = f + 27;
    excel.SetCell(top + 1, 1, p.profile);
    excel.SetCell(top + 2, 1, p.basis);
    const int verdict = performanceExcelRows(excel, performanceRows(p), top + 4,
                                             {{1, 3}, {4, 2}, {6, 2}, {8, 2}, {10, 2}});
    excel.SetCell(verdict, 4, p.verdict);
    const int wells = verdict + 2;
    excel.SetCell(wells, 1, QCoreApplication::translate("ReportWriter", "各测温点定时偏差（测点值−设定温度）/") + u);
    for (int q = 0; q < content.probes.size(); ++q) {
        const ProbeLabel label = probeLabel(content.probes.at(q));
        excel.SetCellWithSubscript(wells + 1, q + 2, label.letters, label.index, QString());
    }
    QVector<QStringList> wellRows;
    QVector<QPair<int, int>> wellColumns;
    for (const QStringList &row : p.wells) {
        // Set temperature and time share the first column.
        QStringList cells{row.value(0) + QLatin1Char('\n') + row.value(1)};
        cells << row.mid(2);
        wellRows << cells;
    }
    for (int col = 1; col <= 1 + std::max(n, int(content.probes.size())); ++col)
        wellColumns << qMakePair(col, 1);
    performanceExcelRows(excel, wellRows, wells + 2, wellColumns);

    // Beyond the fixed cells: the method, the measuring standard, and the annexes on a page of
    // their own after the performance section (the uncertainty budget per plateau, then the
    // picture of the run).
    if (!content.method.isEmpty())
        excel.SetCell(5, 9, content.method);
    excel.SetCell(7, 3, joinedNonEmpty({standardText(content), content.standardSerial}, QStringLiteral(", ")));
    excel.SetCell(7, 9, joinedNonEmpty({content.standardCertificate, content.standardValidUntil.isEmpty()
                                            ? QString() : QCoreApplication::translate("ReportWriter", "有效期至 %1").arg(content.standardValidUntil),
                                        content.standardUncertainty},
                                       QStringLiteral(", ")));
    // Both names follow the rows inserted above them.
    const int budgetRow = excel.DefinedNameRow(QStringLiteral("Budget"));
    if (budgetRow > 0 && !content.budget.isEmpty()) {
        const Fmt fine{std::max(content.decimals, 3)};
        const int b = content.budget.size();
        for (int i = 1; i < b; ++i)
            excel.InsertRow(budgetRow + 1, 1);
        for (int k = 0; k < b; ++k) {
            const BudgetRow &row = content.budget.at(k);
            const QStringList cells{fmt(row.setTemperature), fine(row.u1), fine(row.u2), fine(row.combined),
                                    QString::number(row.k, 'g', 3), fmt(row.expanded)};
            for (int i = 0; i < cells.size(); ++i) {
                if (k > 0)
                    excel.Merge(budgetRow + k, 1 + 2 * i, 2);
                excel.SetCell(budgetRow + k, 1 + 2 * i, cells.at(i));
            }
        }
    }
    const int curvesRow = excel.DefinedNameRow(QStringLiteral("Curves"));
    if (curvesRow > 0 && !content.curves.isEmpty())
        excel.InsertPicture(curvesRow, 1, content.curves, 28.0);   // the sheet prints scaled to the page
    excel.FillHeaderFooter(QStringLiteral("CertificateNumber"), content.certificateNumber);
    excel.FillHeaderFooter(QStringLiteral("AuditHead"), content.auditHead);
    return finishExcel(excel, outputPath, error);
}

} // namespace ReportWriter
