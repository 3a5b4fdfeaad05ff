// The demo workspace's records: probes that read the simulator's true temperatures, cycle files
// the analysis accepts, a 16-point layout with its drawing, and the first-start values.

#include "CalibrationTest.h"

#include "analysis/CycleFile.h"

#include "BlockModel.h"
#include "Thermistor.h"

#include <QPixmap>
#include <QSettings>
#include <QtTest>

#include <memory>

using namespace CalibrationTest;

class DemoTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> ws;

private slots:
    void init() { QVERIFY(enterFreshWorkspace(ws)); }
    void cleanup() { ws.reset(); }

    // Through the page and pcrsim, the demo probe set reads each well to within its noise,
    // where the nominal characteristic would be off by tenths of a kelvin.
    void probesReadTheTrueTemperatures()
    {
        PcrSim sim;
        QVERIFY(sim.start({"--collector-tcp", "0", "--program", "25:10", "--start-on-configure", "--seed", "7"}));
        CalibrationDemo::Options o;
        o.port = sim.tcpPort;
        o.program = QStringLiteral("25:10");
        o.seed = 7;
        QVERIFY(CalibrationDemo::registerRecords(o, nullptr));

        MessageRecorder recorder;
        Calibration page;
        fillForm(page, "演示", QTime(0, 0, 1), "0.5", true, false);
        button(page)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page.isRunning(), 30000);
        spin(50);
        const auto stored = rows("演示");
        QCOMPARE(stored.size(), 3);

        pcrsim::BlockModelConfig config;
        config.seed = 7;
        const pcrsim::BlockModel model(config);
        double worstNominal = 0;
        for (const auto &row : stored) {
            const QStringList values = row.Temperatures.split(',');
            QCOMPARE(values.size(), 16);
            for (int c = 0; c < 16; ++c) {
                const double truth = model.plateauMean(c, 25);
                QVERIFY2(std::fabs(values[c].toDouble() - truth) < 0.05,
                         qPrintable(QStringLiteral("channel %1: %2 for %3").arg(c).arg(values[c]).arg(truth)));
                const double ohms = pcrsim::thermistorResistance(pcrsim::probeThermistor(7, c), truth);
                worstNominal = std::max(worstNominal,
                                        std::fabs(pcrsim::thermistorTemperature(pcrsim::nominalThermistor(), ohms) - truth));
            }
        }
        QVERIFY(worstNominal > 0.1);
    }

    void cycleFilesFitTheAnalysis()
    {
        Tool::Struct_CyclicFile file;
        QVERIFY(CalibrationDemo::cycleFile("902", "升降温演示", "60:1,95:1,72:1", file, nullptr));
        QCOMPARE(file.values().mid(2), (QStringList{"3", file.CreateTime, "1,2,3", "60,95,72", "1,1,1"}));
        const Analysis::CycleFileColumns columns{file.StepCount, file.SetTemperatures, file.HoldTimes};
        QVector<CycleStep> steps;
        QCOMPARE(Analysis::loadCycleFile(&columns, Analysis::CycleFileRole::Rate, steps), Analysis::CycleFileError::None);
        QCOMPARE(steps.size(), 3);
        QCOMPARE(steps[1].temperature, 95.0);
        QString error;
        QVERIFY(!CalibrationDemo::cycleFile("903", "坏", "95", file, &error));
        QVERIFY(!error.isEmpty());
    }

    void layoutOfSixteenWells()
    {
        const Tool::Struct_Layout l = CalibrationDemo::layout();
        QCOMPARE(l.PointCount, QStringLiteral("16"));
        const QStringList points = l.Points.split(',');
        QCOMPARE(points.size(), 16);
        QCOMPARE(points.first(), QStringLiteral("1:1"));
        QCOMPARE(points.last(), QStringLiteral("8:12"));
        QByteArray bytes = QByteArray::fromBase64(l.Image.toLatin1());
        QDataStream in(&bytes, QIODevice::ReadOnly);
        QPixmap picture;
        in >> picture;
        QCOMPARE(picture.size(), QSize(700, 500));
        // A marked well is black at its centre, an unmarked one white.
        const QImage image = picture.toImage();
        QCOMPARE(image.pixelColor(75, 75), QColor(Qt::black));
        QCOMPARE(image.pixelColor(125, 75), QColor(Qt::white));
    }

    void firstStartValuesAndLaterAddress()
    {
        {
            const auto ini = Tool::configFile();
            ini->setValue("Calibration/Interval", "2");
        }
        CalibrationDemo::writeCalibrationDefaults("60:1,95:1,72:1");
        {
            const auto ini = Tool::configFile();
            QCOMPARE(ini->value("Calibration/Interval").toString(), QStringLiteral("2"));   // kept
            const int pass = int(std::ceil(CalibrationDemo::firstPassSeconds("60:1,95:1,72:1")));
            QVERIFY(pass > 180);
            QCOMPARE(ini->value("Calibration/TimeLong").toString(),
                     QTime(0, 0).addSecs(pass + 15).toString("HH:mm:ss"));
            QCOMPARE(ini->value("Calibration/AmbientPressure").toString(), QStringLiteral("1000"));
        }

        CalibrationDemo::Options o;
        o.port = QStringLiteral("5980");
        o.program = QStringLiteral("60:1,95:1,72:1");
        QVERIFY(CalibrationDemo::registerRecords(o, nullptr));
        o.port = QStringLiteral("40001");
        QVERIFY(CalibrationDemo::updateCollectorAddress(o, nullptr));
        QList<Tool::Struct_Electrometer> meters;
        QVERIFY(Tool::getElectrometer(meters, CalibrationDemo::CollectorNumber));
        QCOMPARE(meters.value(0).Port_BaudRate, QStringLiteral("40001"));
        QCOMPARE(meters.value(0).IP_COM, QStringLiteral("127.0.0.1"));
    }
};

PCR_TEST_CLASS(DemoTest)
#include "tst_demo.moc"
