#include "reports/ExportJob.h"

#include "analysis/CycleFile.h"
#include "analysis/Uniformity.h"
#include "analysis/Units.h"
#include "reports/ExportNames.h"
#include "store/OutputFile.h"
#include "reports/RawWorkbook.h"
#include "reports/ReportTemplates.h"
#include "store/SampleReader.h"
#include "store/auditchain.h"
#include "store/certificates.h"
#include "store/ThreadConnection.h"
#include "reports/ColumnLetters.h"
#include "reports/RunPicture.h"
#include "store/datawords.h"
#include "store/profiles.h"
#include "store/queries.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QSettings>
#include <QThread>

#include <cmath>
#include <memory>

namespace {

// Calibration kinds as the acquisition stores them (never translated).
const QString uniformityModel = DataWords::uniformityItem();
const QString rateModel = DataWords::rateItem();

const QString timeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");

// Samples between two looks at the cancel flag while writing a workbook.
constexpr int CancelEvery = 1024;

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// A number for JSON: null where it is not finite (one probe gives no uncertainty).
QJsonValue jsonNumber(double value)
{
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

QJsonObject printed(double value, const QString &text)
{
    return QJsonObject{{QStringLiteral("value"), jsonNumber(value)}, {QStringLiteral("text"), text}};
}

QString withDetail(const QString &text, const QString &detail)
{
    return detail.isEmpty() ? text : text + QLatin1Char('\n') + detail;
}

} // namespace

ExportJob::Settings ExportJob::Settings::current()
{
    Settings s;
    s.unit = Tool::TemperatureUnit;
    s.decimals = Tool::TemperatureAccuracy;
    s.laboratory = Tool::CorporateName;
    const QFileInfo ini(Tool::ConfigFileName);
    QFile readable(Tool::ConfigFileName);
    if (!ini.exists())
        s.configProblem = tr("缺少设置文件 %1。").arg(QDir::toNativeSeparators(ini.absoluteFilePath()));
    else if (!ini.isFile() || !readable.open(QIODevice::ReadOnly))
        s.configProblem = tr("设置文件 %1 无法读取（%2）。")
                              .arg(QDir::toNativeSeparators(ini.absoluteFilePath()), readable.errorString());
    const auto config = Tool::configFile();
    s.method = config->value(QStringLiteral("Certificate/Method")).toString().trimmed();
    if (s.method.isEmpty())
        s.method = defaultMethod();
    s.numberPattern = config->value(QStringLiteral("Certificate/NumberPattern")).toString().trimmed();
    if (s.numberPattern.isEmpty())
        s.numberPattern = Certificates::defaultPattern();
    s.issueDate = QDate::currentDate();
    s.performance = PerformanceReport::currentOptions();
    return s;
}

QString ExportJob::Settings::defaultMethod()
{
    return tr("JJF 1527-2015《聚合酶链反应分析仪校准规范》");
}

ExportJob::ExportJob(int mode, const QString &format, const Tool::Struct_Calibration &calibration,
                     const Settings &settings)
    : m_mode(mode), m_format(format), m_calibration(calibration), m_settings(settings)
{
    // Made on the thread of the default connection; a worker writing the document opens its own
    // connection on this file.
    if (Tool::isDatabaseOpen())
        m_databaseFile = Tool::databaseFileName();
}

bool ExportJob::cancelled() const
{
    return m_control.cancel && m_control.cancel->load();
}

bool ExportJob::isCancelCode(int code) const
{
    return m_mode == CertificateMode || m_mode == OriginalRecordMode ? code == Cancelled : code == RawCancelled;
}

void ExportJob::progress(qint64 done, qint64 total) const
{
    if (m_control.progress)
        m_control.progress(done, total);
}

int ExportJob::probeCount() const
{
    return m_calibration.NumberChannels.trimmed().toInt();
}

double ExportJob::interval() const
{
    // A stored interval outside what a run can have is no interval: the analysis refuses it.
    const double value = m_calibration.Interval.trimmed().toDouble();
    return Analysis::isUsableInterval(value) ? value : qQNaN();
}

// ---------------------------------------------------------------------------------------------
// Preparation

bool ExportJob::LoadCycleFiles(QString *message)
{
    m_uniformitySteps.clear();
    m_rateSteps.clear();
    const struct
    {
        const QString &name;
        Analysis::CycleFileRole role;
        QVector<CycleStep> &steps;
    } files[] = {{m_calibration.UniformityFile, Analysis::CycleFileRole::Uniformity, m_uniformitySteps},
                 {m_calibration.RateFile, Analysis::CycleFileRole::Rate, m_rateSteps}};
    for (const auto &file : files) {
        if (file.name.isEmpty())
            continue;
        QList<Tool::Struct_CyclicFile> records;
        Tool::queryCyclicFile(records, Queries::cyclicFileByName(file.name));
        Analysis::CycleFileColumns columns;
        if (!records.isEmpty())
            columns = {records.first().StepCount, records.first().SetTemperatures, records.first().HoldTimes};
        const Analysis::CycleFileError error
            = Analysis::loadCycleFile(records.isEmpty() ? nullptr : &columns, file.role, file.steps);
        if (error != Analysis::CycleFileError::None) {
            m_uniformitySteps.clear();
            m_rateSteps.clear();
            if (message)
                *message = Analysis::cycleFileErrorText(error);
            return false;
        }
    }
    // Without a readable profile the figures are printed without verdicts.
    if (!PerformanceReport::loadProfile(m_calibration.DeviceModel, &m_profile, &m_hasProfile))
        m_hasProfile = false;
    return true;
}

void ExportJob::setProfile(const Analysis::PerformanceProfile &profile, bool found)
{
    m_profile = profile;
    m_hasProfile = found;
}

QDateTime ExportJob::wholeRunFrom()
{
    return QDateTime(QDate(1, 1, 1), QTime(0, 0));
}

QDateTime ExportJob::wholeRunTo()
{
    return QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999));
}

