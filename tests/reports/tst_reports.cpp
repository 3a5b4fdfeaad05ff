// Documents made from the packed templates through the same calls the export uses, read back
// from the produced files; LibreOffice opens and converts them.
#include "DocumentProbe.h"

#include "reports/ColumnLetters.h"
#include "reports/ExcelReport.h"
#include "reports/OfficeConverter.h"
#include "reports/OoxmlPackage.h"
#include "reports/RawWorkbook.h"
#include "reports/ReportTemplates.h"
#include "reports/ReportWriter.h"
#include "reports/WordReport.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <QXmlStreamReader>

namespace {

const QString celsius = QStringLiteral("℃");
const QString fahrenheit = QStringLiteral("℉");

// r rows of n probes in ascending set-temperature order, values chosen so every column differs.
ReportContent sampleContent(int r, int n, const QString &unit = celsius, int decimals = 2)
{
    static const double sets[] = {30, 50, 60, 72, 95, 100, 105, 110};
    ReportContent c;
    c.unit = unit;
    c.decimals = decimals;
    for (int k = 0; k < r; ++k) {
        QVector<double> row{sets[k]};
        for (int p = 0; p < n; ++p)
            row << sets[k] + 0.0137 * (p + 1) - 0.1;
        row << 0.3125 + 0.01 * k;             // range
        row << sets[k] + 0.0456 * (k + 1);    // overall mean
        c.rows << row;
        c.uncertainty << 0.0211 * (k + 1);
    }
    for (int p = 0; p < n; ++p)
        c.probes << QStringLiteral("%1:%2").arg(p / 12 + 1).arg(p % 12 + 1);
    c.rates = QStringList{QStringLiteral("55.12"), QStringLiteral("94.87"), QStringLiteral("12"),
                          QStringLiteral("3.31"), QStringLiteral("94.90"), QStringLiteral("55.03"),
                          QStringLiteral("15"), QStringLiteral("2.66")};
    for (int i = 1; i <= 28; ++i)
        c.linearity << QStringLiteral("L%1").arg(i);
    c.company = QStringLiteral("某市疾病预防控制中心");
    c.calibrationTime = QStringLiteral("2024-05-06 09:30:00");
    c.ambientTemperature = QStringLiteral("23.50");
    c.humidity = QStringLiteral("45");
    c.pressure = QStringLiteral("101.3");
    c.calibrator = QStringLiteral("张三");
    c.checker = QStringLiteral("李四");
    c.deviceName = QStringLiteral("实时荧光定量PCR仪");
    c.deviceModel = QStringLiteral("QX-96");
    c.serialNumber = QStringLiteral("SN2024001");
    c.manufacturer = QStringLiteral("某某生物科技有限公司");
    c.certificateNumber = QStringLiteral("JZ2024-0815");
    c.auditHead = QStringLiteral("42:") + QString(64, QLatin1Char('a'));
    c.issueDate = QStringLiteral("2024-05-20");
    c.calibrationDate = QStringLiteral("2024-05-06");
    c.laboratory = QStringLiteral("某某计量检测研究院");
    c.method = QStringLiteral("JJF 1527-2015");
    c.standardName = QStringLiteral("多路温度采集器");
    c.standardModel = QStringLiteral("1611A");
    c.standardSerial = QStringLiteral("SIM1611A-0001");
    c.standardCertificate = QStringLiteral("ZS-2024-77");
    c.standardValidUntil = QStringLiteral("2025-06-30");
    c.standardUncertainty = QStringLiteral("0.05℃");
    for (int k = 0; k < r; ++k)
        c.budget.append({c.rows.at(k).first(), 0.0123 * (k + 1), 0.025, 0.0301 + k, 2.0, 0.0602 + 2 * k});
    return c;
}

// A small picture standing for the run's curves.
QByteArray samplePicture()
{
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    static QString tpl(const QString &name) { return QStringLiteral(PCR_TEMPLATE_DIR "/") + name; }
    QString out(const QString &name) const { return m_dir.filePath(name); }

    QString convert(const QString &document)
    {
        const QString pdf = document + QStringLiteral(".pdf");
        QString error;
        const bool ok = OfficeConverter::convertToPdf(document, pdf, &error);
        if (!ok)
            qWarning("%s", qPrintable(error));
        return ok ? pdf : QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // A profile of this run only: the conversions must work from a fresh profile.
        OfficeConverter::setProfileDirectory(m_dir.filePath(QStringLiteral("lo-profile")));
        for (const char *name : {"校准证书.dotx", "原始记录.dotx", "校准证书.xltx", "原始记录.xltx", "Calibration certificate.dotx",
                                 "Original record.dotx", "Calibration certificate.xltx", "Original record.xltx"})
            QVERIFY2(QFile::exists(tpl(QString::fromUtf8(name))), name);
    }

    void columnLettersAndLabels()
    {
        QCOMPARE(columnLetters(1), QStringLiteral("A"));
        QCOMPARE(columnLetters(26), QStringLiteral("Z"));
        QCOMPARE(columnLetters(27), QStringLiteral("AA"));
        QCOMPARE(columnLetters(52), QStringLiteral("AZ"));
        QCOMPARE(columnLetters(53), QStringLiteral("BA"));
        QCOMPARE(columnLetters(702), QStringLiteral("ZZ"));
        QCOMPARE(columnLetters(703), QStringLiteral("AAA"));
        QCOMPARE(columnLetters(0), QString());
        QCOMPARE(probeLabel(QStringLiteral("1:5")).plain(), QStringLiteral("A5"));
        QCOMPARE(probeLabel(QStringLiteral("27:3")).letters, QStringLiteral("AA"));
        QCOMPARE(probeLabel(QStringLiteral("27:3")).index, QStringLiteral("3"));
        int r = 0, c = 0;
        QVERIFY(parseCellAddress(QStringLiteral("$AB$12"), &r, &c));
        QCOMPARE(r, 12);
        QCOMPARE(c, 28);
        QVERIFY(!parseCellAddress(QStringLiteral("12"), &r, &c));
        QVERIFY(!parseCellAddress(QStringLiteral("A0"), &r, &c));
        QCOMPARE(cellAddress(3, 16), QStringLiteral("P3"));
    }

    void templateNamesFollowTheLanguage()
    {
        QCOMPARE(ReportTemplates::fileName(ReportTemplates::CertificateWord), QStringLiteral("校准证书.dotx"));
        QCOMPARE(ReportTemplates::fileName(ReportTemplates::OriginalRecordExcel), QStringLiteral("原始记录.xltx"));
        ReportTemplates::setDirectory(QStringLiteral(PCR_TEMPLATE_DIR));
        QVERIFY(QFile::exists(ReportTemplates::path(ReportTemplates::CertificateExcel)));
        ReportTemplates::setDirectory(QString());
        QCOMPARE(ReportTemplates::directory(), QCoreApplication::applicationDirPath());
    }

    void templatesDeclareSimplifiedChinese()
    {
        // LibreOffice picks the regional glyphs of the CJK collection by the text's language:
        // zh-CN gives the Simplified Chinese forms, not the Japanese ones.
        for (const char *name : {"校准证书.dotx", "原始记录.dotx", "Calibration certificate.dotx", "Original record.dotx"}) {
            OoxmlPackage package;
            QVERIFY(package.load(tpl(QString::fromUtf8(name))));
            const QByteArray styles = package.part(QStringLiteral("word/styles.xml"));
            QVERIFY2(styles.contains("w:eastAsia=\"zh-CN\""), name);
            QVERIFY2(styles.contains("w:eastAsia=\"宋体\""), name);
        }
    }

    void certificateWord_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("decimals");
        QTest::newRow("no rows") << 0 << celsius << 2;
        QTest::newRow("one row") << 1 << celsius << 2;
        QTest::newRow("three rows") << 3 << celsius << 2;
        QTest::newRow("six rows F 4 decimals") << 6 << fahrenheit << 4;
        QTest::newRow("two rows 0 decimals") << 2 << celsius << 0;
    }

