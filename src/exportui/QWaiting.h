#pragma once

#include "exportui/DataExportConfirm.h"
#include "reports/ExportJob.h"

#include <QDateTime>
#include <QDialog>

#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class WorkerThread;

// The export job as the user sees it: a small "exporting" dialog with a progress bar and a
// cancel button. StartExport() starts the preparation (cycle files, runs) on a worker; once the
// dialog is up and the runs are read, the plateau confirmation and the save dialog come up on
// this thread, then the document or workbook is written on a worker again. The dialog tells the
// outcome and closes itself: Accepted when a file was written. The work is ExportJob's; the
// window never waits for it.
//
//   QWaiting waiting(page);
//   waiting.StartExport(mode, format, calibration, from, to);
//   waiting.exec();
class QWaiting : public QDialog
{
    Q_OBJECT

public:
    explicit QWaiting(QWidget *parent = nullptr);
    ~QWaiting() override;

    // mode: ExportJob::Mode; format "Word", "Excel" or "PDF".
    void StartExport(int mode, const QString &format, const Tool::Struct_Calibration &calibration,
                     const QDateTime &from, const QDateTime &to);

    // The preparation and the writes on the calling thread, for callers that already are on a
    // worker or need no window. False after a message when a cycle file is missing or unusable.
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
    // The worker of the step under way (reading or writing); it runs while isRunning().
    WorkerThread *worker() const { return m_worker; }

public slots:
    // Starts the write of the prepared export on a worker (or closes the dialog when there is
    // nothing to write).
    void BackupTimer_slots();
    // The close button and Escape cancel the step under way, as the cancel button does; the
    // dialog closes once the worker has stopped.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    enum class Step { Idle, Reading, Writing };
    void stepOver();
    void closeWith(int result);
    void prepared();
    void written();
    void cancelExport();
    void showProgress(int permille);
    int report(int code, const QString &path);

    std::unique_ptr<ExportJob> m_job;
    WorkerThread *m_worker;
    QTimer *m_timer;
    QLabel *m_label;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
    Step m_step = Step::Idle;
    bool m_stepOverPending = false;   // a step ended before the dialog was shown
    int m_closePending = -1;          // closed before it was shown: the result to close with
    bool m_connectionFailed = false;
    bool m_cycleFilesFailed = false;
    QString m_message;
    DataExportConfirm::Prepared m_prepared;   // the confirmation's chart, made on the worker
    int m_writeCode = -1;
    int m_lastCode = -1;
};
