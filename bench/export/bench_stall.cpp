// The longest stall of the GUI thread while a day-long project (24 h of 16 probes at 1 s, and a
// short rate run) is opened on the data export page and exported, through the export dialog as a
// user does it (the plateau confirmation accepted as proposed, the file named in the save
// dialog), as a PDF certificate (LibreOffice) and as a raw workbook. Measured as the worst
// lateness of a 10 ms timer on the GUI thread, offscreen, beside the most processor time the GUI
// thread spent between two ticks.
//
//   bench_stall [DIR] [HOURS]   workspace in DIR (built there when missing; default: a temporary
//                               folder), HOURS of samples (default 24)

#include "../support/StallMeter.h"
#include "ExportFixture.h"

#include "app/messages.h"
#include "chart/ChartView.h"
#include "exportui/DataExport.h"
#include "exportui/DataExportConfirm.h"
#include "exportui/QWaiting.h"
#include "reports/ReportTemplates.h"
#include "store/tool.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

const QString Project = QStringLiteral("DAY-16");

// Answers the plateau confirmation (as proposed) and the save dialog (with `file`) whenever they
// come up.
class Answers : public QObject
{
public:
    explicit Answers(const QString &file) : m_file(file)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget *w = QApplication::activeModalWidget();
            if (auto *confirm = qobject_cast<DataExportConfirm *>(w)) {
                QMetaObject::invokeMethod(confirm, "OK_clicked", Qt::QueuedConnection);
            } else if (auto *dialog = qobject_cast<QFileDialog *>(w)) {
                dialog->setDirectory(QFileInfo(m_file).path());
                if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) {
                    name->setText(QFileInfo(m_file).fileName());
                    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
                }
            }
        });
        m_timer.start(20);
    }

private:
    QString m_file;
    QTimer m_timer;
};

void report(const char *what, const StallMeter &meter, const QString &outcome)
{
    std::printf("%-34s worst stall %4lld ms (longest busy %5.1f ms)  (%5.1f s, %4d ticks of 10 ms)  %s\n", what,
                meter.worstMs(), meter.worstBusyMs(), meter.elapsedMs() / 1000.0, meter.ticks(), qPrintable(outcome));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    ReportTemplates::setDirectory(QStringLiteral(PCR_TEMPLATE_DIR));
    QTemporaryDir temp;
    const QString folder = argc > 1 ? QDir(QString::fromLocal8Bit(argv[1])).absolutePath() : temp.path();
    const double hours = argc > 2 ? QString::fromLocal8Bit(argv[2]).toDouble() : 24.0;
    if (!QFileInfo::exists(QDir(folder).filePath(Tool::DatabaseFileName))) {
        std::printf("building the workspace in %s ...\n", qPrintable(folder));
        std::fflush(stdout);
        if (!Fixture::createWorkspace(folder) || !Fixture::addDayLongProject(Project, 16, hours)) {
            std::fprintf(stderr, "could not build the workspace\n");
            return 1;
        }
        Tool::closeDatabase();
    }
    QDir::setCurrent(folder);
    if (!Tool::openDatabase(Tool::DatabaseFileName) || !Fixture::logInAsAdmin()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(folder));
        return 1;
    }
    Tool::TemperatureUnit = QStringLiteral("℃");
    Tool::TemperatureAccuracy = 2;
    Tool::CurrentUser.setAllRights(true);
    MessageRecorder boxes;
    StallMeter meter;

    DataExport page;
    page.resize(1300, 800);
    page.show();
    StallMeter::waitUntil([] { return false; }, 200);
    auto *table = page.findChild<QTableWidget *>();
    int row = 0;
    while (row < table->rowCount() && table->item(row, 0)->text() != Project)
        ++row;
    QList<Tool::Struct_Calibration> found;
    Tool::getCalibration(found, Project);

    // Opening: the reading, the chart, and its first paints.
    meter.start();
    page.openRow(row);
    const bool opened = StallMeter::waitUntil(
        [&] { return page.chart()->seriesCount() == 16 && !page.chart()->seriesPoints(0).isEmpty(); }, 120000);
    StallMeter::waitUntil([] { return false; }, 300);
    meter.stop();
    report("open the day-long run", meter,
           opened ? QStringLiteral("%1 points per probe").arg(page.chart()->seriesPoints(0).size()) : QStringLiteral("FAILED"));

    struct Export
    {
        const char *what;
        int mode;
        const char *format;
        const char *file;
    };
    const Export exports[] = {{"certificate as PDF (LibreOffice)", 0, "PDF", "certificate.pdf"},
                              {"raw workbook", 2, "Excel", "raw.xlsx"}};
    for (const Export &e : exports) {
        const QString file = QDir(folder).filePath(QString::fromLatin1(e.file));
        QFile::remove(file);
        boxes.clear();
        Answers answers(file);
        QWaiting waiting(&page);
        meter.start();
        waiting.StartExport(e.mode, QString::fromLatin1(e.format), page.calibration(), page.windowFrom(),
                            page.windowTo());
        waiting.exec();
        meter.stop();
        report(e.what, meter,
               QStringLiteral("%1, %2 KiB").arg(boxes.isEmpty() ? QStringLiteral("no message") : boxes.last().text)
                   .arg(QFileInfo(file).size() / 1024));
    }
    return 0;
}
