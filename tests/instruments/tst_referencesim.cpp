// The bath, the reference and the collector's probes as pcrsim serves them together: the bath
// driver over a pseudo-terminal, the bath's approach and hold, the probes sitting in the bath,
// faults on the bath's line, and the simulator's command line.

#include "BathModel.h"
#include "CollectorTestSupport.h"
#include "ScpiCases.h"
#include "SimHarness.h"
#include "Thermistor.h"
#include "instruments/Collection1611A.h"
#include "instruments/Criteria1586A.h"
#include "instruments/FieldTank.h"

#include <QtTest>
#include <cmath>

using namespace pcrsim;

namespace {

ChannelSetting its90()
{
    return ChannelSetting::fromList({"CH001", "铂电阻", "ITS90", "四线制", "℃", "", "", "-1.2345678e-4", "2.5e-5", "0", "0", "25.54321",
                                     "-3.1e-5", "1.25e-6", "1", "0"});
}

// How a caller keeps a set point within the bath model's range.
bool withinModel(FieldTank &bath, const QString &model, double value)
{
    QString lo, hi;
    bath.GetRange(model, lo, hi);
    return value >= lo.toDouble() && value <= hi.toDouble() && lo != hi;
}

struct Run
{
    int exitCode = -1;
    QString out, err;
};

Run runPcrsim(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(PCRSIM_PATH), args);
    Run r;
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

} // namespace

class TestReferenceSim : public QObject
{
    Q_OBJECT

private slots:
    // Identity, set-up, coefficients, a set point and the temperature it settles at; set points
    // outside what a bath can do are refused.
    void bathDriver()
    {
        PcrSim sim;
        QVERIFY(sim.start({"--bath-pty", "--seed", "7", "--time-scale", "500"}));
        FieldTank bath;
        struct Result
        {
            bool opened = false, identified = false, initialised = false, coefficients = false, set = false, tooHot = true,
                 tooCold = true, rounded = false, allRead = true;
            QString identity;
            QList<double> readings;
            bool modelRefuses = false;
        } r = inWorker([&] {
            Result res;
            res.opened = bath.Open("串口", sim.bathPtyPath, "9600");
            res.initialised = bath.Initialize();
            res.identified = bath.GetIdentity(res.identity);
            res.coefficients = bath.SetChannel(its90());
            res.tooHot = bath.SetTemperature(400);
            res.tooCold = bath.SetTemperature(-100);
            res.modelRefuses = !withinModel(bath, "RIRI-95ZA", 20) && withinModel(bath, "RIRI-95ZA", 37) && !withinModel(bath, "VADE", 0);
            res.set = bath.SetTemperature(37);
            sleepMs(5000);  // 2500 s of bath time
            for (int i = 0; i < 4; ++i) {
                double v = 0;
                res.allRead = bath.ReadTemperature(v) && res.allRead;
                res.readings << v;
            }
            res.rounded = bath.SetTemperature(36.999);
            bath.Close();
            return res;
        });
        QVERIFY(r.opened);
        QVERIFY(r.identified);
        QCOMPARE(r.identity, QString("ZV000007"));
        QVERIFY(r.initialised);
        QVERIFY(r.coefficients);
        QVERIFY(!r.tooHot);
        QVERIFY(!r.tooCold);
        QVERIFY(r.modelRefuses);
        QVERIFY(r.set);
        QVERIFY(r.allRead);
        for (double v : r.readings)
            QVERIFY2(std::fabs(v - 37) < 0.003, qPrintable(QString::number(v, 'f', 4)));
        QVERIFY(r.rounded);
        QCOMPARE(sim.count("bath set point 37.00"), 2);
        QCOMPARE(sim.count("bath set point"), 2);
        // The bath answered the set-up commands; those replies cost the next query no attempt.
        QCOMPARE(sim.count("bath request sn"), 1);
        QCOMPARE(sim.count("bath request Rtp="), 1);
    }