void ExportJob::LoadRunData(const QDateTime &from, const QDateTime &to)
{
    m_from = from;
    m_to = to;
    m_uniformitySamples.clear();
    m_rateSamples.clear();
    m_segments.clear();
    m_markers.clear();
    const int n = probeCount();
    const QString &name = m_calibration.CalibrationName;
    const bool uniformity = !m_calibration.UniformityFile.isEmpty();
    const bool rate = !m_calibration.RateFile.isEmpty();
    SampleReader reader;
    reader.setCancelFlag(m_control.cancel);
    // Both runs count towards one progress: the rows of the first, then those of the second.
    qint64 before = 0, first = 0;
    if (m_control.progress) {
        first = uniformity ? std::max<qint64>(0, reader.countRows(name, uniformityModel)) : 0;
        const qint64 total = first + (rate ? std::max<qint64>(0, reader.countRows(name, rateModel)) : 0);
        reader.setProgress([this, &before, total](qint64 done, qint64) { progress(before + done, total); });
    }
    m_readFailed = false;
    if (uniformity) {
        m_uniformitySamples = reader.readRun(name, uniformityModel, n, from, to);
        m_readFailed = reader.status() == SampleReader::Failed;
    }
    before = first;
    if (rate && !cancelled() && !m_readFailed) {
        m_rateSamples = reader.readRun(name, rateModel, n, from, to);
        m_readFailed = reader.status() == SampleReader::Failed;
    }
    if (m_readFailed) {
        // A damaged page ends the rows early; a shortened run must not pass for the whole one.
        qDebug().noquote() << QStringLiteral("读取校准数据失败：") + name << reader.errorString();
        m_uniformitySamples.clear();
        m_rateSamples.clear();
    }
}

bool ExportJob::prepare(const QDateTime &from, const QDateTime &to, double tolerance,
                        const QVector<QDateTime> *markers, QString *message)
{
    if (!LoadCycleFiles(message))
        return false;
    LoadRunData(from, to);
    if (m_readFailed) {
        if (message)
            *message = damagedText();
        return false;
    }
    if (!needsSegments())
        return true;
    QVector<QDateTime> cut;
    if (markers) {
        cut = *markers;
    } else {
        const Analysis::AutoSegmentResult found = AutoSegment(tolerance);
        if (found.outcome != Analysis::AutoSegmentOutcome::Found) {
            if (message)
                *message = Analysis::autoSegmentFailedText();
            return false;
        }
        for (int k = 0; k < found.starts.size(); ++k)
            cut << found.starts.at(k) << found.ends.at(k);
    }
    const Analysis::CutError error = setMarkers(cut);
    if (error != Analysis::CutError::None) {
        if (message)
            *message = Analysis::cutErrorText(error);
        return false;
    }
    return true;
}

