// The export core over projects stored in temporary workspaces: from the stored samples to the
// numbers in the produced documents, worked out by hand from the fixture's construction.
#include "ExportFixture.h"
#include "HangingOffice.h"
#include "../support/ServerDatabase.h"

#include "../reports/DocumentProbe.h"

#include "reports/ExportJob.h"
#include "reports/OfficeConverter.h"
#include "reports/ReportTemplates.h"
#include "store/certificates.h"
#include "store/tool.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>

#include "../support/file_permissions.h"

namespace {

const QString C = QStringLiteral("℃");
const QString F = QStringLiteral("℉");

// A hand-worked uniformity row in ℃.
struct HandRow
{
    double set;
    QVector<double> means;
    double range;
    double mean;
    double uncertainty;
};

// The fixture's three probes (offsets -0.03, 0.01, 0.05) on a plateau: means set + offset,
// range 0.05 + 0.02 - (-0.03 - 0.02) = 0.12, overall mean set + 0.01, standard deviation of
// the offsets 0.04, so U = 0.08.
HandRow handRow(double set)
{
    return {set, {set - 0.03, set + 0.01, set + 0.05}, 0.12, set + 0.01, 0.08};
}

// Heating 56.01 -> 92.01 in 40 s, cooling 88.01 -> 52.01 in 40 s: 0.9 ℃/s each.
const double handRates[8] = {56.01, 92.01, 40, 0.9, 88.01, 52.01, 40, 0.9};

double temperature(double c, const QString &unit)
{
    return unit == F ? c * 1.8 + 32 : c;
}

double difference(double c, const QString &unit)
{
    return unit == F ? c * 1.8 : c;
}

QStringList rateTexts(const QString &unit, int decimals)
{
    QStringList t;
    for (int i = 0; i < 8; ++i) {
        if (i == 2 || i == 6)
            t << QString::number(int(handRates[i]));
        else if (i == 3 || i == 7)
            t << fixed(difference(handRates[i], unit), decimals);
        else
            t << fixed(temperature(handRates[i], unit), decimals);
    }
    return t;
}

// Captures the log lines of the export.
QStringList &logLines()
{
    static QStringList lines;
    return lines;
}

void captureLog(QtMsgType, const QMessageLogContext &, const QString &message)
{
    logLines() << message;
}

} // namespace

using Fixture::audit;
using Fixture::stored;

class TestExportCore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_workspace = 0;
    QString m_folder;

    QString out(const QString &name) const { return QDir(m_folder).filePath(name); }

    // A fresh workspace holding `project`, with unit and decimals set as the export reads them.
    void workspace(const Fixture::Project &project, const QString &unit = C, int decimals = 2)
    {
        m_folder = m_dir.filePath(QStringLiteral("ws%1").arg(++m_workspace));
        QVERIFY(Fixture::createWorkspace(m_folder, unit, decimals));
        QVERIFY(Fixture::addProject(project));
        Tool::TemperatureUnit = unit;
        Tool::TemperatureAccuracy = decimals;
        QVERIFY(Fixture::logInAsAdmin());
    }

    // A job prepared as the tool prepares it: whole run, automatic plateaus.
    static bool prepared(ExportJob &job, QString *message = nullptr)
    {
        QString m;
        const bool ok = job.prepare(ExportJob::wholeRunFrom(), ExportJob::wholeRunTo(), 0.1, nullptr, &m);
        if (message)
            *message = m;
        return ok;
    }

