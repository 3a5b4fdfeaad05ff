// CRC and float helpers of the collector frames, and the receive framing.

#include "instruments/FrameHelpers.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>
#include <cstring>

class TestFrameHelpers : public QObject
{
    Q_OBJECT

private slots:
    void crcOfKnownFrames()
    {
        QCOMPARE(crcHex("010300010001"), QString("cad5"));
        QCOMPARE(crcHex("010300010001").size(), 4);
        // Upper-case input decodes the same; the text is lower case.
        QCOMPARE(crcHex("0103100000 05"), crcHex("010310000005"));
        QCOMPARE(crcHex("0A0B"), crcHex("0a0b"));
        QCOMPARE(crc16Modbus(QByteArray("123456789")), quint16(0x4B37));  // CRC-16/MODBUS check value
    }

    void crcGoesHighByteFirst()
    {
        QByteArray frame = QByteArray::fromHex("010300010001");
        appendCrc(frame);
        QCOMPARE(frame.toHex(), QByteArray("010300010001cad5"));
        QVERIFY(hasValidCrc(frame));
        frame[frame.size() - 1] = char(frame.at(frame.size() - 1) ^ 1);
        QVERIFY(!hasValidCrc(frame));
        QVERIFY(!hasValidCrc(QByteArray("\x01", 1)));
    }

    void floatsLeastSignificantByteFirst()
    {
        QCOMPARE(floatToHexLE(1.0f), QString("0000803f"));
        QCOMPARE(floatToHexLE(-2.0f), QString("000000c0"));
        QCOMPARE(hexLEToFloat("0000803f"), 1.0f);
        QCOMPARE(hexLEToFloat("00 00 80 3f"), 1.0f);
        // Only the first eight digits count.
        QCOMPARE(hexLEToFloat("0000803f000000c0"), 1.0f);
        QCOMPARE(hexLEToFloat("0000803"), 0.0f);
        QCOMPARE(hexLEToFloat(""), 0.0f);
        QVERIFY(std::isnan(hexLEToFloat(floatToHexLE(std::nanf("")))));
        // The same bytes raw, as the simulator writes and reads them.
        QCOMPARE(floatToBytesLE(-2.0f), QByteArray::fromHex("000000c0"));
        QCOMPARE(bytesLEToFloat(QByteArray::fromHex("0000803f").constData()), 1.0f);
    }

    void floatRoundTrips()
    {
        QRandomGenerator rng(1234);
        for (int i = 0; i < 10000; ++i) {
            quint32 bits = rng.generate();
            float f;
            std::memcpy(&f, &bits, 4);
            if (std::isnan(f))
                continue;
            const QString hex = floatToHexLE(f);
            QCOMPARE(hex.size(), 8);
            QCOMPARE(hexLEToFloat(hex), f);
        }
    }

    // Thermistor coefficients are single-precision values down to 1e-7; their texts must keep
    // every significant digit (eight fixed decimals would leave a third-order coefficient one).
    void coefficientTextsKeepNineDigits()
    {
        QCOMPARE(significantText(double(8.76741e-8f)), QString("0.0000000876741026"));
        QCOMPARE(significantText(double(1.129148e-3f)), QString("0.00112914795"));
        QCOMPARE(significantText(-4.0), QString("-4.00000000"));
        QCOMPARE(significantText(4000.0), QString("4000.00000"));
        QCOMPARE(significantText(0.0), QString("0.00000000"));
        QCOMPARE(significantText(9.999999999), QString("10.0000000"));
        QRandomGenerator rng(99);
        for (int i = 0; i < 20000; ++i) {
            const double magnitude = std::pow(10.0, -9.0 + 15.0 * rng.generateDouble());
            const float f = float((rng.bounded(2) ? 1 : -1) * magnitude * rng.generateDouble());
            const QString text = significantText(double(f));
            QVERIFY2(!text.contains('e'), qPrintable(text));
            bool ok = false;
            QCOMPARE(text.toFloat(&ok), f);
            QVERIFY(ok);
        }
    }

    void fahrenheitWithSixDecimals()
    {
        QCOMPARE(fahrenheitText(37.0), QString("98.600000"));
        QCOMPARE(fahrenheitText(-40.0), QString("-40.000000"));
        QCOMPARE(fahrenheitText(100.0), QString("212.000000"));
    }

