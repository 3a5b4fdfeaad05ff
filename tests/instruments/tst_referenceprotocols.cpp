// The pure cores of the reference thermometers and the bath: SCPI command texts and readings,
// the bath's replies, set points and coefficient commands, the BLE frames and Open counting.

#include "ScpiCases.h"
#include "instruments/BathProtocol.h"
#include "instruments/BleFrames.h"
#include "instruments/ScpiCommands.h"

#include <QtTest>
#include <cmath>


class TestReferenceProtocols : public QObject
{
    Q_OBJECT

private slots:
    void scpiChannelCommands_data()
    {
        QTest::addColumn<ChannelSetting>("setting");
        QTest::addColumn<QStringList>("lines");
        for (const ScpiCase &c : scpiCases())
            QTest::newRow(c.name) << c.setting << c.lines;
    }
    void scpiChannelCommands()
    {
        QFETCH(ChannelSetting, setting);
        QFETCH(QStringList, lines);
        QCOMPARE(::scpiChannelCommands(setting), lines);
    }

    void scpiRate_data()
    {
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("command");
        QTest::newRow("fast") << "快速" << "RATE FAST\r\n";
        QTest::newRow("medium") << "中速" << "RATE MED\r\n";
        QTest::newRow("slow") << "慢速" << "RATE SLOW\r\n";
        QTest::newRow("unknown: nothing to send") << "极速" << "";
        QTest::newRow("empty") << "" << "";
    }
    void scpiRate()
    {
        QFETCH(QString, speed);
        QFETCH(QString, command);
        QCOMPARE(scpiRateCommand(speed), command);
    }

