// The cycler performance in the exports: the figures of the fixture's runs worked out by hand,
// the record's section and the certificate's optional annex in both formats, the JSON, the
// verdict kept beside the project and shown on the export page, and the settings of config.ini.
#include "ExportFixture.h"

#include "../reports/DocumentProbe.h"

#include "exportui/DataExport.h"
#include "reports/ExportJob.h"
#include "reports/PerformanceReport.h"
#include "reports/ReportTemplates.h"
#include "store/profiles.h"
#include "store/tool.h"

#include <QDir>
#include <QJsonArray>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The fixture's runs at 10 s: every plateau sample is set + wobble + offset (offsets -0.03, 0.01,
// 0.05), reached from the last ramp sample (set - 8.75 + 0.01) by a straight line, so the block
// mean crosses the set point 8.74 / 8.77 of a sample after that ramp sample. Nothing goes past
// the set point but the wobble: 0.02 on the mean's 0.01, 0.07 on the third probe.
const double Overshoot = 0.03, WellOvershoot = 0.07;
// 15 s and 30 s after reaching, between wobble -0.02 and 0.01, then 0.01 and -0.01.
const double Reached = 8.74 / 8.77 * 10;   // seconds after the last ramp sample
const double Deviation15 = 0.01 + (-0.02 + 0.03 * ((Reached + 15 - 20) / 10));
const double Deviation30 = 0.01 + (0.01 - 0.02 * ((Reached + 30 - 30) / 10));
// The rate run crosses 55 and 90 between samples: 35 ℃ in 40 - 10/6 s up; down in
// 40 + (3 + o) / 0.6 - (5 + o) / 0.7 s for a probe with offset o.
const double HeatingTime = 40 - 10.0 / 6;
const double CoolingTime = 40 + (3 + 0.01) / 0.6 - (5 + 0.01) / 0.7;

PerformanceProfileRecord profile(const QString &overshoot, const QString &cooling = QStringLiteral("0.92"))
{
    return PerformanceProfileRecord::fromValues({QStringLiteral("QX-96"), QStringLiteral("0.25"), QStringLiteral("0.1"),
                                                 QStringLiteral("0.9"), cooling, overshoot, QStringLiteral("5")});
}

int rowOf(const QVector<QStringList> &table, const QString &name, const QString &set = QString())
{
    for (int i = 0; i < table.size(); ++i)
        if (!table.at(i).isEmpty() && table.at(i).first() == name && (set.isEmpty() || table.at(i).value(1) == set))
            return i;
    return -1;
}

} // namespace

