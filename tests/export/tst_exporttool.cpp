// pcrcal-export run as a separate process, without a display, against workspaces built in
// temporary folders.
#include "ExportFixture.h"

#include "../reports/DocumentProbe.h"

#include "store/runrecords.h"
#include "store/tool.h"
#include "../support/DamagedPage.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Result
{
    int status = -1;
    QString out;
    QString err;
};

const QString program = QStringLiteral(PCRCAL_EXPORT_PATH);

} // namespace

class TestExportTool : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ws;   // the main workspace
    Fixture::Project m_project;
    QString m_templates = QStringLiteral(PCR_TEMPLATE_DIR);

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Runs the tool with no display at all; the working directory is the temporary folder.
    Result run(const QStringList &arguments, const QString &templateDir = QString(), const QString &via = QString()) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("PCR_TEMPLATE_DIR"), templateDir.isEmpty() ? m_templates : templateDir);
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(m_dir.path());
        p.start(via.isEmpty() ? program : via, arguments);
        Result r;
        if (!p.waitForFinished(300000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    // The same through a shell line that sets up the process first (another user):
    // "$0" is the tool, "$@" its arguments.
    Result runVia(const QString &shellLine, const QStringList &arguments) const
    {
        return run(QStringList{QStringLiteral("-c"), shellLine + QStringLiteral(" \"$0\" \"$@\""), program} + arguments,
                   QString(), QStringLiteral("/bin/bash"));
    }

    // A workspace of its own with one project, closed again.
    bool workspaceWith(const QString &folder, const Fixture::Project &project) const
    {
        const bool ok = Fixture::createWorkspace(folder) && Fixture::addAccounts() && Fixture::addProject(project);
        Tool::closeDatabase();
        return ok;
    }

    QStringList exportArgs(const QString &kind, const QStringList &more = {}) const
    {
        return QStringList{QStringLiteral("--workspace"), m_ws, QStringLiteral("--project"), m_project.name,
                           QStringLiteral("--kind"), kind, QStringLiteral("--operator"), QStringLiteral("engineer")}
            + more;
    }

    QList<Tool::Struct_AuditLog> audit(const QString &workspace) const
    {
        Tool::openDatabase(QDir(workspace).filePath(Tool::DatabaseFileName));
        QList<Tool::Struct_AuditLog> list;
        Tool::getAuditLog(list, QString(), QString(), QString(), QString());
        Tool::closeDatabase();
        return list;
    }

    static QJsonObject readJson(const QString &file)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(f.readAll()).object();
    }

    static QJsonObject num(const QJsonObject &o, const char *key) { return o.value(QLatin1String(key)).toObject(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QFile::exists(program));
        m_ws = path(QStringLiteral("workspace"));
        QVERIFY(Fixture::createWorkspace(m_ws));
        QVERIFY(Fixture::addAccounts());
        QVERIFY(Fixture::addProject(m_project));
        Fixture::Project sixteen;
        sixteen.name = QStringLiteral("十六探头");
        sixteen.probes = 16;
        sixteen.offsets = Fixture::offsetsFor(16);
        QVERIFY(Fixture::addProject(sixteen));
        Tool::closeDatabase();
    }

    void helpAndList()
    {
        Result r = run({QStringLiteral("--help")});
        QCOMPARE(r.status, 0);
        for (const char *option : {"--workspace", "--list", "--project", "--kind", "--format", "--out", "--from", "--to",
                                   "--tolerance", "--markers", "--json", "--operator"})
            QVERIFY2(r.out.contains(QLatin1String(option)), option);
        QVERIFY(r.out.contains(QStringLiteral("5  ")));

        r = run({QStringLiteral("--workspace"), m_ws, QStringLiteral("--list")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, m_project.name + QStringLiteral("\n十六探头\n"));
        QVERIFY(r.err.isEmpty());
    }

    // Every kind and format; the document is where --out says, the audit names the operator.
    void eachKindAndFormat_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("auditType");
        QTest::newRow("certificate Word") << "certificate" << "Word" << "c.docx" << 71;
        QTest::newRow("certificate Excel") << "certificate" << "Excel" << "c.xlsx" << 71;
        QTest::newRow("certificate PDF") << "certificate" << "PDF" << "c.pdf" << 71;
        QTest::newRow("record Word") << "record" << "Word" << "r.docx" << 72;
        QTest::newRow("record Excel") << "record" << "Excel" << "r.xlsx" << 72;
        QTest::newRow("record PDF") << "record" << "PDF" << "r.pdf" << 72;
        QTest::newRow("raw") << "raw" << "" << "raw.xlsx" << 73;
    }

    void eachKindAndFormat()
    {
        QFETCH(QString, kind);
        QFETCH(QString, format);
        QFETCH(QString, file);
        QFETCH(int, auditType);
        QStringList more{QStringLiteral("--out"), file};
        if (!format.isEmpty())
            more << QStringLiteral("--format") << format;
        const Result r = run(exportArgs(kind, more));
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QStringList lines = r.out.trimmed().split(QLatin1Char('\n'));
        QCOMPARE(lines.first(), path(file));
        // A certificate also says the number it was issued under: the project's own here.
        QCOMPARE(lines.mid(1), kind == QStringLiteral("certificate") ? QStringList{QStringLiteral("证书编号：JZ2024-0815")}
                                                                     : QStringList());
        QVERIFY(QFile::exists(path(file)));
        // The record's picture of the run is painted without a display.
        const int pictures = kind == QStringLiteral("record") ? 1 : 0;
        if (file.endsWith(QStringLiteral(".docx"))) {
            QVERIFY(DocxProbe(path(file)).ok());
            QCOMPARE(DocxProbe(path(file)).pictureCount(), pictures);
            // The chain's head as the document was made (after the certificates' entries): the
            // trail, written on since, holds to it.
            const QString head = QRegularExpression(QStringLiteral("[1-9]\\d*:[0-9a-f]{64}")).match(DocxProbe(path(file)).footerText()).captured();
            QVERIFY2(kind != QStringLiteral("record") || !head.isEmpty(), qPrintable(DocxProbe(path(file)).footerText()));
            if (!head.isEmpty())
                QCOMPARE(run({QStringLiteral("--workspace"), m_ws, QStringLiteral("--verify-audit"), QStringLiteral("--anchor"), head}).status, 0);
        } else if (file.endsWith(QStringLiteral(".xlsx"))) {
            QVERIFY(XlsxProbe(path(file)).ok());
            if (kind != QStringLiteral("raw"))
                QCOMPARE(XlsxProbe(path(file)).pictureCount(), pictures);
        } else {
            const QString text = runTool(QStringLiteral("pdftotext"), {path(file), QStringLiteral("-")});
            QVERIFY(text.contains(QStringLiteral("59.97")) || text.contains(QStringLiteral("60.01")));
        }
        const auto log = audit(m_ws);
        QCOMPARE(log.last().Type, Tool::auditTypeName(auditType));
        QCOMPARE(log.last().Operator, QStringLiteral("engineer"));
        QVERIFY(log.last().Details.endsWith(m_project.name));
    }

    // Format from config.ini and a name made from the project when --out is left out.
    void defaults()
    {
        Result r = run(exportArgs(QStringLiteral("certificate")));
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QString written = r.out.section(QLatin1Char('\n'), 0, 0);
        QCOMPARE(written, path(m_project.name + QStringLiteral("-certificate.docx")));
        QVERIFY(DocxProbe(written).ok());
        // The workspace's log has the export's lines, as the application writes them.
        QFile log(QDir(m_ws).filePath(QStringLiteral("log_") + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))
                                      + QStringLiteral(".log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(log.readAll()).contains(QStringLiteral("校准报告导出路径为:") + written));
    }

    // The JSON against the numbers worked out by hand for the three-probe project.
    void jsonByHand()
    {
        const Result r = run(exportArgs(QStringLiteral("certificate"),
                                        {QStringLiteral("--out"), QStringLiteral("j.docx"), QStringLiteral("--json"),
                                         QStringLiteral("j.json")}));
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QJsonObject json = readJson(path(QStringLiteral("j.json")));
        QCOMPARE(json.value("calibration").toString(), m_project.name);
        QCOMPARE(json.value("unit").toString(), QStringLiteral("℃"));
        QCOMPARE(json.value("decimals").toInt(), 2);
        QCOMPARE(json.value("window").toObject().value("from").toString(), QStringLiteral("2024-05-06 09:00:00.250"));

        // Segments: from the last ramp sample before each plateau (2, 19) to nine samples on.
        const QJsonArray segments = json.value("segments").toArray();
        QCOMPARE(segments.size(), 2);
        const char *starts[] = {"2024-05-06 09:00:20.250", "2024-05-06 09:03:10.250"};
        const char *ends[] = {"2024-05-06 09:01:50.250", "2024-05-06 09:04:40.250"};
        for (int d = 0; d < 2; ++d) {
            const QJsonObject s = segments.at(d).toObject();
            QCOMPARE(s.value("start").toString(), QString::fromLatin1(starts[d]));
            QCOMPARE(s.value("end").toString(), QString::fromLatin1(ends[d]));
            QCOMPARE(s.value("samples").toInt(), 9);
        }

        const QJsonArray rows = json.value("uniformity").toArray();
        QCOMPARE(rows.size(), 2);
        const double sets[] = {60, 95};
        for (int k = 0; k < 2; ++k) {
            const QJsonObject row = rows.at(k).toObject();
            const double t = sets[k];
            auto check = [&](const QJsonObject &o, double value, const QString &text) {
                QVERIFY2(qAbs(o.value("value").toDouble() - value) < 1e-9,
                         qPrintable(QString::number(o.value("value").toDouble(), 'g', 17)));
                QCOMPARE(o.value("text").toString(), text);
            };
            check(num(row, "setTemperature"), t, QString::number(t, 'f', 2));
            const QJsonArray means = row.value("probeMeans").toArray();
            QCOMPARE(means.size(), 3);
            check(means.at(0).toObject(), t - 0.03, QString::number(t - 0.03, 'f', 2));
            check(means.at(1).toObject(), t + 0.01, QString::number(t + 0.01, 'f', 2));
            check(means.at(2).toObject(), t + 0.05, QString::number(t + 0.05, 'f', 2));
            check(num(row, "range"), 0.12, QStringLiteral("0.12"));
            check(num(row, "mean"), t + 0.01, QString::number(t + 0.01, 'f', 2));
            check(num(row, "deviation"), -0.01, QStringLiteral("-0.01"));
            check(num(row, "uncertainty"), 0.08, QStringLiteral("0.08"));
        }
        const QJsonObject rates = json.value("rates").toObject();
        const struct { const char *key; double value; const char *text; } expected[] = {
            {"heatingStart", 56.01, "56.01"}, {"heatingEnd", 92.01, "92.01"}, {"heatingTime", 40, "40"},
            {"heatingRate", 0.9, "0.90"},     {"coolingStart", 88.01, "88.01"}, {"coolingEnd", 52.01, "52.01"},
            {"coolingTime", 40, "40"},        {"coolingRate", 0.9, "0.90"},
        };
        for (const auto &e : expected) {
            const QJsonObject o = num(rates, e.key);
            QVERIFY2(qAbs(o.value("value").toDouble() - e.value) < 1e-9, e.key);
            QCOMPARE(o.value("text").toString(), QString::fromLatin1(e.text));
        }
        // The document prints what the JSON calls printed.
        const QVector<QStringList> t = DocxProbe(path(QStringLiteral("j.docx"))).table(1);
        QCOMPARE(t.at(1), (QStringList{"60.00", "60.01", "-0.01", "0.08"}));
        QCOMPARE(t.at(2), (QStringList{"95.00", "95.01", "-0.01", "0.08"}));
    }

    // A window typed in whole seconds, as the page shows it, keeps the samples of its last second.
    void windowInWholeSeconds()
    {
        const QVector<RunSample> u = Fixture::uniformitySamples(m_project);
        const QVector<RunSample> rate = Fixture::rateSamples(m_project);
        QVERIFY(rate.last().time.time().msec() > 0);
        auto second = [](const QDateTime &t) { return t.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")); };
        const Result r = run(exportArgs(QStringLiteral("raw"),
                                        {QStringLiteral("--out"), QStringLiteral("w.xlsx"), QStringLiteral("--json"),
                                         QStringLiteral("w.json"), QStringLiteral("--from"), second(u.first().time),
                                         QStringLiteral("--to"), second(rate.last().time)}));
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QJsonObject json = readJson(path(QStringLiteral("w.json")));
        QCOMPARE(json.value("uniformitySamples").toInt(), u.size());
        QCOMPARE(json.value("rateSamples").toInt(), rate.size());
        // Milliseconds given are taken as they stand.
        const Result exact = run(exportArgs(QStringLiteral("raw"),
                                            {QStringLiteral("--out"), QStringLiteral("w2.xlsx"), QStringLiteral("--json"),
                                             QStringLiteral("w2.json"), QStringLiteral("--to"),
                                             second(rate.last().time) + QStringLiteral(".000")}));
        QVERIFY2(exact.status == 0, qPrintable(exact.err));
        QCOMPARE(readJson(path(QStringLiteral("w2.json"))).value("rateSamples").toInt(), rate.size() - 1);
    }

    // Markers given on the command line cut the run there, not where the search would.
    void explicitMarkers()
    {
        const QVector<RunSample> u = Fixture::uniformitySamples(m_project);
        QStringList markers;
        for (int i : {4, 8, 21, 25})
            markers << u.at(i).time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        const Result r = run(exportArgs(QStringLiteral("record"),
                                        {QStringLiteral("--format"), QStringLiteral("Excel"), QStringLiteral("--out"),
                                         QStringLiteral("m.xlsx"), QStringLiteral("--markers"), markers.join(','),
                                         QStringLiteral("--json"), QStringLiteral("m.json")}));
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QJsonObject json = readJson(path(QStringLiteral("m.json")));
        const QJsonArray segments = json.value("segments").toArray();
        QCOMPARE(segments.at(0).toObject().value("start").toString(), markers.at(0));
        QCOMPARE(segments.at(1).toObject().value("end").toString(), markers.at(3));
        QCOMPARE(segments.at(0).toObject().value("samples").toInt(), 4);
        // Plateau samples 2..5: wobble mean 0.005, so probe 1 reads 60 - 0.03 + 0.005.
        QCOMPARE(XlsxProbe(path(QStringLiteral("m.xlsx"))).cell(10, 2), QStringLiteral("59.98"));
        QCOMPARE(num(json.value("uniformity").toArray().at(0).toObject(), "range").value("text").toString(),
                 QStringLiteral("0.11"));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        const QString ws = path(QStringLiteral("workspace"));
        const QStringList base{"--workspace", ws, "--project", m_project.name, "--operator", "engineer"};
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("no workspace") << QStringList{"--list"};
        QTest::newRow("unknown option") << QStringList{"--workspace", ws, "--list", "--colour"};
        QTest::newRow("list with project") << QStringList{"--workspace", ws, "--list", "--project", "x"};
        QTest::newRow("no project") << QStringList{"--workspace", ws, "--kind", "raw", "--operator", "engineer"};
        QTest::newRow("no kind") << base;
        QTest::newRow("bad kind") << base + QStringList{"--kind", "report"};
        QTest::newRow("no operator") << QStringList{"--workspace", ws, "--project", m_project.name, "--kind", "raw"};
        QTest::newRow("bad format") << base + QStringList{"--kind", "certificate", "--format", "Doc"};
        QTest::newRow("raw as PDF") << base + QStringList{"--kind", "raw", "--format", "PDF"};
        QTest::newRow("bad time") << base + QStringList{"--kind", "raw", "--from", "yesterday"};
        QTest::newRow("window backwards")
            << base + QStringList{"--kind", "raw", "--from", "2024-05-06 10:00:00", "--to", "2024-05-06 09:00:00"};
        QTest::newRow("zero tolerance") << base + QStringList{"--kind", "certificate", "--tolerance", "0"};
        QTest::newRow("bad marker") << base + QStringList{"--kind", "certificate", "--markers", "2024-05-06 09:00:20,x"};
        QTest::newRow("markers and tolerance")
            << base + QStringList{"--kind", "certificate", "--tolerance", "0.2", "--markers", "2024-05-06 09:00:20"};
        QTest::newRow("markers for raw") << base + QStringList{"--kind", "raw", "--markers", "2024-05-06 09:00:20"};
        QTest::newRow("stray argument") << base + QStringList{"--kind", "raw", "extra"};
        QTest::newRow("annex neither yes nor no") << base + QStringList{"--kind", "certificate", "--annex", "maybe"};
        QTest::newRow("annex for a record") << base + QStringList{"--kind", "record", "--annex", "yes"};
    }

    // The certificate's performance annex as config.ini has it, or as --annex says.
    void annexOption_data()
    {
        QTest::addColumn<QStringList>("more");
        QTest::addColumn<bool>("annex");
        QTest::newRow("default") << QStringList{} << true;
        QTest::newRow("no") << QStringList{"--annex", "no"} << false;
        QTest::newRow("yes") << QStringList{"--annex", "yes"} << true;
    }
    void annexOption()
    {
        QFETCH(QStringList, more);
        QFETCH(bool, annex);
        const QString file = QStringLiteral("annex-%1.docx").arg(QTest::currentDataTag());
        const QString json = QStringLiteral("annex-%1.json").arg(QTest::currentDataTag());
        const Result r = run(exportArgs(QStringLiteral("certificate"), QStringList{"--out", file, "--json", json} + more));
        QVERIFY2(r.status == 0, qPrintable(r.err));
        DocxProbe doc(path(file));
        QVERIFY(doc.ok());
        QCOMPARE(doc.bodyText().contains(QStringLiteral("附页：性能指标")), annex);
        // Without a profile for the model the figures go unjudged either way.
        const QJsonObject performance = readJson(path(json)).value("performance").toObject();
        QVERIFY(performance.value("verdict").isNull());
        QCOMPARE(performance.value("figures").toArray().size(), 18);
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        const int audited = audit(m_ws).size();
        const Result r = run(arguments);
        QCOMPARE(r.status, 2);
        QVERIFY(!r.err.isEmpty());
        QVERIFY(r.out.isEmpty());
        QCOMPARE(audit(m_ws).size(), audited);
    }

    void notFound()
    {
        const QString empty = path(QStringLiteral("empty-folder"));
        QDir().mkpath(empty);
        const QString garbage = path(QStringLiteral("garbage"));
        QDir().mkpath(garbage);
        QFile f(QDir(garbage).filePath(QStringLiteral("PCR.db3")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a database");
        f.close();
        const struct { QStringList args; const char *text; } cases[] = {
            {{"--workspace", path("nowhere"), "--list"}, "nowhere"},
            {{"--workspace", empty, "--list"}, "PCR.db3"},
            {{"--workspace", garbage, "--list"}, "PCR.db3"},
            {exportArgs("raw").replaceInStrings(m_project.name, "no such project"), "no such project"},
        };
        for (const auto &c : cases) {
            const Result r = run(c.args);
            QCOMPARE(r.status, 3);
            QVERIFY2(r.err.contains(QString::fromUtf8(c.text)), qPrintable(r.err));
        }
        // Nothing was created in the folder without a database.
        QVERIFY(QDir(empty).entryList(QDir::Files).isEmpty());

        // Operators: unknown, locked, expired, or without the right for the export.
        const int audited = audit(m_ws).size();
        for (const char *name : {"nobody", "locked", "expired", "viewer"}) {
            QStringList args = exportArgs(QStringLiteral("certificate"), {QStringLiteral("--out"), QStringLiteral("o.docx")});
            args.replaceInStrings(QStringLiteral("engineer"), QString::fromLatin1(name));
            const Result r = run(args);
            QCOMPARE(r.status, 3);
            QVERIFY2(r.err.contains(QString::fromLatin1(name)), qPrintable(r.err));
            QVERIFY(!QFile::exists(path(QStringLiteral("o.docx"))));
        }
        QCOMPARE(audit(m_ws).size(), audited);
    }

    // The analysis refuses: the dialog's message on standard error, nothing written.
    void refused()
    {
        const QString ws = path(QStringLiteral("refusals"));
        QVERIFY(Fixture::createWorkspace(ws));
        QVERIFY(Fixture::addAccounts());
        QVERIFY(Fixture::addProject(m_project));
        Fixture::Project seventeen = m_project;
        seventeen.name = QStringLiteral("seventeen");
        seventeen.probes = 17;
        seventeen.offsets = Fixture::offsetsFor(17);
        QVERIFY(Fixture::addProject(seventeen));
        Tool::closeDatabase();
        const QVector<RunSample> u = Fixture::uniformitySamples(m_project);
        const QVector<RunSample> rate = Fixture::rateSamples(m_project);
        auto at = [](const RunSample &s) { return s.time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")); };
        auto args = [&](const QString &project, const QString &kind, const QStringList &more) {
            return QStringList{"--workspace", ws, "--project", project, "--kind", kind, "--operator", "engineer",
                               "--out", path("refused.docx")} + more;
        };
        const struct { QStringList args; const char *text; } cases[] = {
            {args(m_project.name, "certificate", {"--tolerance", "0.01"}), "自动识别错误，请手动分段！"},
            {args(m_project.name, "certificate", {"--markers", at(u.at(4)) + "," + at(u.at(8))}), "标注线不全不能生成报告！"},
            {args(m_project.name, "certificate", {"--from", at(rate.first())}), "均匀度数据获取失败！"},
            {args(m_project.name, "record", {"--to", at(rate.at(5))}), "升降温速率获取失败！"},
            {args("seventeen", "record", {}), "不支持导出超过16个探头！"},
        };
        for (const auto &c : cases) {
            const Result r = run(c.args);
            QCOMPARE(r.status, 4);
            QCOMPARE(r.err.trimmed(), QString::fromUtf8(c.text));
            QVERIFY(!QFile::exists(path(QStringLiteral("refused.docx"))));
        }
        // The uniformity cycle file deleted since the run.
        Tool::openDatabase(QDir(ws).filePath(Tool::DatabaseFileName));
        QList<Tool::Struct_CyclicFile> files;
        Tool::getCyclicFile(files, QString());
        for (const auto &file : files)
            if (file.Name == m_project.uniformityFile)
                QVERIFY(Tool::deleteCyclicFile(file.Number));
        Tool::closeDatabase();
        for (const char *kind : {"certificate", "record", "raw"}) {
            const Result r = run(args(m_project.name, QString::fromLatin1(kind), {}));
            QCOMPARE(r.status, 4);
            QCOMPARE(r.err.trimmed(), QStringLiteral("未查找到循环文件！"));
        }
        QCOMPARE(audit(ws).size(), 0);
    }

    // An English workspace: English template, English messages, ℉ from its config.ini.
    void englishWorkspace()
    {
        const QString ws = path(QStringLiteral("english"));
        QVERIFY(Fixture::createWorkspace(ws, QStringLiteral("℉"), 3, QStringLiteral("Word"), QStringLiteral("English")));
        QVERIFY(Fixture::addAccounts());
        QVERIFY(Fixture::addProject(m_project));
        Tool::closeDatabase();
        const QStringList base{"--workspace", ws, "--project", m_project.name, "--operator", "engineer"};
        Result r = run(base + QStringList{"--kind", "certificate", "--out", path("en.docx")});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        DocxProbe doc(path(QStringLiteral("en.docx")));
        QVERIFY(doc.bodyText().contains(QStringLiteral("Calibration Certificate")));
        // 60.01 ℃ and 0.08 ℃ in ℉ with three decimals.
        QCOMPARE(doc.table(1).at(1), (QStringList{"140.000", "140.018", "-0.018", "0.144"}));
        const QString from = Fixture::rateSamples(m_project).first().time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        r = run(base + QStringList{"--kind", "certificate", "--out", path("en2.docx"), "--from", from});
        QCOMPARE(r.status, 4);
        QCOMPARE(r.err.trimmed(), QStringLiteral("Failed to obtain the uniformity data!"));
    }

    // Writing fails: exit 5, a clear message, no document or JSON left behind.
    // --out and --json never replace the workspace's own files or anything that is not a regular
    // file; an existing document only with --overwrite; and they must name two files.
    void outputsAreGuarded_data()
    {
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("json");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString ws = QStringLiteral("workspace/");
        QTest::newRow("the database") << ws + "PCR.db3" << "" << true << 5 << "不能覆盖工作目录中的程序文件";
        QTest::newRow("its write-ahead log") << ws + "PCR.db3-wal" << "" << true << 5 << "不能覆盖工作目录中的程序文件";
        QTest::newRow("config.ini") << "c.docx" << ws + "config.ini" << true << 5 << "不能覆盖工作目录中的程序文件";
        QTest::newRow("a link to the database") << "link.docx" << "" << true << 5 << "不能覆盖工作目录中的程序文件";
        QTest::newRow("a device") << "/dev/null" << "" << true << 5 << "目标不是普通文件";
        QTest::newRow("a folder") << "folder.docx" << "" << true << 5 << "目标不是普通文件";
        QTest::newRow("existing, no --overwrite") << "old.docx" << "" << false << 5 << "文件已存在";
        QTest::newRow("existing json, no --overwrite") << "new.docx" << "old.json" << false << 5 << "文件已存在";
        QTest::newRow("one file twice") << "same.docx" << "same.docx" << false << 2 << "--json";
        QTest::newRow("existing, --overwrite") << "old.docx" << "old.json" << true << 0 << "";
    }
    void outputsAreGuarded()
    {
        QFETCH(QString, out);
        QFETCH(QString, json);
        QFETCH(bool, overwrite);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QByteArray old = "an older file";
        for (const char *name : {"old.docx", "old.json"}) {
            QFile f(path(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        QDir(m_dir.path()).mkpath(QStringLiteral("folder.docx"));
        QFile::remove(path(QStringLiteral("link.docx")));
        QVERIFY(QFile::link(QDir(m_ws).filePath(QStringLiteral("PCR.db3")), path(QStringLiteral("link.docx"))));
        QFile::remove(path(QStringLiteral("new.docx")));
        QFile db(QDir(m_ws).filePath(QStringLiteral("PCR.db3")));
        QVERIFY(db.open(QIODevice::ReadOnly));
        const QByteArray dbBefore = db.read(100);
        db.close();
        const int audited = audit(m_ws).size();

        QStringList more{QStringLiteral("--out"), out};
        if (!json.isEmpty())
            more << QStringLiteral("--json") << json;
        if (overwrite)
            more << QStringLiteral("--overwrite");
        const Result r = run(exportArgs(QStringLiteral("certificate"), more));
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(db.open(QIODevice::ReadOnly));
        QCOMPARE(db.read(100), dbBefore);   // still a database
        db.close();
        if (status == 0) {
            QVERIFY(DocxProbe(path(out)).ok());
            QCOMPARE(audit(m_ws).size(), audited + 1);
            return;
        }
        QCOMPARE(audit(m_ws).size(), audited);
        for (const char *name : {"old.docx", "old.json"}) {
            QFile f(path(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), old);
        }
        QVERIFY(!QFile::exists(path(QStringLiteral("new.docx"))));
        QVERIFY(QFileInfo(QStringLiteral("/dev/null")).exists());
    }

    // A full file system: the document or workbook cannot be written in full. The tool used to
    // leave a 0-byte file, print success, exit 0 and audit the export; now nothing is left, no
    // temporary file either, the status is 5 and nothing is audited.
    void fullDiskLeavesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("file");
        QTest::newRow("certificate Word") << "certificate" << "Word" << "full.docx";
        QTest::newRow("record Excel") << "record" << "Excel" << "full.xlsx";
        QTest::newRow("raw workbook") << "raw" << "" << "full-raw.xlsx";
        QTest::newRow("JSON") << "certificate" << "Word" << "full.json";
    }
    void fullDiskLeavesNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, format);
        QFETCH(QString, file);
        // A file system of one page: what a full USB stick or share does to the output.
        const QString full = path(QStringLiteral("full"));
        QDir().mkpath(full);
        if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                        QStringLiteral("size=4k"), QStringLiteral("tmpfs"), full}) != 0)
            QSKIP("cannot mount a small file system here");
        struct Unmount
        {
            QString dir;
            ~Unmount() { QProcess::execute(QStringLiteral("umount"), {dir}); }
        } unmount{full};
        const int audited = audit(m_ws).size();
        const bool json = file.endsWith(QLatin1String(".json"));
        QStringList more{QStringLiteral("--out"), json ? path(QStringLiteral("with-full-json.docx")) : QDir(full).filePath(file)};
        if (json)
            more << QStringLiteral("--json") << QDir(full).filePath(file);
        if (!format.isEmpty())
            more << QStringLiteral("--format") << format;
        if (json) {
            // The JSON of this project is small: the disk is filled up to its last bytes first.
            QFile filler(QDir(full).filePath(QStringLiteral("filler")));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            filler.write(QByteArray(4096 - 64, 'x'));
            filler.close();
        }
        const Result r = run(exportArgs(kind, more));
        QCOMPARE(r.status, 5);
        QVERIFY(r.out.isEmpty());
        QStringList left = QDir(full).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(QStringLiteral("filler"));
        QVERIFY2(left.isEmpty(), qPrintable(left.join(' ')));
        QVERIFY(!QFile::exists(path(QStringLiteral("with-full-json.docx"))));
        QCOMPARE(audit(m_ws).size(), audited);
    }

    // A workspace whose database cannot be written (read-only file): the export cannot be
    // audited, so it is not handed out. It used to exit 0 without its audit entry.
    void readOnlyWorkspaceIsNoSilentSuccess()
    {
        if (QProcess::execute(QStringLiteral("setpriv"), {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                                         QStringLiteral("--clear-groups"), QStringLiteral("true")}) != 0)
            QSKIP("cannot run as another user here");
        QTemporaryDir shared;
        QVERIFY(QFile::setPermissions(shared.path(), QFileDevice::Permissions(0x7777)));
        const QString ws = QDir(shared.path()).filePath(QStringLiteral("ro"));
        Fixture::Project project;
        QVERIFY(workspaceWith(ws, project));
        QVERIFY(QFile::setPermissions(ws, QFileDevice::Permissions(0x7777)));
        for (const char *name : {"PCR.db3", "config.ini"})
            QVERIFY(QFile::setPermissions(QDir(ws).filePath(QLatin1String(name)), QFileDevice::Permissions(0x4444)));
        const int audited = audit(ws).size();
        const QString out = QDir(shared.path()).filePath(QStringLiteral("ro.xlsx"));
        QStringList args = exportArgs(QStringLiteral("raw"), {QStringLiteral("--out"), out});
        args.replaceInStrings(m_ws, ws);
        const Result r = runVia(QStringLiteral("exec setpriv --reuid=65534 --regid=65534 --clear-groups"), args);
        QCOMPARE(r.status, 5);
        QVERIFY2(r.err.contains(QStringLiteral("审计日志写入失败")), qPrintable(r.err));
        QVERIFY(!QFile::exists(out));
        QCOMPARE(audit(ws).size(), audited);
    }

    // A certificate names the calibration laboratory: without config.ini, with one that cannot be
    // read, or with no company name it is refused (4) with a message naming what is missing, and
    // nothing is written or audited. It used to be issued in English with a blank laboratory. The
    // raw workbook prints no laboratory and goes on.
    void certificateNeedsTheLaboratory_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        // Without its settings the tool speaks the system's language: the message names the file.
        QTest::newRow("no config.ini") << "missing" << "certificate" << 4 << "config.ini";
        QTest::newRow("config.ini unreadable") << "folder" << "certificate" << 4 << "config.ini";
        QTest::newRow("no company name") << "blank" << "certificate" << 4 << "未设置公司名称";
        QTest::newRow("raw data without config.ini") << "missing" << "raw" << 0 << "";
    }
    void certificateNeedsTheLaboratory()
    {
        QFETCH(QString, config);
        QFETCH(QString, kind);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QString ws = path(QStringLiteral("lab-") + QLatin1String(QTest::currentDataTag()).left(8).trimmed());
        QVERIFY(workspaceWith(ws, Fixture::Project()));
        const QString ini = QDir(ws).filePath(QStringLiteral("config.ini"));
        if (config == QLatin1String("blank"))
            Tool::configFile(ini)->setValue(QStringLiteral("SystemSet/CorporateName"), QString());
        else
            QVERIFY(QFile::remove(ini) && (config == QLatin1String("missing") || QDir().mkdir(ini)));
        const int audited = audit(ws).size();
        const QString out = path(QStringLiteral("lab.") + (kind == QLatin1String("raw") ? "xlsx" : "docx"));
        QStringList args = exportArgs(kind, {QStringLiteral("--out"), out, QStringLiteral("--format"),
                                             kind == QLatin1String("raw") ? QStringLiteral("Excel") : QStringLiteral("Word")});
        args.replaceInStrings(m_ws, ws);
        const Result r = run(args);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(QFile::exists(out), status == 0);
        QCOMPARE(audit(ws).size(), audited + (status == 0 ? 1 : 0));
        QFile::remove(out);
    }

    // A project whose run is going on (its lease held, here by this process) is not exported:
    // 4 and a message. It used to be exported with exit 0.
    void runningProjectIsRefused()
    {
        QVERIFY(Tool::openDatabase(QDir(m_ws).filePath(Tool::DatabaseFileName)));
        Tool::Struct_Calibration running = Fixture::calibrationRecord(m_project);
        running.CalibrationName = QStringLiteral("运行中的项目");
        QVERIFY(RunRecords::begin(running));
        const int audited = Fixture::audit().size();
        QStringList args = exportArgs(QStringLiteral("raw"), {QStringLiteral("--out"), path(QStringLiteral("running.xlsx"))});
        args.replaceInStrings(m_project.name, running.CalibrationName);
        const Result r = run(args);
        QCOMPARE(r.status, 4);
        QVERIFY2(r.err.contains(QStringLiteral("正在校准中")), qPrintable(r.err));
        QVERIFY(!QFile::exists(path(QStringLiteral("running.xlsx"))));
        QCOMPARE(Fixture::audit().size(), audited);
        QVERIFY(RunRecords::remove(running.CalibrationName));
        Tool::closeDatabase();
    }

    // Two exports to one new file at the same time, without --overwrite: one writes it, the other
    // fails (5) and is not audited. Both used to exit 0 and be audited over one file.
    void twoExportsToOneNewFile()
    {
        const QString out = path(QStringLiteral("twice.xlsx"));
        QFile::remove(out);
        const int audited = audit(m_ws).size();
        QProcess a, b;
        for (QProcess *p : {&a, &b}) {
            p->setWorkingDirectory(m_dir.path());
            p->start(program, exportArgs(QStringLiteral("raw"), {QStringLiteral("--out"), out}));
        }
        QVERIFY(a.waitForFinished(300000) && b.waitForFinished(300000));
        QCOMPARE(QList<int>({a.exitCode(), b.exitCode()}).count(0), 1);
        const QString failed = QString::fromUtf8((a.exitCode() ? a : b).readAllStandardError());
        QCOMPARE((a.exitCode() ? a : b).exitCode(), 5);
        QVERIFY2(failed.contains(QStringLiteral("已存在")), qPrintable(failed));
        QCOMPARE(audit(m_ws).size(), audited + 1);
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral(".twice*")}, QDir::Files | QDir::Hidden).size(), 0);
    }

    // A healthy workspace in a read-only folder (no -shm can be made) or on a full disk: listed and
    // verified read-only; an export, which must be audited, is refused naming the condition. All
    // used to say "not a database" (3).
    void readOnlyOrFullWorkspace_data()
    {
        QTest::addColumn<bool>("full");
        QTest::addColumn<QString>("condition");
        QTest::newRow("read-only folder") << false << "只读|read-only";
        QTest::newRow("full disk") << true << "磁盘已满|is full";
    }
    void readOnlyOrFullWorkspace()
    {
        QFETCH(bool, full);
        QFETCH(QString, condition);
        QTemporaryDir shared;
        QVERIFY(QFile::setPermissions(shared.path(), QFileDevice::Permissions(0x7777)));
        const QString made = QDir(shared.path()).filePath(QStringLiteral("made"));
        QString ws = QDir(shared.path()).filePath(QStringLiteral("ws"));
        QVERIFY(workspaceWith(made, Fixture::Project()) && QDir().mkpath(ws));
        const QStringList mount{QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), QStringLiteral("size=4m"),
                                QStringLiteral("tmpfs"), ws};
        if (full && QProcess::execute(QStringLiteral("mount"), mount) != 0)
            QSKIP("cannot mount a small file system here");
        auto unmount = qScopeGuard([&] {
            if (full)
                QProcess::execute(QStringLiteral("umount"), {ws});
        });
        for (const char *name : {"PCR.db3", "config.ini"})
            QVERIFY(QFile::copy(QDir(made).filePath(QLatin1String(name)), QDir(ws).filePath(QLatin1String(name))));
        QString via = QStringLiteral("exec setpriv --reuid=65534 --regid=65534 --clear-groups");
        if (full) {
            QFile filler(QDir(ws).filePath(QStringLiteral("filler")));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {
            }
            via = QStringLiteral("exec");
        } else if (QProcess::execute(QStringLiteral("setpriv"), {QStringLiteral("--reuid=65534"), QStringLiteral("true")}) != 0) {
            QSKIP("cannot run as another user here");
        }
        QVERIFY(full || QFile::setPermissions(ws, QFileDevice::Permissions(0x5555)));
        Result r = runVia(via, {QStringLiteral("--workspace"), ws, QStringLiteral("--verify-audit")});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        r = runVia(via, {QStringLiteral("--workspace"), ws, QStringLiteral("--list")});
        QCOMPARE(r.out, Fixture::Project().name + QLatin1Char('\n'));
        const QString out = QDir(shared.path()).filePath(QStringLiteral("x.xlsx"));
        r = runVia(via, exportArgs(QStringLiteral("raw"), {QStringLiteral("--out"), out}).replaceInStrings(m_ws, ws));
        QCOMPARE(r.status, 5);
        QVERIFY2(r.err.contains(QRegularExpression(condition)) && !r.err.contains(QStringLiteral("not a database")),
                 qPrintable(r.err));
        QVERIFY(!QFile::exists(out) && QFile::setPermissions(ws, QFileDevice::Permissions(0x7777)));
    }

    // A damaged page in the middle of the samples: the export stops with its own status instead
    // of writing a shortened run (it wrote 89 of 222 samples and exited 0).
    void damagedDatabaseHasItsOwnStatus()
    {
        const QString ws = path(QStringLiteral("damaged"));
        Fixture::Project project;
        project.probes = 16;
        project.offsets = Fixture::offsetsFor(16);
        project.plateauSamples = 60;
        QVERIFY(workspaceWith(ws, project));
        if (damageLeafPage(QDir(ws).filePath(QStringLiteral("PCR.db3")), QStringLiteral("CalibrationData")) == 0)
            QSKIP("no dbstat in this SQLite");
        QStringList args = exportArgs(QStringLiteral("raw"), {QStringLiteral("--out"), path(QStringLiteral("damaged.xlsx"))});
        args.replaceInStrings(m_ws, ws);
        const Result r = run(args);
        QCOMPARE(r.status, 7);
        QVERIFY2(r.err.contains(QStringLiteral("数据库损坏")), qPrintable(r.err));
        QVERIFY(!QFile::exists(path(QStringLiteral("damaged.xlsx"))));
    }

    // --list prints one line per project whatever its name holds; a file that is no database
    // is called so.
    void listEscapesNamesAndNamesNonDatabases()
    {
        const QString ws = path(QStringLiteral("odd-names"));
        Fixture::Project project;
        project.name = QStringLiteral("a\nb\x1b[31mc\\d\u202e");
        QVERIFY(workspaceWith(ws, project));
        Result r = run({QStringLiteral("--workspace"), ws, QStringLiteral("--list")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("a\\nb\\x1b[31mc\\\\d\\u202e\n"));

        const QString text = path(QStringLiteral("text-db"));
        QDir().mkpath(text);
        QFile f(QDir(text).filePath(QStringLiteral("PCR.db3")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(2048, 'x'));
        f.close();
        r = run({QStringLiteral("--workspace"), text, QStringLiteral("--list")});
        QCOMPARE(r.status, 3);
        // In the language of the system, before a workspace says otherwise.
        QVERIFY2(r.err.contains(QStringLiteral("(不是数据库)")) || r.err.contains(QStringLiteral("(not a database)")),
                 qPrintable(r.err));
        QVERIFY(!r.err.contains(QStringLiteral("Parameter count")));
    }

    void writeFailures()
    {
        const QString noTemplates = path(QStringLiteral("no-templates"));
        QDir().mkpath(noTemplates);
        const int audited = audit(m_ws).size();
        Result r = run(exportArgs(QStringLiteral("certificate"), {QStringLiteral("--out"), QStringLiteral("t.docx")}),
                       noTemplates);
        QCOMPARE(r.status, 5);
        QVERIFY2(r.err.startsWith(QStringLiteral("模板打开失败！")), qPrintable(r.err));
        QVERIFY(!QFile::exists(path(QStringLiteral("t.docx"))));

        r = run(exportArgs(QStringLiteral("certificate"), {QStringLiteral("--out"), path(QStringLiteral("absent/t.docx"))}));
        QCOMPARE(r.status, 5);
        QVERIFY2(r.err.startsWith(QStringLiteral("文件保存失败！")), qPrintable(r.err));

        r = run(exportArgs(QStringLiteral("raw"), {QStringLiteral("--out"), path(QStringLiteral("absent/t.xlsx"))}));
        QCOMPARE(r.status, 5);
        QVERIFY2(r.err.startsWith(QStringLiteral("数据导出失败！")), qPrintable(r.err));

        r = run(exportArgs(QStringLiteral("certificate"), {QStringLiteral("--out"), QStringLiteral("t.docx"),
                                                           QStringLiteral("--json"), path(QStringLiteral("absent/t.json"))}));
        QCOMPARE(r.status, 5);
        QVERIFY(r.err.contains(QStringLiteral("t.json")));
        QVERIFY(!QFile::exists(path(QStringLiteral("t.docx"))));
        QCOMPARE(audit(m_ws).size(), audited);
    }
};

QTEST_GUILESS_MAIN(TestExportTool)
#include "tst_exporttool.moc"
