// Document layer timings: the raw workbook of a day-long 16-probe run (time, peak memory),
// certificates and original records with many rows, and the PDF conversion.
//   bench_reports [interval-seconds]   (default 1.0; 0.3 is the shortest interval allowed)
#include "reports/OfficeConverter.h"
#include "reports/RawWorkbook.h"
#include "reports/ReportWriter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>

namespace {

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

ReportContent content(int rows, int probes)
{
    ReportContent c;
    c.unit = QStringLiteral("℃");
    c.decimals = 2;
    for (int k = 0; k < rows; ++k) {
        QVector<double> row{30.0 + k * 0.5};
        for (int p = 0; p < probes; ++p)
            row << 30.0 + k * 0.5 + 0.01 * p;
        row << 0.3 << 30.0 + k * 0.5 + 0.05;
        c.rows << row;
        c.uncertainty << 0.05;
    }
    for (int p = 0; p < probes; ++p)
        c.probes << QStringLiteral("%1:%2").arg(p / 12 + 1).arg(p % 12 + 1);
    for (int i = 0; i < 8; ++i)
        c.rates << QStringLiteral("1.00");
    return c;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const double interval = argc > 1 ? std::atof(argv[1]) : 1.0;
    QTemporaryDir dir;
    const QString templates = QStringLiteral(PCR_TEMPLATE_DIR "/");

    // Raw workbook: 24 h of uniformity samples, 16 probes, plus a 1 h rate run.
    const int probes = 16;
    const long uniformity = std::lround(24 * 3600 / interval);
    const long rate = std::lround(3600 / interval);
    QStringList points;
    for (int p = 0; p < probes; ++p)
        points << QStringLiteral("%1:%2").arg(p / 12 + 1).arg(p % 12 + 1);
    const long before = peakKiB();
    QElapsedTimer timer;
    timer.start();
    RawWorkbook book;
    const QString raw = dir.filePath(QStringLiteral("raw.xlsx"));
    if (book.begin(raw, points.join(QLatin1Char(','))) != 0)
        return 1;
    const QDateTime start(QDate(2024, 5, 6), QTime(8, 0));
    QVector<double> values(probes);
    book.beginUniformityBlock();
    for (long i = 0; i < uniformity; ++i) {
        for (int p = 0; p < probes; ++p)
            values[p] = 60.0 + 35.0 * std::sin(i * 0.001 + p) + 0.0123 * p;
        book.addSample(start.addMSecs(qint64(i * interval * 1000)), values);
    }
    book.beginRateBlock();
    for (long i = 0; i < rate; ++i)
        book.addSample(start.addMSecs(qint64((uniformity + i) * interval * 1000)), values);
    if (book.finish() != 0) {
        std::fprintf(stderr, "%s\n", qPrintable(book.errorString()));
        return 1;
    }
    std::printf("raw workbook, %ld + %ld rows x %d probes (interval %.1f s): %.2f s, %.1f MiB file, peak RSS %.1f MiB "
                "(%.1f MiB before)\n",
                uniformity, rate, probes, interval, timer.elapsed() / 1000.0, QFileInfo(raw).size() / 1048576.0,
                peakKiB() / 1024.0, before / 1024.0);

    for (int rows : {8, 50, 200}) {
        const ReportContent c = content(rows, 15);
        timer.restart();
        ReportWriter::certificateWord(templates + QStringLiteral("校准证书.dotx"), c, dir.filePath(QStringLiteral("c.docx")), false);
        const qint64 word = timer.restart();
        ReportWriter::certificateExcel(templates + QStringLiteral("校准证书.xltx"), c, dir.filePath(QStringLiteral("c.xlsx")));
        const qint64 excel = timer.restart();
        ReportWriter::originalRecordWord(templates + QStringLiteral("原始记录.dotx"), c, dir.filePath(QStringLiteral("r.docx")), false);
        const qint64 recordWord = timer.restart();
        ReportWriter::originalRecordExcel(templates + QStringLiteral("原始记录.xltx"), c, dir.filePath(QStringLiteral("r.xlsx")));
        const qint64 recordExcel = timer.elapsed();
        std::printf("%3d rows: certificate .docx %lld ms, .xlsx %lld ms; original record .docx %lld ms, .xlsx %lld ms\n",
                    rows, static_cast<long long>(word), static_cast<long long>(excel), static_cast<long long>(recordWord),
                    static_cast<long long>(recordExcel));
    }

    if (!OfficeConverter::program().isEmpty()) {
        for (int run = 0; run < 2; ++run) {
            timer.restart();
            QString error;
            const int code = ReportWriter::certificateWord(templates + QStringLiteral("校准证书.dotx"), content(8, 16),
                                                           dir.filePath(QStringLiteral("c.pdf")), true, &error);
            std::printf("certificate PDF (8 rows, %s profile): %lld ms%s\n", run ? "warm" : "existing",
                        static_cast<long long>(timer.elapsed()), code ? qPrintable(QStringLiteral(", failed: ") + error) : "");
        }
    }
    return 0;
}
