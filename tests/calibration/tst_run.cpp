// Acquisition runs through the real page against pcrsim over loopback TCP.

#include "CalibrationTest.h"
#include "../acquisition/AcquisitionTest.h"

#include "app/pcr.h"
#include "calibration/CalibrationLinear.h"
#include "chart/ChartView.h"
#include "instruments/Collection1611A.h"
#include "store/runrecords.h"

#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace CalibrationTest;

namespace {

const int Wait = 30000;   // ms allowed for any awaited state; never reached when things work

// The run-state word of a project ("" once it is complete).
QString runState(const QString &name)
{
    QHash<QString, QString> states;
    RunRecords::states(states);
    return states.value(name);
}

// While it lives, no file of this process may grow beyond `bytes` (a full disk); writes past it
// fail instead of raising SIGXFSZ.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (::getrlimit(RLIMIT_FSIZE, &m_old) != 0)
            return;
        rlimit limit = m_old;
        limit.rlim_cur = rlim_t(bytes);
        m_active = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_active)
            ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool active() const { return m_active; }

private:
    rlimit m_old{};
    bool m_active = false;
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

class RunTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<PcrSim> sim;

    void startSim(const QStringList &extra = {})
    {
        sim = std::make_unique<PcrSim>();
        QVERIFY(sim->start(QStringList{"--collector-tcp", "0"} + extra));
        QVERIFY(registerRecords(sim->tcpPort));
    }

    // Waits until the page has stored at least n rows for the project.
    static bool waitRows(const QString &name, int n)
    {
        QElapsedTimer t;
        t.start();
        while (rows(name).size() < n && t.elapsed() < Wait)
            spin(20);
        return rows(name).size() >= n;
    }

    static bool waitIdle(Calibration &page)
    {
        QElapsedTimer t;
        t.start();
        while (page.isRunning() && t.elapsed() < Wait)
            spin(20);
        spin(50);   // what the worker posted last
        return !page.isRunning();
    }

