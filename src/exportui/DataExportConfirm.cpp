#include "exportui/DataExportConfirm.h"

#include "analysis/Segmentation.h"
#include "analysis/Units.h"
#include "app/messages.h"
#include "app/widgets.h"
#include "chart/ChartView.h"

#include <QDateTimeAxis>
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using Widgets::named;

DataExportConfirm::DataExportConfirm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DataExportConfirm"));
    setWindowIcon(QIcon(QStringLiteral(":/PCR/Image/DataExport.png")));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));
    resize(1200, 760);

    m_indexLabel = named(new QLabel(this), "label_Index");
    m_index = named(new QLineEdit(QStringLiteral("0.1"), this), "lineEdit_Index");
    m_index->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]+$")), m_index));
    m_index->setMaximumWidth(120);
    m_refresh = named(new QPushButton(this), "pushButton_Index");
    m_chart = named(new ChartView(this), "chartView");
    m_add = named(new QPushButton(this), "pushButton_Add");
    m_delete = named(new QPushButton(this), "pushButton_Delete");
    m_cancel = named(new QPushButton(this), "pushButton_Cancel");
    m_ok = named(new QPushButton(this), "pushButton_OK");

    auto *top = new QHBoxLayout;
    top->addWidget(m_indexLabel);
    top->addWidget(m_index);
    top->addWidget(m_refresh);
    top->addStretch();
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_add);
    bottom->addWidget(m_delete);
    bottom->addStretch();
    bottom->addWidget(m_cancel);
    bottom->addWidget(m_ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_chart, 1);
    layout->addLayout(bottom);

    connect(m_ok, &QPushButton::clicked, this, &DataExportConfirm::OK_clicked);
    connect(m_cancel, &QPushButton::clicked, this, &DataExportConfirm::Cancel_clicked);
    connect(m_add, &QPushButton::clicked, this, &DataExportConfirm::Add_clicked);
    connect(m_delete, &QPushButton::clicked, this, &DataExportConfirm::Delete_clicked);
    connect(m_refresh, &QPushButton::clicked, this, &DataExportConfirm::Index_clicked);
    // Enter in the index field refreshes, it does not confirm the dialog.
    m_ok->setAutoDefault(false);
    for (QPushButton *b : {m_add, m_delete, m_cancel, m_refresh})
        b->setAutoDefault(false);
    retranslate();
}

void DataExportConfirm::retranslate()
{
    m_tip = tr("提示");
    setWindowTitle(tr("导出确认"));
    m_indexLabel->setText(tr("稳定指标："));
    m_refresh->setText(tr("刷新"));
    m_add->setText(tr("添加"));
    m_delete->setText(tr("删除"));
    m_cancel->setText(tr("取消"));
    m_ok->setText(tr("确定"));
}

void DataExportConfirm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

DataExportConfirm::Prepared DataExportConfirm::prepare(const Tool::Struct_Calibration &calibration, const QString &unit,
                                                      const QVector<RunSample> &samples, const QVector<CycleStep> &steps)
{
    Prepared prepared;
    const int n = calibration.NumberChannels.toInt();
    if (samples.isEmpty() || n <= 0)
        return prepared;
    // Drawn in the display unit; the samples themselves stay in ℃ for the cutting.
    QVector<double> x;
    x.reserve(samples.size());
    for (const RunSample &s : samples)
        x.append(double(s.time.toMSecsSinceEpoch()));
    QVector<QPointF> curve;
    curve.reserve(samples.size());
    prepared.curves.resize(n);
    for (int p = 0; p < n; ++p) {
        curve.clear();
        for (int i = 0; i < samples.size(); ++i) {
            const RunSample &s = samples.at(i);
            if (p >= s.values.size())
                continue;
            const double y = Analysis::displayTemperature(s.values.at(p), unit);
            curve.append(QPointF(x.at(i), y));
            prepared.low = std::min(prepared.low, y);
            prepared.high = std::max(prepared.high, y);
        }
        prepared.curves[p].replace(curve);
    }
    prepared.proposal = Analysis::AutoSegment(0.1, steps, samples, n, calibration.Interval.toDouble());
    return prepared;
}

void DataExportConfirm::SetData(const Tool::Struct_Calibration &calibration, const QString &unit,
                                const QVector<RunSample> &samples, const QVector<CycleStep> &steps)
{
    SetData(calibration, unit, samples, steps, prepare(calibration, unit, samples, steps));
}