    void certificateWord()
    {
        QFETCH(int, rows);
        QFETCH(QString, unit);
        QFETCH(int, decimals);
        const ReportContent c = sampleContent(rows, 16, unit, decimals);
        const QString path = out(QStringLiteral("certificate-%1-%2.docx").arg(rows).arg(decimals));
        QString error;
        QCOMPARE(ReportWriter::certificateWord(tpl(QStringLiteral("校准证书.dotx")), c, path, false, &error), 0);
        keepDocument(path);
        DocxProbe doc(path);
        QVERIFY(doc.ok());
        QVERIFY(doc.contentType().contains(QLatin1String("document.main+xml")));

        const int shown = std::max(rows, 2);   // the template's two data rows stay when fewer
        const QVector<QStringList> t1 = doc.table(1);   // after the identification block
        const QVector<QStringList> t2 = doc.table(2);
        QCOMPARE(t1.size(), 1 + shown);
        QCOMPARE(t2.size(), 1 + shown);
        for (int k = 0; k < rows; ++k) {
            const QVector<double> &row = c.rows.at(k);
            QCOMPARE(t1.at(k + 1), (QStringList{fixed(row.first(), decimals), fixed(row.last(), decimals),
                                                fixed(row.first() - row.last(), decimals),
                                                fixed(c.uncertainty.at(k), decimals)}));
            QCOMPARE(t2.at(k + 1), (QStringList{fixed(row.first(), decimals), fixed(row.at(row.size() - 2), decimals)}));
        }
        for (int k = rows; k < shown; ++k)
            QCOMPARE(t1.at(k + 1).join(QString()), QString());
        // Ascending set temperatures.
        for (int k = 1; k < rows; ++k)
            QVERIFY(t1.at(k + 1).first().toDouble() > t1.at(k).first().toDouble());

        // Header units, and the deviation header "△T" + subscript "d" + unit.
        QVERIFY(t1.at(0).at(0).endsWith(QStringLiteral("(") + unit + QStringLiteral(")")));
        const QVector<Run> deviation = doc.cellRuns(1, 0, 2);
        QVERIFY(deviation.size() >= 3);
        const Run &d = deviation.at(deviation.size() - 2);
        QCOMPARE(d.text, QStringLiteral("d"));
        QVERIFY(d.subscript);
        QCOMPARE(deviation.last().text, unit);
        QVERIFY(!deviation.last().subscript);
        QCOMPARE(deviation.at(deviation.size() - 3).text, QStringLiteral("△T"));

        // Rates, linearity, people and units in their bookmarks.
        QCOMPARE(doc.bookmarkText(QStringLiteral("code_1")), QStringLiteral("3.31"));
        QCOMPARE(doc.bookmarkText(QStringLiteral("code_2")), QStringLiteral("2.66"));
        for (int i = 3; i <= 10; ++i)
            QCOMPARE(doc.bookmarkText(QStringLiteral("code_%1").arg(i)), QStringLiteral("L%1").arg(i + 18));
        QCOMPARE(doc.bookmarkText(QStringLiteral("code_11")), QStringLiteral("张三"));
        QCOMPARE(doc.bookmarkText(QStringLiteral("code_12")), QStringLiteral("李四"));
        for (int i = 13; i <= 18; ++i)
            QCOMPARE(doc.bookmarkText(QStringLiteral("code_%1").arg(i)), unit);
        QCOMPARE(doc.table(3).at(1).at(0), QStringLiteral("测量结果(") + unit + QStringLiteral("/s)"));
        // Inserted rows carry no bookmark copies.
        for (const char *name : {"Form1", "Form2", "Form3", "Form4", "Form5"})
            QCOMPARE(doc.bookmarkCount(QString::fromLatin1(name)), 1);
    }