    // The collector's probes in the bath: each resistance is the probe's true characteristic at
    // the bath temperature plus its immersion error, all read at one instant; the reference
    // reads the same bath.
    void probesSitInTheBath()
    {
        PcrSim sim;
        QVERIFY(sim.start({"--collector-tcp", "0", "--scpi-tcp", "0", "--bath-pty", "--seed", QString::number(Seed), "--time-scale", "500"}));
        FieldTank bath;
        Criteria1586A reference;
        Collection1611A collector;
        ChannelSetting frontInput = its90();
        frontInput[ChannelSetting::Channel] = "001";
        struct Result
        {
            bool ready = false, read = false, referenced = false;
            QStringList ohms;
            double reference = 0;
        } r = inWorker([&] {
            Result res;
            res.ready = bath.Open("串口", sim.bathPtyPath, "9600") && bath.SetTemperature(37) && collector.Open("网络", "127.0.0.1", sim.tcpPort)
                        && collector.SetChannels(settings(16, "Ohm")) && reference.Open("网络", "127.0.0.1", sim.scpiTcpPort)
                        && reference.SetChannel(frontInput);
            sleepMs(5000);
            res.read = collector.ReadChannels(res.ohms);
            res.referenced = reference.ReadValue(res.reference);
            bath.Close();
            collector.Close();
            reference.Close();
            return res;
        });
        QVERIFY(r.ready);
        QVERIFY(r.read);
        QVERIFY(r.referenced);
        QCOMPARE(r.ohms.size(), 16);
        BathModelConfig config;
        config.seed = Seed;
        const BathModel model(config);
        QList<double> bathSeen;
        for (int j = 0; j < 16; ++j)
            bathSeen << thermistorTemperature(probeThermistor(Seed, j), r.ohms[j].toDouble()) - model.immersionError(j);
        const auto [lo, hi] = std::minmax_element(bathSeen.cbegin(), bathSeen.cend());
        QVERIFY2(*hi - *lo < 0.0001, qPrintable(QString("%1 .. %2").arg(*lo, 0, 'f', 6).arg(*hi, 0, 'f', 6)));
        QVERIFY2(std::fabs(*lo - 37) < 0.003, qPrintable(QString::number(*lo, 'f', 6)));
        // Read a fraction of a second apart: the bath drifts by less than a millikelvin meanwhile.
        QVERIFY2(std::fabs(r.reference - *lo - 0.0008) < 0.003, qPrintable(QString::number(r.reference, 'f', 6)));
    }