void DataExportConfirm::SetData(const Tool::Struct_Calibration &calibration, const QString &unit,
                                const QVector<RunSample> &samples, const QVector<CycleStep> &steps,
                                Prepared prepared)
{
    m_calibration = calibration;
    m_unit = unit;
    m_samples = samples;
    m_steps = steps;
    m_segments.clear();
    m_markers.clear();

    m_chart->SetSeries(calibration.CalibrationName, calibration.ChannelNumbers, unit);
    const int n = calibration.NumberChannels.toInt();
    if (samples.isEmpty() || n <= 0)
        return;
    for (int p = 0; p < n && p < prepared.curves.size(); ++p)
        m_chart->ReplaceSeries(p, std::move(prepared.curves[p]));
    m_chart->SetRange(prepared.low - 5, prepared.high + 5, samples.first().time, samples.last().time);
    placeMarkers(prepared.proposal);
}

void DataExportConfirm::AutoSegment(double tolerance)
{
    placeMarkers(Analysis::AutoSegment(tolerance, m_steps, m_samples, m_calibration.NumberChannels.toInt(),
                                       m_calibration.Interval.toDouble()));
}

void DataExportConfirm::placeMarkers(const Analysis::AutoSegmentResult &found)
{
    switch (found.outcome) {
    case Analysis::AutoSegmentOutcome::NotRun:
        return;
    case Analysis::AutoSegmentOutcome::Failed:
        Messages::information(this, m_tip, Analysis::autoSegmentFailedText());
        return;
    case Analysis::AutoSegmentOutcome::Found:
        // Each pair shares one colour: the start takes a new one, the end keeps it.
        for (int k = 0; k < m_steps.size(); ++k) {
            m_chart->AddVerticalLine(found.starts.at(k), Analysis::markerLabel(m_steps.at(k), false, m_unit), false);
            m_chart->AddVerticalLine(found.ends.at(k), Analysis::markerLabel(m_steps.at(k), true, m_unit), true);
        }
        showProposal(found.ends);
        return;
    }
}

// A day-long run whose plateaus lie in its first half hour would show every proposed marker within
// a few pixels. When the markers take less than half the run, the view opens from the first
// sample to a little past the last proposed end; the home range stays the whole run, which a
// double click brings back.
void DataExportConfirm::showProposal(const QVector<QDateTime> &ends)
{
    if (m_samples.isEmpty() || ends.isEmpty())
        return;
    const QDateTime first = m_samples.first().time;
    const QDateTime lastEnd = *std::max_element(ends.begin(), ends.end());
    const QDateTime to = lastEnd.addMSecs(first.msecsTo(lastEnd) / 10);
    if (first.msecsTo(to) < first.msecsTo(m_samples.last().time) / 2)
        m_chart->timeAxis()->setRange(first, to);
}

void DataExportConfirm::OK_clicked()
{
    QVector<QDateTime> markers;
    for (int i = 0; i < m_chart->VerticalLineCount(); ++i) {
        int mark = 0;
        QDateTime time;
        markers.append(m_chart->GetVerticalLine(i, mark, time) ? time : QDateTime());
    }
    Analysis::CutResult cut = Analysis::cutSegments(markers, m_steps, m_samples);
    if (cut.error != Analysis::CutError::None) {
        Messages::information(this, m_tip, Analysis::cutErrorText(cut.error));
        return;
    }
    m_segments = std::move(cut.segments);
    m_markers = markers;
    accept();
}

void DataExportConfirm::Cancel_clicked()
{
    reject();
}

void DataExportConfirm::Add_clicked()
{
    const int k = m_chart->VerticalLineCount();
    if (k >= 2 * m_steps.size()) {
        Messages::information(this, m_tip, tr("标注线已全部添加！"));
        return;
    }
    if (m_samples.isEmpty())
        return;
    const bool end = k % 2 == 1;
    m_chart->AddVerticalLine(m_samples.first().time, Analysis::markerLabel(m_steps.at(k / 2), end, m_unit), end);
}

void DataExportConfirm::Delete_clicked()
{
    const int count = m_chart->VerticalLineCount();
    if (count == 0) {
        Messages::information(this, m_tip, tr("标注线已全部删除！"));
        return;
    }
    m_chart->RemoveVerticalLine(count - 1);
}

void DataExportConfirm::Index_clicked()
{
    bool ok = false;
    const double tolerance = m_index->text().toDouble(&ok);
    if (!ok || !std::isfinite(tolerance) || tolerance <= 0) {
        Messages::information(this, m_tip, tr("稳定指标设置错误！"));
        return;
    }
    m_chart->ClearVerticalLines();
    AutoSegment(tolerance);
}