bool ExportJob::needsSegments() const
{
    return (m_mode == CertificateMode || m_mode == OriginalRecordMode) && !m_uniformitySamples.isEmpty();
}

Analysis::AutoSegmentResult ExportJob::AutoSegment(double tolerance) const
{
    return Analysis::AutoSegment(tolerance, m_uniformitySteps, m_uniformitySamples, probeCount(), interval());
}

Analysis::CutError ExportJob::setMarkers(const QVector<QDateTime> &markers)
{
    Analysis::CutResult cut = Analysis::cutSegments(markers, m_uniformitySteps, m_uniformitySamples);
    if (cut.error != Analysis::CutError::None) {
        m_segments.clear();
        m_markers.clear();
    } else {
        m_segments = std::move(cut.segments);
        m_markers = markers;
    }
    return cut.error;
}

void ExportJob::setSegments(const QVector<Segment> &segments, const QVector<QDateTime> &markers)
{
    m_segments = segments;
    m_markers = markers;
}

bool ExportJob::probeCountAllowed() const
{
    return m_mode != OriginalRecordMode || probeCount() <= ReportWriter::maxRecordProbes;
}

QString ExportJob::probeLimitText()
{
    return tr("不支持导出超过16个探头！");
}

// ---------------------------------------------------------------------------------------------
// Analysis

int ExportJob::UniformityAnalysisData(QVector<UniformityRow> &rows) const
{
    return Analysis::UniformityAnalysisData(m_uniformitySamples, m_segments, m_uniformitySteps, probeCount(), rows);
}

int ExportJob::RateAnalysisData(QStringList &texts) const
{
    return Analysis::RateAnalysisData(m_rateSamples, m_rateSteps, probeCount(), interval(), m_settings.unit,
                                      m_settings.decimals, texts);
}

int ExportJob::analyse()
{
    m_results = Results();
    const QString &unit = m_settings.unit;
    if (!m_calibration.UniformityFile.isEmpty()) {
        m_results.uniformityCode = UniformityAnalysisData(m_results.rows);
        qDebug().noquote() << QStringLiteral("均匀度:") + QString::number(m_results.uniformityCode);
        if (m_results.uniformityCode > 0)
            return UniformityFailed;
        m_results.displayRows = Analysis::displayRows(m_results.rows, unit);
        // The second component: the measuring instrument's registered uncertainty (k = 2).
        m_instrument = Tool::Struct_Electrometer();
        m_results.instrumentFound = Certificates::measuringInstrument(m_calibration.ElectrometerName, &m_instrument);
        m_results.instrumentU2 = Analysis::instrumentStandardUncertainty(m_instrument.Uncertain,
                                                                          &m_results.instrumentUncertaintyFound);
        for (const UniformityRow &row : qAsConst(m_results.rows)) {
            Analysis::UncertaintyBudget b = Analysis::uncertaintyBudget(row, m_results.instrumentU2);
            for (double *v : {&b.u1, &b.u2, &b.combined, &b.expanded})
                *v = Analysis::displayDifference(*v, unit);
            m_results.budget.append(b);
            m_results.uncertainty.append(b.expanded);
        }
    }
    if (!m_calibration.RateFile.isEmpty()) {
        m_results.rateCode = Analysis::RateAnalysisData(m_rateSamples, m_rateSteps, probeCount(), interval(),
                                                        m_results.rate);
        qDebug().noquote() << QStringLiteral("升降温:") + QString::number(m_results.rateCode);
        if (m_results.rateCode > 0)
            return RateFailed;
        m_results.rateTexts = Analysis::rateTexts(m_results.rate, unit, m_settings.decimals);
        if (m_results.rate.hasData)
            qInfo().noquote() << QStringLiteral("返回数据为：(") + m_results.rateTexts.join(QStringLiteral(", "))
                    + QLatin1Char(')');
    } else {
        for (int i = 0; i < 8; ++i)
            m_results.rateTexts << QString();
    }

    PerformanceReport::Input &p = m_results.performance;
    p.options = m_settings.performance;
    if (!m_calibration.UniformityFile.isEmpty())
        p.result.steps = Analysis::stepPerformance(m_uniformitySamples, m_segments, m_uniformitySteps, probeCount(),
                                                   p.options.settings);
    if (!m_calibration.RateFile.isEmpty())
        p.result.rate = Analysis::ratePerformance(m_rateSamples, m_rateSteps, probeCount(), p.options.settings.rateWindow);
    p.profile = m_profile;
    p.hasProfile = m_hasProfile;
    p.model = m_calibration.DeviceModel;
    if (!m_calibration.LayoutPoints.isEmpty())
        p.probes = m_calibration.LayoutPoints.split(QLatin1Char(','));
    p.unit = unit;
    p.decimals = m_settings.decimals;
    m_results.figures = PerformanceReport::figures(p);
    m_results.verdict = Analysis::overallVerdict(m_results.figures);
    return Written;
}

