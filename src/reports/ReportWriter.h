#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>

// One plateau's uncertainty as the original record prints it (display unit).
struct BudgetRow
{
    double setTemperature = 0.0;
    double u1 = 0.0;         // spread of the probe means (standard deviation)
    double u2 = 0.0;         // the measuring instrument (its registered U / 2)
    double combined = 0.0;   // sqrt(u1² + u2²)
    double k = 2.0;
    double expanded = 0.0;   // k × combined
};

// The performance section of the original record and the certificate's annex, as printed:
// every text already in the display unit.
struct PerformanceContent
{
    struct Line
    {
        QString name;            // "过冲", "平均偏差（15 s）", ...
        QString setTemperature;  // "95.00℃"; empty for the rates
        QString value;           // with its unit
        QString limit;           // with its unit; empty without a profile
        QString verdict;         // "合格", "不合格"; empty without a profile
    };
    bool present = false;        // the run gave figures
    QString profile;             // the limits used, or that there are none
    QString basis;               // band, fixed times and rate window the figures rest on
    QString verdict;             // the overall verdict line
    QVector<Line> lines;
    // Per step and fixed time: set temperature, time after reaching, then each well's deviation.
    QVector<QStringList> wells;
    bool annex = false;          // certificates: print the annex
};

// What a certificate or an original record prints, computed beforehand by the export job.
struct ReportContent
{
    // One row per set temperature, ascending: set temperature, the n probe means, range, overall mean.
    QVector<QVector<double>> rows;
    QVector<double> uncertainty;   // expanded uncertainty per row (certificates)
    QStringList rates;             // the eight rate texts (empty texts without a rate run)
    QStringList linearity;         // the 28 sample-linearity texts (empty: none entered)
    QStringList probes;            // layout points "row:column" in probe order
    bool hasUniformity = true;     // the calibration names a uniformity cycle file
    QString unit;                  // "℃" or "℉"
    int decimals = 2;

    // Texts of the calibration record; every temperature already in the display unit.
    QString company, calibrationTime, ambientTemperature, humidity, pressure, calibrator, checker;
    QString deviceName, deviceModel, serialNumber, manufacturer;
    QString certificateNumber;   // the number the documents are issued under
    QString auditHead;           // the audit chain's head "COUNT:HASH" when the document was made

    // Identification a laboratory's certificate carries beyond the calibration record.
    QString issueDate, calibrationDate, laboratory, method, clientAddress;
    QString standardName, standardModel, standardSerial, standardCertificate, standardValidUntil,
        standardUncertainty;
    QVector<BudgetRow> budget;   // per row of `rows` (original records)
    QByteArray curves;           // PNG of the run with its plateaus (original records); empty: none

    // Ambient conditions in one line: "23.50 ℃, 45 %RH, 101.3 kPa" (empty parts left out).
    QString ambientText() const;

    PerformanceContent performance;
};

// The four documents, filled through WordReport/ExcelReport in the fixed order of calls that
// the templates are laid out for. Each returns 0 when the document was written, 3 when the
// template (or, for PDF, LibreOffice) failed, 4 when the output could not be written, 5 when
// `cancel` was set during the PDF conversion; *error then holds the reason. Nothing is left at
// outputPath on failure.
namespace ReportWriter {

enum Result { Written = 0, TemplateFailed = 3, WriteFailed = 4, Cancelled = 5 };

int certificateWord(const QString &templatePath, const ReportContent &content, const QString &outputPath, bool pdf,
                    QString *error = nullptr, const std::atomic<bool> *cancel = nullptr);
int originalRecordWord(const QString &templatePath, const ReportContent &content, const QString &outputPath, bool pdf,
                       QString *error = nullptr, const std::atomic<bool> *cancel = nullptr);
int certificateExcel(const QString &templatePath, const ReportContent &content, const QString &outputPath,
                     QString *error = nullptr);
int originalRecordExcel(const QString &templatePath, const ReportContent &content, const QString &outputPath,
                        QString *error = nullptr);

// Probe columns of the original-record templates: the collector's channel count.
constexpr int maxRecordProbes = 16;

} // namespace ReportWriter
