// The export page, the plateau confirmation and the waiting dialog, driven as a user drives them,
// over projects stored in temporary workspaces; and the same export through the dialog and
// through pcrcal-export.
#include "ExportFixture.h"
#include "HangingOffice.h"

#include "../reports/DocumentProbe.h"
#include "../support/chart_legend.h"

#include "app/messages.h"
#include "chart/ChartTaggingLine.h"
#include "chart/ChartView.h"
#include "exportui/DataExport.h"
#include "exportui/DataExportConfirm.h"
#include "exportui/QWaiting.h"
#include "reports/ExportNames.h"
#include "reports/ReportTemplates.h"
#include "reports/RunPicture.h"
#include "store/WorkerThread.h"
#include "store/tool.h"
#include "store/runrecords.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDateTimeEdit>
#include <QGraphicsSimpleTextItem>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <functional>

namespace {

const QString C = QStringLiteral("℃");
const QString F = QStringLiteral("℉");
const QString timeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");

// Acts on modal windows as they come up: each step is tried on the active modal widget until it
// says it handled it, then the next step waits for its window.
class ModalDriver : public QObject
{
public:
    using Step = std::function<bool(QWidget *)>;

    explicit ModalDriver(QList<Step> steps) : m_steps(std::move(steps))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget *w = QApplication::activeModalWidget();
            if (w && !m_steps.isEmpty() && m_steps.first()(w)) {
                m_steps.removeFirst();
                ++m_done;
            }
        });
        m_timer.start(20);
    }
    int done() const { return m_done; }
    int pending() const { return m_steps.size(); }

private:
    QList<Step> m_steps;
    QTimer m_timer;
    int m_done = 0;
};

// Confirms the plateau dialog as proposed (or cancels it).
ModalDriver::Step confirm(bool accept = true, QStringList *labels = nullptr)
{
    return [accept, labels](QWidget *w) {
        auto *dialog = qobject_cast<DataExportConfirm *>(w);
        if (!dialog)
            return false;
        if (labels)
            for (const ChartTaggingLine *line : dialog->chart()->verticalLines())
                *labels << line->name();
        QMetaObject::invokeMethod(dialog, accept ? "OK_clicked" : "Cancel_clicked", Qt::QueuedConnection);
        return true;
    };
}

// Answers the save dialog with `file` (or cancels it); records its title and filter.
ModalDriver::Step save(const QString &file, QString *title = nullptr, QStringList *filters = nullptr,
                       QString *suggested = nullptr)
{
    return [file, title, filters, suggested](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        if (!dialog)
            return false;
        if (title)
            *title = dialog->windowTitle();
        if (filters)
            *filters = dialog->nameFilters();
        if (suggested) {
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            *suggested = name ? name->text() : QString();
        }
        if (file.isEmpty()) {
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
        } else {
            // Typed into the name field, as a user does (selectFile races the folder model).
            dialog->setDirectory(QFileInfo(file).path());
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!name)
                return false;
            name->setText(QFileInfo(file).fileName());
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        }
        return true;
    };
}

QPushButton *button(QWidget *parent, const char *name)
{
    return parent->findChild<QPushButton *>(QLatin1String(name));
}

// Lets the reading started by openRow() (on the page's worker) reach the chart.
void opened(DataExport &page)
{
    QTRY_VERIFY_WITH_TIMEOUT(!page.isLoading(), 60000);
}

QStringList lineNames(const ChartView *chart)
{
    QStringList names;
    for (const ChartTaggingLine *line : chart->verticalLines())
        names << line->name();
    return names;
}

} // namespace

using Fixture::audit;
using Fixture::stored;

class TestExportDialogs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_folder;
    int m_count = 0;
    Fixture::Project m_project;

    QString out(const QString &name) const { return QDir(m_folder).filePath(name); }

    void workspace(const QString &unit = C, int decimals = 2, const QString &format = QStringLiteral("Word"))
    {
        m_folder = m_dir.filePath(QStringLiteral("ws%1").arg(++m_count));
        QVERIFY(Fixture::createWorkspace(m_folder, unit, decimals, format));
        QVERIFY(Fixture::addProject(m_project));
        // The program's working directory is its workspace; its settings are read from there.
        QVERIFY(QDir::setCurrent(m_folder));
        Tool::readSystemSettings();
        Tool::TemperatureUnit = unit;
        Tool::TemperatureAccuracy = decimals;
        Tool::Format = format;
        QVERIFY(Fixture::logInAsAdmin());
    }

    // The confirmation dialog over the project's uniformity run with `steps`.
    void confirmDialog(DataExportConfirm &dialog, const QVector<RunSample> &samples,
                       const QVector<CycleStep> &steps, const QString &unit = C)
    {
        Tool::Struct_Calibration c = Fixture::calibrationRecord(m_project);
        dialog.SetData(c, unit, samples, steps);
    }