ReportContent ExportJob::content() const
{
    const Tool::Struct_Calibration &c = m_calibration;
    ReportContent content;
    content.rows = m_results.displayRows;
    content.uncertainty = m_results.uncertainty;
    content.rates = m_results.rateTexts;
    if (!c.CalibrationLinear.isEmpty())
        content.linearity = c.CalibrationLinear.split(QLatin1Char(','));
    if (!c.LayoutPoints.isEmpty())
        content.probes = c.LayoutPoints.split(QLatin1Char(','));
    content.hasUniformity = !c.UniformityFile.isEmpty();
    content.unit = m_settings.unit;
    content.decimals = m_settings.decimals;
    content.company = c.Company;
    content.calibrationTime = c.CalibrationTime;
    // Stored in ℃ with two decimals; both original records print it in the display unit.
    content.ambientTemperature = c.AmbientTemperature;
    bool ok = false;
    const double ambient = c.AmbientTemperature.trimmed().toDouble(&ok);
    if (ok && Analysis::isFahrenheit(m_settings.unit))
        content.ambientTemperature = fixed(Analysis::displayTemperature(ambient, m_settings.unit), 2);
    content.humidity = c.AmbientHumidity;
    // The calibration page takes the pressure in mbar; both original records print kPa.
    content.pressure = c.AmbientPressure;
    const double mbar = c.AmbientPressure.trimmed().toDouble(&ok);
    if (ok && std::isfinite(mbar))
        content.pressure = QString::number(mbar / 10.0, 'g', 12);
    content.calibrator = c.Calibrator;
    content.checker = c.Checker;
    content.deviceName = c.DeviceName;
    content.deviceModel = c.DeviceModel;
    content.serialNumber = c.SerialNumber;
    content.manufacturer = c.Manufacturer;
    content.certificateNumber = m_certificateNumber.isEmpty() ? c.CertificateNumber : m_certificateNumber;
    content.issueDate = m_settings.issueDate.toString(QStringLiteral("yyyy-MM-dd"));
    content.calibrationDate = c.CalibrationTime.trimmed().left(10);
    content.laboratory = m_settings.laboratory;
    content.method = m_settings.method;
    content.standardName = m_instrument.DeviceName.isEmpty() ? c.ElectrometerName : m_instrument.DeviceName;
    content.standardModel = m_instrument.DeviceModel;
    content.standardSerial = m_instrument.SerialNumber;
    content.standardCertificate = m_instrument.CertificateNumber;
    content.standardValidUntil = m_instrument.CalibrationCycle.trimmed().left(10);
    // A bare number is the expanded uncertainty in ℃ with k = 2, as the analysis takes it.
    bool plain = false;
    const double registered = m_instrument.Uncertain.trimmed().toDouble(&plain);
    content.standardUncertainty = plain && std::isfinite(registered)
        ? QStringLiteral("U = %1 ℃ (k=2)").arg(m_instrument.Uncertain.trimmed())
        : m_instrument.Uncertain;
    for (int k = 0; k < m_results.budget.size() && k < m_results.displayRows.size(); ++k) {
        const Analysis::UncertaintyBudget &b = m_results.budget.at(k);
        content.budget.append({m_results.displayRows.at(k).first(), b.u1, b.u2, b.combined, b.k, b.expanded});
    }
    content.performance = PerformanceReport::content(m_results.performance);
    return content;
}

// ---------------------------------------------------------------------------------------------
// Output