    // The collector's framing, fed one chunk of hex digits after another as they arrive.
    void collectorFraming_data()
    {
        const QString reply = QStringLiteral("01030101") + crcHex("01030101");       // 12 digits
        const QString foreign = QStringLiteral("02030101") + crcHex("02030101");
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("frames");   // taken after each chunk ("" for none)
        QTest::addColumn<QString>("left");
        QTest::newRow("whole") << QStringList{reply} << "01" << QStringList{reply} << "";
        QTest::newRow("in pieces") << QStringList{reply.left(2), reply.mid(2, 6), reply.mid(8)} << "01" << QStringList{"", "", reply} << "";
        QTest::newRow("upper-case CRC") << QStringList{reply.left(8) + reply.mid(8).toUpper()} << "01"
                                       << QStringList{reply.left(8) + reply.mid(8).toUpper()} << "";
        QTest::newRow("broken CRC keeps waiting") << QStringList{reply.left(10) + "00"} << "01" << QStringList{""} << reply.left(10) + "00";
        QTest::newRow("foreign sender dropped") << QStringList{foreign} << "01" << QStringList{""} << "";
        QTest::newRow("any sender before the address is known") << QStringList{foreign} << "" << QStringList{foreign} << "";
        QTest::newRow("noise apart, then the reply") << QStringList{"ff00", reply} << "01" << QStringList{"", reply} << "";
        QTest::newRow("noise glued on") << QStringList{"ff" + reply} << "01" << QStringList{""} << "";
        QTest::newRow("too short to hold a CRC") << QStringList{"010"} << "01" << QStringList{""} << "010";
    }
    void collectorFraming()
    {
        QFETCH(QStringList, chunks);
        QFETCH(QString, address);
        QFETCH(QStringList, frames);
        QFETCH(QString, left);
        QString buffer;
        for (int i = 0; i < chunks.size(); ++i) {
            buffer += chunks.at(i);
            QCOMPARE(takeCollectorFrame(buffer, address), frames.at(i));
        }
        QCOMPARE(buffer, left);
    }

    void lineFraming_data()
    {
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("left");
        QTest::newRow("one line") << "+2.50E+01\r\n" << QStringList{"+2.50E+01\r\n"} << "";
        QTest::newRow("two in one chunk, oldest first") << "A\r\nB\n" << QStringList{"A\r\n", "B\n"} << "";
        QTest::newRow("partial line stays") << "A\nB" << QStringList{"A\n"} << "B";
        QTest::newRow("carriage return alone is no end") << "A\r" << QStringList{} << "A\r";
        QTest::newRow("empty lines") << "\n\n" << QStringList{"\n", "\n"} << "";
        QTest::newRow("nothing") << "" << QStringList{} << "";
    }
    void lineFraming()
    {
        QFETCH(QString, buffer);
        QFETCH(QStringList, lines);
        QFETCH(QString, left);
        QCOMPARE(takeLines(buffer), lines);
        QCOMPARE(buffer, left);
    }

    // The bath's bursts: taken whole once the buffer ends with a line feed.
    void burstFraming_data()
    {
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<QStringList>("replies");  // taken after each chunk, joined by "|"
        QTest::newRow("one reply") << QStringList{"r: 25.003 C\r\n"} << QStringList{"r: 25.003 C\r\n"};
        QTest::newRow("split reply joined") << QStringList{"r: 25.", "003 C\r", "\n"} << QStringList{"", "", "r: 25.003 C\r\n"};
        QTest::newRow("two lines in one burst stay one reply") << QStringList{"lf: on\r\nsn: ZV1\r\n"}
                                                                << QStringList{"lf: on\r\nsn: ZV1\r\n"};
        QTest::newRow("a lone line feed is no reply") << QStringList{"\n", "set: 37.00 C\n"} << QStringList{"", "set: 37.00 C\n"};
        QTest::newRow("no line feed yet") << QStringList{"sn: ZV"} << QStringList{""};
    }
    void burstFraming()
    {
        QFETCH(QStringList, chunks);
        QFETCH(QStringList, replies);
        QString buffer;
        for (int i = 0; i < chunks.size(); ++i) {
            buffer += chunks.at(i);
            QCOMPARE(takeBurst(buffer).join('|'), replies.at(i));
        }
    }
};

QTEST_GUILESS_MAIN(TestFrameHelpers)
#include "tst_framehelpers.moc"