private slots:
    // The run's picture: drawn at the size asked, plateau windows shaded where their times fall,
    // every probe in its colour, a long run drawn from one pass over its samples.
    void runPicture_data()
    {
        QTest::addColumn<int>("samples");
        QTest::newRow("short run") << 240;
        QTest::newRow("a day at 1 s") << 86400;
    }

    void runPicture()
    {
        QFETCH(int, samples);
        const QDateTime start(QDate(2024, 5, 6), QTime(8, 0));
        QVector<RunSample> run;
        run.reserve(samples);
        for (int i = 0; i < samples; ++i)   // 25 ℃ in the first half, 95 ℃ in the second; probe 2 one degree up
            run.append({start.addSecs(i), {i < samples / 2 ? 25.0 : 95.0, i < samples / 2 ? 26.0 : 96.0}});
        const RunPicture::Window window{start.addSecs(samples / 2 + samples / 8), start.addSecs(samples - samples / 8),
                                        QStringLiteral("95℃")};
        RunPicture::Options options;
        options.width = 1000;
        options.height = 400;
        options.unit = QStringLiteral("℃");
        const QImage image = RunPicture::render(run, {window}, options);
        QCOMPARE(image.size(), QSize(1000, 400));
        // Scan one row in the middle of the height for the shading and the first probe's colour.
        const QColor shade(255, 236, 160);
        int shaded = 0, firstShade = -1;
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, 200)) == shade) {
                ++shaded;
                if (firstShade < 0)
                    firstShade = x;
            }
        QVERIFY2(shaded > 100, qPrintable(QString::number(shaded)));
        QVERIFY(firstShade > image.width() / 2);   // the window lies in the second half of the run
        bool blue = false;
        for (int y = 0; y < image.height() && !blue; ++y)
            for (int x = 0; x < image.width() / 2 && !blue; ++x)
                blue = QColor(image.pixel(x, y)) == QColor(31, 119, 180);
        QVERIFY(blue);
        QVERIFY(RunPicture::png(run, {window}, options).startsWith("\x89PNG"));
        QVERIFY(RunPicture::render({}, {window}, options).isNull());
    }

    void tickSteps_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("step");
        QTest::newRow("20 to 100 in 8") << 20.0 << 100.0 << 8 << 10.0;
        QTest::newRow("0 to 3.7 min in 10") << 0.0 << 3.7 << 10 << 0.5;
        QTest::newRow("a day in minutes") << 0.0 << 1440.0 << 10 << 200.0;
        QTest::newRow("a narrow band") << 59.9 << 60.1 << 8 << 0.05;
        QTest::newRow("nothing to span") << 60.0 << 60.0 << 8 << 1.0;
    }

    void tickSteps()
    {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(int, count);
        QFETCH(double, step);
        QVERIFY(qAbs(RunPicture::tickStep(low, high, count) - step) < 1e-12);
    }

    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        ReportTemplates::setDirectory(QStringLiteral(PCR_TEMPLATE_DIR));
        m_project.uniformitySteps = {{60.0, 2.0}, {95.0, 2.0}, {72.0, 2.0}};
    }

    void cleanup()
    {
        Tool::closeDatabase();
        QDir::setCurrent(m_dir.path());
    }

    // The proposal: a start and an end marker per step, labelled with the set temperature.
    void confirmationProposesMarkers()
    {
        MessageRecorder boxes;
        DataExportConfirm dialog;
        const QVector<RunSample> samples = Fixture::uniformitySamples(m_project);
        confirmDialog(dialog, samples, m_project.uniformitySteps);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("导出确认"));
        QVERIFY(boxes.isEmpty());
        QCOMPARE(dialog.chart()->seriesCount(), 3);
        QCOMPARE(dialog.chart()->seriesPoints(0).size(), samples.size());
        // Drawn range: smallest value - 5 to largest + 5 (25 + 8.75 - 0.03 and 95 + 0.05 + 0.02).
        QCOMPARE(dialog.chart()->homeLow(), 33.72 - 5);
        QVERIFY(qAbs(dialog.chart()->homeHigh() - (95.07 + 5)) < 1e-9);
        QCOMPARE(lineNames(dialog.chart()),
                 (QStringList{"60开始", "60结束", "95开始", "95结束", "72开始", "72结束"}));
        const int starts[] = {2, 19, 36};
        for (int k = 0; k < 3; ++k) {
            int mark = -1;
            QDateTime time;
            QVERIFY(dialog.chart()->GetVerticalLine(2 * k, mark, time));
            QCOMPARE(time, samples.at(starts[k]).time);
            QCOMPARE(mark, 0);
            QVERIFY(dialog.chart()->GetVerticalLine(2 * k + 1, mark, time));
            QCOMPARE(time, samples.at(starts[k] + 9).time);
            QCOMPARE(mark, 1);   // the end shares its start's colour
        }
        dialog.OK_clicked();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.segments().size(), 3);
        QCOMPARE(dialog.segments().at(1).size(), 9);
        QCOMPARE(dialog.markers().size(), 6);

        // ℉: the chart shows converted values, the labels converted set temperatures.
        DataExportConfirm fahrenheit;
        confirmDialog(fahrenheit, samples, m_project.uniformitySteps, F);
        QCOMPARE(lineNames(fahrenheit.chart()).first(), QStringLiteral("140开始"));
        QVERIFY(qAbs(fahrenheit.chart()->seriesPoints(0).first().y() - (33.72 * 1.8 + 32)) < 1e-9);
    }

    // A long run with its plateaus at the start opens on the proposed markers, whose labels do
    // not cover each other; a double click still shows the whole run.
    void longRunOpensOnTheProposal()
    {
        MessageRecorder boxes;
        QVector<RunSample> samples = Fixture::uniformitySamples(m_project);
        RunSample idle = samples.last();
        for (double &v : idle.values)
            v = 25.0;
        const QDateTime runEnd = samples.last().time.addSecs(6 * 3600);
        for (QDateTime t = samples.last().time.addSecs(10); t <= runEnd; t = t.addSecs(10)) {
            idle.time = t;
            samples.append(idle);
        }
        DataExportConfirm dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        confirmDialog(dialog, samples, m_project.uniformitySteps);
        QVERIFY(boxes.isEmpty());
        ChartView *chart = dialog.chart();
        QCOMPARE(chart->VerticalLineCount(), 6);
        QCOMPARE(chart->homeFrom(), samples.first().time);
        QCOMPARE(chart->homeTo(), runEnd);
        int mark = 0;
        QDateTime lastEnd;
        QVERIFY(chart->GetVerticalLine(5, mark, lastEnd));
        QCOMPARE(chart->timeAxis()->min(), samples.first().time);
        QCOMPARE(chart->timeAxis()->max(), lastEnd.addMSecs(samples.first().time.msecsTo(lastEnd) / 10));
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        const QList<ChartTaggingLine *> &lines = chart->verticalLines();
        for (int i = 0; i < lines.size(); ++i) {
            QVERIFY(lines.at(i)->lineItem()->isVisible());
            for (int j = i + 1; j < lines.size(); ++j)
                QVERIFY2(!lines.at(i)->label()->sceneBoundingRect().intersects(lines.at(j)->label()->sceneBoundingRect()),
                         qPrintable(lines.at(i)->name() + QStringLiteral(" / ") + lines.at(j)->name()));
        }

        QTest::mouseDClick(chart->viewport(), Qt::LeftButton, Qt::NoModifier, chart->viewport()->rect().center());
        QCOMPARE(chart->timeAxis()->max(), runEnd);
        QCOMPARE(chart->timeAxis()->min(), samples.first().time);

        // A run the markers fill is shown whole.
        DataExportConfirm whole;
        confirmDialog(whole, Fixture::uniformitySamples(m_project), m_project.uniformitySteps);
        QCOMPARE(whole.chart()->timeAxis()->max(), Fixture::uniformitySamples(m_project).last().time);
    }

    // Six presses of "添加" with three steps label the markers in order; the seventh refuses.
    void addAndDeleteMarkers()
    {
        MessageRecorder boxes;
        DataExportConfirm dialog;
        // Five samples: no proposal and no message.
        const QVector<RunSample> few = Fixture::uniformitySamples(m_project).mid(0, 5);
        confirmDialog(dialog, few, m_project.uniformitySteps);
        QCOMPARE(dialog.chart()->VerticalLineCount(), 0);
        QVERIFY(boxes.isEmpty());
        for (int i = 0; i < 6; ++i)
            QTest::mouseClick(button(&dialog, "pushButton_Add"), Qt::LeftButton);
        QCOMPARE(lineNames(dialog.chart()),
                 (QStringList{"60开始", "60结束", "95开始", "95结束", "72开始", "72结束"}));
        for (const ChartTaggingLine *line : dialog.chart()->verticalLines())
            QCOMPARE(line->time(), few.first().time);
        QVERIFY(boxes.isEmpty());
        QTest::mouseClick(button(&dialog, "pushButton_Add"), Qt::LeftButton);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("提示"));
        QCOMPARE(boxes.last().text, QStringLiteral("标注线已全部添加！"));
        QCOMPARE(dialog.chart()->VerticalLineCount(), 6);

        for (int i = 0; i < 6; ++i)
            QTest::mouseClick(button(&dialog, "pushButton_Delete"), Qt::LeftButton);
        QCOMPARE(dialog.chart()->VerticalLineCount(), 0);
        QCOMPARE(boxes.count(), 1);
        QTest::mouseClick(button(&dialog, "pushButton_Delete"), Qt::LeftButton);
        QCOMPARE(boxes.last().text, QStringLiteral("标注线已全部删除！"));
        // Deleting takes the last: after adding three, one deletion leaves "60开始", "60结束".
        for (int i = 0; i < 3; ++i)
            dialog.Add_clicked();
        dialog.Delete_clicked();
        QCOMPARE(lineNames(dialog.chart()), (QStringList{"60开始", "60结束"}));
    }

    // "刷新" proposes again with the typed stability index.
    void refreshWithAnotherIndex()
    {
        MessageRecorder boxes;
        DataExportConfirm dialog;
        confirmDialog(dialog, Fixture::uniformitySamples(m_project), m_project.uniformitySteps);
        QCOMPARE(dialog.chart()->VerticalLineCount(), 6);
        auto *index = dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit_Index"));
        QCOMPARE(index->text(), QStringLiteral("0.1"));
        index->setText(QStringLiteral("0.01"));
        QTest::mouseClick(button(&dialog, "pushButton_Index"), Qt::LeftButton);
        QCOMPARE(dialog.chart()->VerticalLineCount(), 0);
        QCOMPARE(boxes.last().title, QStringLiteral("提示"));
        QCOMPARE(boxes.last().text, QStringLiteral("自动识别错误，请手动分段！"));
        index->setText(QStringLiteral("0.5"));
        dialog.Index_clicked();
        QCOMPARE(dialog.chart()->VerticalLineCount(), 6);
        index->setText(QStringLiteral("."));
        dialog.Index_clicked();
        QCOMPARE(boxes.last().text, QStringLiteral("稳定指标设置错误！"));
        QCOMPARE(dialog.chart()->VerticalLineCount(), 6);   // kept
        // The validator refuses letters.
        QTest::keyClicks(index, QStringLiteral("x"));
        QCOMPARE(index->text(), QStringLiteral("."));
    }

    // Every message of OK_clicked; the dialog stays open after each.
    void okChecks()
    {
        MessageRecorder boxes;
        const QVector<RunSample> samples = Fixture::uniformitySamples(m_project);
        const QVector<CycleStep> &steps = m_project.uniformitySteps;
        auto check = [&](const std::function<void(DataExportConfirm &)> &arrange, const char *text) {
            DataExportConfirm dialog;
            confirmDialog(dialog, samples, steps);
            arrange(dialog);
            boxes.clear();
            QTest::mouseClick(button(&dialog, "pushButton_OK"), Qt::LeftButton);
            QCOMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().title, QStringLiteral("提示"));
            QCOMPARE(boxes.last().text, QString::fromUtf8(text));
            QCOMPARE(dialog.result(), 0);
            QVERIFY(dialog.segments().isEmpty());
        };
        auto move = [](DataExportConfirm &d, int line, const QDateTime &time) {
            ChartTaggingLine *l = d.chart()->verticalLines().at(line);
            l->SetVertical(l->name(), time, l->mark());
        };
        check([](DataExportConfirm &d) { d.Delete_clicked(); }, "标注线不全不能生成报告！");
        check([&](DataExportConfirm &d) { move(d, 3, QDateTime()); }, "获取数据错误！");
        check([&](DataExportConfirm &d) { move(d, 2, samples.at(1).time); }, "标注线时间必须为递增的！");
        check([&](DataExportConfirm &d) { move(d, 0, samples.first().time.addSecs(-1)); }, "标注线时间小于开始时间！");
        check([&](DataExportConfirm &d) { move(d, 5, samples.last().time.addSecs(1)); }, "标注线时间大于结束时间！");
        check([&](DataExportConfirm &d) { move(d, 1, samples.at(2).time.addMSecs(1)); }, "未找到数据！");
        // Step 1's segment moved onto the ramp towards 95: its first sample (68.75) is no 60.
        check([&](DataExportConfirm &d) {
            move(d, 0, samples.at(16).time);
            move(d, 1, samples.at(18).time);
        }, "截取的数据不匹配循环文件！");

        // No steps and no markers: "没有检测到标注线！".
        DataExportConfirm none;
        confirmDialog(none, samples, {});
        boxes.clear();
        none.OK_clicked();
        QCOMPARE(boxes.last().text, QStringLiteral("没有检测到标注线！"));

        // Cancel closes without accepting.
        DataExportConfirm cancelled;
        confirmDialog(cancelled, samples, steps);
        QTest::mouseClick(button(&cancelled, "pushButton_Cancel"), Qt::LeftButton);
        QCOMPARE(cancelled.result(), int(QDialog::Rejected));
    }

    // The whole export through the waiting dialog: confirmation, save dialog, timer, message,
    // log and audit entry.
    void waitingCertificate()
    {
        workspace();
        MessageRecorder boxes;
        QStringList labels;
        QString title;
        QStringList filters;
        const QString file = out(QStringLiteral("certificate"));   // typed without its extension
        ModalDriver driver({confirm(true, &labels), save(file, &title, &filters)});
        QWaiting waiting;
        const QVector<RunSample> samples = Fixture::uniformitySamples(m_project);
        waiting.StartExport(0, QStringLiteral("Word"), stored(m_project.name), samples.first().time,
                            Fixture::rateSamples(m_project).last().time);
        // The preparation runs on a worker; the dialogs come up once the waiting dialog is shown.
        QCOMPARE(driver.done(), 0);
        QCOMPARE(waiting.windowTitle(), QStringLiteral("正在导出"));
        QCOMPARE(waiting.findChild<QLabel *>(QStringLiteral("label_Name"))->text(), QStringLiteral("正在导出中..."));
        QCOMPARE(waiting.exec(), int(QDialog::Accepted));
        QCOMPARE(driver.done(), 2);
        QCOMPARE(labels.size(), 6);
        QCOMPARE(title, QStringLiteral("保存文件"));
        QCOMPARE(filters, QStringList{QStringLiteral("Word 文档 (*.docx)")});
        QVERIFY(waiting.proceed);
        QCOMPARE(waiting.outputPath, file + QStringLiteral(".docx"));
        QVERIFY(QFile::exists(waiting.outputPath));
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, MessageRecorder::Information);
        QCOMPARE(boxes.last().title, QStringLiteral("提示"));
        QCOMPARE(boxes.last().text, QStringLiteral("数据导出成功！"));
        QCOMPARE(audit().last().Type, Tool::auditTypeName(71));
        QCOMPARE(audit().last().Details, QStringLiteral("校准报告导出：") + m_project.name);
        const QVector<QStringList> table = DocxProbe(waiting.outputPath).table(1);
        QCOMPARE(table.at(1), (QStringList{"60.00", "60.01", "-0.01", "0.08"}));
        QCOMPARE(table.at(2), (QStringList{"72.00", "72.01", "-0.01", "0.08"}));
        QCOMPARE(table.at(3), (QStringList{"95.00", "95.01", "-0.01", "0.08"}));
    }

    // Cancelled confirmation or save dialog, a missing cycle file, an unknown format: nothing
    // written, no audit entry.
    void waitingStops()
    {
        workspace();
        const int audited = audit().size();
        MessageRecorder boxes;
        {
            ModalDriver driver({confirm(false)});
            QWaiting waiting;
            waiting.StartExport(0, QStringLiteral("Word"), stored(m_project.name), ExportJob::wholeRunFrom(),
                                ExportJob::wholeRunTo());
            QCOMPARE(waiting.exec(), int(QDialog::Rejected));
            QVERIFY(!waiting.proceed);
            QVERIFY(boxes.isEmpty());
        }
        {
            ModalDriver driver({confirm(), save(QString())});
            QWaiting waiting;
            waiting.StartExport(1, QStringLiteral("Excel"), stored(m_project.name), ExportJob::wholeRunFrom(),
                                ExportJob::wholeRunTo());
            QCOMPARE(waiting.exec(), int(QDialog::Rejected));
            QCOMPARE(driver.done(), 2);
            QVERIFY(!waiting.proceed);
            QVERIFY(boxes.isEmpty());
        }
        {
            // No format configured: said at once, before any dialog.
            ModalDriver driver({confirm()});
            QWaiting waiting;
            waiting.StartExport(0, QString(), stored(m_project.name), ExportJob::wholeRunFrom(), ExportJob::wholeRunTo());
            QVERIFY(!waiting.proceed);
            QCOMPARE(driver.done(), 0);
            QCOMPARE(boxes.last().text, QStringLiteral("请先在系统设置中设置导出格式！"));
            waiting.exec();
        }
        QList<Tool::Struct_CyclicFile> files;
        Tool::getCyclicFile(files, QString());
        for (const auto &f : files)
            QVERIFY(Tool::deleteCyclicFile(f.Number));
        for (int mode : {0, 1, 2}) {
            boxes.clear();
            ModalDriver driver({confirm(), save(out(QStringLiteral("never")))});
            QWaiting waiting;
            waiting.StartExport(mode, QStringLiteral("Excel"), stored(m_project.name), ExportJob::wholeRunFrom(),
                                ExportJob::wholeRunTo());
            QCOMPARE(waiting.exec(), int(QDialog::Rejected));
            QVERIFY(!waiting.proceed);
            QCOMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().kind, MessageRecorder::Warning);
            QCOMPARE(boxes.last().title, QStringLiteral("警告"));
            QCOMPARE(boxes.last().text, QStringLiteral("未查找到循环文件！"));
            QCOMPARE(driver.done(), 0);   // neither the confirmation nor the save dialog came up
        }
        QCOMPARE(audit().size(), audited);
        QCOMPARE(QDir(m_folder).entryList({QStringLiteral("never*")}), QStringList());
    }

    // The window goes on answering while the runs are read and the document is converted, both
    // on a worker; the progress bar has followed the reading; a conversion that hangs is
    // cancelled with the button: no file, no message, no audit entry, no LibreOffice left.
    void waitingCancelsAHungConversion()
    {
        workspace(C, 2, QStringLiteral("PDF"));
        const int audited = audit().size();
        MessageRecorder boxes;
        QTemporaryDir office;
        HangingOffice soffice(office.path());
        const QString file = out(QStringLiteral("hung.pdf"));
        QWaiting waiting;
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(10);
        int read = -1;
        int ticksAtConversion = -1;
        bool onWorker = false;
        auto *bar = waiting.findChild<QProgressBar *>(QStringLiteral("progressBar"));
        ModalDriver driver({[&](QWidget *w) {
                                // The reading is over when the confirmation comes up.
                                read = bar->maximum() == 1000 ? bar->value() : -1;
                                return confirm()(w);
                            },
                            save(file),
                            [&](QWidget *w) {
                                if (w != &waiting || !soffice.started())
                                    return false;
                                onWorker = waiting.worker()->isRunning()
                                    && waiting.worker()->workThread() != QThread::currentThread();
                                ticksAtConversion = ticks;
                                return true;
                            },
                            [&](QWidget *w) {
                                // The GUI thread's timer keeps firing while LibreOffice hangs.
                                if (w != &waiting || ticks < ticksAtConversion + 5)
                                    return false;
                                QTest::mouseClick(waiting.findChild<QPushButton *>(QStringLiteral("pushButton_Cancel")),
                                                  Qt::LeftButton);
                                return true;
                            }});
        waiting.StartExport(0, QStringLiteral("PDF"), stored(m_project.name), ExportJob::wholeRunFrom(),
                            ExportJob::wholeRunTo());
        QCOMPARE(waiting.exec(), int(QDialog::Rejected));
        QCOMPARE(driver.done(), 4);
        QCOMPARE(read, 1000);
        QVERIFY(onWorker);
        QVERIFY(!waiting.worker()->isRunning());
        QVERIFY(!soffice.isRunning());
        QVERIFY(!QFile::exists(file));
        QVERIFY(boxes.isEmpty());
        QCOMPARE(audit().size(), audited);
        QCOMPARE(waiting.lastCode(), int(ExportJob::Cancelled));

        // Escape (or the close button) cancels the same way.
        QTemporaryDir again;
        HangingOffice second(again.path());
        QWaiting other;
        ModalDriver escape({confirm(), save(file), [&](QWidget *w) {
                                if (w != &other || !second.started())
                                    return false;
                                QTest::keyClick(&other, Qt::Key_Escape);
                                return true;
                            }});
        other.StartExport(0, QStringLiteral("PDF"), stored(m_project.name), ExportJob::wholeRunFrom(),
                          ExportJob::wholeRunTo());
        QCOMPARE(other.exec(), int(QDialog::Rejected));
        QCOMPARE(escape.done(), 3);
        QVERIFY(!second.isRunning());
        QVERIFY(!QFile::exists(file));
    }

    // Each mode and format: the filter offered and the file written; failures say why.
    void waitingFormatsAndFailures_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("audit");
        QTest::newRow("certificate Excel") << 0 << "Excel" << "Excel 工作簿 (*.xlsx)" << 71;
        QTest::newRow("certificate PDF") << 0 << "PDF" << "PDF 文件 (*.pdf)" << 71;
        QTest::newRow("record Word") << 1 << "Word" << "Word 文档 (*.docx)" << 72;
        QTest::newRow("raw") << 2 << "Excel" << "Excel 工作簿 (*.xlsx)" << 73;
    }

    void waitingFormatsAndFailures()
    {
        QFETCH(int, mode);
        QFETCH(QString, format);
        QFETCH(QString, filter);
        QFETCH(int, audit);
        workspace();
        MessageRecorder boxes;
        QStringList filters;
        const QString file = out(QStringLiteral("export.") + ExportJob::fileSuffix(format));
        QList<ModalDriver::Step> steps;
        if (mode != 2)
            steps << confirm();
        steps << save(file, nullptr, &filters);
        {
            ModalDriver driver(steps);
            QWaiting waiting;
            waiting.StartExport(mode, format, stored(m_project.name), ExportJob::wholeRunFrom(), ExportJob::wholeRunTo());
            QCOMPARE(waiting.exec(), int(QDialog::Accepted));
            QCOMPARE(driver.pending(), 0);
        }
        QCOMPARE(filters, QStringList{filter});
        QVERIFY(QFile::exists(file));
        QCOMPARE(boxes.last().text, QStringLiteral("数据导出成功！"));
        QCOMPARE(Fixture::audit().last().Type, Tool::auditTypeName(audit));

        // Without templates (documents), or into a folder that is a file (raw data): a warning
        // that says why, nothing written, no audit entry.
        const int audited = Fixture::audit().size();
        const QString empty = out(QStringLiteral("no-templates"));
        QDir().mkpath(empty);
        struct Restore
        {
            ~Restore() { ReportTemplates::setDirectory(QStringLiteral(PCR_TEMPLATE_DIR)); }
        } restore;
        ReportTemplates::setDirectory(empty);
        QFile blocker(out(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString target = mode == 2 ? out(QStringLiteral("blocker/raw.xlsx")) : out(QStringLiteral("failed.docx"));
        steps.clear();
        if (mode != 2)
            steps << confirm();
        // The save dialog offers no such folder; the raw export is handed it directly.
        steps << save(mode == 2 ? QString() : target);
        {
            ModalDriver driver(steps);
            QWaiting waiting;
            waiting.StartExport(mode, format, stored(m_project.name), ExportJob::wholeRunFrom(), ExportJob::wholeRunTo());
            QCOMPARE(waiting.exec(), int(QDialog::Rejected));
            if (mode == 2)
                QVERIFY(waiting.Custom(target) > 0);
        }
        QCOMPARE(boxes.last().kind, MessageRecorder::Warning);
        QCOMPARE(boxes.last().title, QStringLiteral("警告"));
        QVERIFY2(boxes.last().text.startsWith(mode == 2 ? QStringLiteral("数据导出失败！\n") : QStringLiteral("模板打开失败！\n")),
                 qPrintable(boxes.last().text));
        QVERIFY(!QFile::exists(target));
        QCOMPARE(Fixture::audit().size(), audited);
    }

    // The same project through the dialog and through pcrcal-export: the same document content.
    void dialogAndToolAgree_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("unit");
        QTest::newRow("certificate Word ℉") << 0 << "Word" << F;
        QTest::newRow("certificate Excel ℃") << 0 << "Excel" << C;
        QTest::newRow("record Word ℃") << 1 << "Word" << C;
        QTest::newRow("record Excel ℉") << 1 << "Excel" << F;
        QTest::newRow("raw ℉") << 2 << "Excel" << F;
    }

    void dialogAndToolAgree()
    {
        QFETCH(int, mode);
        QFETCH(QString, format);
        QFETCH(QString, unit);
        workspace(unit, 3, format);
        QVERIFY(Fixture::addAccounts());
        // The application has read the workspace's settings at start-up, as the tool does.
        const QString company = Tool::CorporateName;
        Tool::CorporateName = Tool::configFile(QDir(m_folder).filePath(Tool::ConfigFileName))
                                  ->value(QStringLiteral("SystemSet/CorporateName")).toString();
        auto restore = qScopeGuard([company] { Tool::CorporateName = company; });
        MessageRecorder boxes;
        const QString suffix = ExportJob::fileSuffix(format);
        const QString viaDialog = out(QStringLiteral("dialog.") + suffix);
        {
            QList<ModalDriver::Step> steps;
            if (mode != 2)
                steps << confirm();
            steps << save(viaDialog);
            ModalDriver driver(steps);
            QWaiting waiting;
            // The page's window: first to last stored sample.
            waiting.StartExport(mode, format, stored(m_project.name), Fixture::uniformitySamples(m_project).first().time,
                                Fixture::rateSamples(m_project).last().time);
            QCOMPARE(waiting.exec(), int(QDialog::Accepted));
        }
        Tool::closeDatabase();
        const QString viaTool = out(QStringLiteral("tool.") + suffix);
        static const char *const kinds[] = {"certificate", "record", "raw"};
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PCR_TEMPLATE_DIR"), QStringLiteral(PCR_TEMPLATE_DIR));
        env.remove(QStringLiteral("DISPLAY"));
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral(PCRCAL_EXPORT_PATH),
                   {"--workspace", m_folder, "--project", m_project.name, "--kind", QLatin1String(kinds[mode]),
                    "--format", format, "--out", viaTool, "--operator", "engineer"});
        QVERIFY(tool.waitForFinished(120000));
        QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());

        if (suffix == QLatin1String("docx")) {
            DocxProbe a(viaDialog), b(viaTool);
            QVERIFY(a.ok() && b.ok());
            QCOMPARE(a.bodyText(), b.bodyText());
            for (int t = 0; t < a.tableCount(); ++t)
                QCOMPARE(a.table(t), b.table(t));
            QVERIFY(a.bodyText().contains(unit));
        } else {
            XlsxProbe a(viaDialog), b(viaTool);
            QVERIFY(a.ok() && b.ok());
            QCOMPARE(a.lastRow(), b.lastRow());
            QCOMPARE(a.merges(), b.merges());
            for (int r = 1; r <= a.lastRow(); ++r)
                for (int c = 1; c <= 17; ++c)
                    QCOMPARE(a.cell(r, c), b.cell(r, c));
        }
        Tool::openDatabase(QDir(m_folder).filePath(Tool::DatabaseFileName));
        const QList<Tool::Struct_AuditLog> log = audit();
        QCOMPARE(log.at(log.size() - 2).Operator, QStringLiteral("admin"));
        QCOMPARE(log.last().Operator, QStringLiteral("engineer"));
        QCOMPARE(log.last().Type, log.at(log.size() - 2).Type);
        QCOMPARE(log.last().Details, log.at(log.size() - 2).Details);
    }

    // The page: list, query, opening a calibration onto the chart, ranges, markers.
    void pageBrowsesAndOpens()
    {
        workspace(F, 1);
        Fixture::Project other = m_project;
        other.name = QStringLiteral("单探头");
        other.probes = 1;
        other.offsets = {0.0};
        other.rateSteps.clear();
        QVERIFY(Fixture::addProject(other));
        MessageRecorder boxes;
        DataExport page;
        auto *table = page.findChild<QTableWidget *>(QStringLiteral("tableWidget_Data"));
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("项目名称"));
        QVERIFY(!table->verticalHeader()->isVisible());
        auto *query = page.findChild<QLineEdit *>(QStringLiteral("lineEdit_Query"));
        query->setText(QStringLiteral("单"));
        QTest::mouseClick(button(&page, "pushButton_Query"), Qt::LeftButton);
        QCOMPARE(table->rowCount(), 1);
        query->setText(QStringLiteral("' OR 1=1 --"));
        page.pt_Query_clicked();
        QCOMPARE(table->rowCount(), 0);
        query->clear();
        page.pt_Query_clicked();
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(page.findChild<QLabel *>(QStringLiteral("label_LeftRange1"))->text(), F + QStringLiteral(" -"));
        QVERIFY(!button(&page, "pushButton_DisplayRange")->isEnabled());

        // Open the three-probe project by a double click on its row.
        table->selectRow(0);
        emit table->cellDoubleClicked(0, 0);
        opened(page);
        QCOMPARE(page.calibration().CalibrationName, m_project.name);
        const QVector<RunSample> u = Fixture::uniformitySamples(m_project), r = Fixture::rateSamples(m_project);
        ChartView *chart = page.chart();
        QCOMPARE(chart->seriesCount(), 3);
        QCOMPARE(chart->seriesPoints(0).size(), u.size() + r.size());
        QVERIFY(qAbs(chart->seriesPoints(2).first().y() - (33.80 * 1.8 + 32)) < 1e-9);   // ℉, not rounded
        QCOMPARE(page.windowFrom(), u.first().time);
        QCOMPARE(page.windowTo(), r.last().time);
        // Smallest 33.72 ℃, largest 95.07 ℃, in ℉, widened by 1.
        QCOMPARE(page.findChild<QLineEdit *>(QStringLiteral("lineEdit_LeftRange1"))->text(),
                 QString::number(33.72 * 1.8 + 32 - 1, 'f', 2));
        QCOMPARE(page.findChild<QLineEdit *>(QStringLiteral("lineEdit_LeftRange2"))->text(),
                 QString::number(95.07 * 1.8 + 32 + 1, 'f', 2));
        QCOMPARE(page.findChild<QDateTimeEdit *>(QStringLiteral("dateTimeEdit_DisplayRange2"))->dateTime(),
                 r.last().time);
        QVERIFY(button(&page, "pushButton_DisplayRange")->isEnabled());

        // A run of single values gets one curve.
        page.openRow(1);
        opened(page);
        QCOMPARE(page.calibration().CalibrationName, other.name);
        QCOMPARE(chart->seriesCount(), 1);

        // Ranges: errors, then a window to the end of its last second.
        page.openRow(0);
        opened(page);
        auto *from = page.findChild<QDateTimeEdit *>(QStringLiteral("dateTimeEdit_DisplayRange1"));
        auto *to = page.findChild<QDateTimeEdit *>(QStringLiteral("dateTimeEdit_DisplayRange2"));
        auto *low = page.findChild<QLineEdit *>(QStringLiteral("lineEdit_LeftRange1"));
        auto *high = page.findChild<QLineEdit *>(QStringLiteral("lineEdit_LeftRange2"));
        to->setDateTime(from->dateTime().addSecs(-1));
        page.pt_DisplayRange_clicked();
        QCOMPARE(boxes.last().title, QStringLiteral("警告"));
        QCOMPARE(boxes.last().text, QStringLiteral("时间设置错误！"));
        to->setDateTime(u.at(10).time);
        low->setText(QStringLiteral("100"));
        high->setText(QStringLiteral("50"));
        page.pt_DisplayRange_clicked();
        QCOMPARE(boxes.last().text, QStringLiteral("温度设置错误！"));
        high->setText(QStringLiteral("-"));
        page.pt_DisplayRange_clicked();
        QCOMPARE(boxes.last().text, QStringLiteral("温度设置错误！"));
        const int shown = boxes.count();
        from->setDateTime(u.at(3).time);
        low->setText(QStringLiteral("80"));
        high->setText(QStringLiteral("150"));
        page.pt_DisplayRange_clicked();
        QCOMPARE(boxes.count(), shown);
        QCOMPARE(chart->homeLow(), 80.0);
        QCOMPARE(chart->homeHigh(), 150.0);
        QCOMPARE(page.windowFrom(), QDateTime(u.at(3).time.date(), u.at(3).time.time().addMSecs(-250)));
        QCOMPARE(page.windowTo(), QDateTime(u.at(10).time.date(), u.at(10).time.time().addMSecs(-250 + 999)));

        // Viewing markers need a remark.
        page.pt_TimeAdd_clicked();
        QCOMPARE(boxes.last().text, QStringLiteral("请设置标注线备注!"));
        QCOMPARE(chart->VerticalLineCount(), 0);
        page.findChild<QLineEdit *>(QStringLiteral("lineEdit_TimeRemarks"))->setText(QStringLiteral("开盖"));
        page.pt_TimeAdd_clicked();
        page.pt_TimeAdd_clicked();
        QCOMPARE(chart->VerticalLineCount(), 2);
        page.pt_TimeDelete_clicked();
        QCOMPARE(chart->VerticalLineCount(), 0);
        page.pt_TempAdd_clicked();
        QCOMPARE(boxes.last().text, QStringLiteral("请设置标注线备注!"));
        page.findChild<QLineEdit *>(QStringLiteral("lineEdit_TempRemarks"))->setText(QStringLiteral("上限"));
        page.pt_TempAdd_clicked();
        QCOMPARE(chart->horizontalLines().size(), 1);
        QCOMPARE(chart->horizontalLines().first()->value(), 20.0);
        page.pt_TempDelet_clicked();
        QCOMPARE(chart->horizontalLines().size(), 0);
    }

    // Sixteen probes opened on the page, as large as the main window gives it at its default size
    // and at its minimum, in both languages: every legend entry shows, and no editor, label or
    // button is cut short.
    void pageLegendShowsSixteenProbes()
    {
        workspace();
        Fixture::Project sixteen = m_project;
        sixteen.name = QStringLiteral("sixteen");
        sixteen.probes = 16;
        sixteen.offsets = Fixture::offsetsFor(16);
        QVERIFY(Fixture::addProject(sixteen));
        QTranslator english;
        QVERIFY(english.load(QStringLiteral(":/i18n/pcr_en.qm")));
        for (const bool inEnglish : {false, true}) {
            if (inEnglish)
                QCoreApplication::installTranslator(&english);
            for (const QSize size : {QSize(1277, 640), QSize(1178, 560)}) {
                // In a window of its own the page would grow to what its layout asks for; the
                // main window gives it a fixed area.
                QWidget window;
                window.resize(size);
                DataExport page(&window);
                page.setGeometry(QRect(QPoint(0, 0), size));
                window.show();
                QVERIFY(QTest::qWaitForWindowExposed(&window));
                page.openRow(1);
                opened(page);
                QCOMPARE(page.calibration().CalibrationName, sixteen.name);
                for (int i = 0; i < 5; ++i)
                    QCoreApplication::processEvents();
                QString problem;
                QCOMPARE(shownLegendEntries(*page.chart(), &problem).size(), 16);
                QVERIFY2(problem.isEmpty(), qPrintable(problem));
                // A date-time editor shrinks below its size hint by cutting its text.
                for (const QDateTimeEdit *edit : page.findChildren<QDateTimeEdit *>())
                    QVERIFY2(edit->width() >= edit->sizeHint().width(), qPrintable(edit->objectName()));
                for (const QWidget *w : page.findChildren<QWidget *>())
                    if (qobject_cast<const QLabel *>(w) || qobject_cast<const QPushButton *>(w))
                        QVERIFY2(w->width() >= w->minimumSizeHint().width(),
                                 qPrintable(w->objectName() + QLatin1Char(' ') + QString::number(size.width())));
            }
        }
        QCoreApplication::removeTranslator(&english);
    }

    // Opening a calibration reads it on a worker behind a modal progress window; cancelling it
    // leaves the page as it was.
    void pageReadsOnAWorker()
    {
        workspace();
        DataExport page;
        QSignalSpy opens(&page, &DataExport::calibrationOpened);
        page.openRow(0);
        QVERIFY(page.isLoading());
        QVERIFY(page.loader()->workThread() && page.loader()->workThread() != QThread::currentThread());
        auto *progress = page.findChild<QProgressDialog *>();
        QVERIFY(progress);
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->windowModality(), Qt::WindowModal);
        page.openRow(0);   // one reading at a time
        QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
        opened(page);
        QCOMPARE(opens.count(), 0);
        QVERIFY(page.calibration().CalibrationName.isEmpty());
        QCOMPARE(page.chart()->seriesCount(), 0);
        QVERIFY(!button(&page, "pushButton_DisplayRange")->isEnabled());
        QTRY_VERIFY(!page.findChild<QProgressDialog *>());

        page.openRow(0);
        opened(page);
        QCOMPARE(opens.count(), 1);
        QCOMPARE(page.calibration().CalibrationName, m_project.name);
        QCOMPARE(page.chart()->seriesCount(), 3);
        QTRY_VERIFY(!page.findChild<QProgressDialog *>());
    }

    // Export buttons: rights, the selection check, the 16-probe limit, raw data always Excel.
    void pageExports()
    {
        workspace(C, 2, QStringLiteral("PDF"));
        Fixture::Project seventeen = m_project;
        seventeen.name = QStringLiteral("seventeen");
        seventeen.probes = 17;
        seventeen.offsets = Fixture::offsetsFor(17);
        QVERIFY(Fixture::addProject(seventeen));
        Fixture::Project sixteen = seventeen;
        sixteen.name = QStringLiteral("sixteen");
        sixteen.probes = 16;
        sixteen.offsets = Fixture::offsetsFor(16);
        QVERIFY(Fixture::addProject(sixteen));
        MessageRecorder boxes;

        Tool::CurrentUser.CalibrationReport = false;
        Tool::CurrentUser.Custom = false;
        {
            DataExport page;
            QVERIFY(!button(&page, "pushButton_CalibrationReport")->isEnabled());
            QVERIFY(button(&page, "pushButton_OriginalRecord")->isEnabled());
            QVERIFY(!button(&page, "pushButton_Custom")->isEnabled());
        }
        Tool::CurrentUser.setAllRights(true);

        DataExport page;
        for (const char *name : {"pushButton_CalibrationReport", "pushButton_OriginalRecord", "pushButton_Custom"}) {
            boxes.clear();
            QTest::mouseClick(button(&page, name), Qt::LeftButton);
            QCOMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().title, QStringLiteral("警告"));
            QCOMPARE(boxes.last().text, QStringLiteral("请先选择需要导出的数据！"));
        }
        auto *table = page.findChild<QTableWidget *>(QStringLiteral("tableWidget_Data"));
        QCOMPARE(table->item(1, 0)->text(), QStringLiteral("seventeen"));
        page.openRow(1);
        opened(page);
        boxes.clear();
        page.pt_OriginalRecord_clicked();
        QCOMPARE(boxes.last().text, QStringLiteral("不支持导出超过16个探头！"));

        // Sixteen probes, the collector's channels, are allowed: the confirmation comes up (cancelled here).
        page.openRow(2);
        opened(page);
        {
            ModalDriver driver({confirm(false)});
            boxes.clear();
            page.pt_OriginalRecord_clicked();
            QCOMPARE(driver.done(), 1);
            QVERIFY(boxes.isEmpty());
        }
        // Raw data offers a workbook although the configured format is PDF.
        QStringList filters;
        {
            ModalDriver driver({save(out(QStringLiteral("fifteen-raw.xlsx")), nullptr, &filters)});
            page.pt_Custom_clicked();
            QCOMPARE(driver.done(), 1);
        }
        QCOMPARE(filters, QStringList{QStringLiteral("Excel 工作簿 (*.xlsx)")});
        QVERIFY(XlsxProbe(out(QStringLiteral("fifteen-raw.xlsx"))).ok());
        QCOMPARE(boxes.last().text, QStringLiteral("数据导出成功！"));
        // The certificate takes the configured format, under a name made from the project.
        QString suggested;
        {
            ModalDriver driver({confirm(), save(out(QStringLiteral("fifteen.pdf")), nullptr, &filters, &suggested)});
            page.pt_CalibrationReport_clicked();
            QCOMPARE(driver.done(), 2);
        }
        QCOMPARE(filters, QStringList{QStringLiteral("PDF 文件 (*.pdf)")});
        QCOMPARE(suggested, QStringLiteral("sixteen 校准证书.pdf"));
        QVERIFY(QFile::exists(out(QStringLiteral("fifteen.pdf"))));

        // A single selected row is enough, whole, in the format chosen beside the buttons.
        DataExport fresh;
        auto *freshTable = fresh.findChild<QTableWidget *>(QStringLiteral("tableWidget_Data"));
        QCOMPARE(fresh.chosenFormat(), QStringLiteral("PDF"));
        fresh.findChild<QComboBox *>(QStringLiteral("comboBox_Format"))->setCurrentText(QStringLiteral("Word"));
        freshTable->selectRow(1);
        boxes.clear();
        fresh.pt_OriginalRecord_clicked();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("不支持导出超过16个探头！")});
        freshTable->selectRow(2);
        {
            ModalDriver driver({confirm(), save(out(QStringLiteral("fifteen.docx")), nullptr, &filters, &suggested)});
            fresh.pt_CalibrationReport_clicked();
            QCOMPARE(driver.done(), 2);
        }
        QCOMPARE(filters, QStringList{QStringLiteral("Word 文档 (*.docx)")});
        QCOMPARE(suggested, QStringLiteral("sixteen 校准证书.docx"));
        QVERIFY(QFile::exists(out(QStringLiteral("fifteen.docx"))));
        QCOMPARE(boxes.last().text, QStringLiteral("数据导出成功！"));
        QVERIFY(fresh.calibration().CalibrationName.isEmpty());   // exported without opening it
    }

    void exportChoices_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("source");
        QTest::newRow("nothing") << "" << "" << int(DataExport::Source::None);
        QTest::newRow("opened only") << "A" << "" << int(DataExport::Source::Opened);
        QTest::newRow("opened and selected") << "A" << "A" << int(DataExport::Source::Opened);
        QTest::newRow("selected only") << "" << "B" << int(DataExport::Source::Selected);
        QTest::newRow("another selected") << "A" << "B" << int(DataExport::Source::Selected);
    }

    void exportChoices()
    {
        QFETCH(QString, opened);
        QFETCH(QString, selected);
        QFETCH(int, source);
        QCOMPARE(int(DataExport::exportSource(opened, selected)), source);
    }

    void suggestedNames_data()
    {
        QTest::addColumn<QString>("project");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("name");
        QTest::newRow("certificate") << "P-1" << int(ExportJob::CertificateMode) << "Word" << "P-1 校准证书.docx";
        QTest::newRow("record pdf") << "P-1" << int(ExportJob::OriginalRecordMode) << "PDF" << "P-1 校准记录.pdf";
        QTest::newRow("raw") << "P-1" << int(ExportJob::RawDataMode) << "Excel" << "P-1 原始记录.xlsx";
        QTest::newRow("unsafe characters") << "a/b:c*?\"<>|" << int(ExportJob::CertificateMode) << "Word"
                                           << "a_b_c______ 校准证书.docx";
        QTest::newRow("dots and blanks") << " ..x.. " << int(ExportJob::RawDataMode) << "Excel" << "x 原始记录.xlsx";
        QTest::newRow("no name") << "" << int(ExportJob::CertificateMode) << "PDF" << "校准证书.pdf";
    }

    void suggestedNames()
    {
        QFETCH(QString, project);
        QFETCH(int, mode);
        QFETCH(QString, format);
        QTEST(ExportNames::suggestedFileName(project, mode, format), "name");
    }

    // Before any dialog, the page refuses a project whose run is going on (its lease held, here
    // by this process) and a certificate without a laboratory; one warning each. Both used to be
    // exported.
    void pageRefusesARunningProjectAndACertificateWithoutLaboratory()
    {
        workspace();
        Tool::Struct_Calibration running = Fixture::calibrationRecord(m_project);
        running.CalibrationName = QStringLiteral("running");
        QVERIFY(RunRecords::begin(running));
        MessageRecorder boxes;
        DataExport page;
        auto *table = page.findChild<QTableWidget *>(QStringLiteral("tableWidget_Data"));
        const auto selectNamed = [table](const QString &name) {
            for (int row = 0; row < table->rowCount(); ++row)
                if (table->item(row, 0)->text() == name)
                    table->selectRow(row);
        };
        selectNamed(QStringLiteral("running"));
        page.pt_Custom_clicked();
        QCOMPARE(boxes.count(), 1);
        QVERIFY2(boxes.last().text.contains(QStringLiteral("正在校准中")), qPrintable(boxes.last().text));
        QVERIFY(RunRecords::remove(QStringLiteral("running")));

        const QString company = Tool::CorporateName;
        auto restore = qScopeGuard([company] { Tool::CorporateName = company; });
        Tool::CorporateName.clear();
        selectNamed(m_project.name);
        boxes.clear();
        page.pt_CalibrationReport_clicked();
        QCOMPARE(boxes.count(), 1);
        QVERIFY2(boxes.last().text.contains(QStringLiteral("未设置公司名称")), qPrintable(boxes.last().text));
    }

    // Deleting from the context menu: only with the right, only on an item; audit entry 62.
    // A run cut off by a killed program is listed as interrupted beside the complete ones; it is
    // deleted like any other, its mark with it.
    void pageListsAndDeletesAnInterruptedRun()
    {
        workspace();
        Fixture::Project cut = m_project;
        cut.name = QStringLiteral("cut-off");
        QVERIFY(Fixture::addProject(cut));
        // As the next start leaves a run that was still marked running.
        QVERIFY(QSqlQuery(QSqlDatabase::database()).exec(
            QStringLiteral("insert into CalibrationRunState values ('cut-off', '进行中', '2024-05-06 10:00:00')")));
        QCOMPARE(RunRecords::markInterrupted(), 1);
        DataExport page;
        auto *table = page.findChild<QTableWidget *>(QStringLiteral("tableWidget_Data"));
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(1, 0)->text(), QStringLiteral("cut-off"));
        QCOMPARE(table->item(1, 1)->text(), QStringLiteral("运行中断"));
        QCOMPARE(table->item(0, 1)->text(), QString());
        Tool::CurrentUser.DeleteData = true;
        table->selectRow(1);
        page.findChild<QMenu *>()->actions().first()->trigger();
        QCOMPARE(table->rowCount(), 1);
        QHash<QString, QString> states;
        QVERIFY(RunRecords::states(states));
        QVERIFY(states.isEmpty());
    }

    void pageDeletes()
    {
        workspace();
        Fixture::Project second = m_project;
        second.name = QStringLiteral("second");
        QVERIFY(Fixture::addProject(second));
        DataExport page;
        page.resize(1200, 800);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        auto *table = page.findChild<QTableWidget *>(QStringLiteral("tableWidget_Data"));
        auto *menu = page.findChild<QMenu *>();
        QVERIFY(menu);
        const QPoint onItem = table->visualItemRect(table->item(0, 0)).center();
        const QPoint below(onItem.x(), table->viewport()->height() - 5);

        Tool::CurrentUser.DeleteData = false;
        emit table->customContextMenuRequested(onItem);
        QVERIFY(!menu->isVisible());
        Tool::CurrentUser.DeleteData = true;
        emit table->customContextMenuRequested(below);
        QVERIFY(!menu->isVisible());
        emit table->customContextMenuRequested(onItem);
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().first()->text(), QStringLiteral("删除项目"));
        menu->hide();

        page.openRow(0);

        opened(page);
        table->selectRow(0);
        menu->actions().first()->trigger();
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("second"));
        QCOMPARE(audit().last().Type, Tool::auditTypeName(62));
        QCOMPARE(audit().last().Details, QStringLiteral("校准数据删除：") + m_project.name);
        QList<Tool::Struct_CalibrationData> rows;
        Tool::getCalibrationData(rows, m_project.name);
        QVERIFY(rows.isEmpty());
        Tool::getCalibrationData(rows, second.name);
        QVERIFY(!rows.isEmpty());
        // The page keeps its copy of the deleted calibration until another is opened.
        QCOMPARE(page.calibration().CalibrationName, m_project.name);

        // A deletion the database refuses is reported, keeps the project listed and is not audited.
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("blocker"));
            other.setDatabaseName(QDir(m_folder).filePath(Tool::DatabaseFileName));
            QVERIFY(other.open());
            QSqlQuery q(other);
            QVERIFY(q.exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON Calibration "
                                          "BEGIN SELECT RAISE(ABORT, 'kept'); END")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("blocker"));
        const int entries = audit().size();
        MessageRecorder boxes;
        table->selectRow(0);
        menu->actions().first()->trigger();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, MessageRecorder::Warning);
        QCOMPARE(boxes.last().text, QStringLiteral("删除数据失败!"));
        QCOMPARE(audit().size(), entries);
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 0)->text(), second.name);
    }
};

QTEST_MAIN(TestExportDialogs)
#include "tst_exportdialogs.moc"
