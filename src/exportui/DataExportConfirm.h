#pragma once

#include "analysis/AnalysisTypes.h"
#include "analysis/Segmentation.h"
#include "chart/ChartViewPoints.h"
#include "store/tool.h"

#include <QDateTime>
#include <QDialog>
#include <QVector>

class ChartView;
class QLabel;
class QLineEdit;
class QPushButton;

// The plateau confirmation of a certificate or original record: the uniformity run on a chart
// with a start and an end marker per set temperature, proposed automatically, which the user
// moves, adds, deletes or has proposed again with another stability index before confirming.
class DataExportConfirm : public QDialog
{
    Q_OBJECT

public:
    explicit DataExportConfirm(QWidget *parent = nullptr);

    // The chart's curves and the automatic proposal (tolerance 0.1) for SetData. No widget is
    // touched: for a day-long run this is the long part, and it runs on a worker.
    struct Prepared
    {
        QVector<ChartViewPoints> curves;   // per probe, in the display unit
        double low = qInf();
        double high = -qInf();
        Analysis::AutoSegmentResult proposal;
    };
    static Prepared prepare(const Tool::Struct_Calibration &calibration, const QString &unit,
                            const QVector<RunSample> &samples, const QVector<CycleStep> &steps);

    // samples in ℃ as stored, drawn in `unit`; the automatic proposal runs with 0.1.
    void SetData(const Tool::Struct_Calibration &calibration, const QString &unit,
                 const QVector<RunSample> &samples, const QVector<CycleStep> &steps);
    // The same with what prepare() computed for these arguments.
    void SetData(const Tool::Struct_Calibration &calibration, const QString &unit,
                 const QVector<RunSample> &samples, const QVector<CycleStep> &steps, Prepared prepared);
    // Replaces the markers with the proposal for `tolerance` (℃).
    void AutoSegment(double tolerance);

    // After Accepted: one segment per step, and the markers they were cut at.
    const QVector<Segment> &segments() const { return m_segments; }
    const QVector<QDateTime> &markers() const { return m_markers; }

    ChartView *chart() const { return m_chart; }

public slots:
    void OK_clicked();
    void Cancel_clicked();
    void Add_clicked();
    void Delete_clicked();
    void Index_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void showProposal(const QVector<QDateTime> &ends);
    void placeMarkers(const Analysis::AutoSegmentResult &found);

    QString m_tip;
    QVector<RunSample> m_samples;
    QVector<CycleStep> m_steps;
    Tool::Struct_Calibration m_calibration;
    QString m_unit;
    QVector<Segment> m_segments;
    QVector<QDateTime> m_markers;

    QLabel *m_indexLabel;
    QLineEdit *m_index;
    QPushButton *m_refresh;
    ChartView *m_chart;
    QPushButton *m_add;
    QPushButton *m_delete;
    QPushButton *m_cancel;
    QPushButton *m_ok;
};
