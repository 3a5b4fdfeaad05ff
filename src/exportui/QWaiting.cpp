#include "exportui/QWaiting.h"

#include "reports/ExportNames.h"

#include "app/messages.h"
#include "store/ThreadConnection.h"
#include "store/WorkerThread.h"

#include <QDebug>
#include <QFileDialog>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

QWaiting::QWaiting(QWidget *parent)
    : QDialog(parent), m_worker(new WorkerThread(this)), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("QWaiting"));
    resize(296, 130);
    setWindowIcon(QIcon(QStringLiteral(":/PCR/Image/DataExport.png")));
    setStyleSheet(QStringLiteral("font: 16pt \"宋体\";"));
    setWindowTitle(tr("正在导出"));
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(6);
    layout->setContentsMargins(11, 11, 11, 11);
    m_label = new QLabel(tr("正在导出中..."), this);
    m_label->setObjectName(QStringLiteral("label_Name"));
    m_label->setFixedSize(270, 30);
    m_label->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_label);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setRange(0, 0);
    m_progress->setTextVisible(false);
    layout->addWidget(m_progress);
    m_cancel = new QPushButton(tr("取消"), this);
    m_cancel->setObjectName(QStringLiteral("pushButton_Cancel"));
    m_cancel->setAutoDefault(false);
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);

    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &QWaiting::BackupTimer_slots);
    connect(m_cancel, &QPushButton::clicked, this, &QWaiting::cancelExport);
    connect(m_worker, &WorkerThread::progressChanged, this, &QWaiting::showProgress);
    connect(m_worker, &WorkerThread::finished, this, &QWaiting::stepOver);
}

QWaiting::~QWaiting()
{
    // The worker uses the job: it stops and is joined before the job goes.
    delete m_worker;
}

void QWaiting::StartExport(int mode, const QString &format, const Tool::Struct_Calibration &calibration,
                           const QDateTime &from, const QDateTime &to)
{
    exportMode = mode;
    exportFormat = format;
    proceed = true;
    m_job = std::make_unique<ExportJob>(mode, format, calibration);

    // Nothing could be written without a format; say so before any work rather than close silently.
    if (!ExportJob::isKnownFormat(format)) {
        Messages::warning(this, ExportJob::warningTitle(), tr("请先在系统设置中设置导出格式！"));
        proceed = false;
        m_timer->start(0);
        return;
    }
    WorkerThread *worker = m_worker;
    m_job->setControl({worker->cancelFlag(), [worker](qint64 done, qint64 total) { worker->setProgress(done, total); }});
    ExportJob *job = m_job.get();
    const QString file = Tool::databaseFileName();
    m_step = Step::Reading;
    m_worker->start([this, job, file, from, to](WorkerThread &) {
        ThreadConnection connection(file);
        if (!connection.isOpen()) {
            qDebug().noquote() << "打开数据库失败！" << connection.errorString();
            m_connectionFailed = true;
            return;
        }
        if (!job->LoadCycleFiles(&m_message)) {
            m_cycleFilesFailed = true;
            return;
        }
        job->LoadRunData(from, to);
        // The confirmation's curves and proposal for a day-long run take long to make; the
        // dialog itself is shown here on the GUI thread.
        if (job->needsSegments() && !job->cancelled())
            m_prepared = DataExportConfirm::prepare(job->calibration(), job->settings().unit,
                                                    job->uniformitySamples(), job->uniformitySteps());
    });
}

void QWaiting::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_stepOverPending) {
        m_stepOverPending = false;
        QTimer::singleShot(0, this, &QWaiting::stepOver);
    }
    if (m_closePending >= 0) {
        const int result = m_closePending;
        m_closePending = -1;
        QTimer::singleShot(0, this, [this, result] { done(result); });
    }
}

void QWaiting::closeWith(int result)
{
    // Closed before it was shown, exec() would show it and wait for good.
    if (isVisible())
        done(result);
    else
        m_closePending = result;
}

void QWaiting::stepOver()
{
    // The dialogs that follow a step are shown over this one: it must be up first.
    if (!isVisible()) {
        m_stepOverPending = true;
        return;
    }
    const Step step = m_step;
    m_step = Step::Idle;
    m_cancel->setEnabled(true);
    if (step == Step::Reading)
        prepared();
    else if (step == Step::Writing)
        written();
}