int ExportJob::writeDocument(int kind, const QString &outputPath)
{
    // The measuring instrument and the certificate number are read and stored on a connection
    // of the writing thread.
    std::unique_ptr<ThreadConnection> connection;
    if (QThread::currentThread() != QCoreApplication::instance()->thread() && !m_databaseFile.isEmpty())
        connection = std::make_unique<ThreadConnection>(m_databaseFile);
    m_error.clear();
    progress(0, 0);
    if (cancelled())
        return Cancelled;
    const int code = analyse();
    if (code != Written)
        return code;
    if (cancelled())
        return Cancelled;
    // The number is the project's from its first document on; both documents carry it.
    const Certificates::Allocation number
        = Certificates::allocate(m_calibration, m_settings.numberPattern, m_settings.issueDate);
    if (!number.ok) {
        m_error = tr("无法分配证书编号：%1").arg(number.error);
        return WriteFailed;
    }
    m_certificateNumber = number.number;
    ReportContent c = content();
    // The audit chain's head as the document is made: a later check holds the trail to it.
    c.auditHead = AuditChain::head(ThreadConnection::current()).text();
    if (kind == ReportTemplates::OriginalRecordWord || kind == ReportTemplates::OriginalRecordExcel)
        c.curves = curvesPicture();
    const auto templateKind = static_cast<ReportTemplates::Kind>(kind);
    const QString templatePath = ReportTemplates::path(templateKind);
    const bool pdf = m_format == QStringLiteral("PDF");
    switch (templateKind) {
    case ReportTemplates::CertificateWord:
        return ReportWriter::certificateWord(templatePath, c, outputPath, pdf, &m_error, m_control.cancel);
    case ReportTemplates::OriginalRecordWord:
        return ReportWriter::originalRecordWord(templatePath, c, outputPath, pdf, &m_error, m_control.cancel);
    case ReportTemplates::CertificateExcel:
        return ReportWriter::certificateExcel(templatePath, c, outputPath, &m_error);
    case ReportTemplates::OriginalRecordExcel:
        return ReportWriter::originalRecordExcel(templatePath, c, outputPath, &m_error);
    }
    return TemplateFailed;
}

QByteArray ExportJob::curvesPicture() const
{
    QVector<RunPicture::Window> windows;
    for (int d = 0; 2 * d + 1 < m_markers.size(); ++d) {
        QString label;
        if (d < m_uniformitySteps.size())
            label = QString::number(Analysis::displayTemperature(m_uniformitySteps.at(d).temperature, m_settings.unit), 'f', 0)
                + m_settings.unit;
        windows.append({m_markers.at(2 * d), m_markers.at(2 * d + 1), label});
    }
    RunPicture::Options options;
    options.unit = m_settings.unit;
    if (!m_calibration.LayoutPoints.isEmpty())
        for (const QString &point : m_calibration.LayoutPoints.split(QLatin1Char(',')))
            options.probeLabels << probeLabel(point).plain();
    return RunPicture::png(m_uniformitySamples, windows, options);
}

int ExportJob::CalibrationReport(const QString &outputPath)
{
    if (m_format == QStringLiteral("Excel"))
        return CalibrationReportExcel(outputPath);
    if (m_format == QStringLiteral("Word") || m_format == QStringLiteral("PDF"))
        return CalibrationReportWord(outputPath);
    m_error = tr("未知的导出格式：%1").arg(m_format);
    return TemplateFailed;
}

int ExportJob::OriginalRecord(const QString &outputPath)
{
    if (m_format == QStringLiteral("Excel"))
        return OriginalRecordExcel(outputPath);
    if (m_format == QStringLiteral("Word") || m_format == QStringLiteral("PDF"))
        return OriginalRecordWord(outputPath);
    m_error = tr("未知的导出格式：%1").arg(m_format);
    return TemplateFailed;
}

int ExportJob::CalibrationReportWord(const QString &outputPath)
{
    return writeDocument(ReportTemplates::CertificateWord, outputPath);
}

int ExportJob::OriginalRecordWord(const QString &outputPath)
{
    return writeDocument(ReportTemplates::OriginalRecordWord, outputPath);
}

int ExportJob::CalibrationReportExcel(const QString &outputPath)
{
    return writeDocument(ReportTemplates::CertificateExcel, outputPath);
}

int ExportJob::OriginalRecordExcel(const QString &outputPath)
{
    return writeDocument(ReportTemplates::OriginalRecordExcel, outputPath);
}