private slots:
    void initTestCase()
    {
        PCR_SERVER_RUN_CHECK();
        QVERIFY(m_dir.isValid());
        ReportTemplates::setDirectory(QStringLiteral(PCR_TEMPLATE_DIR));
        OfficeConverter::setProfileDirectory(m_dir.filePath(QStringLiteral("lo-profile")));
    }

    void cleanup()
    {
        qInstallMessageHandler(nullptr);
        ReportTemplates::setDirectory(QStringLiteral(PCR_TEMPLATE_DIR));
        Tool::closeDatabase();
    }

    // Plateaus found where the construction puts them; segments of nine samples each.
    void automaticSegments()
    {
        Fixture::Project p;
        workspace(p);
        ExportJob job(ExportJob::CertificateMode, QStringLiteral("Word"), stored(p.name));
        QVERIFY(prepared(job));
        QCOMPARE(job.uniformitySteps().size(), 2);
        QCOMPARE(job.uniformitySamples().size(), 2 * (3 + 14) + 3);
        QCOMPARE(job.rateSamples().size(), Fixture::rateProfile().size());
        const QVector<RunSample> samples = Fixture::uniformitySamples(p);
        const QVector<QDateTime> expected{samples.at(2).time, samples.at(11).time, samples.at(19).time,
                                          samples.at(28).time};
        QCOMPARE(job.markers(), expected);
        QCOMPARE(job.uniformitySegments().size(), 2);
        for (int d = 0; d < 2; ++d) {
            const Segment &s = job.uniformitySegments().at(d);
            QCOMPARE(s.size(), 9);
            QCOMPARE(s.first().time, samples.at(Fixture::plateauStart(p, d)).time);
        }
    }

    void certificate_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QVector<double>>("steps");
        QTest::addColumn<bool>("rate");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("decimals");
        const QVector<double> two{60, 95}, one{72}, three{95, 60, 72};
        QTest::newRow("Word two rows ℃ 2") << "Word" << two << true << C << 2;
        QTest::newRow("Word two rows ℉ 2") << "Word" << two << true << F << 2;
        QTest::newRow("Word one row ℃ 0") << "Word" << one << true << C << 0;
        QTest::newRow("Word three rows ℉ 4") << "Word" << three << true << F << 4;
        QTest::newRow("Word no rate ℃ 4") << "Word" << two << false << C << 4;
        QTest::newRow("Excel two rows ℃ 2") << "Excel" << two << true << C << 2;
        QTest::newRow("Excel one row ℉ 4") << "Excel" << one << true << F << 4;
        QTest::newRow("Excel three rows ℃ 0 no rate") << "Excel" << three << false << C << 0;
    }

    void certificate()
    {
        QFETCH(QString, format);
        QFETCH(QVector<double>, steps);
        QFETCH(bool, rate);
        QFETCH(QString, unit);
        QFETCH(int, decimals);
        Fixture::Project p;
        p.uniformitySteps.clear();
        for (double t : steps)
            p.uniformitySteps.append({t, 2.0});
        if (!rate)
            p.rateSteps.clear();
        workspace(p, unit, decimals);

        ExportJob job(ExportJob::CertificateMode, format, stored(p.name));
        QVERIFY(prepared(job));
        const QString path = out(QStringLiteral("certificate.") + ExportJob::fileSuffix(format));
        QCOMPARE(job.write(path), 0);
        keepDocument(path);

        QVector<double> sorted = steps;
        std::sort(sorted.begin(), sorted.end());
        const int r = sorted.size();
        const QStringList rates = rate ? rateTexts(unit, decimals) : QStringList{"", "", "", "", "", "", "", ""};
        auto T = [&](double c) { return fixed(temperature(c, unit), decimals); };
        auto D = [&](double c) { return fixed(difference(c, unit), decimals); };
        if (format == QStringLiteral("Word")) {
            DocxProbe doc(path);
            QVERIFY(doc.ok());
            const QVector<QStringList> t1 = doc.table(1), t2 = doc.table(2);   // after the identification block
            for (int k = 0; k < r; ++k) {
                const HandRow h = handRow(sorted.at(k));
                QCOMPARE(t1.at(k + 1), (QStringList{T(h.set), T(h.mean), D(h.set - h.mean), D(h.uncertainty)}));
                QCOMPARE(t2.at(k + 1), (QStringList{T(h.set), D(h.range)}));
            }
            QCOMPARE(doc.bookmarkText(QStringLiteral("code_1")), rates.at(3));
            QCOMPARE(doc.bookmarkText(QStringLiteral("code_2")), rates.at(7));
            QCOMPARE(doc.bookmarkText(QStringLiteral("code_3")), QStringLiteral("L21"));
            QCOMPARE(doc.bookmarkText(QStringLiteral("code_11")), QStringLiteral("张三"));
            QCOMPARE(doc.bookmarkText(QStringLiteral("code_18")), unit);
        } else {
            XlsxProbe book(path);
            QVERIFY(book.ok());
            const int o = 12;   // the results begin below the identification block
            for (int k = 0; k < r; ++k) {
                const HandRow h = handRow(sorted.at(k));
                QCOMPARE(book.cell(o + 4 + k, 1), T(h.set));
                QCOMPARE(book.cell(o + 4 + k, 2), T(h.mean));
                QCOMPARE(book.cell(o + 4 + k, 3), D(h.set - h.mean));
                QCOMPARE(book.cell(o + 4 + k, 4), D(h.uncertainty));
                QCOMPARE(book.cell(o + r + 7 + k, 1), T(h.set));
                QCOMPARE(book.cell(o + r + 7 + k, 3), D(h.range));
            }
            const int h = 2 * r - 2;
            QCOMPARE(book.cell(o + h + 11, 2), rates.at(3));
            QCOMPARE(book.cell(o + 2 * r + 12, 2), rates.at(7));
            QCOMPARE(book.cell(o + 3, 1), QStringLiteral("设定温度") + unit);
            QCOMPARE(book.cell(o + h + 11, 3), unit + QStringLiteral("/s"));
        }
        // The JSON tells the same numbers, unrounded and as printed.
        const QJsonObject json = job.resultsJson();
        const QJsonArray rows = json.value(QStringLiteral("uniformity")).toArray();
        QCOMPARE(rows.size(), r);
        for (int k = 0; k < r; ++k) {
            const HandRow h = handRow(sorted.at(k));
            const QJsonObject row = rows.at(k).toObject();
            QCOMPARE(row.value("mean").toObject().value("text").toString(), T(h.mean));
            QVERIFY(qAbs(row.value("mean").toObject().value("value").toDouble() - temperature(h.mean, unit)) < 1e-9);
            QVERIFY(qAbs(row.value("uncertainty").toObject().value("value").toDouble() - difference(h.uncertainty, unit))
                    < 1e-9);
        }
    }

    // The ℉ certificate holds exactly the ℃ certificate's unrounded numbers, converted.
    void fahrenheitIsCelsiusConverted()
    {
        QMap<QString, QVector<QStringList>> tables;
        QMap<QString, QJsonObject> results;
        for (const QString &unit : {C, F}) {
            Fixture::Project p;
            workspace(p, unit, 4);
            ExportJob job(ExportJob::CertificateMode, QStringLiteral("Word"), stored(p.name));
            QVERIFY(prepared(job));
            const QString path = out(QStringLiteral("certificate.docx"));
            QCOMPARE(job.write(path), 0);
            tables[unit] = DocxProbe(path).table(1);
            results[unit] = job.resultsJson();
            Tool::closeDatabase();
        }
        const QJsonArray c = results[C].value("uniformity").toArray();
        const QJsonArray f = results[F].value("uniformity").toArray();
        QCOMPARE(f.size(), c.size());
        for (int k = 0; k < c.size(); ++k) {
            const QJsonObject rc = c.at(k).toObject(), rf = f.at(k).toObject();
            const double mean = rc.value("mean").toObject().value("value").toDouble();
            const double dev = rc.value("deviation").toObject().value("value").toDouble();
            const double u = rc.value("uncertainty").toObject().value("value").toDouble();
            QCOMPARE(rf.value("mean").toObject().value("text").toString(), fixed(mean * 1.8 + 32, 4));
            QCOMPARE(rf.value("deviation").toObject().value("text").toString(), fixed(dev * 1.8, 4));
            QCOMPARE(rf.value("uncertainty").toObject().value("text").toString(), fixed(u * 1.8, 4));
            QCOMPARE(tables[F].at(k + 1).at(1), fixed(mean * 1.8 + 32, 4));
            QCOMPARE(tables[F].at(k + 1).at(3), fixed(u * 1.8, 4));
        }
        const QJsonObject rc = results[C].value("rates").toObject(), rf = results[F].value("rates").toObject();
        QCOMPARE(rf.value("heatingRate").toObject().value("text").toString(),
                 fixed(rc.value("heatingRate").toObject().value("value").toDouble() * 1.8, 4));
        QCOMPARE(rf.value("coolingStart").toObject().value("text").toString(),
                 fixed(rc.value("coolingStart").toObject().value("value").toDouble() * 1.8 + 32, 4));
    }

    void originalRecord_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("probes");
        QTest::newRow("Word ℃ 3 probes") << "Word" << C << 3;
        QTest::newRow("Word ℉ 15 probes") << "Word" << F << 15;
        QTest::newRow("Excel ℃ 15 probes") << "Excel" << C << 15;
        QTest::newRow("Excel ℉ 3 probes") << "Excel" << F << 3;
    }

    // Probe means per row, rates and the ambient temperature, all in the display unit.
    void originalRecord()
    {
        QFETCH(QString, format);
        QFETCH(QString, unit);
        QFETCH(int, probes);
        Fixture::Project p;
        p.probes = probes;
        if (probes != 3)
            p.offsets = Fixture::offsetsFor(probes);
        workspace(p, unit, 2);
        ExportJob job(ExportJob::OriginalRecordMode, format, stored(p.name));
        QVERIFY(job.probeCountAllowed());
        QVERIFY(prepared(job));
        const QString path = out(QStringLiteral("record.") + ExportJob::fileSuffix(format));
        QCOMPARE(job.write(path), 0);
        keepDocument(path);

        auto T = [&](double c) { return fixed(temperature(c, unit), 2); };
        const QString ambient = unit == F ? QStringLiteral("74.30") : QStringLiteral("23.50");
        const QStringList rates = rateTexts(unit, 2);
        // Offsets of more probes average to their own mean; the rates shift by it.
        double meanOffset = 0;
        for (double o : p.offsets)
            meanOffset += o / probes;
        const QStringList expectRates = probes == 3 ? rates
            : QStringList{T(56 + meanOffset), T(92 + meanOffset), "40", rates.at(3), T(88 + meanOffset),
                          T(52 + meanOffset), "40", rates.at(7)};
        const double sets[] = {60, 95};
        if (format == QStringLiteral("Word")) {
            DocxProbe doc(path);
            QVERIFY(doc.ok());
            const QVector<QStringList> data = doc.table(1);
            for (int k = 0; k < 2; ++k) {
                QCOMPARE(data.at(k + 1).at(0), T(sets[k]));
                for (int j = 0; j < probes; ++j)
                    QCOMPARE(data.at(k + 1).at(j + 1), T(sets[k] + p.offsets.at(j)));
            }
            QCOMPARE(doc.bookmarkText(QStringLiteral("code_8")), ambient);
            // Entered as 1013 mbar, printed in the template's kPa.
            QCOMPARE(doc.bookmarkText(QStringLiteral("code_10")), QStringLiteral("101.3kPa"));
            const int codes[] = {11, 12, 13, 14, 15, 16};
            const int which[] = {0, 1, 2, 4, 5, 6};
            for (int i = 0; i < 6; ++i)
                QCOMPARE(doc.bookmarkText(QStringLiteral("code_%1").arg(codes[i])), expectRates.at(which[i]));
        } else {
            XlsxProbe book(path);
            QVERIFY(book.ok());
            for (int k = 0; k < 2; ++k) {
                QCOMPARE(book.cell(10 + k, 1), T(sets[k]));
                for (int j = 0; j < probes; ++j)
                    QCOMPARE(book.cell(10 + k, j + 2), T(sets[k] + p.offsets.at(j)));
            }
            QCOMPARE(book.cell(6, 2), ambient);
            QCOMPARE(book.cell(6, 3), unit);
            QCOMPARE(book.cell(6, 10), QStringLiteral("101.3"));
            const int f = 2;
            QCOMPARE(book.cell(f + 12, 3), expectRates.at(0));
            QCOMPARE(book.cell(f + 12, 7), expectRates.at(1));
            QCOMPARE(book.cell(f + 12, 11), expectRates.at(2));
            QCOMPARE(book.cell(f + 15, 3), expectRates.at(4));
            QCOMPARE(book.cell(f + 15, 7), expectRates.at(5));
            QCOMPARE(book.cell(f + 15, 11), expectRates.at(6));
        }
    }

    // Sixteen probes, the collector's channels: certificate and original record both made;
    // seventeen keep the refusal.
    void sixteenProbes()
    {
        Fixture::Project p;
        p.probes = 16;
        p.offsets = Fixture::offsetsFor(16);
        workspace(p, C, 4);
        for (const QString &format : {QStringLiteral("Word"), QStringLiteral("Excel")}) {
            ExportJob record(ExportJob::OriginalRecordMode, format, stored(p.name));
            QVERIFY(record.probeCountAllowed());
            QVERIFY(prepared(record));
            const QString path = out(QStringLiteral("record16.") + ExportJob::fileSuffix(format));
            QCOMPARE(record.write(path), 0);
            const QString last = fixed(60 + p.offsets.at(15), 4);   // probe 16's mean at 60 ℃
            if (format == QStringLiteral("Word"))
                QCOMPARE(DocxProbe(path).table(1).at(1).at(16), last);
            else
                QCOMPARE(XlsxProbe(path).cell(10, 17), last);
        }
        QCOMPARE(ExportJob::probeLimitText(), QStringLiteral("不支持导出超过16个探头！"));

        ExportJob job(ExportJob::CertificateMode, QStringLiteral("Word"), stored(p.name));
        QVERIFY(prepared(job));
        QCOMPARE(job.write(out(QStringLiteral("cert16.docx"))), 0);
        // By hand: means set + offset, so U = 2 × the sample standard deviation of the offsets.
        double mean = 0, squares = 0;
        for (double o : p.offsets)
            mean += o / 16;
        for (double o : p.offsets)
            squares += (o - mean) * (o - mean);
        const QVector<QStringList> t = DocxProbe(out(QStringLiteral("cert16.docx"))).table(1);
        QCOMPARE(t.at(1).at(1), fixed(60 + mean, 4));
        QCOMPARE(t.at(1).at(3), fixed(2 * std::sqrt(squares / 15), 4));

        Tool::closeDatabase();
        Fixture::Project q;
        q.probes = 17;
        q.offsets = Fixture::offsetsFor(17);
        workspace(q, C, 4);
        ExportJob seventeen(ExportJob::OriginalRecordMode, QStringLiteral("Word"), stored(q.name));
        QVERIFY(!seventeen.probeCountAllowed());
        QVERIFY(prepared(seventeen));
        QCOMPARE(seventeen.write(out(QStringLiteral("record17.docx"))), int(ExportJob::TemplateFailed));
        QVERIFY(!QFile::exists(out(QStringLiteral("record17.docx"))));
    }

    // The second component of U is the measuring instrument's registered uncertainty taken as
    // k = 2. By hand: u1 = 0.04 (the offsets' standard deviation), u2 = U/2, U = 2 sqrt(u1² + u2²).
    void uncertaintyWithTheMeasuringInstrument_data()
    {
        QTest::addColumn<QString>("registered");   // "-": no instrument registered under the name
        QTest::addColumn<double>("u2");
        QTest::addColumn<double>("expanded");
        QTest::newRow("not registered") << QStringLiteral("-") << 0.0 << 0.08;
        QTest::newRow("no number") << QStringLiteral("见证书") << 0.0 << 0.08;
        QTest::newRow("0.06 with k") << QStringLiteral("U=0.06℃, k=2") << 0.03 << 0.1;
        QTest::newRow("0.1 plain") << QStringLiteral("0.1") << 0.05 << 2 * std::sqrt(0.0016 + 0.0025);
    }

    void uncertaintyWithTheMeasuringInstrument()
    {
        QFETCH(QString, registered);
        QFETCH(double, u2);
        QFETCH(double, expanded);
        Fixture::Project p;
        workspace(p, C, 4);
        if (registered != QStringLiteral("-")) {
            Tool::Struct_Electrometer meter;
            meter.Number = QStringLiteral("E1");
            meter.DeviceName = stored(p.name).ElectrometerName;
            meter.Uncertain = registered;
            meter.CertificateNumber = QStringLiteral("ZS-77");
            meter.CalibrationCycle = QStringLiteral("2030-01-01 00:00");
            QVERIFY(Tool::addElectrometer(meter));
        }
        ExportJob job(ExportJob::CertificateMode, QStringLiteral("Word"), stored(p.name));
        QVERIFY(prepared(job));
        const QString path = out(QStringLiteral("certificate-u.docx"));
        QCOMPARE(job.write(path), 0);
        DocxProbe doc(path);
        QCOMPARE(doc.table(1).at(1).at(3), fixed(expanded, 4));
        // A bare number is printed as the expanded uncertainty it is taken for; any other text as registered.
        const QString printedUncertainty = registered == QStringLiteral("-") ? QString()
            : registered == QStringLiteral("0.1")                            ? QStringLiteral("U = 0.1 ℃ (k=2)")
                                                                             : registered;
        QCOMPARE(doc.bookmarkText(QStringLiteral("StandardUncertainty")), printedUncertainty);
        const QJsonObject json = job.resultsJson();
        const QJsonObject budget = json.value("uniformity").toArray().at(0).toObject().value("uncertaintyBudget").toObject();
        QVERIFY(qAbs(budget.value("u1").toObject().value("value").toDouble() - 0.04) < 1e-9);
        QVERIFY(qAbs(budget.value("u2").toObject().value("value").toDouble() - u2) < 1e-12);
        QVERIFY(qAbs(budget.value("combined").toObject().value("value").toDouble() - expanded / 2) < 1e-9);
        QCOMPARE(budget.value("k").toDouble(), 2.0);
        QVERIFY(qAbs(budget.value("expanded").toObject().value("value").toDouble() - expanded) < 1e-9);
        QCOMPARE(json.value("measuringInstrument").toObject().value("registered").toBool(), registered != QStringLiteral("-"));

        // The original record prints the budget of every plateau.
        ExportJob record(ExportJob::OriginalRecordMode, QStringLiteral("Word"), stored(p.name));
        QVERIFY(prepared(record));
        const QString recordPath = out(QStringLiteral("record-u.docx"));
        QCOMPARE(record.write(recordPath), 0);
        DocxProbe r(recordPath);
        QVector<QStringList> table;
        for (int t = 0; t < r.tableCount() && table.isEmpty(); ++t)
            if (r.table(t).size() > 1 && r.table(t).at(0).size() == 6)
                table = r.table(t);
        QCOMPARE(table.size(), 1 + 2);
        QCOMPARE(table.at(1), (QStringList{"60.0000", "0.0400", fixed(u2, 4), fixed(expanded / 2, 4), "2", fixed(expanded, 4)}));
        QCOMPARE(table.at(2).first(), QStringLiteral("95.0000"));
    }

    // New numbers from the pattern: date fields, a running number per fixed part, never one taken.
    void certificateNumberPattern_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("next");
        QTest::newRow("default, first") << QString() << QStringList() << QStringLiteral("PCR2024-0001");
        QTest::newRow("default, after others")
            << QString() << QStringList{"PCR2024-0007", "PCR2023-0099", "JZ-1", "PCR2024-0002"} << QStringLiteral("PCR2024-0008");
        QTest::newRow("year and month") << QStringLiteral("CAL{yy}{MM}-{nnn}") << QStringList{"CAL2405-041"}
                                        << QStringLiteral("CAL2405-042");
        QTest::newRow("running number wider than its field")
            << QStringLiteral("X{n}") << QStringList{"X9"} << QStringLiteral("X10");
        QTest::newRow("no running field") << QStringLiteral("LAB/{yyyy}") << QStringList{"LAB/2024-0003"}
                                          << QStringLiteral("LAB/2024-0004");
        QTest::newRow("text with regex characters") << QStringLiteral("A.B+({nn})") << QStringList{"A.B+(05)", "AxB+(09)"}
                                                    << QStringLiteral("A.B+(06)");
        QTest::newRow("suffix after the number") << QStringLiteral("{nnn}/{yyyy}") << QStringList{"001/2024", "005/2023"}
                                                 << QStringLiteral("002/2024");
    }

    void certificateNumberPattern()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, taken);
        QFETCH(QString, next);
        QCOMPARE(Certificates::nextNumber(pattern, QDate(2024, 5, 20), taken), next);
    }

    // A project keeps its number; the first export takes the project's own when it is free,
    // else the next of the pattern; numbers stay unique in the workspace.
    void certificateNumbersPerWorkspace()
    {
        Fixture::Project p;
        workspace(p, C, 2);
        Fixture::Project second = p;
        second.name = QStringLiteral("PCR-2024-002");
        QVERIFY(Fixture::addProject(second));
        Fixture::Project third = p;
        third.name = QStringLiteral("PCR-2024-003");
        QVERIFY(Fixture::addProject(third));
        ExportJob::Settings settings = ExportJob::Settings::current();
        settings.issueDate = QDate(2024, 5, 20);
        settings.numberPattern = QStringLiteral("CAL{yy}-{nnn}");
        auto exported = [&](const QString &name, int mode, const QString &file) {
            ExportJob job(mode, QStringLiteral("Word"), stored(name), settings);
            if (!prepared(job) || job.write(out(file)) != 0)
                return QStringLiteral("failed");
            return job.certificateNumber();
        };
        // All three projects carry the instrument's certificate number "JZ2024-0815".
        QCOMPARE(exported(p.name, ExportJob::CertificateMode, "a.docx"), QStringLiteral("JZ2024-0815"));
        QCOMPARE(exported(second.name, ExportJob::OriginalRecordMode, "b.docx"), QStringLiteral("CAL24-001"));
        QCOMPARE(exported(second.name, ExportJob::CertificateMode, "c.docx"), QStringLiteral("CAL24-001"));
        QCOMPARE(exported(p.name, ExportJob::CertificateMode, "d.docx"), QStringLiteral("JZ2024-0815"));
        QCOMPARE(exported(third.name, ExportJob::CertificateMode, "e.docx"), QStringLiteral("CAL24-002"));
        // Printed in the header block and on every page; kept across a reopened database.
        DocxProbe doc(out(QStringLiteral("c.docx")));
        QCOMPARE(doc.bookmarkText(QStringLiteral("CertificateNumber")), QStringLiteral("CAL24-001"));
        QVERIFY(doc.headerText().contains(QStringLiteral("CAL24-001")));
        QCOMPARE(DocxProbe(out(QStringLiteral("b.docx"))).bookmarkText(QStringLiteral("code_7")), QStringLiteral("CAL24-001"));
        Tool::closeDatabase();
        QVERIFY(Tool::openDatabase(QDir(m_folder).filePath(Tool::DatabaseFileName)));
        QCOMPARE(Certificates::keptNumber(stored(third.name)), QStringLiteral("CAL24-002"));
        // A project deleted and made again under its name is another calibration: a new number.
        Tool::Struct_Calibration again = stored(third.name);
        again.CalibrationTime = QStringLiteral("2024-06-01 08:00:00");
        QCOMPARE(Certificates::keptNumber(again), QString());
        QCOMPARE(Certificates::allocate(again, settings.numberPattern, settings.issueDate).number, QStringLiteral("CAL24-003"));
    }

    // Title, header, both blocks, times with milliseconds, values in the display unit.
    void rawWorkbook_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<bool>("uniformity");
        QTest::newRow("℃ both runs") << C << true;
        QTest::newRow("℉ both runs") << F << true;
        QTest::newRow("℃ rate run only") << C << false;
    }

    void rawWorkbook()
    {
        QFETCH(QString, unit);
        QFETCH(bool, uniformity);
        Fixture::Project p;
        if (!uniformity)
            p.uniformitySteps.clear();
        workspace(p, unit, 4);
        ExportJob job(ExportJob::RawDataMode, QStringLiteral("Excel"), stored(p.name));
        QVERIFY(prepared(job));
        QVERIFY(job.uniformitySegments().isEmpty());   // no plateaus for raw data
        const QString path = out(QStringLiteral("raw.xlsx"));
        QCOMPARE(job.write(path), 0);
        keepDocument(path);
        XlsxProbe book(path);
        QVERIFY(book.ok());
        QCOMPARE(book.cell(1, 1), QStringLiteral("原始数据"));
        QCOMPARE(book.cell(2, 1), QStringLiteral("时间"));
        QCOMPARE(book.cell(2, 2), QStringLiteral("A1"));
        QCOMPARE(book.cell(2, 4), QStringLiteral("A3"));
        const QVector<RunSample> u = Fixture::uniformitySamples(p);
        const QVector<RunSample> r = Fixture::rateSamples(p);
        int row = 3;
        if (uniformity) {
            QCOMPARE(book.cell(3, 1), QStringLiteral("均匀度校准"));
            QCOMPARE(book.cell(4, 1), QStringLiteral("2024-05-06 09:00:00.250"));
            // 25 + (60 - 25) / 4 = 33.75, minus 0.03 for probe 1.
            QCOMPARE(book.cell(4, 2), fixed(temperature(33.72, unit), 2));
            QCOMPARE(book.cell(3 + u.size(), 4), fixed(temperature(u.last().values.at(2), unit), 2));
            row = 3 + u.size() + 2;
        } else {
            row = 4;
        }
        QCOMPARE(book.cell(row, 1), QStringLiteral("升降温速率校准"));
        QCOMPARE(book.cell(row + 1, 1), r.first().time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")));
        QVERIFY(book.cell(row + 1, 1).endsWith(QStringLiteral(".250")));
        QCOMPARE(book.cell(row + 1, 3), fixed(temperature(50.01, unit), 2));
        QCOMPARE(book.lastRow(), row + r.size());
    }

    // A window narrowed to part of a run; rows outside it are not read.
    void windowLimitsTheRuns()
    {
        Fixture::Project p;
        workspace(p);
        const QVector<RunSample> u = Fixture::uniformitySamples(p);
        ExportJob job(ExportJob::RawDataMode, QStringLiteral("Excel"), stored(p.name));
        QString message;
        QVERIFY(job.prepare(u.at(5).time, u.at(30).time, 0.1, nullptr, &message));
        QCOMPARE(job.uniformitySamples().size(), 26);
        QCOMPARE(job.uniformitySamples().first().time, u.at(5).time);
        QVERIFY(job.rateSamples().isEmpty());
    }

    // Codes, messages, log lines and audit entries of every outcome.
    void outcomes()
    {
        Fixture::Project p;
        workspace(p);
        const Tool::Struct_Calibration record = stored(p.name);
        qInstallMessageHandler(captureLog);
        logLines().clear();
        const int before = audit().size();

        ExportJob certificate(ExportJob::CertificateMode, QStringLiteral("Word"), record);
        QVERIFY(prepared(certificate));
        const QString path = out(QStringLiteral("c.docx"));
        ExportJob::Outcome o = certificate.finish(certificate.write(path), path);
        QVERIFY(o.success);
        QCOMPARE(o.title, QStringLiteral("提示"));
        QCOMPARE(o.text, QStringLiteral("数据导出成功！"));
        QVERIFY(logLines().contains(QStringLiteral("校准报告导出路径为:") + path));
        QVERIFY(logLines().contains(QStringLiteral("均匀度:0")));
        QVERIFY(logLines().contains(QStringLiteral("升降温:0")));
        QList<Tool::Struct_AuditLog> log = audit();
        QCOMPARE(log.size(), before + 1);
        QCOMPARE(log.last().Type, Tool::auditTypeName(71));
        QCOMPARE(log.last().Details, QStringLiteral("校准报告导出：") + p.name);
        QCOMPARE(log.last().Operator, QStringLiteral("admin"));

        ExportJob recordJob(ExportJob::OriginalRecordMode, QStringLiteral("Excel"), record);
        QVERIFY(prepared(recordJob));
        o = recordJob.finish(recordJob.write(out(QStringLiteral("r.xlsx"))), out(QStringLiteral("r.xlsx")));
        QVERIFY(o.success);
        QCOMPARE(audit().last().Type, Tool::auditTypeName(72));
        QCOMPARE(audit().last().Details, QStringLiteral("校准记录导出：") + p.name);
        QVERIFY(logLines().contains(QStringLiteral("校准记录导出路径为:") + out(QStringLiteral("r.xlsx"))));

        ExportJob raw(ExportJob::RawDataMode, QStringLiteral("Excel"), record);
        QVERIFY(prepared(raw));
        o = raw.finish(raw.write(out(QStringLiteral("raw.xlsx"))), out(QStringLiteral("raw.xlsx")));
        QVERIFY(o.success);
        QCOMPARE(audit().last().Type, Tool::auditTypeName(73));
        QCOMPARE(audit().last().Details, QStringLiteral("原始数据导出：") + p.name);
        QVERIFY(logLines().contains(QStringLiteral("原始数据导出路径为:") + out(QStringLiteral("raw.xlsx"))));

        // Failures: a message under "警告", a log line with the code, no audit entry.
        const int audited = audit().size();
        ExportJob noUniformity(ExportJob::CertificateMode, QStringLiteral("Word"), record);
        const QVector<RunSample> r = Fixture::rateSamples(p);
        QVERIFY(noUniformity.prepare(r.first().time, r.last().time, 0.1, nullptr, nullptr));
        const int code1 = noUniformity.write(out(QStringLiteral("u.docx")));
        QCOMPARE(code1, int(ExportJob::UniformityFailed));
        o = noUniformity.finish(code1, out(QStringLiteral("u.docx")));
        QVERIFY(!o.success);
        QCOMPARE(o.title, QStringLiteral("警告"));
        QCOMPARE(o.text, QStringLiteral("均匀度数据获取失败！"));
        QVERIFY(logLines().contains(QStringLiteral("校准报告导出错误码为：1")));

        // The rate run cut off before the heating ends: no heating end, code 2.
        ExportJob noRate(ExportJob::OriginalRecordMode, QStringLiteral("Word"), record);
        QVERIFY(noRate.prepare(ExportJob::wholeRunFrom(), r.at(5).time, 0.1, nullptr, nullptr));
        const int code2 = noRate.write(out(QStringLiteral("n.docx")));
        QCOMPARE(code2, int(ExportJob::RateFailed));
        o = noRate.finish(code2, out(QStringLiteral("n.docx")));
        QCOMPARE(o.text, QStringLiteral("升降温速率获取失败！"));
        QVERIFY(logLines().contains(QStringLiteral("校准记录导出错误码为：2")));
        QVERIFY(logLines().contains(QStringLiteral("升降温:11")));

        QCOMPARE(audit().size(), audited);
        for (const char *name : {"u.docx", "n.docx"})
            QVERIFY(!QFile::exists(out(QString::fromLatin1(name))));
    }

    // Missing and broken templates, unwritable outputs: code, clear message, no file.
    void badOutput()
    {
        Fixture::Project p;
        workspace(p);
        const Tool::Struct_Calibration record = stored(p.name);
        const int audited = audit().size();

        const QString empty = out(QStringLiteral("no-templates"));
        QDir().mkpath(empty);
        ReportTemplates::setDirectory(empty);
        for (const QString &format : {QStringLiteral("Word"), QStringLiteral("Excel"), QStringLiteral("PDF")}) {
            ExportJob job(ExportJob::CertificateMode, format, record);
            QVERIFY(prepared(job));
            const QString path = out(QStringLiteral("missing.") + ExportJob::fileSuffix(format));
            const int code = job.write(path);
            QCOMPARE(code, int(ExportJob::TemplateFailed));
            const ExportJob::Outcome o = job.finish(code, path);
            QVERIFY(o.text.startsWith(QStringLiteral("模板打开失败！\n")));
            QVERIFY2(o.text.contains(ReportTemplates::fileName(format == QStringLiteral("Excel")
                                                                   ? ReportTemplates::CertificateExcel
                                                                   : ReportTemplates::CertificateWord)),
                     qPrintable(o.text));
            QVERIFY(!QFile::exists(path));
        }

        const QString broken = out(QStringLiteral("broken-templates"));
        QDir().mkpath(broken);
        for (auto kind : {ReportTemplates::CertificateWord, ReportTemplates::OriginalRecordExcel}) {
            QFile f(broken + QLatin1Char('/') + ReportTemplates::fileName(kind));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("PK\x03\x04 this is not a package");
        }
        ReportTemplates::setDirectory(broken);
        ExportJob word(ExportJob::CertificateMode, QStringLiteral("Word"), record);
        QVERIFY(prepared(word));
        QCOMPARE(word.write(out(QStringLiteral("broken.docx"))), int(ExportJob::TemplateFailed));
        QVERIFY(!word.errorString().isEmpty());
        ExportJob excel(ExportJob::OriginalRecordMode, QStringLiteral("Excel"), record);
        QVERIFY(prepared(excel));
        QCOMPARE(excel.write(out(QStringLiteral("broken.xlsx"))), int(ExportJob::TemplateFailed));
        QVERIFY(!QFile::exists(out(QStringLiteral("broken.docx"))));
        QVERIFY(!QFile::exists(out(QStringLiteral("broken.xlsx"))));
        ReportTemplates::setDirectory(QStringLiteral(PCR_TEMPLATE_DIR));

        // An output folder that does not exist, one that may not be written, a file as folder.
        const QString locked = out(QStringLiteral("locked"));
        QDir().mkpath(locked);
        QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const AsOrdinaryUser ordinary;
        QFile blocker(out(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QStringList targets{out(QStringLiteral("absent/c.docx")), out(QStringLiteral("blocker/c.docx"))};
        if (ordinary.active())
            targets << locked + QStringLiteral("/c.docx");
        for (const QString &target : qAsConst(targets)) {
            ExportJob job(ExportJob::CertificateMode, QStringLiteral("Word"), record);
            QVERIFY(prepared(job));
            const int code = job.write(target);
            QCOMPARE(code, int(ExportJob::WriteFailed));
            const ExportJob::Outcome o = job.finish(code, target);
            QVERIFY(o.text.startsWith(QStringLiteral("文件保存失败！\n")));
            QVERIFY(!QFile::exists(target));
            ExportJob raw(ExportJob::RawDataMode, QStringLiteral("Excel"), record);
            QVERIFY(prepared(raw));
            const QString rawTarget = target + QStringLiteral(".xlsx");
            const int rawCode = raw.write(rawTarget);
            QVERIFY(rawCode > 0);
            QVERIFY(raw.finish(rawCode, rawTarget).text.startsWith(QStringLiteral("数据导出失败！")));
            QVERIFY(!QFile::exists(rawTarget));
        }
        QVERIFY(QDir(locked).entryList(QDir::Files | QDir::Hidden).isEmpty());
        QCOMPARE(audit().size(), audited);
    }

    // A cycle file deleted since the run, or changed into one that cannot drive the analysis.
    void cycleFileProblems()
    {
        Fixture::Project p;
        workspace(p);
        const Tool::Struct_Calibration record = stored(p.name);
        QList<Tool::Struct_CyclicFile> files;
        QVERIFY(Tool::getCyclicFile(files, QString()));
        QString rateNumber, uniformityNumber;
        for (const auto &f : files)
            (f.Name == p.rateFile ? rateNumber : uniformityNumber) = f.Number;

        QVERIFY(Tool::deleteCyclicFile(uniformityNumber));
        for (int mode : {0, 1, 2}) {
            ExportJob job(mode, QStringLiteral("Word"), record);
            QString message;
            QVERIFY(!prepared(job, &message));
            QCOMPARE(message, QStringLiteral("未查找到循环文件！"));
        }

        QVERIFY(Tool::deleteCyclicFile(rateNumber));
        Fixture::Project other = p;
        other.name = QStringLiteral("other");
        other.uniformitySteps.clear();
        other.rateSteps = {{95, 1}, {95, 1}, {60, 1}};
        QVERIFY(Fixture::addProject(other));
        ExportJob raw(ExportJob::RawDataMode, QStringLiteral("Excel"), stored(other.name));
        QString message;
        QVERIFY(!prepared(raw, &message));
        QCOMPARE(message, QStringLiteral("升降温循环文件的升降温温差需要大于十度！"));
    }

    // Markers given by hand replace the automatic ones; their checks give the dialog's messages.
    void explicitMarkers()
    {
        Fixture::Project p;
        workspace(p);
        const QVector<RunSample> u = Fixture::uniformitySamples(p);
        ExportJob job(ExportJob::CertificateMode, QStringLiteral("Word"), stored(p.name));
        // Four plateau samples of each step: means differ from the automatic segments' nine.
        const QVector<QDateTime> markers{u.at(4).time, u.at(8).time, u.at(21).time, u.at(25).time};
        QString message;
        QVERIFY(job.prepare(ExportJob::wholeRunFrom(), ExportJob::wholeRunTo(), 0.1, &markers, &message));
        QCOMPARE(job.uniformitySegments().at(0).size(), 4);
        QCOMPARE(job.analyse(), 0);
        // Samples 5..8 are plateau samples 2..5 with wobble 0.01, -0.01, 0, 0.02: probe 1 mean
        // 60 - 0.03 + 0.005; range 0.07 - (-0.04).
        QCOMPARE(fixed(job.results().rows.at(0).at(1), 4), QStringLiteral("59.9750"));
        QCOMPARE(fixed(job.results().rows.at(0).at(4), 4), QStringLiteral("0.1100"));

        const struct { QVector<QDateTime> markers; const char *text; } bad[] = {
            {{u.at(4).time, u.at(8).time}, "标注线不全不能生成报告！"},
            {{u.at(8).time, u.at(4).time, u.at(21).time, u.at(25).time}, "标注线时间必须为递增的！"},
            {{u.first().time.addSecs(-1), u.at(8).time, u.at(21).time, u.at(25).time}, "标注线时间小于开始时间！"},
            {{u.at(4).time, u.at(8).time, u.at(21).time, u.last().time.addSecs(1)}, "标注线时间大于结束时间！"},
            {{u.at(4).time, u.at(4).time.addMSecs(1), u.at(21).time, u.at(25).time}, "未找到数据！"},
            {{u.at(21).time, u.at(25).time, u.at(26).time, u.at(30).time}, "截取的数据不匹配循环文件！"},
        };
        for (const auto &b : bad) {
            ExportJob j(ExportJob::CertificateMode, QStringLiteral("Word"), stored(p.name));
            QVERIFY(!j.prepare(ExportJob::wholeRunFrom(), ExportJob::wholeRunTo(), 0.1, &b.markers, &message));
            QCOMPARE(message, QString::fromUtf8(b.text));
        }
    }

    // A run where no plateau holds still enough: the automatic search gives up.
    void automaticSearchFails()
    {
        Fixture::Project p;
        workspace(p);
        ExportJob job(ExportJob::CertificateMode, QStringLiteral("Word"), stored(p.name));
        QString message;
        QVERIFY(!job.prepare(ExportJob::wholeRunFrom(), ExportJob::wholeRunTo(), 0.01, nullptr, &message));
        QCOMPARE(message, QStringLiteral("自动识别错误，请手动分段！"));
    }

    // Every produced document opens in LibreOffice and shows the numbers; "PDF" gives only the PDF.
    void documentsOpenInLibreOffice()
    {
        if (OfficeConverter::program().isEmpty())
            QSKIP("LibreOffice is not installed");
        Fixture::Project p;
        workspace(p);
        const Tool::Struct_Calibration record = stored(p.name);
        const struct { int mode; const char *format; const char *file; const char *expect; } cases[] = {
            {0, "Word", "c.docx", "60.01"}, {0, "Excel", "c.xlsx", "95.01"}, {1, "Word", "r.docx", "59.97"},
            {1, "Excel", "r.xlsx", "95.05"}, {2, "Excel", "raw.xlsx", "2024-05-06 09:00:00.250"},
        };
        for (const auto &c : cases) {
            ExportJob job(c.mode, QString::fromLatin1(c.format), record);
            QVERIFY(prepared(job));
            const QString path = out(QString::fromLatin1(c.file));
            QCOMPARE(job.write(path), 0);
            QString error;
            QVERIFY2(OfficeConverter::convertToPdf(path, path + QStringLiteral(".pdf"), &error), qPrintable(error));
            QVERIFY2(pdfText(path + QStringLiteral(".pdf")).contains(QString::fromLatin1(c.expect)), c.file);
        }
        ExportJob pdf(ExportJob::CertificateMode, QStringLiteral("PDF"), record);
        QVERIFY(prepared(pdf));
        const QString path = out(QStringLiteral("certificate.pdf"));
        QCOMPARE(pdf.write(path), 0);
        keepDocument(path);
        const QString text = pdfText(path);
        for (const char *number : {"60.01", "-0.01", "0.08", "95.01", "0.12", "0.90"})
            QVERIFY2(text.contains(QString::fromLatin1(number)), number);
        QCOMPARE(QDir(m_folder).entryList({QStringLiteral("certificate.*")}, QDir::Files),
                 QStringList{QStringLiteral("certificate.pdf")});
    }

    // An export stopped halfway, while it writes the workbook or waits for a LibreOffice that
    // hangs: no file, nothing half-written beside it, no audit entry, no LibreOffice left running.
    void cancelledExportLeavesNoFile_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("format");
        QTest::newRow("raw workbook") << int(ExportJob::RawDataMode) << QStringLiteral("Excel");
        QTest::newRow("certificate PDF") << int(ExportJob::CertificateMode) << QStringLiteral("PDF");
        QTest::newRow("record PDF") << int(ExportJob::OriginalRecordMode) << QStringLiteral("PDF");
    }

    void cancelledExportLeavesNoFile()
    {
        QFETCH(int, mode);
        QFETCH(QString, format);
        Fixture::Project p;
        workspace(p);
        QVERIFY(Fixture::addDayLongProject(QStringLiteral("hour"), 4, 1.0));
        const int audited = audit().size();
        QTemporaryDir office;
        HangingOffice soffice(office.path());

        ExportJob job(mode, format, stored(mode == ExportJob::RawDataMode ? QStringLiteral("hour") : p.name));
        QVERIFY(prepared(job));
        std::atomic<bool> cancel{false};
        QVector<qint64> reported;
        job.setControl({&cancel, [&](qint64 done, qint64 total) {
                            reported << done;
                            // Past the first rows of the workbook, as the button would be pressed.
                            if (mode == ExportJob::RawDataMode && total > 0 && done > 0 && done < total)
                                cancel = true;
                        }});
        const QString path = out(QStringLiteral("cancelled.") + ExportJob::fileSuffix(format));
        int code = -1;
        if (mode == ExportJob::RawDataMode) {
            code = job.write(path);
            QVERIFY(!reported.isEmpty());
        } else {
            std::unique_ptr<QThread> writer(QThread::create([&] { code = job.write(path); }));
            writer->start();
            QVERIFY(soffice.waitStarted(60000));
            QVERIFY(soffice.isRunning());
            cancel = true;
            QVERIFY(writer->wait(60000));
            QVERIFY(!soffice.isRunning());
        }
        QVERIFY(job.isCancelCode(code));
        QCOMPARE(code, mode == ExportJob::RawDataMode ? int(ExportJob::RawCancelled) : int(ExportJob::Cancelled));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(QDir(m_folder).entryList({QStringLiteral("cancelled*")}, QDir::Files | QDir::Hidden), QStringList());
        const ExportJob::Outcome outcome = job.finish(code, path);
        QVERIFY(!outcome.success);
        QVERIFY(outcome.text.isEmpty());
        QCOMPARE(audit().size(), audited);
    }
};

QTEST_GUILESS_MAIN(TestExportCore)
#include "tst_exportcore.moc"