    // A name stored with control characters (ESC, VT, SOH) before they were refused at input
    // made every XML part ill-formed: LibreOffice and Word refused the file. The document layer
    // drops what XML 1.0 forbids; the rest of the text stays.
    void controlCharactersNeverReachTheXml_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("certificate Word") << "certificate.docx";
        QTest::newRow("record Word") << "record.docx";
        QTest::newRow("certificate Excel") << "certificate.xlsx";
        QTest::newRow("record Excel") << "record.xlsx";
    }
    void controlCharactersNeverReachTheXml()
    {
        QFETCH(QString, kind);
        ReportContent c = sampleContent(2, 4);
        c.company = QStringLiteral("某\x1b[31m单位");
        c.checker = QStringLiteral("李\x0b四");
        c.deviceName = QStringLiteral("\x01PCR\x7f仪\x0c");
        c.probes[0] = QStringLiteral("A\x1f" "1");
        const QString path = out(QStringLiteral("control-") + kind);
        QString error;
        int code = -1;
        if (kind == QLatin1String("certificate.docx"))
            code = ReportWriter::certificateWord(tpl(QStringLiteral("校准证书.dotx")), c, path, false, &error);
        else if (kind == QLatin1String("record.docx"))
            code = ReportWriter::originalRecordWord(tpl(QStringLiteral("原始记录.dotx")), c, path, false, &error);
        else if (kind == QLatin1String("certificate.xlsx"))
            code = ReportWriter::certificateExcel(tpl(QStringLiteral("校准证书.xltx")), c, path, &error);
        else
            code = ReportWriter::originalRecordExcel(tpl(QStringLiteral("原始记录.xltx")), c, path, &error);
        QVERIFY2(code == 0, qPrintable(error));
        OoxmlPackage package;
        QVERIFY(package.load(path));
        QString all;
        for (const QString &part : package.partNames()) {
            if (!part.endsWith(QLatin1String(".xml")) && !part.endsWith(QLatin1String(".rels")))
                continue;
            QXmlStreamReader xml(package.part(part));
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isCharacters())
                    all += xml.text();
            }
            QVERIFY2(!xml.hasError(), qPrintable(part + QStringLiteral(": ") + xml.errorString()));
        }
        // The texts are there without their control characters (which fields a document prints
        // depends on its kind).
        QVERIFY(all.contains(QStringLiteral("李四")));
        for (const QChar c : {QChar(0x1b), QChar(0x0b), QChar(0x01), QChar(0x0c), QChar(0x1f)})
            QVERIFY(!all.contains(c));
    }

    void insertedRowsKeepTheRowFormatting()
    {
        const ReportContent c = sampleContent(5, 4);
        const QString path = out(QStringLiteral("certificate-format.docx"));
        QCOMPARE(ReportWriter::certificateWord(tpl(QStringLiteral("校准证书.dotx")), c, path, false), 0);
        DocxProbe doc(path);
        const QByteArray templateRow = doc.rowProperties(1, 5);   // the template's last data row
        QVERIFY(!templateRow.isEmpty());
        for (int row = 2; row <= 4; ++row)
            QCOMPARE(doc.rowProperties(1, row), templateRow);
    }

    void originalRecordWord_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("probes");
        QTest::newRow("one row, 1 probe") << 1 << 1;
        QTest::newRow("three rows, 15 probes") << 3 << 15;
        QTest::newRow("five rows, 8 probes") << 5 << 8;
        QTest::newRow("two rows, 16 probes") << 2 << 16;
    }

    void originalRecordWord()
    {
        QFETCH(int, rows);
        QFETCH(int, probes);
        ReportContent c = sampleContent(rows, probes);
        c.unit = fahrenheit;
        c.ambientTemperature = QStringLiteral("74.30");
        const QString path = out(QStringLiteral("record-%1-%2.docx").arg(rows).arg(probes));
        QCOMPARE(ReportWriter::originalRecordWord(tpl(QStringLiteral("原始记录.dotx")), c, path, false), 0);
        keepDocument(path);
        DocxProbe doc(path);
        QVERIFY(doc.ok());
        const QVector<QStringList> data = doc.table(1);
        QCOMPARE(data.size(), 1 + std::max(rows, 2));
        // Header: the probe labels, row letters with the column as subscript.
        for (int p = 0; p < probes; ++p) {
            const ProbeLabel label = probeLabel(c.probes.at(p));
            QCOMPARE(data.at(0).at(p + 1), label.plain());
            const QVector<Run> runs = doc.cellRuns(1, 0, p + 1);
            QCOMPARE(runs.size(), 2);
            QVERIFY(!runs.at(0).subscript);
            QVERIFY(runs.at(1).subscript);
            QCOMPARE(runs.at(1).text, label.index);
        }
        for (int p = probes; p < 16; ++p)
            QCOMPARE(data.at(0).at(p + 1), QString());
        for (int k = 0; k < rows; ++k)
            for (int j = 0; j <= probes; ++j)
                QCOMPARE(data.at(k + 1).at(j), fixed(c.rows.at(k).at(j), 2));
        const QStringList expected{c.company, c.calibrationTime, c.deviceName, c.manufacturer, c.deviceModel,
                                   c.serialNumber, c.certificateNumber, QStringLiteral("74.30"), QStringLiteral("45%"),
                                   QStringLiteral("101.3kPa"), QStringLiteral("55.12"), QStringLiteral("94.87"),
                                   QStringLiteral("12"), QStringLiteral("94.90"), QStringLiteral("55.03"),
                                   QStringLiteral("15")};
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(doc.bookmarkText(QStringLiteral("code_%1").arg(i + 1)), expected.at(i));
        for (int i = 17; i <= 36; ++i)
            QCOMPARE(doc.bookmarkText(QStringLiteral("code_%1").arg(i)), QStringLiteral("L%1").arg(i - 16));
        QCOMPARE(doc.bookmarkText(QStringLiteral("code_37")), QStringLiteral("张三"));
        QCOMPARE(doc.bookmarkText(QStringLiteral("code_38")), QStringLiteral("李四"));
        for (int i = 39; i <= 44; ++i)
            QCOMPARE(doc.bookmarkText(QStringLiteral("code_%1").arg(i)), fahrenheit);
    }

    void originalRecordRefusesSeventeenProbes()
    {
        const QString word = out(QStringLiteral("record17.docx"));
        const QString excel = out(QStringLiteral("record17.xlsx"));
        QString error;
        QCOMPARE(ReportWriter::originalRecordWord(tpl(QStringLiteral("原始记录.dotx")), sampleContent(2, 17), word, false, &error), 3);
        QVERIFY(error.contains(QLatin1String("16")));
        QCOMPARE(ReportWriter::originalRecordExcel(tpl(QStringLiteral("原始记录.xltx")), sampleContent(2, 17), excel), 3);
        QVERIFY(!QFile::exists(word));
        QVERIFY(!QFile::exists(excel));
    }

    // The wells table of the performance section has a column for the 16th probe too.
    void performanceWellsOfSixteenProbes_data()
    {
        QTest::addColumn<bool>("excel");
        QTest::newRow("Word") << false;
        QTest::newRow("Excel") << true;
    }
    void performanceWellsOfSixteenProbes()
    {
        QFETCH(bool, excel);
        ReportContent c = sampleContent(2, 16);
        c.performance.present = true;
        for (const QString &set : {QStringLiteral("60.00℃"), QStringLiteral("95.00℃")}) {
            QStringList row{set, QStringLiteral("15 s")};
            for (int p = 1; p <= 16; ++p)
                row << QStringLiteral("0.%1").arg(p, 2, 10, QLatin1Char('0'));
            c.performance.wells << row;
        }
        const QString path = out(excel ? QStringLiteral("wells16.xlsx") : QStringLiteral("wells16.docx"));
        if (excel) {
            QCOMPARE(ReportWriter::originalRecordExcel(tpl(QStringLiteral("原始记录.xltx")), c, path), 0);
            XlsxProbe x(path);
            // Two uniformity rows; one "无" figure line: the wells' first row is 2 + 27 + 10.
            const int first = 2 + 27 + 10;
            QCOMPARE(x.cell(first - 1, 17), probeLabel(c.probes.last()).plain());
            QCOMPARE(x.cell(first, 17), QStringLiteral("0.16"));
            QCOMPARE(x.cell(first + 1, 17), QStringLiteral("0.16"));
        } else {
            QCOMPARE(ReportWriter::originalRecordWord(tpl(QStringLiteral("原始记录.dotx")), c, path, false), 0);
            DocxProbe doc(path);
            QVector<QStringList> wells;
            for (int t = 0; t < doc.tableCount() && wells.isEmpty(); ++t)
                if (doc.table(t).value(0).value(1) == QStringLiteral("时间"))
                    wells = doc.table(t);
            QCOMPARE(wells.size(), 1 + 2);
            QCOMPARE(wells.at(0).size(), 2 + 16);
            QCOMPARE(wells.at(1).last(), QStringLiteral("0.16"));
            QCOMPARE(wells.at(2).last(), QStringLiteral("0.16"));
        }
    }

    void certificateExcel_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("unit");
        QTest::newRow("no rows") << 0 << celsius;
        QTest::newRow("one row") << 1 << celsius;
        QTest::newRow("four rows F") << 4 << fahrenheit;
    }

    void certificateExcel()
    {
        QFETCH(int, rows);
        QFETCH(QString, unit);
        const ReportContent c = sampleContent(rows, 16, unit);
        const QString path = out(QStringLiteral("certificate-%1.xlsx").arg(rows));
        QCOMPARE(ReportWriter::certificateExcel(tpl(QStringLiteral("校准证书.xltx")), c, path), 0);
        keepDocument(path);
        XlsxProbe x(path);
        QVERIFY(x.ok());
        QVERIFY(x.contentType().contains(QLatin1String("sheet.main+xml")));
        const int f = std::max(rows, 1);
        const int o = 12;   // the results begin below the identification block
        const int h = 2 * f - 2;
        const QStringList merges = x.merges();
        for (int k = 0; k < rows; ++k) {
            const QVector<double> &row = c.rows.at(k);
            QCOMPARE(x.cell(o + 4 + k, 1), fixed(row.first(), 2));
            QCOMPARE(x.cell(o + 4 + k, 2), fixed(row.last(), 2));
            QCOMPARE(x.cell(o + 4 + k, 3), fixed(row.first() - row.last(), 2));
            QCOMPARE(x.cell(o + 4 + k, 4), fixed(c.uncertainty.at(k), 2));
            QCOMPARE(x.type(o + 4 + k, 1), QStringLiteral("inlineStr"));   // texts stay as printed
            QCOMPARE(x.cell(o + rows + 7 + k, 1), fixed(row.first(), 2));
            QCOMPARE(x.cell(o + rows + 7 + k, 3), fixed(row.at(row.size() - 2), 2));
        }
        for (int k = 0; k < f; ++k) {
            QVERIFY2(merges.contains(QStringLiteral("D%1:E%1").arg(o + 4 + k)), qPrintable(merges.join(' ')));
            QVERIFY(merges.contains(QStringLiteral("A%1:B%1").arg(o + f + 7 + k)));
            QVERIFY(merges.contains(QStringLiteral("C%1:E%1").arg(o + f + 7 + k)));
            for (int col = 1; col <= 5; ++col)
                QCOMPARE(x.style(o + 4 + k, col), x.style(o + 3, col));   // new rows formatted like the rows they came from
            // Rows inserted under the header take its height: the table's rows stay even.
            QCOMPARE(x.rowHeight(o + 4 + k), x.rowHeight(o + 3 + f));
        }
        // The template below the tables moved down with the inserted rows.
        QCOMPARE(x.cell(o + f + 5, 1), QStringLiteral("二、温度均匀度"));
        QCOMPARE(x.cell(o + h + 11, 1), QStringLiteral("平均升温速率"));
        QCOMPARE(x.cell(o + h + 11, 2), QStringLiteral("3.31"));
        QCOMPARE(x.cell(o + h + 11, 3), unit + QStringLiteral("/s"));
        QCOMPARE(x.cell(o + 2 * f + 12, 2), QStringLiteral("2.66"));
        QCOMPARE(x.cell(o + 2 * f + 12, 3), unit + QStringLiteral("/s"));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(x.cell(o + 2 * f + 16, 2 + i), QStringLiteral("L%1").arg(21 + i));
            QCOMPARE(x.cell(o + 2 * f + 17, 2 + i), QStringLiteral("L%1").arg(25 + i));
        }
        QCOMPARE(x.cell(o + h + 23, 2), QStringLiteral("张三"));
        QCOMPARE(x.cell(o + h + 23, 5), QStringLiteral("李四"));
        // Headers.
        QCOMPARE(x.cell(o + 3, 1), QStringLiteral("设定温度") + unit);
        QCOMPARE(x.cell(o + 3, 4), QStringLiteral("不确定度") + unit + QStringLiteral("(k=2)"));
        QCOMPARE(x.cell(o + f + 6, 1), QStringLiteral("设定温度/") + unit);
        QCOMPARE(x.cell(o + f + 6, 3), QStringLiteral("极差/") + unit);
        const QVector<Run> mean = x.runs(o + 3, 2);
        // No Symbol-font backtick: it shows as "`" wherever that Windows font is missing.
        QCOMPARE(mean.size(), 3);
        QCOMPARE(mean.at(0).text, QStringLiteral("T\u0304"));
        QCOMPARE(mean.at(1).text, QStringLiteral("c"));
        QVERIFY(mean.at(1).subscript);
        QCOMPARE(mean.at(2).text, unit);
        QVERIFY(!mean.at(2).subscript && !mean.at(0).subscript);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(mean.at(i).font, QStringLiteral("宋体"));
        const QVector<Run> dev = x.runs(o + 3, 3);
        QCOMPARE(dev.size(), 3);
        QCOMPARE(dev.at(0).text, QStringLiteral("△T"));
        QVERIFY(dev.at(1).subscript);
        QCOMPARE(dev.at(1).text, QStringLiteral("d"));
        QCOMPARE(dev.at(2).text, unit);
    }

    void originalRecordExcel_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("probes");
        QTest::newRow("one row") << 1 << 15;
        QTest::newRow("four rows") << 4 << 15;
        QTest::newRow("two rows, 16 probes") << 2 << 16;
        QTest::newRow("no uniformity") << 0 << 6;
    }

    void originalRecordExcel()
    {
        QFETCH(int, rows);
        QFETCH(int, probes);
        ReportContent c = sampleContent(rows, probes);
        c.hasUniformity = rows > 0;
        const QString path = out(QStringLiteral("record-%1-%2.xlsx").arg(rows).arg(probes));
        QCOMPARE(ReportWriter::originalRecordExcel(tpl(QStringLiteral("原始记录.xltx")), c, path), 0);
        keepDocument(path);
        XlsxProbe x(path);
        QVERIFY(x.ok());
        const int f = std::max(rows, 1);
        // Rows inserted under the header take its height: the table's rows stay even.
        for (int k = 0; k < f; ++k)
            QCOMPARE(x.rowHeight(10 + k), x.rowHeight(9));
        for (int p = 0; p < probes; ++p) {
            const QVector<Run> runs = x.runs(9, p + 2);
            if (!c.hasUniformity) {
                QVERIFY(runs.isEmpty());
                continue;
            }
            QCOMPARE(runs.size(), 2);
            QCOMPARE(runs.at(0).text + runs.at(1).text, probeLabel(c.probes.at(p)).plain());
            QVERIFY(runs.at(1).subscript && !runs.at(0).subscript);
        }
        for (int k = 0; k < rows; ++k)
            for (int j = 0; j <= probes; ++j)
                QCOMPARE(x.cell(10 + k, j + 1), fixed(c.rows.at(k).at(j), 2));
        for (int k = 1; k < rows; ++k)
            QVERIFY(x.cell(10 + k, 1).toDouble() > x.cell(9 + k, 1).toDouble());
        QCOMPARE(x.cell(QStringLiteral("C2")), c.company);
        QCOMPARE(x.cell(QStringLiteral("I2")), c.calibrationTime);
        QCOMPARE(x.cell(QStringLiteral("C3")), c.deviceName);
        QCOMPARE(x.cell(QStringLiteral("I3")), c.manufacturer);
        QCOMPARE(x.cell(QStringLiteral("C4")), c.deviceModel);
        QCOMPARE(x.cell(QStringLiteral("I4")), c.serialNumber);
        QCOMPARE(x.cell(QStringLiteral("C5")), c.certificateNumber);
        QCOMPARE(x.cell(QStringLiteral("B6")), QStringLiteral("23.50"));
        QCOMPARE(x.cell(QStringLiteral("C6")), celsius);
        QCOMPARE(x.cell(QStringLiteral("F6")), QStringLiteral("45"));
        QCOMPARE(x.cell(QStringLiteral("J6")), QStringLiteral("101.3"));
        QCOMPARE(x.cell(QStringLiteral("A9")), QStringLiteral("设定温度℃"));
        QCOMPARE(x.cell(f + 12, 3), QStringLiteral("55.12"));
        QCOMPARE(x.cell(f + 12, 7), QStringLiteral("94.87"));
        QCOMPARE(x.cell(f + 12, 11), QStringLiteral("12"));
        QCOMPARE(x.cell(f + 15, 3), QStringLiteral("94.90"));
        QCOMPARE(x.cell(f + 15, 7), QStringLiteral("55.03"));
        QCOMPARE(x.cell(f + 15, 11), QStringLiteral("15"));
        for (int col : {4, 8}) {
            QCOMPARE(x.cell(f + 12, col), celsius + QStringLiteral(","));
            QCOMPARE(x.cell(f + 15, col), celsius + QStringLiteral(","));
        }
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(x.cell(f + 19, 2 + i), QStringLiteral("L%1").arg(i + 1));
            QCOMPARE(x.cell(f + 20, 2 + i), QStringLiteral("L%1").arg(i + 11));
        }
        QCOMPARE(x.cell(f + 20, 1), QStringLiteral("U2"));
        QCOMPARE(x.cell(f + 25, 3), c.calibrator);
        QCOMPARE(x.cell(f + 25, 8), c.checker);
        QVERIFY(x.merges().contains(QStringLiteral("C%1:E%1").arg(f + 25)));
    }

    void identificationInEveryDocument_data()
    {
        QTest::addColumn<QString>("templateName");
        QTest::addColumn<bool>("record");
        QTest::addColumn<bool>("excel");
        QTest::newRow("certificate Word zh") << QStringLiteral("校准证书.dotx") << false << false;
        QTest::newRow("certificate Word en") << QStringLiteral("Calibration certificate.dotx") << false << false;
        QTest::newRow("record Word zh") << QStringLiteral("原始记录.dotx") << true << false;
        QTest::newRow("record Word en") << QStringLiteral("Original record.dotx") << true << false;
        QTest::newRow("certificate Excel zh") << QStringLiteral("校准证书.xltx") << false << true;
        QTest::newRow("certificate Excel en") << QStringLiteral("Calibration certificate.xltx") << false << true;
        QTest::newRow("record Excel zh") << QStringLiteral("原始记录.xltx") << true << true;
        QTest::newRow("record Excel en") << QStringLiteral("Original record.xltx") << true << true;
    }

    // The identification a laboratory's document carries, the certificate number on every page
    // and page numbers "X of Y"; the record's uncertainty budget and picture.
    void identificationInEveryDocument()
    {
        QFETCH(QString, templateName);
        QFETCH(bool, record);
        QFETCH(bool, excel);
        ReportContent c = sampleContent(3, 16);
        c.curves = samplePicture();
        const QString path = out(QFileInfo(templateName).completeBaseName() + (excel ? QStringLiteral(".xlsx") : QStringLiteral(".docx")));
        int code = -1;
        if (excel)
            code = record ? ReportWriter::originalRecordExcel(tpl(templateName), c, path)
                          : ReportWriter::certificateExcel(tpl(templateName), c, path);
        else
            code = record ? ReportWriter::originalRecordWord(tpl(templateName), c, path, false)
                          : ReportWriter::certificateWord(tpl(templateName), c, path, false);
        QCOMPARE(code, 0);
        keepDocument(path);
        const QString standard = c.standardName + QLatin1Char(' ') + c.standardModel;
        if (!excel) {
            DocxProbe doc(path);
            QVERIFY(doc.ok());
            QVERIFY2(doc.headerText().contains(c.certificateNumber), qPrintable(doc.headerText()));
            QVERIFY(!doc.headerText().contains(QLatin1Char('{')));
            // The audit chain's head as the document was made, for a later check to hold to.
            QVERIFY2(doc.footerText().contains(c.auditHead) && !doc.footerText().contains(QLatin1Char('{')),
                     qPrintable(doc.footerText()));
            const QStringList fields = doc.footerFields();
            QVERIFY2(fields.contains(QStringLiteral("PAGE")) && fields.contains(QStringLiteral("NUMPAGES")),
                     qPrintable(fields.join(',')));
            QMap<QString, QString> expected{{QStringLiteral("Standard"), standard},
                                            {QStringLiteral("StandardSerial"), c.standardSerial},
                                            {QStringLiteral("StandardCertificate"), c.standardCertificate},
                                            {QStringLiteral("StandardValidUntil"), c.standardValidUntil},
                                            {QStringLiteral("StandardUncertainty"), c.standardUncertainty}};
            if (record) {
                expected.insert(QStringLiteral("Method"), c.method);
            } else {
                expected.insert(QStringLiteral("CertificateNumber"), c.certificateNumber);
                expected.insert(QStringLiteral("IssueDate"), c.issueDate);
                expected.insert(QStringLiteral("CalibrationDate"), c.calibrationDate);
                expected.insert(QStringLiteral("Client"), c.company);
                expected.insert(QStringLiteral("Laboratory"), c.laboratory);
                expected.insert(QStringLiteral("DeviceName"), c.deviceName);
                expected.insert(QStringLiteral("DeviceModel"), c.deviceModel);
                expected.insert(QStringLiteral("SerialNumber"), c.serialNumber);
                expected.insert(QStringLiteral("Manufacturer"), c.manufacturer);
                expected.insert(QStringLiteral("Ambient"), QStringLiteral("23.50 ℃, 45 %RH, 101.3 kPa"));
                expected.insert(QStringLiteral("Method"), c.method);
            }
            for (auto it = expected.cbegin(); it != expected.cend(); ++it)
                QCOMPARE(doc.bookmarkText(it.key()), it.value());
            if (record) {
                QVector<QStringList> budget;
                for (int t = 0; t < doc.tableCount() && budget.isEmpty(); ++t)
                    if (doc.table(t).size() > 1 && doc.table(t).at(0).size() == 6)
                        budget = doc.table(t);
                QCOMPARE(budget.size(), 1 + 3);
                for (int k = 0; k < 3; ++k) {
                    const BudgetRow &b = c.budget.at(k);
                    QCOMPARE(budget.at(k + 1), (QStringList{fixed(b.setTemperature, 2), fixed(b.u1, 3), fixed(b.u2, 3),
                                                            fixed(b.combined, 3), QStringLiteral("2"), fixed(b.expanded, 2)}));
                }
                QCOMPARE(doc.pictureCount(), 1);
                QCOMPARE(doc.media(), QVector<QByteArray>{c.curves});
            }
            return;
        }
        XlsxProbe x(path);
        QVERIFY(x.ok());
        QVERIFY2(x.oddHeader().contains(c.certificateNumber), qPrintable(x.oddHeader()));
        QVERIFY(x.oddFooter().contains(QLatin1String("&P")) && x.oddFooter().contains(QLatin1String("&N")));
        QVERIFY2(x.oddFooter().contains(c.auditHead), qPrintable(x.oddFooter()));
        if (record) {
            QCOMPARE(x.cell(QStringLiteral("C5")), c.certificateNumber);
            QCOMPARE(x.cell(QStringLiteral("I5")), c.method);
            QCOMPARE(x.cell(QStringLiteral("C7")), standard + QStringLiteral(", ") + c.standardSerial);
            QVERIFY(x.cell(QStringLiteral("I7")).startsWith(c.standardCertificate));
            QVERIFY(x.cell(QStringLiteral("I7")).contains(c.standardValidUntil));
            // The budget after the performance section, its template row 43 moved by the two rows
            // inserted for 3 set temperatures.
            for (int k = 0; k < 3; ++k) {
                const BudgetRow &b = c.budget.at(k);
                const int row = 45 + k;
                QCOMPARE((QStringList{x.cell(row, 1), x.cell(row, 3), x.cell(row, 5), x.cell(row, 7), x.cell(row, 9), x.cell(row, 11)}),
                         (QStringList{fixed(b.setTemperature, 2), fixed(b.u1, 3), fixed(b.u2, 3), fixed(b.combined, 3),
                                      QStringLiteral("2"), fixed(b.expanded, 2)}));
                QVERIFY(x.merges().contains(QStringLiteral("K%1:L%1").arg(row)));
            }
            QCOMPARE(x.pictureCount(), 1);
        } else {
            const QStringList values{x.cell(2, 2), x.cell(2, 5), x.cell(3, 2), x.cell(4, 2), x.cell(5, 2), x.cell(5, 5),
                                     x.cell(6, 2), x.cell(6, 5), x.cell(7, 2), x.cell(7, 5), x.cell(8, 2), x.cell(9, 2),
                                     x.cell(9, 5), x.cell(10, 2), x.cell(10, 5), x.cell(11, 2)};
            QCOMPARE(values, (QStringList{c.certificateNumber, c.issueDate, c.company, c.laboratory, c.deviceName,
                                          c.deviceModel, c.serialNumber, c.manufacturer, c.calibrationDate,
                                          QStringLiteral("23.50 ℃, 45 %RH, 101.3 kPa"), c.method, standard,
                                          c.standardSerial, c.standardCertificate, c.standardValidUntil,
                                          c.standardUncertainty}));
        }
    }

    void englishTemplatesHaveTheSameFields()
    {
        const ReportContent c = sampleContent(3, 15);
        const QString cw = out(QStringLiteral("Calibration certificate.docx"));
        const QString rw = out(QStringLiteral("Original record.docx"));
        const QString ce = out(QStringLiteral("Calibration certificate.xlsx"));
        const QString re = out(QStringLiteral("Original record.xlsx"));
        QCOMPARE(ReportWriter::certificateWord(tpl(QStringLiteral("Calibration certificate.dotx")), c, cw, false), 0);
        QCOMPARE(ReportWriter::originalRecordWord(tpl(QStringLiteral("Original record.dotx")), c, rw, false), 0);
        QCOMPARE(ReportWriter::certificateExcel(tpl(QStringLiteral("Calibration certificate.xltx")), c, ce), 0);
        QCOMPARE(ReportWriter::originalRecordExcel(tpl(QStringLiteral("Original record.xltx")), c, re), 0);
        for (const QString &p : {cw, rw, ce, re})
            keepDocument(p);
        // Same numbers in the same places as the Chinese documents.
        const QString zcw = out(QStringLiteral("zh-c.docx")), zrw = out(QStringLiteral("zh-r.docx"));
        const QString zce = out(QStringLiteral("zh-c.xlsx")), zre = out(QStringLiteral("zh-r.xlsx"));
        QCOMPARE(ReportWriter::certificateWord(tpl(QStringLiteral("校准证书.dotx")), c, zcw, false), 0);
        QCOMPARE(ReportWriter::originalRecordWord(tpl(QStringLiteral("原始记录.dotx")), c, zrw, false), 0);
        QCOMPARE(ReportWriter::certificateExcel(tpl(QStringLiteral("校准证书.xltx")), c, zce), 0);
        QCOMPARE(ReportWriter::originalRecordExcel(tpl(QStringLiteral("原始记录.xltx")), c, zre), 0);
        DocxProbe en(cw), zh(zcw);
        for (int t : {1, 2})
            for (int row = 1; row <= 3; ++row)
                QCOMPARE(en.table(t).at(row), zh.table(t).at(row));
        for (int i = 1; i <= 18; ++i)
            QCOMPARE(en.bookmarkText(QStringLiteral("code_%1").arg(i)), zh.bookmarkText(QStringLiteral("code_%1").arg(i)));
        DocxProbe enr(rw), zhr(zrw);
        for (int row = 0; row <= 3; ++row)
            QCOMPARE(enr.table(1).at(row).mid(1), zhr.table(1).at(row).mid(1));
        for (int i = 1; i <= 44; ++i)
            QCOMPARE(enr.bookmarkText(QStringLiteral("code_%1").arg(i)), zhr.bookmarkText(QStringLiteral("code_%1").arg(i)));
        XlsxProbe ex(ce), zx(zce), exr(re), zxr(zre);
        const QRegularExpression chinese(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
        for (int r = 1; r <= 45; ++r)
            for (int col = 1; col <= 5; ++col)
                if (!zx.cell(r, col).contains(chinese))   // labels are language texts, the rest is the same
                    QCOMPARE(ex.cell(r, col), zx.cell(r, col));
        for (int r = 3; r <= 6; ++r)
            QCOMPARE(ex.rowHeight(12 + r), ex.rowHeight(18));   // header and the three rows, all even
        for (int r = 9; r <= 12; ++r)
            QCOMPARE(exr.rowHeight(r), exr.rowHeight(12));
        for (int r = 9; r <= 40; ++r)
            for (int col = 2; col <= 17; ++col)
                if (!zxr.cell(r, col).contains(chinese))
                    QCOMPARE(exr.cell(r, col), zxr.cell(r, col));
    }

    void wordSelectionFollowsTheWordProcessor()
    {
        WordReport word;
        QCOMPARE(word.Open(tpl(QStringLiteral("校准证书.dotx"))), 0);
        // A missing bookmark leaves the selection where it was.
        word.GoToBookmark(QStringLiteral("Form2"));
        word.TypeText(QStringLiteral("a"));
        word.GoToBookmark(QStringLiteral("NoSuchMark"));
        word.TypeText(QStringLiteral("b"));
        // MoveRight wraps from the last cell of a row to the first of the next.
        word.GoToBookmark(QStringLiteral("Form4"));
        word.MoveRight(2);
        word.TypeText(QStringLiteral("c"));
        // MoveDown from the last row leaves the table for the line below it.
        word.GoToBookmark(QStringLiteral("Form1"));
        word.MoveDown(1);
        word.TypeText(QStringLiteral("XYZ"));
        // Filling stops at the first missing bookmark and says so.
        QVERIFY(!word.FillBookmarks(QStringLiteral("code_"), {QStringLiteral("1"), QStringLiteral("2")}));
        QStringList many;
        for (int i = 0; i < 19; ++i)
            many << QStringLiteral("x");
        QVERIFY(word.FillBookmarks(QStringLiteral("code_"), many));
        QVERIFY(!word.FillBookmarks(QStringLiteral("code_"), {}));
        // Typing over a filled bookmark replaces its text.
        QVERIFY(!word.FillBookmarks(QStringLiteral("code_"), {QStringLiteral("new")}));
        const QString path = out(QStringLiteral("selection.docx"));
        QVERIFY(word.SaveAndQuit(path));
        QVERIFY(!word.isOpen());
        DocxProbe doc(path);
        QCOMPARE(doc.table(1).at(1).at(0), QStringLiteral("ab"));
        QCOMPARE(doc.table(2).at(2).at(0), QStringLiteral("c"));
        QVERIFY(doc.bodyText().contains(QStringLiteral("\nXYZ二、温度均匀度")));
        QCOMPARE(doc.bookmarkText(QStringLiteral("code_1")), QStringLiteral("new"));
        QCOMPARE(doc.bookmarkText(QStringLiteral("code_2")), QStringLiteral("x"));
        QCOMPARE(doc.bookmarkText(QStringLiteral("code_18")), QStringLiteral("x"));
    }

    void excelRowsAndMergesFollowTheSpreadsheet()
    {
        const int o = 12;   // the certificate's results begin below its identification block
        ExcelReport excel;
        QCOMPARE(excel.Open(tpl(QStringLiteral("校准证书.xltx"))), 0);
        QCOMPARE(excel.DefinedNameRow(QStringLiteral("Results")), o + 1);
        QCOMPARE(excel.DefinedNameRow(QStringLiteral("NoSuchName")), 0);
        excel.SetCell(o + 21, 1, QString());              // an empty text empties the cell
        excel.SetCell(o + 4, 2, QStringLiteral("007.50")); // texts are kept as typed
        excel.InsertRow(o + 8, 3);                         // inside the second table
        excel.Merge(o + 9, 2, 3);                          // overlaps A:B and C:E of that row -> one merge A:E
        excel.InsertRow(1, 1);                             // above everything: unformatted row, all moves down
        const QString path = out(QStringLiteral("rows.xlsx"));
        QVERIFY(excel.SaveAndQuit(path));
        XlsxProbe x(path);
        const int p = o + 1;
        QCOMPARE(x.cell(p + 1, 1), QStringLiteral("校 准 结 果"));
        QCOMPARE(x.cell(p + 4, 2), QStringLiteral("007.50"));
        QCOMPARE(x.cell(p + 21, 1), QString());
        QCOMPARE(x.rowHeight(p + 1), 36.0);
        const QStringList merges = x.merges();
        QVERIFY(merges.contains(QStringLiteral("A%1:E%1").arg(p + 1)));
        QVERIFY(merges.contains(QStringLiteral("A%1:E%1").arg(p + 9)));
        QVERIFY(!merges.contains(QStringLiteral("A%1:B%1").arg(p + 9)));
        QVERIFY(merges.contains(QStringLiteral("A%1:B%1").arg(p + 7)));    // the header row, not copied into the new row
        QVERIFY(!merges.contains(QStringLiteral("A%1:B%1").arg(p + 8)));
        QCOMPARE(x.style(p + 8, 1), x.style(p + 7, 1));                     // the new row is formatted like the row above
        QCOMPARE(x.cell(p + 7, 1), QStringLiteral("设定温度/℃"));
        QCOMPARE(x.cell(p + 11, 1), QStringLiteral("三、平均升温速率"));
        QVERIFY(x.sheetXml().contains("<dimension ref=\"A2:E49\"/>"));   // the annex ends in row 47
    }

    void printAreaFollowsInsertedRows()
    {
        OoxmlPackage package;
        QVERIFY(package.load(tpl(QStringLiteral("原始记录.xltx"))));
        QByteArray workbook = package.part(QStringLiteral("xl/workbook.xml"));
        workbook.replace("</definedNames>", "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">"
                                        "'原始记录'!$A$1:$P$26</definedName><definedName name=\"_xlnm.Print_Titles\" "
                                        "localSheetId=\"0\">'原始记录'!$8:$9</definedName></definedNames>");
        package.setPart(QStringLiteral("xl/workbook.xml"), workbook);
        const QString templatePath = out(QStringLiteral("print-area.xltx"));
        QVERIFY(package.save(templatePath));
        const QString path = out(QStringLiteral("print-area.xlsx"));
        QCOMPARE(ReportWriter::originalRecordExcel(templatePath, sampleContent(4, 6), path), 0);
        OoxmlPackage result;
        QVERIFY(result.load(path));
        const QByteArray names = result.part(QStringLiteral("xl/workbook.xml"));
        QVERIFY2(names.contains("'原始记录'!$A$1:$P$29"), names.constData());
        QVERIFY2(names.contains("'原始记录'!$8:$9"), names.constData());
        QVERIFY((QFile::permissions(path) & QFileDevice::ReadOther));
    }

    void badTemplates_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("not a zip") << QByteArray("this is not a document") << true;
        OoxmlPackage noDocument;
        noDocument.setPart(QStringLiteral("[Content_Types].xml"), "<Types/>");
        QTest::newRow("no document part") << noDocument.toZip() << true;
        OoxmlPackage template_;
        QVERIFY(template_.load(tpl(QStringLiteral("校准证书.dotx"))));
        template_.setPart(QStringLiteral("word/document.xml"), "<w:document><w:body><w:p></w:body>");
        QTest::newRow("malformed document") << template_.toZip() << true;
        OoxmlPackage sheet;
        QVERIFY(sheet.load(tpl(QStringLiteral("校准证书.xltx"))));
        QTest::newRow("a workbook given as document") << sheet.toZip() << true;
        QByteArray truncated;
        QFile good(tpl(QStringLiteral("校准证书.dotx")));
        QVERIFY(good.open(QIODevice::ReadOnly));
        truncated = good.readAll();
        truncated.chop(truncated.size() / 2);
        QTest::newRow("truncated") << truncated << true;
    }

    void badTemplates()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        const QString templatePath = out(QStringLiteral("bad-template.dotx"));
        QFile::remove(templatePath);
        if (exists) {
            QFile f(templatePath);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        const QString path = out(QStringLiteral("from-bad.docx"));
        QString error;
        QCOMPARE(ReportWriter::certificateWord(templatePath, sampleContent(2, 4), path, false, &error), 3);
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(path));
        QCOMPARE(ReportWriter::originalRecordWord(templatePath, sampleContent(2, 4), path, true, &error), 3);
        QVERIFY(!QFile::exists(path));
        // The spreadsheet side refuses the same files (and a Word template).
        const QString xlsx = out(QStringLiteral("from-bad.xlsx"));
        if (QByteArray(QTest::currentDataTag()) != "a workbook given as document")
            QCOMPARE(ReportWriter::certificateExcel(templatePath, sampleContent(2, 4), xlsx, &error), 3);
        QCOMPARE(ReportWriter::originalRecordExcel(tpl(QStringLiteral("原始记录.dotx")), sampleContent(2, 4), xlsx, &error), 3);
        QVERIFY(!QFile::exists(xlsx));
    }

    void unwritableOutput()
    {
        // A parent that is a file cannot hold the output, even for root.
        const QString blocker = out(QStringLiteral("blocker"));
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QString docx = blocker + QStringLiteral("/certificate.docx");
        const QString xlsx = out(QStringLiteral("no-such-folder/certificate.xlsx"));
        QString error;
        QCOMPARE(ReportWriter::certificateWord(tpl(QStringLiteral("校准证书.dotx")), sampleContent(2, 4), docx, false, &error), 4);
        QVERIFY2(error.contains(QStringLiteral("certificate.docx")), qPrintable(error));
        QCOMPARE(ReportWriter::certificateExcel(tpl(QStringLiteral("校准证书.xltx")), sampleContent(2, 4), xlsx, &error), 4);
        // A PDF that cannot be put there is a save failure too, not the office program's.
        const QString pdf = blocker + QStringLiteral("/record.pdf");
        error.clear();
        QCOMPARE(ReportWriter::originalRecordWord(tpl(QStringLiteral("原始记录.dotx")), sampleContent(2, 4), pdf, true, &error), 4);
        QVERIFY2(error.contains(QStringLiteral("record.pdf")), qPrintable(error));
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(!QFile::exists(docx));
        QVERIFY(!QFile::exists(xlsx));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.part"), QStringLiteral("*.tmp")}), QStringList());
    }

    void rawWorkbook()
    {
        const QString path = out(QStringLiteral("raw.xlsx"));
        RawWorkbook book;
        QCOMPARE(book.begin(path, QStringLiteral("1:5,27:3,2:1")), 0);
        const QDateTime t0 = QDateTime::fromString(QStringLiteral("2021-03-04 10:15:30.500"), QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        book.beginUniformityBlock();
        for (int i = 0; i < 3; ++i)
            book.addSample(t0.addMSecs(300 * i), QVector<double>{95.004, 94.996 + i, -0.125});
        book.beginRateBlock();
        for (int i = 0; i < 2; ++i)
            book.addSample(t0.addSecs(3600 + i), QVector<double>{60.0, 61.5, 62.25});
        QVERIFY(!QFile::exists(path));   // nothing at the destination before it is complete
        QCOMPARE(book.finish(), 0);
        keepDocument(path);
        QVERIFY((QFile::permissions(path) & QFileDevice::ReadOther));
        XlsxProbe x(path);
        QVERIFY(x.ok());
        QCOMPARE(x.cell(QStringLiteral("A1")), QStringLiteral("原始数据"));
        QVERIFY(x.merges().contains(QStringLiteral("A1:D1")));
        QCOMPARE(x.rowHeight(1), 28.0);
        QCOMPARE(x.rowHeight(2), 20.0);
        QCOMPARE((QStringList{x.cell(QStringLiteral("A2")), x.cell(QStringLiteral("B2")), x.cell(QStringLiteral("C2")),
                              x.cell(QStringLiteral("D2"))}),
                 (QStringList{QStringLiteral("时间"), QStringLiteral("A5"), QStringLiteral("AA3"), QStringLiteral("B1")}));
        QCOMPARE(x.cell(QStringLiteral("A3")), QStringLiteral("均匀度校准"));
        QVERIFY(x.merges().contains(QStringLiteral("A3:D3")));
        QCOMPARE(x.cell(QStringLiteral("A4")), QStringLiteral("2021-03-04 10:15:30.500"));
        QCOMPARE(x.cell(QStringLiteral("A5")), QStringLiteral("2021-03-04 10:15:30.800"));
        QCOMPARE(x.cell(QStringLiteral("B4")), QStringLiteral("95.00"));
        QCOMPARE(x.cell(QStringLiteral("C6")), QStringLiteral("97.00"));
        QCOMPARE(x.cell(QStringLiteral("D6")), QStringLiteral("-0.13"));
        QCOMPARE(x.cell(QStringLiteral("A7")), QString());
        QCOMPARE(x.cell(QStringLiteral("A8")), QStringLiteral("升降温速率校准"));
        QVERIFY(x.merges().contains(QStringLiteral("A8:D8")));
        QCOMPARE(x.cell(QStringLiteral("A10")), QStringLiteral("2021-03-04 11:15:31.500"));
        QCOMPARE(x.cell(QStringLiteral("D10")), QStringLiteral("62.25"));
        QCOMPARE(x.lastRow(), 10);
        QVERIFY(x.sheetXml().contains("<col min=\"1\" max=\"1\" width=\"28.7109375\""));
    }

    void rawWorkbookWithoutUniformityOrSamples()
    {
        const QString onlyRate = out(QStringLiteral("raw-rate.xlsx"));
        RawWorkbook book;
        QCOMPARE(book.begin(onlyRate, QStringLiteral("1:1,1:2")), 0);
        book.beginRateBlock();
        book.addSample(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5, 6)), QVector<double>{1, 2});
        QCOMPARE(book.finish(), 0);
        XlsxProbe x(onlyRate);
        QCOMPARE(x.cell(QStringLiteral("A3")), QString());
        QCOMPARE(x.cell(QStringLiteral("A4")), QStringLiteral("升降温速率校准"));
        QCOMPARE(x.cell(QStringLiteral("A5")), QStringLiteral("2024-01-02 03:04:05.006"));

        const QString empty = out(QStringLiteral("raw-empty.xlsx"));
        RawWorkbook none;
        QCOMPARE(none.begin(empty, QStringLiteral("1:1")), 0);
        QCOMPARE(none.finish(), 0);
        XlsxProbe e(empty);
        QCOMPARE(e.cell(QStringLiteral("A1")), QStringLiteral("原始数据"));
        QCOMPARE(e.cell(QStringLiteral("B2")), QStringLiteral("A1"));
        QCOMPARE(e.lastRow(), 2);
    }

    void rawWorkbookLeavesNothingBehind()
    {
        RawWorkbook bad;
        QCOMPARE(bad.begin(out(QStringLiteral("missing-folder/raw.xlsx")), QStringLiteral("1:1")), 1);
        QVERIFY(!bad.errorString().isEmpty());
        QCOMPARE(bad.finish(), 2);
        // Abandoned halfway: no file, no leftovers.
        const QString path = out(QStringLiteral("abandoned.xlsx"));
        {
            RawWorkbook book;
            QCOMPARE(book.begin(path, QStringLiteral("1:1")), 0);
            book.beginUniformityBlock();
            book.addSample(QDateTime::currentDateTime(), QVector<double>{1});
        }
        QVERIFY(!QFile::exists(path));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.part")}), QStringList());
    }

    void documentsOpenInLibreOffice()
    {
        if (OfficeConverter::program().isEmpty())
            QSKIP("LibreOffice is not installed");
        const ReportContent c = sampleContent(3, 15);
        struct Made
        {
            QString path;
            QStringList expected;
        };
        QVector<Made> made;
        const QString cw = out(QStringLiteral("lo-certificate.docx"));
        QCOMPARE(ReportWriter::certificateWord(tpl(QStringLiteral("校准证书.dotx")), c, cw, false), 0);
        made.append({cw, {QStringLiteral("校准证书"), fixed(c.rows.at(2).first() - c.rows.at(2).last(), 2), QStringLiteral("张三")}});
        const QString rw = out(QStringLiteral("lo-record.docx"));
        QCOMPARE(ReportWriter::originalRecordWord(tpl(QStringLiteral("原始记录.dotx")), c, rw, false), 0);
        made.append({rw, {QStringLiteral("原始记录"), fixed(c.rows.at(1).at(15), 2), QStringLiteral("101.3kPa")}});
        const QString ce = out(QStringLiteral("lo-certificate.xlsx"));
        QCOMPARE(ReportWriter::certificateExcel(tpl(QStringLiteral("校准证书.xltx")), c, ce), 0);
        made.append({ce, {QStringLiteral("校准结果"), fixed(c.uncertainty.at(2), 2), QStringLiteral("L28")}});
        const QString re = out(QStringLiteral("lo-record.xlsx"));
        QCOMPARE(ReportWriter::originalRecordExcel(tpl(QStringLiteral("原始记录.xltx")), c, re), 0);
        made.append({re, {QStringLiteral("原始记录"), fixed(c.rows.at(2).at(7), 2), QStringLiteral("L20")}});
        // Every document's pages carry the certificate number and "page X of Y".
        for (Made &m : made)
            m.expected << c.certificateNumber << QStringLiteral("第1页共");
        const QString raw = out(QStringLiteral("lo-raw.xlsx"));
        RawWorkbook book;
        QCOMPARE(book.begin(raw, QStringLiteral("1:1,1:2")), 0);
        book.beginUniformityBlock();
        book.addSample(QDateTime(QDate(2021, 3, 4), QTime(10, 15, 30, 500)), QVector<double>{95.5, 94.25});
        QCOMPARE(book.finish(), 0);
        made.append({raw, {QStringLiteral("原始数据"), QStringLiteral("2021-03-04 10:15:30.500"), QStringLiteral("94.25")}});

        for (const Made &m : made) {
            const QString pdf = convert(m.path);
            QVERIFY2(!pdf.isEmpty(), qPrintable(m.path));
            keepDocument(pdf);
            const QString text = pdfText(pdf);
            const QString unspaced = QString(text).remove(QLatin1Char(' '));   // letter-spaced titles come out spaced
            for (const QString &e : m.expected)
                QVERIFY2(text.contains(e) || unspaced.contains(e), qPrintable(QStringLiteral("%1: %2").arg(QFileInfo(m.path).fileName(), e)));
            // "宋体" comes out as the serif CJK face the profile maps it to (the collection's shared
            // outlines carry one internal name for every region, so the name cannot tell SC from JP).
            const QString fonts = runTool(QStringLiteral("pdffonts"), {pdf});
            QVERIFY2(fonts.contains(QLatin1String("NotoSerifCJK")), qPrintable(fonts));
            QVERIFY2(!fonts.contains(QLatin1String("DejaVu")), qPrintable(fonts));
        }
    }

    void pdfExport()
    {
        if (OfficeConverter::program().isEmpty())
            QSKIP("LibreOffice is not installed");
        const ReportContent c = sampleContent(4, 6, fahrenheit, 3);
        const QString pdf = out(QStringLiteral("certificate.pdf"));
        QString error;
        QCOMPARE(ReportWriter::certificateWord(tpl(QStringLiteral("校准证书.dotx")), c, pdf, true, &error), 0);
        keepDocument(pdf);
        const QString text = pdfText(pdf);
        for (int k = 0; k < 4; ++k)
            QVERIFY(text.contains(fixed(c.rows.at(k).last(), 3)));
        QVERIFY(text.contains(QStringLiteral("℉/s")));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("certificate.docx")}), QStringList());
        const QString record = out(QStringLiteral("record.pdf"));
        QCOMPARE(ReportWriter::originalRecordWord(tpl(QStringLiteral("原始记录.dotx")), c, record, true, &error), 0);
        keepDocument(record);
        QVERIFY(pdfText(record).contains(fixed(c.rows.at(3).at(6), 3)));
    }

    void missingOrFailingLibreOffice_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("missing") << QString();
        QTest::newRow("exits with an error") << QStringLiteral("#!/bin/sh\necho 'Error: source file could not be loaded' >&2\nexit 81\n");
        QTest::newRow("claims success without a PDF") << QStringLiteral("#!/bin/sh\nexit 0\n");
        QTest::newRow("writes garbage") << QStringLiteral(
            "#!/bin/sh\nfor a; do last=$a; done\nfor a; do [ \"$prev\" = --outdir ] && dir=$a; prev=$a; done\n"
            "echo junk > \"$dir/$(basename \"${last%.*}\").pdf\"\nexit 0\n");
    }

    void missingOrFailingLibreOffice()
    {
        QFETCH(QString, script);
        QString program = out(QStringLiteral("no-such-soffice"));
        if (!script.isEmpty()) {
            program = out(QStringLiteral("fake-soffice"));
            QFile f(program);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(script.toUtf8());
            f.close();
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        OfficeConverter::setProgram(program);
        const QString pdf = out(QStringLiteral("never.pdf"));
        QString error;
        const int code = ReportWriter::certificateWord(tpl(QStringLiteral("校准证书.dotx")), sampleContent(2, 4), pdf, true, &error);
        OfficeConverter::setProgram(QString());
        QCOMPARE(code, 3);
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_GUILESS_MAIN(TestReports)
#include "tst_reports.moc"
