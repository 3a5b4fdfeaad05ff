#include "exportui/QWaiting.h"

#include "app/messages.h"
#include "exportui/DataExportConfirm.h"

#include <QFileDialog>
#include <QIcon>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

QWaiting::QWaiting(QWidget *parent) : QDialog(parent), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("QWaiting"));
    resize(296, 70);
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
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &QWaiting::BackupTimer_slots);
}

QWaiting::~QWaiting() = default;

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
    }
    if (proceed && !LoadCycleFiles())
        proceed = false;
    if (proceed)
        LoadRunData(from, to);
    if (proceed && m_job->needsSegments()) {
        DataExportConfirm confirm(this);
        confirm.SetData(calibration, m_job->settings().unit, m_job->uniformitySamples(), m_job->uniformitySteps());
        if (confirm.exec() == QDialog::Accepted)
            m_job->setSegments(confirm.segments(), confirm.markers());
        else
            proceed = false;
    }
    if (proceed) {
        QFileDialog dialog(this, tr("保存文件"), QString(), ExportJob::fileFilter(format));
        dialog.setObjectName(QStringLiteral("saveFileDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // A name typed without its extension still gets one.
        dialog.setDefaultSuffix(ExportJob::fileSuffix(format));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().value(0).isEmpty())
            outputPath = dialog.selectedFiles().value(0);
        else
            proceed = false;
    }
    m_timer->start(500);
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

void QWaiting::BackupTimer_slots()
{
    if (proceed) {
        if (exportMode == ExportJob::CertificateMode)
            CalibrationReport(outputPath);
        else if (exportMode == ExportJob::OriginalRecordMode)
            OriginalRecord(outputPath);
        else
            Custom(outputPath);
    }
    done(proceed && m_lastCode == 0 ? QDialog::Accepted : QDialog::Rejected);
}

int QWaiting::report(int code, const QString &path)
{
    m_lastCode = code;
    const ExportJob::Outcome outcome = m_job->finish(code, path);
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