    // Faults on the bath's line: a retry cures them, and no wrong temperature gets through.
    void bathFaults_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QString>("fault");
        QTest::newRow("garbled") << QStringList{"--corrupt", "0.4"} << "corrupt";
        QTest::newRow("noise") << QStringList{"--noise", "0.4"} << "noise";
        QTest::newRow("dropped") << QStringList{"--drop", "0.4"} << "drop";
        QTest::newRow("in pieces of 2") << QStringList{"--chunk", "2"} << "";
        QTest::newRow("delayed") << QStringList{"--delay", "700"} << "";
    }
    void bathFaults()
    {
        QFETCH(QStringList, faults);
        QFETCH(QString, fault);
        PcrSim sim;
        QVERIFY(sim.start(QStringList{"--bath-pty", "--seed", "1"} + faults));
        FieldTank bath;
        struct Result
        {
            bool opened = false;
            int good = 0, wrong = 0;
        } r = inWorker([&] {
            Result res;
            res.opened = bath.Open("串口", sim.bathPtyPath, "9600");
            for (int i = 0; i < 4 && res.opened; ++i) {
                double v = 0;
                if (!bath.ReadTemperature(v))
                    continue;
                ++res.good;
                res.wrong += std::fabs(v - 25) < 0.003 ? 0 : 1;
            }
            bath.Close();
            return res;
        });
        QVERIFY(r.opened);
        QCOMPARE(r.wrong, 0);
        QVERIFY2(r.good >= 3, qPrintable(QString::number(r.good)));
        if (!fault.isEmpty())
            QVERIFY(sim.count("bath fault " + fault) > 0);
    }

    // Every set-up the thermometer driver sends is understood by pcrsim's thermometer: its error
    // queue stays empty, except for the two set-ups that are not commands of this instrument.
    void thermometerUnderstandsEverySetup()
    {
        PcrSim sim;
        QVERIFY(sim.start({"--scpi-tcp", "0"}));
        QTcpSocket socket;
        socket.connectToHost("127.0.0.1", quint16(sim.scpiTcpPort.toUInt()));
        QVERIFY(socket.waitForConnected(5000));
        QStringList errors;
        for (const ScpiCase &c : scpiCases()) {
            socket.write("*RST\r\nRATE FAST\r\n" + c.lines.join(QString()).toUtf8() + "SYST:ERR?\r\n");
            while (!socket.canReadLine())
                QVERIFY(socket.waitForReadyRead(5000));
            const QString error = QString::fromLatin1(socket.readLine()).trimmed();
            if (error != "+0,\"No error\"")
                errors << QString(c.name) + ": " + error;
        }
        QCOMPARE(errors, QStringList({"thermistor 5kΩ 3-wire: no prefix: -113,\"Undefined header\"",
                                      "platinum, unknown conversion: -109,\"Missing parameter\""}));
    }

    // The true characteristics, in full precision, for tests outside this code.
    void printProbes_data()
    {
        QTest::addColumn<QString>("seed");
        QTest::addColumn<int>("channels");
        QTest::newRow("16 probes") << "42" << 16;
        QTest::newRow("3 probes of another seed") << "7" << 3;
    }
    void printProbes()
    {
        QFETCH(QString, seed);
        QFETCH(int, channels);
        const Run run = runPcrsim({"--print-probes", "--seed", seed, "--channels", QString::number(channels)});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), channels);
        for (int j = 0; j < channels; ++j) {
            const QStringList f = lines[j].split(' ');
            QCOMPARE(f.size(), 6);
            QCOMPARE(f[0], QString("probe"));
            QCOMPARE(f[1].toInt(), j + 1);
            const ThermistorCoefficients c = probeThermistor(seed.toULongLong(), j);
            QCOMPARE(f[2].toDouble(), c.b0);
            QCOMPARE(f[3].toDouble(), c.b1);
            QCOMPARE(f[4].toDouble(), c.b2);
            QCOMPARE(f[5].toDouble(), c.b3);
        }
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "--print-probes";
        QTest::newRow("nothing to serve") << QStringList{} << 2 << "nothing to serve";
        QTest::newRow("a program for probes in the bath") << QStringList{"--bath-pty", "--program", "37:1"} << 2 << "sit in the bath";
        QTest::newRow("start-on-configure with a bath") << QStringList{"--bath-pty", "--start-on-configure"} << 2 << "sit in the bath";
        QTest::newRow("bad thermometer port") << QStringList{"--scpi-tcp", "x"} << 2 << "--scpi-tcp must be a port";
        QTest::newRow("bad probability") << QStringList{"--bath-pty", "--drop", "2"} << 2 << "--drop must be a probability";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        const Run run = runPcrsim(args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((run.out + run.err).contains(says), qPrintable(run.out + run.err));
        if (args == QStringList{"--help"}) {
            for (const char *option : {"--collector-tcp", "--collector-pty", "--scpi-tcp", "--scpi-pty", "--bath-pty", "--time-scale",
                                       "--drop", "--corrupt", "--noise", "--chunk", "--delay"})
                QVERIFY2(run.out.contains(option), option);
        }
    }
};

QTEST_MAIN(TestReferenceSim)
#include "tst_referencesim.moc"
