// pcrcal-probecal run as a separate process, without a display, against a workspace in a
// temporary folder and pcrsim serving the bath, the SCPI thermometer and the collector: its exit
// statuses, the resume after a liquid change and after an interruption, the residual check, and
// what it leaves in the database, the audit trail and its JSON lines.

#include "../acquisition/ProbeCalibrationTest.h"
#include "../support/TestSuite.h"
#include "../support/Workspace.h"

#include "acquisition/ProbeCalibration.h"
#include "store/schema.h"
#include "store/probepoints.h"
#include "store/tool.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

struct Result
{
    int status = -1;
    QString out;
    QString err;
};

const QString program = QStringLiteral(PCRCAL_PROBECAL_PATH);

QList<QJsonObject> jsonLines(const QString &file)
{
    QFile f(file);
    QList<QJsonObject> lines;
    if (!f.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (!line.isEmpty())
            lines << QJsonDocument::fromJson(line).object();
    return lines;
}

int countEvents(const QList<QJsonObject> &lines, const char *event)
{
    int n = 0;
    for (const QJsonObject &o : lines)
        n += o.value(QStringLiteral("event")).toString() == QLatin1String(event) ? 1 : 0;
    return n;
}

} // namespace

class ProbeCalToolTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString ws;
    PcrSim sim;

    QString path(const QString &name) const { return dir.filePath(name); }

    static QProcessEnvironment environment()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("PCRCAL_PASSWORD"), QStringLiteral("123456"));   // the initial account's
        return env;
    }

    Result run(const QStringList &arguments) const
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.setWorkingDirectory(dir.path());
        p.start(program, arguments);
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

    QStringList args(const QString &mode, const QString &points, const QStringList &more = {}) const
    {
        return QStringList{"--workspace", ws, "--probe-set", "槽校探头", "--mode", mode, "--points", points,
                           "--operator", "admin"}
            + more;
    }

    // Opens the workspace's database in this process for a look, and closes it again.
    template<class F> void inDatabase(F f) const
    {
        QVERIFY(Tool::openDatabase(QDir(ws).filePath(Tool::DatabaseFileName)));
        f();
        Tool::closeDatabase();
    }

    // The points of the set's open run of a mode, as the database holds them.
    int storedPoints(const QString &mode) const
    {
        ProbePoints::Run run;
        bool found = false;
        inDatabase([&] { QVERIFY(ProbePoints::openRun(ProbeCalibrationTest::probeSet().Number, mode, run, &found)); });
        return run.points.size();
    }

    // As the program reads and writes it (UTF-8).
    std::unique_ptr<QSettings> config() const { return Tool::configFile(QDir(ws).filePath("config.ini")); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(QFile::exists(program));
        QVERIFY(ProbeCalibrationTest::startSim(sim, 1000));
        ws = path("workspace");
        QVERIFY(QDir().mkpath(ws));
        QVERIFY(Tool::openDatabase(QDir(ws).filePath(Tool::DatabaseFileName)));
        QVERIFY(Tool::addStandardizer(ProbeCalibrationTest::probeSet()));
        Tool::closeDatabase();
        const auto config = this->config();
        QSettings &ini = *config;
        ProbeCalibration::writeDevice(ini, "TField", {"VADE", "串口", sim.bathPtyPath, "9600"});
        ProbeCalibration::writeDevice(ini, "TCollection", {"1611A", "网络", "127.0.0.1", sim.tcpPort});
        ProbeCalibration::writeDevice(ini, "TCriteria", {"Fluke 1586A", "网络", "127.0.0.1", sim.scpiTcpPort});
        ProbeCalibration::writeReferenceProbe(ini, {"ITS90-4W", "CH001", "-1.2e-4", "-2.5e-5", "0", "0", "25.5", "0", "0"});
        ini.setValue("TStandardizer/Interval", "0.1");
        ini.setValue("TStandardizer/Index", "0.05");
        ini.setValue("TStandardizer/Delay", "0");
        // The messages below are the Chinese source texts.
        ini.setValue("SystemSet/Language", "中文");
    }

    void help()
    {
        const Result r = run({"--help"});
        QCOMPARE(r.status, 0);
        for (const char *option : {"--workspace", "--probe-set", "--mode", "--points", "--liquid-change", "--delay",
                                   "--index", "--operator", "--password-file", "--json", "--accept-residuals", "--bath",
                                   "--collector", "--reference", "PCRCAL_PASSWORD"})
            QVERIFY2(r.out.contains(QLatin1String(option)), option);
        for (const char *status : {"0  ", "3  ", "4  ", "5  ", "6  ", "7  "})
            QVERIFY2(r.out.contains(QLatin1String(status)), status);
    }

    // Refused before any device is touched: 4, with a message on standard error.
    void badInput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const auto a = [this](const QStringList &more) {
            return QStringList{"--workspace", ws, "--probe-set", "槽校探头", "--mode", "calibration", "--operator",
                               "admin"}
                + more;
        };
        QTest::newRow("no points") << a({}) << "--points";
        QTest::newRow("three points") << a({"--points", "20,30,40"}) << "温度点数不许少于4个！";
        QTest::newRow("a point that is no temperature") << a({"--points", "20,30,x,50"}) << "不是温度";
        QTest::newRow("ten points") << a({"--points", "1,2,3,4,5,6,7,8,9,10"}) << "9";
        QTest::newRow("liquid change past the points") << a({"--points", "20,30,40,50", "--liquid-change", "5"})
                                                       << "--liquid-change";
        QTest::newRow("negative delay") << a({"--points", "20,30,40,50", "--delay", "-1"}) << "--delay";
        QTest::newRow("index zero") << a({"--points", "20,30,40,50", "--index", "0"}) << "--index";
        QTest::newRow("manual reference") << a({"--points", "20,30,40,50", "--reference", "Manual"})
                                          << "当前模式下不许选择手动模式！";
        QTest::newRow("unknown bath") << a({"--points", "20,30,40,50", "--bath", "XYZ"}) << "XYZ";
        QTest::newRow("bad link") << a({"--points", "20,30,40,50", "--collector", "1611A,usb,x"}) << "1611A,usb,x";
        QTest::newRow("no operator") << QStringList{"--workspace", ws, "--probe-set", "槽校探头", "--mode",
                                                    "calibration", "--points", "20,30,40,50"}
                                     << "--operator";
        QTest::newRow("a probe set with an escape") << a({"--points", "20,30,40,50", "--probe-set", "槽校\x1b探头"})
                                                    << "--probe-set";
        QTest::newRow("unknown mode") << QStringList{"--workspace", ws, "--probe-set", "槽校探头", "--mode", "both",
                                                     "--points", "20,30,40,50", "--operator", "admin"}
                                      << "both";
        QTest::newRow("unknown probe set") << QStringList{"--workspace", ws, "--probe-set", "无", "--mode",
                                                          "calibration", "--points", "20,30,40,50", "--operator", "admin"}
                                           << "无";
        QTest::newRow("one temperature four times") << a({"--points", "20,20,20,20"}) << "第2个温度点 20 ℃ 与第1个点重复！";
        QTest::newRow("-300 ℃") << a({"--points", "-300,20,40,60"}) << "第1个温度点 -300 ℃ 超出恒温设备的范围";
        QTest::newRow("5000 ℃") << a({"--points", "20,40,60,5000"}) << "第4个温度点 5000 ℃ 超出恒温设备的范围";
        QTest::newRow("closer than 5 K") << a({"--points", "20,22,40,60"}) << "相差不足 5 K";
        QTest::newRow("no workspace") << QStringList{"--workspace", path("nowhere"), "--probe-set", "槽校探头", "--mode",
                                                     "calibration", "--points", "20,30,40,50", "--operator", "admin"}
                                      << "PCR.db3";
    }
    void badInput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        sim.clearTrace();
        const Result r = run(arguments);
        QCOMPARE(r.status, 4);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(sim.count("bath set point"), 0);   // no device driven
    }

    // Refused before any device is touched: 7. Unknown, wrong password (counted toward the lock),
    // or a calibration by an account without "探头添加", which would replace the coefficients.
    void notPermitted()
    {
        inDatabase([] {
            Tool::Struct_UesrManagement viewer = Schema::initialUser();
            viewer.Name = "viewer";
            viewer.Password = "123456";
            viewer.Problem = "你的出生地是？";
            viewer.Rights = "操作员";
            viewer.setAllRights(false);
            QVERIFY(Tool::addUesrManagement(viewer));
        });
        const auto as = [this](const char *name) {
            return QStringList{"--workspace", ws, "--probe-set", "槽校探头", "--mode", "calibration", "--points",
                               "20,30,40,50", "--operator", QString::fromLatin1(name)};
        };
        Result r = run(as("nobody"));
        QCOMPARE(r.status, 7);
        QVERIFY2(r.err.contains("nobody"), qPrintable(r.err));
        r = run(as("viewer"));
        QCOMPARE(r.status, 7);
        QVERIFY2(r.err.contains(QStringLiteral("探头添加")), qPrintable(r.err));
        const QString file = path("wrong.pw");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("nope\n");
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        r = run(as("viewer") << "--password-file" << file);
        QCOMPARE(r.status, 7);
        inDatabase([] {
            QList<Tool::Struct_UesrManagement> users;
            Tool::getUesrManagement(users, "viewer");
            QCOMPARE(users.value(0).ErrorsNumber, QStringLiteral("1"));
            QList<Tool::Struct_Standardizer> sets;
            Tool::getStandardizerName(sets, "槽校探头");
            QCOMPARE(sets.value(0).B3.split(',').first(), QStringLiteral("0"));
        });
        QVERIFY(config()->value("TCalibration/CalibrationTemp").toStringList().isEmpty());
    }

    // --json names a file of the workspace, a database, a device or an existing file without
    // --overwrite: refused (4) before anything is opened, and the file is as it was. It used to
    // replace PCR.db3 or config.ini with a line of JSON.
    void jsonIsGuarded_data()
    {
        QTest::addColumn<QString>("json");
        // Before the workspace is read, in the system's language: the message names the file.
        QTest::addColumn<QString>("message");
        QTest::newRow("the database, relative") << "workspace/PCR.db3" << "workspace/PCR.db3";
        QTest::newRow("the database, absolute") << path("workspace/PCR.db3") << "workspace/PCR.db3";
        QTest::newRow("config.ini") << "workspace/config.ini" << "workspace/config.ini";
        QTest::newRow("a copy of the database") << "copy.db3" << "copy.db3";
        QTest::newRow("a device") << "/dev/null" << "/dev/null";
        QTest::newRow("an older file") << "old.jsonl" << "--overwrite";
    }
    void jsonIsGuarded()
    {
        QFETCH(QString, json);
        QFETCH(QString, message);
        QFile::remove(path("copy.db3"));
        QVERIFY(QFile::copy(QDir(ws).filePath("PCR.db3"), path("copy.db3")));
        QFile old(path("old.jsonl"));
        QVERIFY(old.open(QIODevice::WriteOnly | QIODevice::Truncate) && old.write("older\n") == 6);
        old.close();
        const QString file = QFileInfo(json).isAbsolute() ? json : path(json);
        QFile f(file);
        const QByteArray before = f.open(QIODevice::ReadOnly) ? f.read(4096) : QByteArray();
        f.close();
        const Result r = run(args("calibration", "20,30,40,50", {"--json", json}));
        QCOMPARE(r.status, 4);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.read(4096), before);
    }

    // A collector nobody answers for: 3, with its message; nothing stored.
    void deviceFails()
    {
        const Result r = run(args("calibration", "20,30,40,50", {"--collector", "1611A,tcp,127.0.0.1," + closedPort()}));
        QCOMPARE(r.status, 3);
        QVERIFY2(r.err.contains(QStringLiteral("采集设备打开失败!")), qPrintable(r.err));
        inDatabase([] { QCOMPARE(Workspace::audit().last().Details, QStringLiteral("探头校准：槽校探头，采集设备打开失败!")); });
        QCOMPARE(storedPoints(ProbePoints::calibrationWord()), 0);
    }

    // Paused for the liquid after point 2 (5); the next run resumes at point 3 and completes,
    // but a residual over the limit keeps the coefficients out (4); with --accept-residuals a
    // new run stores them (0) with the audit entry under the operator, and a verification then
    // judges every probe (0).
    void calibrateResumeAndVerify()
    {
        config()->setValue("TStandardizer/ResidualLimit", "0.000001");
        const QString json = path("run.jsonl");
        const QStringList more{"--liquid-change", "2", "--json", json, "--overwrite"};

        Result r = run(args("calibration", "25,30,35,40,45", more));
        QVERIFY2(r.status == 5, qPrintable(r.err));
        QVERIFY(r.out.contains(QStringLiteral("请更换液体!")));
        QList<QJsonObject> lines = jsonLines(json);
        QCOMPARE(countEvents(lines, "point"), 2);
        QVERIFY(countEvents(lines, "reading") >= 2 * ProbeCalibration::WindowSize);
        QCOMPARE(lines.last().value("status").toString(), QStringLiteral("paused"));
        QCOMPARE(storedPoints(ProbePoints::calibrationWord()), 2);
        QVERIFY(!config()->contains("TCalibration/CalibrationTemp"));

        r = run(args("calibration", "25,30,35,40,45", more));
        QCOMPARE(r.status, 4);
        QVERIFY(r.out.contains(QStringLiteral("第3点")));
        QVERIFY2(r.err.contains(QStringLiteral("--accept-residuals")), qPrintable(r.err));
        lines = jsonLines(json);
        QCOMPARE(countEvents(lines, "point"), 3);   // points 3 to 5 only
        QCOMPARE(lines.first().value("point").toInt(), 3);
        const QJsonObject refused = lines.last();
        QCOMPARE(refused.value("status").toString(), QStringLiteral("refused"));
        QCOMPARE(refused.value("stored").toBool(), false);
        QCOMPARE(refused.value("residuals").toArray().size(), 16);
        QCOMPARE(refused.value("residuals").toArray().first().toArray().size(), 5);
        inDatabase([] {
            QList<Tool::Struct_Standardizer> sets;
            Tool::getStandardizerName(sets, "槽校探头");
            QCOMPARE(sets.value(0).B3.split(',').first(), QStringLiteral("0"));
        });

        r = run(args("calibration", "25,30,35,40,45", {"--json", json, "--accept-residuals", "--overwrite"}));
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QStringLiteral("数据错误，将开始新的校准！")));
        lines = jsonLines(json);
        QCOMPARE(countEvents(lines, "point"), 5);
        const QJsonObject stored = lines.last();
        QCOMPARE(stored.value("stored").toBool(), true);
        const QJsonArray b3 = stored.value("coefficients").toObject().value("B3").toArray();
        QCOMPARE(b3.size(), 16);
        inDatabase([&] {
            QList<Tool::Struct_Standardizer> sets;
            Tool::getStandardizerName(sets, "槽校探头");
            QCOMPARE(sets.value(0).B3.split(',').first(), b3.first().toString());
            // The coefficients once, after the refused fit; every stored point of the runs before
            // them too, all under the operator.
            int stores = 0, points = 0, refused = 0;
            for (const auto &entry : Workspace::audit()) {
                if (!entry.Details.startsWith(QStringLiteral("探头校准")))
                    continue;   // earlier cases of this workspace (other accounts' sign-ins)
                QCOMPARE(entry.Operator, QStringLiteral("admin"));
                stores += entry.Details == QStringLiteral("探头校准：槽校探头") ? 1 : 0;
                points += entry.Details.startsWith(QStringLiteral("探头校准测量点：槽校探头")) ? 1 : 0;
                refused += entry.Details.startsWith(QStringLiteral("探头校准：槽校探头，拟合残差超过")) ? 1 : 0;
            }
            QCOMPARE(stores, 1);
            QCOMPARE(points, 10);
            QCOMPARE(refused, 1);
            QCOMPARE(Workspace::audit().last().Details, QStringLiteral("探头校准：槽校探头"));
        });

        r = run(args("verification", "25,35,45,30", {"--json", json, "--overwrite"}));
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains(QStringLiteral("校准结果为：")), qPrintable(r.out));
        const QJsonArray verdicts = jsonLines(json).last().value("verdicts").toArray();
        QCOMPARE(verdicts.size(), 16);
        for (const QJsonValue &v : verdicts)
            QVERIFY(v.toObject().value("pass").toBool());
        QVERIFY(!r.out.contains(QStringLiteral("不合格")));
        inDatabase([] {
            QCOMPARE(Workspace::audit().last().Details, QStringLiteral("探头验证：槽校探头，16 个通道全部合格"));
        });
    }

    // SIGTERM during a run: 6, the point taken kept; the next run goes on after it.
    void interrupted()
    {
        const QString json = path("stop.jsonl");
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(program, args("verification", "26,31,36,41", {"--json", json}));
        QVERIFY(p.waitForStarted());
        QVERIFY(ProbeCalibrationTest::waitFor([&] { return countEvents(jsonLines(json), "point") == 1; }, 120000));
        ::kill(pid_t(p.processId()), SIGTERM);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 6);
        QCOMPARE(jsonLines(json).last().value("status").toString(), QStringLiteral("stopped"));
        QCOMPARE(storedPoints(ProbePoints::verificationWord()), 1);

        const Result r = run(args("verification", "26,31,36,41", {"--json", json, "--overwrite"}));
        QCOMPARE(r.status, 0);
        QCOMPARE(countEvents(jsonLines(json), "point"), 3);
    }

    // An unfinished run is resumed only with its own plan: another one is refused, naming both,
    // unless --restart gives the points taken up; then the new plan starts at its first point.
    void resumeOnlyTheSamePlan()
    {
        const QString json = path("plan.jsonl");
        Result r = run(args("verification", "25,30,35,40", {"--liquid-change", "2", "--json", json}));
        QCOMPARE(r.status, 5);
        QCOMPARE(storedPoints(ProbePoints::verificationWord()), 2);

        r = run(args("verification", "60,70,80,90", {"--json", json, "--overwrite"}));
        QCOMPARE(r.status, 4);
        QVERIFY2(r.err.contains(QStringLiteral("（25, 30, 35, 40 ℃）已测2个点，与本次的计划（60, 70, 80, 90 ℃）不同")),
                 qPrintable(r.err));
        QVERIFY(r.err.contains(QStringLiteral("--restart")));
        QCOMPARE(storedPoints(ProbePoints::verificationWord()), 2);

        r = run(args("verification", "60,70,80,90", {"--liquid-change", "1", "--json", json, "--overwrite", "--restart"}));
        QCOMPARE(r.status, 5);
        QCOMPARE(countEvents(jsonLines(json), "point"), 1);
        QCOMPARE(jsonLines(json).first().value("set").toDouble(), 60.0);
        QCOMPARE(storedPoints(ProbePoints::verificationWord()), 1);
    }
};

PCR_TEST_CLASS(ProbeCalToolTest)
#include "tst_probecaltool.moc"
