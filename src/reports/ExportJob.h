#pragma once

#include "analysis/AnalysisTypes.h"
#include "analysis/Rate.h"
#include "analysis/Segmentation.h"
#include "analysis/Uniformity.h"
#include "reports/PerformanceReport.h"
#include "reports/ReportWriter.h"
#include "store/tool.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <functional>

// The export of one calibration without any widget: loading its cycle files and runs, the
// plateau segments, the analysis and the writing of the certificate, the original record or the
// raw workbook, with the outcome's message, log line and audit entry. The waiting dialog and
// the command-line tool are thin shells over it.
//
// The analysis runs on the stored ℃ samples; the results are turned into the display unit of
// `Settings` only for what is printed.
//
// The job touches no widget and no default connection of its own: the reading and the writing
// run on whatever thread calls them, on that thread's connection (a worker's ThreadConnection),
// and report to the Control given. finish() writes the audit entry and belongs on the thread of
// the default connection.
class ExportJob
{
    Q_DECLARE_TR_FUNCTIONS(ExportJob)

public:
    enum Mode { CertificateMode = 0, OriginalRecordMode = 1, RawDataMode = 2 };

    // Codes of the certificate and original-record writers.
    enum DocumentCode {
        Written = 0,
        UniformityFailed = 1,   // "均匀度数据获取失败！"
        RateFailed = 2,         // "升降温速率获取失败！"
        TemplateFailed = 3,     // "模板打开失败！" (also a missing or failing LibreOffice)
        WriteFailed = 4,        // the output file could not be written
        Cancelled = 5,          // stopped by the cancel flag; nothing written
    };
    // Codes of the raw workbook writer: 0 written, 1 the sheet could not be added, 2 saving
    // failed, 3 stopped by the cancel flag (nothing written).
    enum RawCode { RawWritten = 0, RawSheetFailed = 1, RawSaveFailed = 2, RawCancelled = 3 };

    // Progress and cancel of the long steps (reading the runs, writing, the PDF conversion),
    // called on the thread that runs them. A cancelled step leaves no file behind.
    struct Control
    {
        const std::atomic<bool> *cancel = nullptr;
        std::function<void(qint64 done, qint64 total)> progress;   // total <= 0: not known
    };

    // Unit and decimals of what is printed; captured once, when the job is made.
    struct Settings
    {
        QString unit;       // "℃" or "℉"
        int decimals = 2;   // fixed-point decimals of printed numbers
        QString laboratory;      // the company name of the settings
        QString method;          // the calibration method printed (config "Certificate/Method")
        QString numberPattern;   // new certificate numbers (config "Certificate/NumberPattern")
        QDate issueDate;         // the day the documents are issued
        PerformanceReport::Options performance;   // band, fixed times, rate window, annex
        QString configProblem;   // config.ini missing or unreadable: what the user is told
        // Tool::TemperatureUnit, Tool::TemperatureAccuracy, Tool::CorporateName, config.ini's
        // certificate keys (defaults where missing) and [Performance], and today.
        static Settings current();
        static QString defaultMethod();
    };

    // What one export computed. Rows and rate values come in ℃ and in the display unit.
    struct Results
    {
        int uniformityCode = 0;                 // Analysis::UniformityCode, 0 without a uniformity run
        int rateCode = 0;                       // Analysis::RateCode, 0 without a rate run
        QVector<UniformityRow> rows;            // ℃, ascending, one per set temperature
        QVector<UniformityRow> displayRows;     // the same in the display unit
        QVector<double> uncertainty;            // per row, display unit (certificates)
        QVector<Analysis::UncertaintyBudget> budget;   // per row, display unit
        bool instrumentFound = false;           // the measuring instrument is registered
        bool instrumentUncertaintyFound = false;   // and its uncertainty holds a number
        double instrumentU2 = 0.0;              // its standard uncertainty, ℃
        Analysis::RateResult rate;              // ℃, unrounded
        QStringList rateTexts;                  // the eight printed texts (empty without data)
        // The figures beyond uniformity, with the profile they are judged against.
        PerformanceReport::Input performance;
        QVector<Analysis::PerformanceFigure> figures;
        Analysis::Verdict verdict = Analysis::Verdict::NotJudged;
    };

    // One outcome as the user is told: a failure goes under "警告", a success under "提示".
    struct Outcome
    {
        bool success = false;
        QString title;
        QString text;
    };

    ExportJob(int mode, const QString &format, const Tool::Struct_Calibration &calibration,
              const Settings &settings = Settings::current());

    int mode() const { return m_mode; }
    QString format() const { return m_format; }
    const Tool::Struct_Calibration &calibration() const { return m_calibration; }
    const Settings &settings() const { return m_settings; }
    int probeCount() const;
    double interval() const;

    void setControl(const Control &control) { m_control = control; }
    bool cancelled() const;
    // Whether a write code means the cancel flag stopped it.
    bool isCancelCode(int code) const;

    // --- preparation -------------------------------------------------------------------------

    // Both cycle files named by the calibration (uniformity, then rate with its checks), and the
    // performance profile of its instrument model. False with the message to show under "警告"
    // when a cycle file is missing or unusable.
    bool LoadCycleFiles(QString *message = nullptr);
    // The profile read by LoadCycleFiles (found: the model has one).
    bool hasProfile() const { return m_hasProfile; }
    // One given instead of the stored one.
    void setProfile(const Analysis::PerformanceProfile &profile, bool found);

    // The runs inside [from, to]; wholeRunFrom()/wholeRunTo() take every stored row. A cancel
    // leaves the runs cut short; cancelled() then says so.
    void LoadRunData(const QDateTime &from, const QDateTime &to);
    static QDateTime wholeRunFrom();
    static QDateTime wholeRunTo();