int ExportJob::WriteRawWorkbook(const QString &outputPath)
{
    m_error.clear();
    RawWorkbook book;
    if (book.begin(outputPath, m_calibration.LayoutPoints) != 0) {
        m_error = book.errorString();
        return RawSheetFailed;
    }
    const QString &unit = m_settings.unit;
    QVector<double> display;
    // The workbook is only renamed into place by finish(): returning before it leaves nothing.
    const qint64 total = m_uniformitySamples.size() + m_rateSamples.size();
    qint64 written = 0;
    auto addBlock = [&](const QVector<RunSample> &samples) {
        for (const RunSample &sample : samples) {
            display.resize(sample.values.size());
            for (int p = 0; p < sample.values.size(); ++p)
                display[p] = Analysis::displayTemperature(sample.values.at(p), unit);
            book.addSample(sample.time, display);
            if (++written % CancelEvery == 0) {
                progress(written, total);
                if (cancelled())
                    return false;
            }
        }
        return true;
    };
    if (!m_uniformitySamples.isEmpty()) {
        book.beginUniformityBlock();
        if (!addBlock(m_uniformitySamples))
            return RawCancelled;
    }
    if (!m_rateSamples.isEmpty()) {
        book.beginRateBlock();
        if (!addBlock(m_rateSamples))
            return RawCancelled;
    }
    if (cancelled())
        return RawCancelled;
    progress(0, 0);   // packing the workbook: no figure for it
    if (book.finish() != 0) {
        m_error = book.errorString();
        return RawSaveFailed;
    }
    return RawWritten;
}

QString ExportJob::issueRefusal() const
{
    if (m_mode != CertificateMode)
        return QString();
    if (!m_settings.configProblem.isEmpty())
        return m_settings.configProblem + QLatin1Char('\n')
            + tr("校准证书须写明校准实验室（公司名称），设置无法读取时不能出具。");
    if (m_settings.laboratory.trimmed().isEmpty())
        return tr("未设置公司名称：校准证书须写明校准实验室，不能出具。请在“系统设置”中填写公司名称。");
    return QString();
}

int ExportJob::write(const QString &outputPath)
{
    // Whatever asked for it, the workspace's own files and devices are never written over.
    const OutputFile::Check check = OutputFile::check(outputPath, OutputFile::workspaceDirs(), true);
    if (check != OutputFile::Check::Writable) {
        m_error = OutputFile::refusalText(check, outputPath);
        return m_mode == RawDataMode ? int(RawSaveFailed) : int(WriteFailed);
    }
    switch (m_mode) {
    case CertificateMode:
        return CalibrationReport(outputPath);
    case OriginalRecordMode:
        return OriginalRecord(outputPath);
    default:
        return WriteRawWorkbook(outputPath);
    }
}

ExportJob::Outcome ExportJob::finish(int code, const QString &outputPath) const
{
    const QString &name = m_calibration.CalibrationName;
    if (isCancelCode(code)) {
        // The user stopped it and knows; nothing was written, nothing is audited.
        qDebug().noquote() << QStringLiteral("导出已取消：") + outputPath;
        return {false, QString(), QString()};
    }
    if (m_mode != CertificateMode && m_mode != OriginalRecordMode) {
        if (code > 0) {
            qDebug().noquote() << QStringLiteral("原始数据导出错误码为：") + QString::number(code);
            if (!m_error.isEmpty())
                qDebug().noquote() << m_error;
            return {false, warningTitle(), withDetail(tr("数据导出失败！"), m_error)};
        }
        if (!Tool::SaveAuditLog(AuditEvent::ExportRawData, tr("原始数据导出：") + name))
            return {false, warningTitle(), auditFailedText()};
        qDebug().noquote() << QStringLiteral("原始数据导出路径为:") + outputPath;
        return {true, tipTitle(), tr("数据导出成功！")};
    }

    const bool certificate = m_mode == CertificateMode;
    if (code > 0) {
        qDebug().noquote() << (certificate ? QStringLiteral("校准报告导出错误码为：") : QStringLiteral("校准记录导出错误码为："))
                + QString::number(code);
        if (!m_error.isEmpty())
            qDebug().noquote() << m_error;
        QString text;
        switch (code) {
        case UniformityFailed:
            text = tr("均匀度数据获取失败！");
            break;
        case RateFailed:
            text = tr("升降温速率获取失败！");
            break;
        case TemplateFailed:
            text = withDetail(tr("模板打开失败！"), m_error);
            break;
        default:
            text = withDetail(tr("文件保存失败！"), m_error);
            break;
        }
        return {false, warningTitle(), text};
    }
    const bool audited = certificate ? Tool::SaveAuditLog(AuditEvent::ExportReport, tr("校准报告导出：") + name)
                                     : Tool::SaveAuditLog(AuditEvent::ExportRecord, tr("校准记录导出：") + name);
    if (!audited)
        return {false, warningTitle(), auditFailedText()};
    // The export page shows it beside the calibration.
    if (!m_results.figures.isEmpty()
        && !Profiles::saveVerdict(name, PerformanceReport::verdictWord(m_results.verdict), m_calibration.DeviceModel,
                                  QDateTime::currentDateTime().toString(Tool::TimeFormat)))
        qDebug().noquote() << QStringLiteral("性能判定保存失败：") + name;
    qDebug().noquote() << (certificate ? QStringLiteral("校准报告导出路径为:") : QStringLiteral("校准记录导出路径为:"))
            + outputPath;
    return {true, tipTitle(), tr("数据导出成功！")};
}