void QWaiting::prepared()
{
    if (m_worker->isCancelled() || m_job->cancelled()) {
        proceed = false;
        closeWith(QDialog::Rejected);
        return;
    }
    if (m_connectionFailed || m_cycleFilesFailed || m_job->readFailed()) {
        Messages::warning(this, ExportJob::warningTitle(),
                          m_connectionFailed ? tr("打开数据库失败！")
                                             : m_job->readFailed() ? ExportJob::damagedText() : m_message);
        proceed = false;
        closeWith(QDialog::Rejected);
        return;
    }
    if (m_job->needsSegments()) {
        DataExportConfirm confirm(this);
        confirm.SetData(m_job->calibration(), m_job->settings().unit, m_job->uniformitySamples(),
                        m_job->uniformitySteps(), std::move(m_prepared));
        m_prepared = DataExportConfirm::Prepared();
        if (confirm.exec() != QDialog::Accepted) {
            proceed = false;
            closeWith(QDialog::Rejected);
            return;
        }
        m_job->setSegments(confirm.segments(), confirm.markers());
    }
    QFileDialog dialog(this, tr("保存文件"), QString(), ExportJob::fileFilter(exportFormat));
    dialog.setObjectName(QStringLiteral("saveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without its extension still gets one.
    dialog.setDefaultSuffix(ExportJob::fileSuffix(exportFormat));
    dialog.selectFile(ExportNames::suggestedFileName(m_job->calibration().CalibrationName, exportMode, exportFormat));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty()) {
        proceed = false;
        closeWith(QDialog::Rejected);
        return;
    }
    outputPath = dialog.selectedFiles().value(0);
    m_timer->start(0);
}

void QWaiting::BackupTimer_slots()
{
    if (!proceed || !m_job) {
        closeWith(QDialog::Rejected);
        return;
    }
    m_progress->setRange(0, 0);
    m_step = Step::Writing;
    ExportJob *job = m_job.get();
    const QString path = outputPath;
    // The job reads nothing from the database while it writes; only its outcome is audited,
    // here, on the default connection.
    m_worker->start([this, job, path](WorkerThread &) { m_writeCode = job->write(path); });
}

void QWaiting::written()
{
    if (m_job->isCancelCode(m_writeCode)) {
        m_lastCode = m_writeCode;
        m_job->finish(m_writeCode, outputPath);
        proceed = false;
        closeWith(QDialog::Rejected);
        return;
    }
    report(m_writeCode, outputPath);
    closeWith(proceed && m_lastCode == 0 ? QDialog::Accepted : QDialog::Rejected);
}

void QWaiting::cancelExport()
{
    if (m_worker->isRunning()) {
        m_worker->cancel();
        m_cancel->setEnabled(false);
        return;
    }
    proceed = false;
    closeWith(QDialog::Rejected);
}

void QWaiting::reject()
{
    cancelExport();
}

void QWaiting::showProgress(int permille)
{
    if (permille < 0) {
        m_progress->setRange(0, 0);
    } else {
        m_progress->setRange(0, 1000);
        m_progress->setValue(permille);
    }
}

bool QWaiting::LoadCycleFiles()
{
    QString message;
    if (m_job->LoadCycleFiles(&message))
        return true;
    Messages::warning(this, ExportJob::warningTitle(), message);
    return false;
}

void QWaiting::LoadRunData(const QDateTime &from, const QDateTime &to)
{
    m_job->LoadRunData(from, to);
}

int QWaiting::report(int code, const QString &path)
{
    m_lastCode = code;
    const ExportJob::Outcome outcome = m_job->finish(code, path);
    if (outcome.text.isEmpty())
        return code;
    if (outcome.success)
        Messages::information(this, outcome.title, outcome.text);
    else
        Messages::warning(this, outcome.title, outcome.text);
    return code;
}

int QWaiting::CalibrationReport(const QString &path)
{
    return report(m_job->CalibrationReport(path), path);
}

int QWaiting::OriginalRecord(const QString &path)
{
    return report(m_job->OriginalRecord(path), path);
}

int QWaiting::Custom(const QString &path)
{
    return report(m_job->WriteRawWorkbook(path), path);
}