    void scpiReading_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "25.003" << true << 25.003;
        QTest::newRow("scientific") << "+3.70012345E+01" << true << 37.0012345;
        QTest::newRow("negative") << "-1.95000000E+01" << true << -19.5;
        QTest::newRow("spaces around") << " 25.5 " << true << 25.5;
        QTest::newRow("two values") << "+2.5E+01,+2.6E+01" << false << 0.0;
        QTest::newRow("trailing empty part") << "25.0," << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("garbage") << "FLUKE,1586A" << false << 0.0;
        QTest::newRow("garbled digit") << "+2.50#3E+01" << false << 0.0;
        QTest::newRow("error text") << "-113,\"Undefined header\"" << false << 0.0;
        QTest::newRow("overload") << "9.9E+37x" << false << 0.0;
        QTest::newRow("not a number") << "nan" << false << 0.0;
        QTest::newRow("infinite") << "inf" << false << 0.0;
    }
    void scpiReading()
    {
        QFETCH(QString, reply);
        QFETCH(bool, ok);
        QFETCH(double, value);
        double v = -999;
        QCOMPARE(scpiReadingValue(reply, v), ok);
        QCOMPARE(v, ok ? value : -999.0);  // a refused reply leaves the value alone
    }

    void bathReply_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("temperature") << "r: 25.003 C" << "r:" << true << 25.003;
        QTest::newRow("without spaces") << "r:25.003C" << "r:" << true << 25.003;
        QTest::newRow("below zero") << "r: -19.875 C" << "r:" << true << -19.875;
        QTest::newRow("set point") << "set: 37.00 C" << "set:" << true << 37.0;
        QTest::newRow("other key") << "set: 37.00 C" << "r:" << false << 0.0;
        QTest::newRow("stale reply before it") << "lf: onr: 25.003 C" << "r:" << false << 0.0;
        QTest::newRow("no number") << "r: C" << "r:" << false << 0.0;
        QTest::newRow("garbled number") << "r: 25.0#3 C" << "r:" << false << 0.0;
        QTest::newRow("Fahrenheit is not read as Celsius") << "r: 77.005 F" << "r:" << false << 0.0;
        QTest::newRow("empty") << "" << "r:" << false << 0.0;
    }
    void bathReply()
    {
        QFETCH(QString, reply);
        QFETCH(QString, key);
        QFETCH(bool, ok);
        QFETCH(double, value);
        double v = -999;
        QCOMPARE(bathReplyValue(reply, key, v), ok);
        QCOMPARE(v, ok ? value : -999.0);
    }

    void bathSetPoint_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 37.0 << "37.00";
        QTest::newRow("rounded up") << 36.999 << "37.00";
        QTest::newRow("rounded down") << 36.994 << "36.99";
        QTest::newRow("negative") << -19.5 << "-19.50";
        QTest::newRow("negative zero") << -0.001 << "0.00";
        QTest::newRow("high") << 299.99 << "299.99";
    }
    void bathSetPoint()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(bathSetPointText(value), text);
    }

    void bathCoefficients_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("commands");  // command + " -> " + confirmation
        const auto its90 = [](const QString &a, const QString &b, const QString &c, const QString &rtp, const QString &a4,
                              const QString &b4) {
            return QStringList{"CH001", "铂电阻", "ITS90", "四线制", "℃", "", "", a, b, c, "0", rtp, a4, b4, "1", "0"};
        };
        QTest::newRow("six commands in order")
            << its90("-1.2345678e-4", "2.5e-5", "0", "25.54321", "-3.1e-5", "1.25e-6") << true
            << QStringList{"Rtp=25.5432\r\n -> Rtp Save!", "A=-0.000123457\r\n -> A Save!", "B=2.5e-05\r\n -> B Save!",
                           "C=0\r\n -> C Save!",           "A4=-3.1e-05\r\n -> A4 Save!",   "B4=1.25e-06\r\n -> B4 Save!"};
        QTest::newRow("empty coefficients are sent as 0")
            << its90("", " ", "", "100", "", "") << true
            << QStringList{"Rtp=100\r\n -> Rtp Save!", "A=0\r\n -> A Save!",   "B=0\r\n -> B Save!",
                           "C=0\r\n -> C Save!",       "A4=0\r\n -> A4 Save!", "B4=0\r\n -> B4 Save!"};
        QTest::newRow("a mistyped coefficient sends nothing") << its90("1,2e-4", "0", "0", "25.5", "0", "0") << false << QStringList{};
        QTest::newRow("PT385 is refused")
            << QStringList{"CH001", "铂电阻", "PT385", "四线制", "℃", "", "", "0", "0", "0", "0", "100", "0", "0", "1", "0"} << false
            << QStringList{};
        QTest::newRow("3-wire is refused")
            << QStringList{"CH001", "铂电阻", "ITS90", "三线制", "℃", "", "", "0", "0", "0", "0", "25.5", "0", "0", "1", "0"} << false
            << QStringList{};
        QTest::newRow("a thermistor is refused")
            << QStringList{"CH001", "热敏电阻", "ITS90", "四线制", "℃", "", "", "0", "0", "0", "0", "25.5", "0", "0", "1", "0"} << false
            << QStringList{};
    }
    void bathCoefficients()
    {
        QFETCH(QStringList, fields);
        QFETCH(bool, ok);
        QFETCH(QStringList, commands);
        QList<BathCoefficientCommand> list{{"stale", "stale"}};
        QCOMPARE(bathCoefficientCommands(ChannelSetting::fromList(fields), list), ok);
        QStringList texts;
        for (const BathCoefficientCommand &c : list)
            texts << c.command + " -> " + c.confirmation;
        QCOMPARE(texts, commands);
    }

    void bathRanges_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("minimum");
        QTest::addColumn<QString>("maximum");
        QTest::newRow("RURE-20RI") << "RURE-20RI" << "-20" << "150";
        QTest::newRow("RODA-40ZE") << "RODA-40ZE" << "-45" << "150";
        QTest::newRow("VIRE-80ZA") << "VIRE-80ZA" << "-80" << "100";
        QTest::newRow("RIRI-95ZA") << "RIRI-95ZA" << "35" << "95";
        QTest::newRow("DURU-300RU") << "DURU-300RU" << "35" << "300";
        QTest::newRow("unknown model") << "VADE" << "0" << "0";
        QTest::newRow("case matters") << "riri-95za" << "0" << "0";
    }
    void bathRanges()
    {
        QFETCH(QString, model);
        QFETCH(QString, minimum);
        QFETCH(QString, maximum);
        QString lo = "x", hi = "x";
        bathModelRange(model, lo, hi);
        QCOMPARE(lo, minimum);
        QCOMPARE(hi, maximum);
        QVERIFY(bathModels().contains(model) == (minimum != "0" || maximum != "0"));
    }

    void xorChecksum_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("checksum");
        QTest::addColumn<QString>("frame");
        QTest::newRow("start") << "04050100" << "00" << "0405010000";
        QTest::newRow("stop") << "04050101" << "01" << "0405010101";
        QTest::newRow("upper-case digits") << "A5FF" << "5a" << "A5FF5a";
        QTest::newRow("only 16 digits count") << "0102030405060708ff" << "08" << "0102030405060708ff08";
        QTest::newRow("empty") << "" << "00" << "00";
    }
    void xorChecksum()
    {
        QFETCH(QString, command);
        QFETCH(QString, checksum);
        QFETCH(QString, frame);
        QCOMPARE(xorChecksumHex(command), checksum);
        QCOMPARE(bleCommandFrame(command), frame);
    }

    // Notification packets as they arrive, and the value each leaves (nan: none yet / dropped).
    void bleMeasurement_data()
    {
        // 24 bytes: 17 05, 16 bytes of other fields, the float, two more bytes.
        const auto frame = [](const QString &floatHex, const QString &head = "1705") {
            return head + QString("00").repeated(16) + floatHex + "0000";
        };
        const QString f25 = frame("41c80000");
        QTest::addColumn<QStringList>("packets");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QString>("left");
        const double none = std::nan("");
        QTest::newRow("41 C8 00 00 is 25") << QStringList{f25} << QList<double>{25.0} << "";
        QTest::newRow("upper-case digits of the float") << QStringList{frame("41C80000")} << QList<double>{25.0} << "";
        QTest::newRow("two packets of 20 bytes joined") << QStringList{f25.left(40), f25.mid(40) + QString("00").repeated(16)}
                                                        << QList<double>{none, 25.0} << "";
        QTest::newRow("data beyond the frame goes with it") << QStringList{f25 + frame("42140000")} << QList<double>{25.0} << "";
        QTest::newRow("six significant digits") << QStringList{frame("4214051f")} << QList<double>{37.005} << "";
        QTest::newRow("below zero") << QStringList{frame("c19c0000")} << QList<double>{-19.5} << "";
        QTest::newRow("other frame dropped") << QStringList{frame("41c80000", "1805")} << QList<double>{none} << "";
        QTest::newRow("no temperature in it") << QStringList{frame("7fc00000")} << QList<double>{none} << "";
        QTest::newRow("short: waits") << QStringList{f25.left(46)} << QList<double>{none} << f25.left(46);
    }
    void bleMeasurement()
    {
        QFETCH(QStringList, packets);
        QFETCH(QList<double>, values);
        QFETCH(QString, left);
        QString buffer;
        for (int i = 0; i < packets.size(); ++i) {
            buffer += packets.at(i);
            double v = std::nan("");
            const bool decoded = takeBleMeasurement(buffer, v);
            QCOMPARE(decoded, !std::isnan(values.at(i)));
            if (decoded)
                QCOMPARE(v, values.at(i));
        }
        QCOMPARE(buffer, left);
    }

    // Successive Open calls from idle: what each returns, and whether it starts an attempt.
    // "r" marks the link becoming ready before that call, "x" its loss.
    void bleOpenCounting_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("results");  // per call: s started, o opened, - neither
        QTest::addColumn<int>("finalState");
        QTest::newRow("ready after the third call") << "..." "r." << "s--o" << BleOpen;
        QTest::newRow("ready before the second call") << ".r." << "so" << BleOpen;
        QTest::newRow("never ready: given up, then a new attempt") << "............" << "s----------s" << 1;
        QTest::newRow("open already: left alone") << ".r.." << "so-" << BleOpen;
        QTest::newRow("lost: the next call starts again") << ".r.x." << "sos" << 1;
        QTest::newRow("ready late, after the attempt was given up") << "...........r." << "s----------o" << BleOpen;
    }
    void bleOpenCounting()
    {
        QFETCH(QString, events);
        QFETCH(QString, results);
        QFETCH(int, finalState);
        int state = BleIdle;
        QString got;
        for (const QChar e : events) {
            if (e == 'r') {
                state = BleReady;
            } else if (e == 'x') {
                state = BleIdle;
            } else {
                const BleOpenStep step = bleOpenStep(state);
                QVERIFY(!(step.startAttempt && step.opened));
                got += step.startAttempt ? 's' : step.opened ? 'o' : '-';
                state = step.next;
            }
        }
        QCOMPARE(got, results);
        QCOMPARE(state, finalState);
    }
};

QTEST_GUILESS_MAIN(TestReferenceProtocols)
#include "tst_referenceprotocols.moc"