// ---------------------------------------------------------------------------------------------
// Results for automation

QJsonObject ExportJob::resultsJson() const
{
    const QString &unit = m_settings.unit;
    const int decimals = m_settings.decimals;
    QJsonObject root;
    root.insert(QStringLiteral("calibration"), m_calibration.CalibrationName);
    static const char *const kinds[] = {"certificate", "record", "raw"};
    root.insert(QStringLiteral("kind"), QLatin1String(kinds[qBound(0, m_mode, 2)]));
    root.insert(QStringLiteral("unit"), unit);
    root.insert(QStringLiteral("decimals"), decimals);
    root.insert(QStringLiteral("probes"), probeCount());
    root.insert(QStringLiteral("uniformitySamples"), m_uniformitySamples.size());
    root.insert(QStringLiteral("rateSamples"), m_rateSamples.size());
    auto time = [](const QDateTime &t) { return t.isValid() ? QJsonValue(t.toString(timeFormat)) : QJsonValue(); };
    // The window as it applied: the first and last sample read, when no bound was given.
    QDateTime first, last;
    for (const QVector<RunSample> *run : {&m_uniformitySamples, &m_rateSamples}) {
        if (run->isEmpty())
            continue;
        if (!first.isValid() || run->first().time < first)
            first = run->first().time;
        if (!last.isValid() || run->last().time > last)
            last = run->last().time;
    }
    const bool openFrom = !m_from.isValid() || m_from == wholeRunFrom();
    const bool openTo = !m_to.isValid() || m_to == wholeRunTo();
    root.insert(QStringLiteral("window"), QJsonObject{{QStringLiteral("from"), time(openFrom ? first : m_from)},
                                                      {QStringLiteral("to"), time(openTo ? last : m_to)}});

    QJsonArray segments;
    for (int d = 0; d < m_segments.size(); ++d) {
        QJsonObject s;
        if (d < m_uniformitySteps.size())
            s.insert(QStringLiteral("setTemperature"),
                     printed(Analysis::displayTemperature(m_uniformitySteps.at(d).temperature, unit),
                             fixed(Analysis::displayTemperature(m_uniformitySteps.at(d).temperature, unit), decimals)));
        if (2 * d + 1 < m_markers.size()) {
            s.insert(QStringLiteral("start"), time(m_markers.at(2 * d)));
            s.insert(QStringLiteral("end"), time(m_markers.at(2 * d + 1)));
        }
        const Segment &segment = m_segments.at(d);
        s.insert(QStringLiteral("samples"), segment.size());
        if (!segment.isEmpty()) {
            s.insert(QStringLiteral("firstSample"), time(segment.first().time));
            s.insert(QStringLiteral("lastSample"), time(segment.last().time));
        }
        segments.append(s);
    }
    root.insert(QStringLiteral("segments"), segments);

    // Both components of each row's uncertainty, the combined one, k and U.
    auto budgetJson = [&](int k) -> QJsonValue {
        if (k >= m_results.budget.size())
            return QJsonValue();
        const Analysis::UncertaintyBudget &b = m_results.budget.at(k);
        const int fine = std::max(decimals, 3);
        return QJsonObject{{QStringLiteral("u1"), printed(b.u1, fixed(b.u1, fine))},
                           {QStringLiteral("u2"), printed(b.u2, fixed(b.u2, fine))},
                           {QStringLiteral("combined"), printed(b.combined, fixed(b.combined, fine))},
                           {QStringLiteral("k"), b.k},
                           {QStringLiteral("expanded"), printed(b.expanded, fixed(b.expanded, decimals))}};
    };
    QJsonArray rows;
    for (int k = 0; k < m_results.displayRows.size(); ++k) {
        const UniformityRow &row = m_results.displayRows.at(k);
        const int n = row.size() - 3;
        QJsonArray means;
        for (int j = 1; j <= n; ++j)
            means.append(printed(row.at(j), fixed(row.at(j), decimals)));
        const double deviation = row.first() - row.last();
        const double u = k < m_results.uncertainty.size() ? m_results.uncertainty.at(k) : qQNaN();
        rows.append(QJsonObject{
            {QStringLiteral("setTemperature"), printed(row.first(), fixed(row.first(), decimals))},
            {QStringLiteral("probeMeans"), means},
            {QStringLiteral("range"), printed(row.at(n + 1), fixed(row.at(n + 1), decimals))},
            {QStringLiteral("mean"), printed(row.last(), fixed(row.last(), decimals))},
            {QStringLiteral("deviation"), printed(deviation, fixed(deviation, decimals))},
            {QStringLiteral("uncertainty"), printed(u, fixed(u, decimals))},
            {QStringLiteral("uncertaintyBudget"), budgetJson(k)},
        });
    }
    root.insert(QStringLiteral("uniformity"), rows);
    root.insert(QStringLiteral("certificateNumber"),
                m_certificateNumber.isEmpty() ? QJsonValue() : QJsonValue(m_certificateNumber));
    root.insert(QStringLiteral("measuringInstrument"),
                QJsonObject{{QStringLiteral("name"), m_calibration.ElectrometerName},
                            {QStringLiteral("registered"), m_results.instrumentFound},
                            {QStringLiteral("uncertainty"), m_instrument.Uncertain},
                            {QStringLiteral("u2"), printed(Analysis::displayDifference(m_results.instrumentU2, unit),
                                                           fixed(Analysis::displayDifference(m_results.instrumentU2, unit),
                                                                 std::max(decimals, 3)))}});

    const Analysis::RateResult &r = m_results.rate;
    if (r.hasData && m_results.rateTexts.size() == 8) {
        const QStringList &t = m_results.rateTexts;
        auto temperature = [&](double v) { return Analysis::displayTemperature(v, unit); };
        auto difference = [&](double v) { return Analysis::displayDifference(v, unit); };
        root.insert(QStringLiteral("rates"),
                    QJsonObject{{QStringLiteral("heatingStart"), printed(temperature(r.heatingStart), t.at(0))},
                                {QStringLiteral("heatingEnd"), printed(temperature(r.heatingEnd), t.at(1))},
                                {QStringLiteral("heatingTime"), printed(r.heatingTime, t.at(2))},
                                {QStringLiteral("heatingRate"), printed(difference(r.heatingRate), t.at(3))},
                                {QStringLiteral("coolingStart"), printed(temperature(r.coolingStart), t.at(4))},
                                {QStringLiteral("coolingEnd"), printed(temperature(r.coolingEnd), t.at(5))},
                                {QStringLiteral("coolingTime"), printed(r.coolingTime, t.at(6))},
                                {QStringLiteral("coolingRate"), printed(difference(r.coolingRate), t.at(7))}});
    } else {
        root.insert(QStringLiteral("rates"), QJsonValue());
    }
    root.insert(QStringLiteral("performance"), PerformanceReport::json(m_results.performance));
    return root;
}

// ---------------------------------------------------------------------------------------------
// Formats and titles

QString ExportJob::fileFilter(const QString &format)
{
    return ExportNames::fileFilter(format);
}

QString ExportJob::fileSuffix(const QString &format)
{
    if (format == QStringLiteral("Word"))
        return QStringLiteral("docx");
    if (format == QStringLiteral("Excel"))
        return QStringLiteral("xlsx");
    if (format == QStringLiteral("PDF"))
        return QStringLiteral("pdf");
    return QString();
}

bool ExportJob::isKnownFormat(const QString &format)
{
    return !fileSuffix(format).isEmpty();
}

QString ExportJob::tipTitle()
{
    return tr("提示");
}

QString ExportJob::damagedText()
{
    return tr("数据库损坏，无法完整读取校准数据！");
}

QString ExportJob::auditFailedText()
{
    return tr("文件已导出，但审计日志写入失败！");
}

QString ExportJob::warningTitle()
{
    return tr("警告");
}