private slots:
    void init() { QVERIFY(enterFreshWorkspace(ws)); }
    void cleanup()
    {
        sim.reset();
        ws.reset();
    }

    // floor(N) + 1 rows stamped start + i × interval, labelled with the item, and one project.
    void singlePhase_data()
    {
        QTest::addColumn<QTime>("duration");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<int>("samples");
        QTest::addColumn<bool>("uniformity");
        QTest::newRow("2 s every 0.5 s") << QTime(0, 0, 2) << "0.5" << 5 << true;
        QTest::newRow("1 s every 0.3 s") << QTime(0, 0, 1) << "0.3" << 4 << false;
        QTest::newRow("3 s every 0.3 s") << QTime(0, 0, 3) << "0.3" << 11 << true;
        QTest::newRow("no duration") << QTime(0, 0, 0) << "1" << 1 << false;
    }
    void singlePhase()
    {
        QFETCH(QTime, duration);
        QFETCH(QString, interval);
        QFETCH(int, samples);
        QFETCH(bool, uniformity);
        startSim();
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, "单项", duration, interval, uniformity, !uniformity);
        const QDateTime clicked = QDateTime::currentDateTime().addMSecs(-1);
        button(page)->click();
        QCOMPARE(button(page)->text(), QStringLiteral("停止"));
        QVERIFY(page.isRunning());
        QVERIFY(waitIdle(page));
        const QDateTime ended = QDateTime::currentDateTime();

        QCOMPARE(button(page)->text(), QStringLiteral("开始"));
        const auto stored = rows("单项");
        QCOMPARE(stored.size(), samples);
        const QDateTime first = sampleTime(stored.first());
        QVERIFY(first >= clicked && first <= ended);
        const double step = interval.toDouble() * 1000;
        for (int i = 0; i < stored.size(); ++i) {
            QCOMPARE(stored[i].Model, uniformity ? QStringLiteral("均匀度校准") : QStringLiteral("升降温速率校准"));
            QCOMPARE(first.msecsTo(sampleTime(stored[i])), qint64(std::floor(step * i + 1e-6)));
            const QStringList values = stored[i].Temperatures.split(',');
            QCOMPARE(values.size(), 16);
            for (const QString &v : values)
                QVERIFY2(v.toDouble() > 15 && v.toDouble() < 110, qPrintable(v));
        }
        QCOMPARE(projects("单项").size(), 1);
        QList<Tool::Struct_PCRDevice> pcr;
        Tool::getPCRDevice(pcr, CalibrationDemo::PCRNumber);
        QCOMPARE(pcr.value(0).CalibrationDate, projects("单项").value(0).CalibrationTime);
        QCOMPARE(recorder.texts(), QStringList{"校准完成，数据已保存！"});
        QCOMPARE(recorder.last().title, QStringLiteral("提示"));
        // The panel tells the phase is over; the table holds every probe's figures.
        QVERIFY(page.phaseText().endsWith(QStringLiteral("已结束")));
        QCOMPARE(page.probeRanges().ranges().size(), 16);
        QVERIFY(page.probeRanges().ranges().at(15).seen);
        QCOMPARE(Workspace::auditDetails(), QStringList{"开始校准。"});
        QCOMPARE(page.chart()->seriesCount(), 16);
        QCOMPARE(page.chart()->seriesPoints(15).size(), samples);
        QVERIFY(!page.driver()->IsOpen());
        QVERIFY(!page.linearWindow());
    }

    // Uniformity rows, a pause on "继续", rate rows, then the project, once.
    void twoPhases()
    {
        startSim();
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, "两项", QTime(0, 0, 1), "0.5", true, true);
        // The set-up form is read-only from the start until the project is complete: the record
        // was built from it, later edits would be dropped.
        auto *projectName = child<QLineEdit>(&page, "lineEdit_ProjectName");
        button(page)->click();
        QVERIFY(!projectName->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(button(page)->text(), QStringLiteral("继续"), Wait);
        QVERIFY(waitIdle(page));
        QVERIFY(!projectName->isEnabled());
        QVERIFY(!child<QComboBox>(&page, "comboBox_PCRList")->isEnabled());
        QCOMPARE(rows("两项").size(), 3);
        // The record is there from the start, marked as running until the project is complete.
        QCOMPARE(projects("两项").size(), 1);
        QCOMPARE(runState("两项"), RunRecords::runningWord());
        for (const auto &row : rows("两项"))
            QCOMPARE(row.Model, QStringLiteral("均匀度校准"));

        button(page)->click();
        QCOMPARE(button(page)->text(), QStringLiteral("停止"));
        QVERIFY(waitIdle(page));
        QCOMPARE(button(page)->text(), QStringLiteral("开始"));
        const auto stored = rows("两项");
        QCOMPARE(stored.size(), 6);
        for (int i = 3; i < 6; ++i)
            QCOMPARE(stored[i].Model, QStringLiteral("升降温速率校准"));
        // The second phase has its own start.
        QVERIFY(sampleTime(stored[3]) > sampleTime(stored[2]));
        QCOMPARE(sampleTime(stored[3]).msecsTo(sampleTime(stored[5])), 1000);
        QCOMPARE(projects("两项").size(), 1);
        QCOMPARE(runState("两项"), QString());
        QCOMPARE(projects("两项").value(0).UniformityFile, QStringLiteral("均匀度演示"));
        QCOMPARE(projects("两项").value(0).RateFile, QStringLiteral("均匀度演示"));
        QCOMPARE(recorder.texts(), (QStringList{"均匀度校准完成，请按“继续”开始升降温速率校准！", "校准完成，数据已保存！"}));
        QVERIFY(projectName->isEnabled());
        QVERIFY(child<QCheckBox>(&page, "checkBox_Rate")->isEnabled());
        QCOMPARE(Workspace::auditDetails(), (QStringList{"开始校准。", "开始校准。"}));
        QCOMPARE(page.chart()->seriesPoints(0).size(), 3);   // restarted for the second phase
    }

    void stopAndSave()
    {
        startSim();
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, "停止保存", QTime(0, 10, 0), "0.3", true, false);
        button(page)->click();
        QVERIFY(waitRows("停止保存", 2));
        recorder.answerNext(QMessageBox::Save);
        button(page)->click();
        QCOMPARE(button(page)->text(), QStringLiteral("开始"));
        QVERIFY(waitIdle(page));
        QCOMPARE(recorder.boxes().value(0).title, QStringLiteral("保存"));
        QCOMPARE(recorder.boxes().value(0).text, QStringLiteral("是否保存数据?"));
        QCOMPARE(recorder.boxes().value(0).buttons, QMessageBox::Save | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(recorder.texts(), (QStringList{"是否保存数据?", "数据已保存！"}));
        QCOMPARE(projects("停止保存").size(), 1);
        QVERIFY(rows("停止保存").size() >= 2);
        QCOMPARE(Workspace::auditDetails(), (QStringList{"开始校准。", "停止校准，保存数据。"}));
        QVERIFY(!page.driver()->IsOpen());
    }

    // Every row goes, also those still on their way when the answer was given.
    void stopWithoutSaving()
    {
        startSim();
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, "不保存", QTime(0, 10, 0), "0.3", true, false);
        button(page)->click();
        QVERIFY(waitRows("不保存", 3));
        recorder.answerNext(QMessageBox::No);
        button(page)->click();
        QVERIFY(waitIdle(page));
        spin(500);
        QVERIFY(rows("不保存").isEmpty());
        QVERIFY(projects("不保存").isEmpty());
        QVERIFY(child<QLineEdit>(&page, "lineEdit_ProjectName")->isEnabled());
        QCOMPARE(button(page)->text(), QStringLiteral("开始"));
        QCOMPARE(Workspace::auditDetails(), (QStringList{"开始校准。", "停止校准，不保存数据。"}));
    }

    void stopCancelledRunGoesOn()
    {
        startSim();
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, "取消", QTime(0, 10, 0), "0.3", false, true);
        button(page)->click();
        QVERIFY(waitRows("取消", 2));
        recorder.answerNext(QMessageBox::Cancel);
        button(page)->click();
        QCOMPARE(button(page)->text(), QStringLiteral("停止"));
        QVERIFY(page.isRunning());
        const int before = rows("取消").size();
        QVERIFY(waitRows("取消", before + 2));
        QCOMPARE(runState("取消"), RunRecords::runningWord());

        recorder.answerNext(QMessageBox::Save);
        button(page)->click();
        QVERIFY(waitIdle(page));
        QCOMPARE(projects("取消").size(), 1);
    }

    // Stop in the first phase of a two-phase run asks nothing; the second phase follows.
    void stopInFirstOfTwoPhases()
    {
        startSim();
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, "两项停止", QTime(0, 10, 0), "0.3", true, true);
        button(page)->click();
        QVERIFY(waitRows("两项停止", 2));
        button(page)->click();
        QTRY_COMPARE_WITH_TIMEOUT(button(page)->text(), QStringLiteral("继续"), Wait);
        QVERIFY(waitIdle(page));
        QVERIFY(recorder.isEmpty());
        const int firstPhase = rows("两项停止").size();

        button(page)->click();
        QVERIFY(waitRows("两项停止", firstPhase + 2));
        recorder.answerNext(QMessageBox::Save);
        button(page)->click();
        QVERIFY(waitIdle(page));
        const auto stored = rows("两项停止");
        QCOMPARE(stored.first().Model, QStringLiteral("均匀度校准"));
        QCOMPARE(stored.at(firstPhase - 1).Model, QStringLiteral("均匀度校准"));
        QCOMPARE(stored.at(firstPhase).Model, QStringLiteral("升降温速率校准"));
        QCOMPARE(projects("两项停止").size(), 1);
        QCOMPARE(recorder.texts(), (QStringList{"是否保存数据?", "数据已保存！"}));
    }

    // Stopped before the start time: the panel counts down, the instrument closes before any
    // sample, and with nothing taken there is nothing to save and nothing to ask.
    void stopWhileWaitingForTheStart()
    {
        startSim();
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, "等待", QTime(0, 0, 10), "1", true, false);
        child<QDateTimeEdit>(&page, "dateTimeEdit_Time")->setDateTime(QDateTime::currentDateTime().addSecs(3600));
        button(page)->click();
        QTRY_VERIFY_WITH_TIMEOUT(page.driver()->IsOpen(), Wait);
        QVERIFY2(page.timeText().startsWith(QStringLiteral("距开始：00:59:")), qPrintable(page.timeText()));
        QCOMPARE(page.progress(), 0);
        spin(300);
        button(page)->click();
        QVERIFY(waitIdle(page));
        QVERIFY(recorder.isEmpty());
        QVERIFY(!page.driver()->IsOpen());
        QVERIFY(rows("等待").isEmpty());
        QVERIFY(projects("等待").isEmpty());
        QCOMPARE(button(page)->text(), QStringLiteral("开始"));
    }

    void simulatorGoneMidRun_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("save") << int(QMessageBox::Save);
        QTest::newRow("no") << int(QMessageBox::No);
    }
    void simulatorGoneMidRun()
    {
        QFETCH(int, answer);
        startSim();
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, "通讯", QTime(0, 10, 0), "0.3", true, false);
        button(page)->click();
        QVERIFY(waitRows("通讯", 2));
        recorder.answerNext(QMessageBox::StandardButton(answer));
        sim->stop();
        QVERIFY(waitIdle(page));
        QTRY_VERIFY_WITH_TIMEOUT(recorder.count() >= 1, Wait);
        QCOMPARE(recorder.boxes().first().title, QStringLiteral("保存"));
        QCOMPARE(recorder.boxes().first().text, QStringLiteral("通讯异常，是否保存数据?"));
        QCOMPARE(recorder.boxes().first().buttons, QMessageBox::Save | QMessageBox::No);
        QCOMPARE(button(page)->text(), QStringLiteral("开始"));
        if (answer == QMessageBox::Save) {
            QCOMPARE(projects("通讯").size(), 1);
            QVERIFY(rows("通讯").size() >= 2);
            QCOMPARE(Workspace::auditDetails().last(), QStringLiteral("停止校准，保存数据。"));
        } else {
            QVERIFY(projects("通讯").isEmpty());
            QVERIFY(rows("通讯").isEmpty());
            QCOMPARE(Workspace::auditDetails().last(), QStringLiteral("停止校准，不保存数据。"));
        }
    }

    // The second phase cannot open the instrument: the first phase's rows become a project
    // before the next one starts, instead of lingering under a name nobody can reach.
    void secondPhaseFailsToOpen()
    {
        startSim();
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, "半途", QTime(0, 0, 1), "0.5", true, true);
        button(page)->click();
        QTRY_COMPARE_WITH_TIMEOUT(button(page)->text(), QStringLiteral("继续"), Wait);
        QVERIFY(waitIdle(page));
        sim->stop();
        button(page)->click();
        QVERIFY(waitIdle(page));
        QCOMPARE(recorder.texts(), (QStringList{"均匀度校准完成，请按“继续”开始升降温速率校准！", "连接设备失败！"}));
        QCOMPARE(button(page)->text(), QStringLiteral("开始"));
        QCOMPARE(runState("半途"), RunRecords::runningWord());

        child<QLineEdit>(&page, "lineEdit_ProjectName")->setText("下一个");
        child<QCheckBox>(&page, "checkBox_Rate")->setChecked(false);
        button(page)->click();
        QCOMPARE(projects("半途").size(), 1);
        QCOMPARE(runState("半途"), QString());
        QCOMPARE(rows("半途").size(), 3);
        QVERIFY(waitIdle(page));   // the next project cannot open either
    }

    // The disk fills up mid-run: the run stops with a message that says the data cannot be
    // stored (not a communication error), and the rows committed before stay the project.
    void storeFailsMidRun()
    {
        startSim();
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, "写失败", QTime(0, 10, 0), "0.3", true, false);
        button(page)->click();
        QVERIFY(waitRows("写失败", 2));
        const QString wal = ws->path(Tool::DatabaseFileName) + "-wal";
        QVERIFY(QFileInfo(wal).size() > 0);
        {
            // No file of this process may grow any more: the write-ahead log is full.
            FileSizeLimit full(QFileInfo(wal).size());
            QVERIFY(full.active());
            QVERIFY(waitIdle(page));
        }
        const int committed = rows("写失败").size();
        QVERIFY(committed >= 2);
        QCOMPARE(recorder.count(), 1);
        QVERIFY2(recorder.last().text.startsWith("数据无法写入数据库，校准已停止！已写入的数据已保留。"),
                 qPrintable(recorder.last().text));
        QVERIFY(!recorder.last().text.contains("通讯异常"));
        QCOMPARE(recorder.last().title, QStringLiteral("警告"));
        QCOMPARE(button(page)->text(), QStringLiteral("开始"));
        QVERIFY(!page.driver()->IsOpen());
        QCOMPARE(projects("写失败").size(), 1);
        // Its completion may not get onto the full disk either: the record then keeps its mark
        // and the next start lists it as interrupted.
        QVERIFY(runState("写失败").isEmpty() || runState("写失败") == RunRecords::runningWord());
        QCOMPARE(integrityOf(ws->path(Tool::DatabaseFileName)), QStringLiteral("ok"));
    }

    // A program killed mid-run leaves what a running page has stored: the project record marked
    // as running beside the committed rows. The next start lists it as interrupted.
    void recordIsStoredWhenTheRunStarts()
    {
        startSim();
        MessageRecorder recorder;
        auto page = std::make_unique<Calibration>();
        fillForm(*page, "进行中", QTime(0, 10, 0), "0.3", true, false);
        button(*page)->click();
        QVERIFY(waitRows("进行中", 2));
        QCOMPARE(projects("进行中").size(), 1);
        QCOMPARE(runState("进行中"), RunRecords::runningWord());
        // A start meanwhile leaves it alone: the running page holds the run's lease (a killed
        // program's run is marked, tst_acquisition).
        QCOMPARE(RunRecords::markInterrupted(), 0);
        QCOMPARE(runState("进行中"), RunRecords::runningWord());
        page.reset();   // a page closed mid-run keeps its rows as a complete project
        QCOMPARE(runState("进行中"), QString());
        QCOMPARE(projects("进行中").size(), 1);
    }

    void nothingListensAtTheAddress()
    {
        const QString port = closedPort();
        QVERIFY(!port.isEmpty());
        QVERIFY(registerRecords(port));
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, "无设备", QTime(0, 0, 5), "1", true, false);
        button(page)->click();
        QVERIFY(waitIdle(page));
        QCOMPARE(recorder.texts(), QStringList{"连接设备失败！"});
        QCOMPARE(recorder.last().title, QStringLiteral("警告"));
        QCOMPARE(button(page)->text(), QStringLiteral("开始"));
        QVERIFY(rows("无设备").isEmpty());
        QVERIFY(projects("无设备").isEmpty());
    }

    // The collector delivers ℉ when the channels say so; the rows hold ℃ with four decimals.
    void fahrenheitStoredInCelsius()
    {
        startSim({"--start-on-configure"});
        Tool::TemperatureUnit = QStringLiteral("℉");
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, "华氏", QTime(0, 0, 1), "0.5", true, false);
        button(page)->click();
        QVERIFY(waitIdle(page));
        const auto stored = rows("华氏");
        QCOMPARE(stored.size(), 3);
        QCOMPARE(page.chart()->homeLow(), 68.0);
        for (int i = 0; i < 3; ++i) {
            const QStringList values = stored[i].Temperatures.split(',');
            QCOMPARE(values.size(), 16);
            for (int c = 0; c < 16; ++c) {
                const double delivered = page.chart()->seriesPoints(c).at(i).y();
                QVERIFY2(delivered > 70 && delivered < 110, qPrintable(QString::number(delivered)));
                QCOMPARE(values[c], QString::number((delivered - 32) * 5 / 9, 'f', 4));
            }
        }
    }

    // The linearity window opens for the saved project.
    void linearityWindowAfterTheSave()
    {
        startSim();
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, "线性", QTime(0, 0, 0), "1", true, false);
        child<QCheckBox>(&page, "checkBox_Linear")->setChecked(true);
        button(page)->click();
        QVERIFY(waitIdle(page));
        QVERIFY(page.linearWindow());
        QCOMPARE(page.linearWindow()->name(), QStringLiteral("线性"));
        QVERIFY(page.linearWindow()->isVisible());
        delete page.linearWindow();
    }

    // The page goes during a run: the worker is stopped and joined first, the rows stay.
    void pageDestroyedMidRun()
    {
        startSim();
        MessageRecorder recorder;
        const int threads = threadCount();
        auto *page = new Calibration;
        fillForm(*page, "销毁", QTime(0, 10, 0), "0.3", true, false);
        button(*page)->click();
        QVERIFY(waitRows("销毁", 2));
        // The run's worker, its writer and the collector's driver thread.
        QCOMPARE(threadCount(), threads + 3);
        delete page;
        // A joined QThread's system thread ends just after the join returns.
        QTRY_COMPARE(threadCount(), threads);
        QVERIFY(recorder.isEmpty());
        QCOMPARE(projects("销毁").size(), 1);
        QVERIFY(rows("销毁").size() >= 2);
        // Nothing arrives afterwards.
        const int kept = rows("销毁").size();
        spin(600);
        QCOMPARE(rows("销毁").size(), kept);
    }

    // The main window keeps the page during a run, and closing it stops the run cleanly.
    void mainWindowDuringRun()
    {
        startSim();
        MessageRecorder recorder;
        PCR::Options options;
        options.splashMs = 0;
        options.login = [] {
            logIn();
            return true;
        };
        const int threads = threadCount();
        auto *window = new PCR(options);
        window->showPage(3);
        auto *page = qobject_cast<Calibration *>(window->page(3));
        QVERIFY(page);
        fillForm(*page, "主窗口", QTime(0, 10, 0), "0.3", true, false);
        button(*page)->click();
        QVERIFY(waitRows("主窗口", 2));
        window->showPage(0);
        QCOMPARE(window->currentPageIndex(), 3);
        QCOMPARE(recorder.texts(), QStringList{"设备正在运行中，请停止运行！"});
        QCOMPARE(recorder.last().title, QStringLiteral("警告"));

        delete window;
        QTRY_COMPARE(threadCount(), threads);
        QCOMPARE(projects("主窗口").size(), 1);
    }
};

PCR_TEST_CLASS(RunTest)
#include "tst_run.moc"
