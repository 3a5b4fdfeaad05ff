#pragma once

#include "reports/ExportJob.h"

#include <QDateTime>
#include <QDialog>

#include <memory>

class QLabel;
class QTimer;

// The export job as the user sees it: a small "exporting" dialog that prepares the export
// (cycle files, runs, the plateau confirmation, the output file), then writes it from a timer
// 500 ms after it is shown, tells the outcome and closes itself. The work is ExportJob's.
//
//   auto *waiting = new QWaiting(page);
//   waiting->StartExport(mode, format, calibration, from, to);
//   waiting->exec();
class QWaiting : public QDialog
{
    Q_OBJECT

public:
    explicit QWaiting(QWidget *parent = nullptr);
    ~QWaiting() override;

    // mode: ExportJob::Mode; format "Word", "Excel" or "PDF".
    void StartExport(int mode, const QString &format, const Tool::Struct_Calibration &calibration,
                     const QDateTime &from, const QDateTime &to);

    // False after a message when a cycle file is missing or unusable.
    bool LoadCycleFiles();
    void LoadRunData(const QDateTime &from, const QDateTime &to);

    // Write, then tell the outcome (message, log line, audit entry); the code of the writer.
    int CalibrationReport(const QString &outputPath);
    int OriginalRecord(const QString &outputPath);
    int Custom(const QString &outputPath);

    int exportMode = ExportJob::CertificateMode;
    QString exportFormat;
    bool proceed = true;
    QString outputPath;

    // The job (null before StartExport).
    ExportJob *job() const { return m_job.get(); }
    // The code of the last write; -1 when nothing was written.
    int lastCode() const { return m_lastCode; }

public slots:
    void BackupTimer_slots();

private:
    int report(int code, const QString &path);

    std::unique_ptr<ExportJob> m_job;
    QTimer *m_timer;
    QLabel *m_label;
    int m_lastCode = -1;
};
