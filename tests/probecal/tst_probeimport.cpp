// Coefficients read out of the collector into a new probe set: all 16 rows from pcrsim over TCP
// and a pseudo-terminal, and a collector that fails partway (a scripted peer), after which the
// table is as it was and the buttons work again.

#include "../registry/registrytest.h"
#include "../instruments/SimHarness.h"

#include "CalibrationDemo.h"
#include "acquisition/CalibrationRun.h"
#include "acquisition/CalibrationSetup.h"
#include "app/messages.h"
#include "instruments/Collection1611A.h"
#include "registry/StandardizerAdd.h"
#include "store/datawords.h"

#include <QSettings>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace StandardizerRules;

namespace {

// Channel i's coefficients written into the simulator: a 10 kΩ NTC, a little different per
// channel, B3 about 1e-7 as real probes have it.
std::array<float, 4> coefficientsOf(int i)
{
    return {float(1.129148e-3 + i * 1e-6), float(2.34125e-4 - i * 1e-7), float(i * 1e-9), float(8.76741e-8 + i * 1e-10)};
}

QString hexOf(const std::array<float, 4> &c)
{
    QByteArray bytes;
    for (float v : c)
        bytes += floatToBytesLE(v);
    return QString::fromLatin1(bytes.toHex());
}

// Channel i's coefficients as the simulator's trace prints them (nine significant digits).
QStringList tracedCoefficients(int i)
{
    QStringList texts;
    for (float c : coefficientsOf(i))
        texts << QString::number(double(c), 'g', 9);
    return texts;
}

class Editor : public FormOf<StandardizerAdd>
{
public:
    explicit Editor(int channels)
    {
        combo("comboBox_CHNumber")->setCurrentText(QString::number(channels));
        button("pushButton_Set")->click();
    }
    QStringList buttonsEnabled()
    {
        QStringList on;
        for (const char *b : {"pushButton_Set", "pushButton_Clear", "pushButton_Import", "pushButton_Device",
                              "pushButton_Add"})
            if (button(b)->isEnabled())
                on << QString::fromLatin1(b);
        return on;
    }
    // Presses "设备导入" and waits for its message.
    bool import(MessageRecorder &rec)
    {
        const int boxes = rec.count();
        button("pushButton_Device")->click();
        if (!page->isImporting() || !buttonsEnabled().isEmpty())
            return false;
        return QTest::qWaitFor([&] { return rec.count() > boxes; }, 60000) && !page->isImporting();
    }
};

const QStringList AllButtons = {"pushButton_Set", "pushButton_Clear", "pushButton_Import", "pushButton_Device",
                                "pushButton_Add"};

} // namespace