class TestPerformanceExport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;
    QString m_folder;
    Fixture::Project m_project;

    QString out(const QString &name) const { return QDir(m_folder).filePath(name); }

    void workspace(const PerformanceProfileRecord *limits)
    {
        m_folder = m_dir.filePath(QStringLiteral("ws%1").arg(++m_count));
        QVERIFY(Fixture::createWorkspace(m_folder));
        QVERIFY(Fixture::addProject(m_project));
        QVERIFY(QDir::setCurrent(m_folder));
        Tool::TemperatureUnit = QStringLiteral("℃");
        Tool::TemperatureAccuracy = 2;
        QVERIFY(Fixture::logInAsAdmin());
        if (limits)
            QVERIFY(Profiles::save(*limits));
    }

    ExportJob job(int mode, const QString &format, bool annex = true)
    {
        ExportJob::Settings s = ExportJob::Settings::current();
        s.performance.annex = annex;
        ExportJob j(mode, format, Fixture::stored(m_project.name), s);
        QString message;
        const bool ok = j.prepare(ExportJob::wholeRunFrom(), ExportJob::wholeRunTo(), 0.1, nullptr, &message);
        if (!ok)
            qWarning() << message;
        return j;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        ReportTemplates::setDirectory(QStringLiteral(PCR_TEMPLATE_DIR));
    }

    void cleanup()
    {
        Tool::closeDatabase();
        QDir::setCurrent(m_dir.path());
    }

    void optionsFromConfig_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<double>("band");
        QTest::addColumn<QString>("times");
        QTest::addColumn<double>("window");
        QTest::addColumn<bool>("annex");
        QTest::newRow("missing: defaults") << "" << 0.5 << "15,30" << 1.0 << true;
        QTest::newRow("set") << "Band=0.3\nFixedTimes=10,20,40\nRateWindow=2\nCertificateAnnex=false" << 0.3
                             << "10,20,40" << 2.0 << false;
        QTest::newRow("quoted list") << "FixedTimes=\"5, 25\"" << 0.5 << "5,25" << 1.0 << true;
        QTest::newRow("one time") << "FixedTimes=20" << 0.5 << "20" << 1.0 << true;
        QTest::newRow("unusable values: defaults") << "Band=-1\nFixedTimes=15,x\nRateWindow=0\nCertificateAnnex=maybe"
                                                   << 0.5 << "15,30" << 1.0 << true;
    }
    void optionsFromConfig()
    {
        QFETCH(QString, ini);
        QFETCH(double, band);
        QFETCH(QString, times);
        QFETCH(double, window);
        QFETCH(bool, annex);
        const QString file = m_dir.filePath(QStringLiteral("options-%1.ini").arg(++m_count));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(("[Performance]\n" + ini + "\n").toUtf8());
        f.close();
        const auto settings = Tool::configFile(file);
        const PerformanceReport::Options o = PerformanceReport::readOptions(*settings);
        QCOMPARE(o.settings.band, band);
        QStringList t;
        for (double v : o.settings.fixedTimes)
            t << QString::number(v);
        QCOMPARE(t.join(','), times);
        QCOMPARE(o.settings.rateWindow, window);
        QCOMPARE(o.annex, annex);
    }

    void figuresOfTheFixture()
    {
        const PerformanceProfileRecord limits = profile(QStringLiteral("0.1"));
        workspace(&limits);
        ExportJob j = job(ExportJob::OriginalRecordMode, QStringLiteral("Word"));
        QVERIFY(j.hasProfile());
        QCOMPARE(j.analyse(), 0);
        const Analysis::PerformanceResult &r = j.results().performance.result;
        QCOMPARE(r.steps.size(), 2);
        for (int k = 0; k < 2; ++k) {
            const Analysis::StepPerformance &s = r.steps.at(k);
            QVERIFY(s.heating && s.crossed);
            const QDateTime lastRamp = m_project.start.addSecs(10 * (Fixture::plateauStart(m_project, k) - 1));
            QVERIFY(qAbs(lastRamp.msecsTo(s.reachedTime) - Reached * 1000) <= 1);
            QVERIFY(qAbs(s.overshoot - Overshoot) < 1e-9);
            QVERIFY(qAbs(s.wellOvershoot - WellOvershoot) < 1e-9);
            QCOMPARE(s.worstWell, 2);
            QCOMPARE(s.settlingTime, 0.0);
            QCOMPARE(s.atTimes.size(), 2);
            QVERIFY2(qAbs(s.atTimes.at(0).meanDeviation - Deviation15) < 1e-9, qPrintable(QString::number(s.atTimes.at(0).meanDeviation)));
            QVERIFY(qAbs(s.atTimes.at(1).meanDeviation - Deviation30) < 1e-9);
            QVERIFY(qAbs(s.atTimes.at(0).spread - 0.08) < 1e-9);
        }
        QVERIFY(r.rate.hasData);
        QVERIFY(qAbs(r.rate.heatingTime - HeatingTime) < 1e-9);
        QVERIFY(qAbs(r.rate.heatingRate - 35 / HeatingTime) < 1e-9);
        QVERIFY(qAbs(r.rate.coolingTime - CoolingTime) < 1e-9);
        // Samples 10 s apart: the steepest step, 10 ℃ in 10 s.
        QVERIFY(qAbs(r.rate.maxHeatingRate - 1.0) < 1e-9);
        QVERIFY(qAbs(r.rate.maxCoolingRate - 1.0) < 1e-9);
        QCOMPARE(j.results().figures.size(), 2 * 7 + 4);
        QCOMPARE(j.results().verdict, Analysis::Verdict::Pass);
    }

    void recordCarriesTheSection_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("withProfile");
        QTest::newRow("Word, judged") << "Word" << true;
        QTest::newRow("Word, no profile") << "Word" << false;
        QTest::newRow("Excel, judged") << "Excel" << true;
        QTest::newRow("Excel, no profile") << "Excel" << false;
    }
    void recordCarriesTheSection()
    {
        QFETCH(QString, format);
        QFETCH(bool, withProfile);
        const PerformanceProfileRecord limits = profile(QStringLiteral("0.05"));
        workspace(withProfile ? &limits : nullptr);
        ExportJob j = job(ExportJob::OriginalRecordMode, format);
        const QString path = out(QStringLiteral("record.") + ExportJob::fileSuffix(format));
        QCOMPARE(j.write(path), 0);
        // The worst well goes 0.07 past both set points: two failures against 0.05.
        const QString verdict = withProfile ? QStringLiteral("不合格") : QStringLiteral("不作判定");
        const QStringList overshoot{QStringLiteral("最差孔过冲（A3）"), QStringLiteral("95.00℃"), QStringLiteral("0.07℃"),
                                    withProfile ? QStringLiteral("≤0.05℃") : QString(),
                                    withProfile ? QStringLiteral("不合格") : QString()};
        const QStringList rate{QStringLiteral("平均升温速率"), QString(), QString::number(35 / HeatingTime, 'f', 2) + "℃/s",
                               withProfile ? QStringLiteral("≥0.90℃/s") : QString(),
                               withProfile ? QStringLiteral("合格") : QString()};
        if (format == QStringLiteral("Word")) {
            DocxProbe doc(path);
            QVERIFY(doc.ok());
            const QVector<QStringList> figures = doc.table(5);   // after the uncertainty budget
            QCOMPARE(figures.size(), 1 + 18);
            QCOMPARE(figures.at(rowOf(figures, overshoot.at(0), overshoot.at(1))), overshoot);
            QCOMPARE(figures.at(rowOf(figures, rate.at(0))), rate);
            QCOMPARE(doc.bookmarkText(QStringLiteral("perf_3")), verdict);
            QVERIFY(doc.bookmarkText(QStringLiteral("perf_1")).contains(QStringLiteral("QX-96")));
            QVERIFY(doc.bookmarkText(QStringLiteral("perf_2")).contains(QStringLiteral("15 s、30 s")));
            // The wells: per step and fixed time, set temperature, time, then each probe.
            const QVector<QStringList> wells = doc.table(6);
            QCOMPARE(wells.size(), 1 + 4);
            QCOMPARE(wells.at(0).mid(0, 5), (QStringList{"设定温度", "时间", "A1", "A2", "A3"}));
            QCOMPARE(wells.at(1).mid(0, 5), (QStringList{"60.00℃", "15 s", fixed(Deviation15 - 0.04, 2),
                                                         fixed(Deviation15, 2), fixed(Deviation15 + 0.04, 2)}));
            QCOMPARE(wells.at(4).mid(0, 2), (QStringList{"95.00℃", "30 s"}));
        } else {
            XlsxProbe book(path);
            QVERIFY(book.ok());
            const int top = 2 + 27;   // two uniformity rows
            QCOMPARE(book.cell(top, 1), QStringLiteral("五、性能指标"));
            QVERIFY(book.cell(top + 1, 1).contains(QStringLiteral("QX-96")));
            QCOMPARE(book.cell(top + 3, 1), QStringLiteral("项目"));
            int found = -1;
            for (int row = top + 4; row < top + 4 + 18; ++row)
                if (book.cell(row, 1) == overshoot.at(0) && book.cell(row, 4) == overshoot.at(1))
                    found = row;
            QVERIFY(found > 0);
            QCOMPARE((QStringList{book.cell(found, 1), book.cell(found, 4), book.cell(found, 6), book.cell(found, 8),
                                  book.cell(found, 10)}),
                     overshoot);
            // Every added row is merged like the template's.
            QVERIFY(book.merges().contains(QStringLiteral("A%1:C%1").arg(top + 4 + 17)));
            const int verdictRow = top + 4 + 18;
            QCOMPARE(book.cell(verdictRow, 4), verdict);
            QCOMPARE(book.cell(verdictRow + 2, 1), QStringLiteral("各测温点定时偏差（测点值−设定温度）/℃"));
            QCOMPARE(book.cell(verdictRow + 4, 1), QStringLiteral("60.00℃\n15 s"));
            QCOMPARE(book.cell(verdictRow + 4, 4), fixed(Deviation15 + 0.04, 2));
            QCOMPARE(book.cell(verdictRow + 7, 1), QStringLiteral("95.00℃\n30 s"));
        }
    }

    void certificateAnnexIsOptional_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("annex");
        QTest::newRow("Word with annex") << "Word" << true;
        QTest::newRow("Word without") << "Word" << false;
        QTest::newRow("Excel with annex") << "Excel" << true;
        QTest::newRow("Excel without") << "Excel" << false;
    }
    void certificateAnnexIsOptional()
    {
        QFETCH(QString, format);
        QFETCH(bool, annex);
        const PerformanceProfileRecord limits = profile(QStringLiteral("0.1"));
        workspace(&limits);
        ExportJob j = job(ExportJob::CertificateMode, format, annex);
        const QString path = out(QStringLiteral("certificate.") + ExportJob::fileSuffix(format));
        QCOMPARE(j.write(path), 0);
        if (format == QStringLiteral("Word")) {
            DocxProbe doc(path);
            QVERIFY(doc.ok());
            // The identification, four result tables and the signatures, then the annex's table.
            QCOMPARE(doc.tableCount(), annex ? 7 : 6);
            QCOMPARE(doc.bodyText().contains(QStringLiteral("附页：性能指标")), annex);
            QCOMPARE(doc.bookmarkCount(QStringLiteral("perf_3")), annex ? 1 : 0);
            if (annex) {
                QCOMPARE(doc.table(6).size(), 1 + 18);
                QCOMPARE(doc.bookmarkText(QStringLiteral("perf_3")), QStringLiteral("合格"));
            }
            // The certificate itself is whole either way.
            QVERIFY(doc.bodyText().contains(QStringLiteral("（以下空白）")));
        } else {
            XlsxProbe book(path);
            QVERIFY(book.ok());
            // Below the identification block (12 rows), two result rows.
            const int o = 12;
            const int top = o + 2 * 2 + 25;
            QCOMPARE(book.cell(o + 2 * 2 + 21, 1), QStringLiteral("校准员："));
            QCOMPARE(book.cell(o + 2 * 2 + 23, 1), QStringLiteral("批准人："));
            if (annex) {
                QCOMPARE(book.cell(top, 1), QStringLiteral("附页：性能指标"));
                QCOMPARE(book.cell(top + 4, 1), QStringLiteral("过冲"));
                QCOMPARE(book.cell(top + 4 + 18, 2), QStringLiteral("合格"));
                QVERIFY(book.sheetXml().contains("<brk id=\"" + QByteArray::number(top - 1) + "\""));
            } else {
                QCOMPARE(book.lastRow(), o + 2 * 2 + 23);
                QVERIFY(!book.sheetXml().contains("<brk "));
            }
        }
    }

    void jsonAndTheKeptVerdict_data()
    {
        QTest::addColumn<bool>("withProfile");
        QTest::addColumn<QString>("overshootLimit");
        QTest::addColumn<QString>("json");
        QTest::addColumn<QString>("kept");
        QTest::newRow("passes") << true << "0.07" << "pass" << "合格";
        QTest::newRow("worst well past the limit") << true << "0.069" << "fail" << "不合格";
        QTest::newRow("no profile") << false << "" << "" << "不作判定";
    }
    void jsonAndTheKeptVerdict()
    {
        QFETCH(bool, withProfile);
        QFETCH(QString, overshootLimit);
        QFETCH(QString, json);
        QFETCH(QString, kept);
        const PerformanceProfileRecord limits = profile(overshootLimit);
        workspace(withProfile ? &limits : nullptr);
        ExportJob j = job(ExportJob::CertificateMode, QStringLiteral("Word"));
        const QString path = out(QStringLiteral("c.docx"));
        const int code = j.write(path);
        QCOMPARE(code, 0);
        const QJsonObject performance = j.resultsJson().value(QStringLiteral("performance")).toObject();
        QCOMPARE(performance.value(QStringLiteral("verdict")).toString(), json);
        QCOMPARE(performance.value(QStringLiteral("profile")).isNull(), !withProfile);
        const QJsonArray figures = performance.value(QStringLiteral("figures")).toArray();
        QCOMPARE(figures.size(), 18);
        const QJsonObject well = figures.at(1).toObject();
        QCOMPARE(well.value(QStringLiteral("kind")).toString(), QStringLiteral("wellOvershoot"));
        QCOMPARE(well.value(QStringLiteral("well")).toString(), QStringLiteral("A3"));
        QCOMPARE(well.value(QStringLiteral("text")).toString(), QStringLiteral("0.07"));
        QVERIFY(qAbs(well.value(QStringLiteral("value")).toDouble() - WellOvershoot) < 1e-9);
        QCOMPARE(performance.value(QStringLiteral("steps")).toArray().size(), 2);

        // Kept beside the project when the export is finished, and shown on the export page.
        QVERIFY(j.finish(code, path).success);
        QHash<QString, QString> verdicts;
        QVERIFY(Profiles::verdicts(verdicts));
        QCOMPARE(verdicts.value(m_project.name), kept);
        DataExport page;
        auto *table = page.findChild<QTableWidget *>(QStringLiteral("tableWidget_Data"));
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 1)->text(), kept);
        if (kept == QStringLiteral("不合格"))
            QCOMPARE(table->item(0, 1)->foreground().color(), QColor(255, 0, 0));
    }
};

QTEST_MAIN(TestPerformanceExport)
#include "tst_performanceexport.moc"