    // The whole preparation without a person: cycle files, runs inside [from, to], and for a
    // certificate or record the uniformity run cut at `markers` or, when none are given, where
    // the automatic search with `tolerance` puts them. False with the message the dialog would
    // show for the same refusal.
    bool prepare(const QDateTime &from, const QDateTime &to, double tolerance,
                 const QVector<QDateTime> *markers, QString *message);

    // Whether the uniformity run must be cut into plateaus before the document is written.
    bool needsSegments() const;

    // The automatic proposal of a start and an end marker per uniformity step.
    Analysis::AutoSegmentResult AutoSegment(double tolerance) const;

    // Cuts the uniformity run at the given markers (start 1, end 1, start 2, ...) and keeps the
    // segments; the cutting's error otherwise, with nothing kept.
    Analysis::CutError setMarkers(const QVector<QDateTime> &markers);
    // Segments confirmed elsewhere (the confirmation dialog), with their markers.
    void setSegments(const QVector<Segment> &segments, const QVector<QDateTime> &markers);

    const QVector<CycleStep> &uniformitySteps() const { return m_uniformitySteps; }
    const QVector<CycleStep> &rateSteps() const { return m_rateSteps; }
    const QVector<RunSample> &uniformitySamples() const { return m_uniformitySamples; }
    const QVector<RunSample> &rateSamples() const { return m_rateSamples; }
    const QVector<Segment> &uniformitySegments() const { return m_segments; }
    const QVector<QDateTime> &markers() const { return m_markers; }

    // Why the document may not be issued: a certificate names the calibration laboratory, so it
    // needs config.ini read and a company name set. Empty when nothing stands in the way (the
    // original record and the raw workbook print no laboratory).
    QString issueRefusal() const;

    // An original record has room for 16 probes (the collector's channels).
    bool probeCountAllowed() const;
    static QString probeLimitText();   // "不支持导出超过16个探头！"

    // --- analysis ----------------------------------------------------------------------------

    // Rows in ℃ (codes of Analysis::UniformityAnalysisData).
    int UniformityAnalysisData(QVector<UniformityRow> &rows) const;
    // The rate texts in the display unit (codes of Analysis::RateAnalysisData).
    int RateAnalysisData(QStringList &texts) const;

    // The writers' common part: uniformity rows (if a uniformity file is named), uncertainties,
    // rates (if a rate file is named), then the performance figures and their verdicts. 0, or
    // the writer code 1 or 2. Fills results().
    int analyse();
    const Results &results() const { return m_results; }

    // What the document prints, from results() and the calibration record.
    ReportContent content() const;

    // --- output ------------------------------------------------------------------------------

    // The dispatchers by format ("Word" and "PDF": the word-processor document, "Excel": the
    // spreadsheet), each analysing first. Document codes.
    int CalibrationReport(const QString &outputPath);
    int OriginalRecord(const QString &outputPath);
    int CalibrationReportWord(const QString &outputPath);
    int OriginalRecordWord(const QString &outputPath);
    int CalibrationReportExcel(const QString &outputPath);
    int OriginalRecordExcel(const QString &outputPath);
    // Raw codes.
    int WriteRawWorkbook(const QString &outputPath);
    // By mode: CalibrationReport, OriginalRecord or WriteRawWorkbook.
    int write(const QString &outputPath);

    // The number the last certificate or original record was issued under (empty before).
    QString certificateNumber() const { return m_certificateNumber; }
    // The measuring instrument of the calibration as registered (after analyse()).
    const Tool::Struct_Electrometer &measuringInstrument() const { return m_instrument; }

    // Why the last write failed, as the document layer says it (may be empty).
    QString errorString() const { return m_error; }

    // Writes the log lines and, on success, the audit entry of the mode (and for a certificate or
    // record the overall performance verdict beside the calibration); returns what to show
    // (nothing, for a cancelled write).
    Outcome finish(int code, const QString &outputPath) const;

    // The computed results for automation: window, segments, rows with their uncertainty budget,
    // rates and the certificate number, each number both unrounded (display unit) and as printed.
    QJsonObject resultsJson() const;

    // Save-dialog filter and file suffix of a format ("Word", "Excel", "PDF"); empty for others.
    static QString fileFilter(const QString &format);
    static QString fileSuffix(const QString &format);
    static bool isKnownFormat(const QString &format);

    static QString tipTitle();       // "提示"
    static QString warningTitle();   // "警告"
    // The samples could not be read to the end (a damaged database); nothing is exported.
    bool readFailed() const { return m_readFailed; }
    static QString damagedText();
    // The outcome of a written export whose audit entry could not be stored.
    static QString auditFailedText();

private:
    int writeDocument(int kind, const QString &outputPath);
    // The uniformity run with its plateau windows, as PNG (empty without samples or a GUI).
    QByteArray curvesPicture() const;
    void progress(qint64 done, qint64 total) const;

    int m_mode;
    QString m_format;
    Tool::Struct_Calibration m_calibration;
    Settings m_settings;
    QDateTime m_from;
    QDateTime m_to;
    QVector<CycleStep> m_uniformitySteps;
    QVector<CycleStep> m_rateSteps;
    QVector<RunSample> m_uniformitySamples;
    QVector<RunSample> m_rateSamples;
    QVector<Segment> m_segments;
    QVector<QDateTime> m_markers;
    Results m_results;
    QString m_databaseFile;
    Tool::Struct_Electrometer m_instrument;
    QString m_certificateNumber;
    Analysis::PerformanceProfile m_profile;
    bool m_hasProfile = false;
    bool m_readFailed = false;
    QString m_error;
    Control m_control;
};