class TestProbeImport : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(enterFreshWorkspace(ws)); }
    void cleanup()
    {
        StandardizerAdd::askConnection = savedAsk;
        ws.reset();
    }

    void everyChannelFromTheCollector_data()
    {
        QTest::addColumn<bool>("pty");
        QTest::newRow("TCP") << false;
        QTest::newRow("pseudo-terminal") << true;
    }
    void everyChannelFromTheCollector()
    {
        QFETCH(bool, pty);
        PcrSim sim;
        QVERIFY(sim.start(pty ? QStringList{"--collector-pty"} : QStringList{"--collector-tcp", "0"}));
        const DeviceRecord link = pty ? DeviceRecord{"1611A", "串口", sim.ptyPath, "9600"}
                                      : DeviceRecord{"1611A", "网络", "127.0.0.1", sim.tcpPort};
        // The coefficients a lab would have written into its collector.
        const bool written = inWorker([&] {
            Collection1611A c;
            QList<ChannelSetting> settings;
            for (int i = 0; i < 16; ++i) {
                ChannelSetting s;
                for (int k = 0; k < 4; ++k)
                    s[ChannelSetting::Coefficient1 + k] = QString::number(double(coefficientsOf(i)[size_t(k)]), 'g', 9);
                settings << s;
            }
            const bool ok = c.Open(link.mode, link.address, link.port) && c.SetChannels(settings);
            c.Close();
            return ok;
        });
        QVERIFY(written);

        DeviceRecord asked;
        StandardizerAdd::askConnection = [&](QWidget *, DeviceRecord &r) {
            asked = r;
            r = link;
            return true;
        };
        MessageRecorder rec;
        Editor e(16);
        QVERIFY(e.import(rec));
        QCOMPARE(rec.texts(), QStringList{"获取成功！"});
        QCOMPARE(rec.last().title, QStringLiteral("提示"));
        QCOMPARE(e.buttonsEnabled(), AllButtons);
        QCOMPARE(asked, ProbeDevices::defaults("1611A"));   // a fresh workspace's record
        const Rows rows = e.page->rows();
        QCOMPARE(rows.size(), 16);
        for (int i = 0; i < 16; ++i) {
            QCOMPARE(rows.at(i).channel, QString::number(101 + i));
            for (int k = 0; k < 4; ++k) {
                const QString text = rows.at(i).b[size_t(k)];
                QVERIFY2(isCoefficient(text), qPrintable(text));
                // Every digit of the collector's single-precision value is kept.
                QCOMPARE(text.toFloat(), coefficientsOf(i)[size_t(k)]);
            }
        }
        // The set can be added as read, and the link is kept for the next import.
        e.edit("lineEdit_Number")->setText("SIM");
        e.edit("lineEdit_Name")->setText("采集器中的探头");
        e.button("pushButton_Add")->click();
        QCOMPARE(rec.last().text, QStringLiteral("添加成功！"));
        QCOMPARE(ProbeDevices::readRecord(*Tool::configFile(), "TCollection", "1611A"), link);
    }

    void aCollectorThatFailsChangesNothing_data()
    {
        QTest::addColumn<int>("answered");     // channels answered before the collector goes silent
        QTest::addColumn<int>("nanChannel");   // a channel whose first coefficient is NaN, or -1
        QTest::addColumn<QString>("message");
        QTest::newRow("stops halfway") << 8 << -1 << "获取系数失败！\n通道109的系数没有读到，表格未改动。";
        QTest::newRow("first channel") << 0 << -1 << "获取系数失败！\n通道101的系数没有读到，表格未改动。";
        QTest::newRow("no number") << 16 << 3 << "获取系数失败！\n通道104的系数B0不是有效的数值：“nan”。";
        QTest::newRow("not reachable") << -1 << -1 << "设备连接失败！";
    }
    void aCollectorThatFailsChangesNothing()
    {
        QFETCH(int, answered);
        QFETCH(int, nanChannel);
        QFETCH(QString, message);
        ScriptedPeer peer;
        peer.answer = [&](const QByteArray &request) -> QList<QByteArray> {
            const int start = (quint8(request.at(2)) << 8) | quint8(request.at(3));
            const int channel = (start - 0x10) / 2;
            if (quint8(request.at(1)) != 0x03 || channel >= answered)
                return {};
            std::array<float, 4> c = coefficientsOf(channel);
            if (channel == nanChannel)
                c[0] = std::numeric_limits<float>::quiet_NaN();
            return {ScriptedPeer::frame(QByteArray("010310") + hexOf(c).toLatin1())};
        };
        const QString port = answered < 0 ? closedPort() : peer.port();
        StandardizerAdd::askConnection = [&](QWidget *, DeviceRecord &r) {
            r = DeviceRecord{"1611A", "网络", "127.0.0.1", port};
            return true;
        };
        MessageRecorder rec;
        Editor e(16);
        e.list()->item(5, 2)->setText("1.5e3");
        const Rows before = e.page->rows();
        QVERIFY(e.import(rec));
        QVERIFY(rec.last().text.startsWith(message));
        QCOMPARE(rec.last().title, QStringLiteral("警告"));
        QCOMPARE(e.page->rows(), before);
        QCOMPARE(e.buttonsEnabled(), AllButtons);
        if (answered > 0 && nanChannel < 0)   // no request after the first unanswered one
            QCOMPARE(peer.requests.size(), 1 + answered + 1);
    }

    // A value too long for a cell in fixed-point form comes in exponent form with its digits.
    void aTinyValueFitsItsCell()
    {
        ScriptedPeer peer;
        peer.answer = [&](const QByteArray &) -> QList<QByteArray> {
            return {ScriptedPeer::frame(QByteArray("010310") + hexOf({1e-3f, 2e-4f, 0.0f, 1e-20f}).toLatin1())};
        };
        StandardizerAdd::askConnection = [&](QWidget *, DeviceRecord &r) {
            r = DeviceRecord{"1611A", "网络", "127.0.0.1", peer.port()};
            return true;
        };
        MessageRecorder rec;
        Editor e(4);
        QVERIFY(e.import(rec));
        QCOMPARE(rec.texts(), QStringList{"获取成功！"});
        QCOMPARE(e.page->rows().at(3).b[3], QString::number(double(1e-20f), 'g', 9));
        QCOMPARE(e.page->rows().at(3).b[2], QStringLiteral("0.00000000"));
    }

    // A set made in the add dialog is the one a calibration chooses, and its coefficients are
    // what the run writes into the collector's channels.
    void aSetAddedHereReachesTheCollectorOfARun()
    {
        PcrSim sim;
        QVERIFY(sim.start({"--collector-tcp", "0"}));
        CalibrationDemo::Options demo;
        demo.port = sim.tcpPort;
        demo.program = QStringLiteral("95:1,60:1,72:1");
        QString error;
        QVERIFY2(CalibrationDemo::registerRecords(demo, &error), qPrintable(error));

        MessageRecorder rec;
        Editor e(16);
        for (int i = 0; i < 16; ++i)
            for (int k = 0; k < 4; ++k)
                e.list()->item(i, k + 1)->setText(tracedCoefficients(i).at(k));
        e.edit("lineEdit_Number")->setText("LAB-1");
        e.edit("lineEdit_Name")->setText("实验室探头组");
        e.button("pushButton_Add")->click();
        QCOMPARE(rec.texts(), QStringList{"添加成功！"});

        // The calibration page offers the set as "number--name".
        QList<Tool::Struct_CyclicFile> files;
        QVERIFY(Tool::getCyclicFile(files, QString::fromUtf8(CalibrationDemo::UniformityFileNumber)));
        CalibrationSetup::Form form;
        form.pcrItem = QString::fromUtf8(CalibrationDemo::PCRNumber);
        form.electrometerItem = QString::fromUtf8(CalibrationDemo::CollectorNumber);
        form.standardizerItem = DataWords::listEntry({"LAB-1", "实验室探头组"});
        form.layoutItem = QString::fromUtf8(CalibrationDemo::LayoutName);
        form.uniformity = true;
        form.uniformityItem = DataWords::listEntry({files.value(0).Number, files.value(0).Name});
        form.projectName = QStringLiteral("探头组验证");
        form.company = form.calibrator = form.checker = QStringLiteral("实验室");
        form.ambientTemperature = QStringLiteral("20");
        form.ambientHumidity = QStringLiteral("50");
        form.ambientPressure = QStringLiteral("1000");
        form.interval = QStringLiteral("1");
        const CalibrationSetup::Result setup = CalibrationSetup::check(form, QStringLiteral("℃"), QDateTime::currentDateTime());
        QCOMPARE(setup.code, 0);
        QCOMPARE(setup.project.StandardizerName, QStringLiteral("实验室探头组"));

        Collection1611A collector;
        CalibrationRun run(&collector);
        CalibrationRun::Phase phase = CalibrationRun::phaseWith(setup.electrometer, setup.standardizer);
        phase.unit = QStringLiteral("℃");
        phase.duration = QTime(0, 0, 0);
        phase.start = QDateTime::currentDateTime();
        phase.projectName = setup.project.CalibrationName;
        phase.model = DataWords::uniformityItem();
        phase.storage.databaseFile = Tool::databaseFileName();
        QList<CalibrationRun::EndReason> ends;
        connect(&run, &CalibrationRun::phaseEnded, [&](CalibrationRun::EndReason r) { ends << r; });
        sim.clearTrace();
        QVERIFY(run.start(phase));
        QVERIFY(QTest::qWaitFor([&] { return !run.isActive(); }, 30000));
        QCOMPARE(ends, QList<CalibrationRun::EndReason>{CalibrationRun::EndReason::Finished});
        QStringList written;
        for (const QString &line : sim.trace())
            if (line.startsWith(QLatin1String("collector channel ")))
                written << line;
        QCOMPARE(written.size(), 16);
        for (int i = 0; i < 16; ++i)
            QCOMPARE(written.at(i), QStringLiteral("collector channel %1 coefficients ").arg(i + 1)
                                        + tracedCoefficients(i).join(' '));
    }

private:
    std::unique_ptr<Workspace> ws;
    decltype(StandardizerAdd::askConnection) savedAsk = StandardizerAdd::askConnection;
};

PCR_TEST_CLASS(TestProbeImport)
#include "tst_probeimport.moc"
