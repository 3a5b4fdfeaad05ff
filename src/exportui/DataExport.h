#pragma once

#include "store/tool.h"

#include <QDateTime>
#include <QWidget>

class ChartView;
class QAction;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;
class QVBoxLayout;
class WorkerThread;

// The data export page: finds stored calibrations, opens one on the chart, narrows the time
// and temperature range, places viewing markers, and starts the certificate, original-record and
// raw-data exports; a calibration can be deleted from the list's context menu. A calibration's
// samples are read on a worker behind a progress window that can cancel the reading.
class DataExport : public QWidget
{
    Q_OBJECT

public:
    explicit DataExport(QWidget *parent = nullptr);
    ~DataExport() override;

    // The opened calibration (empty name before one is opened) and the export window.
    const Tool::Struct_Calibration &calibration() const { return m_calibration; }
    QDateTime windowFrom() const { return m_from; }
    QDateTime windowTo() const { return m_to; }
    ChartView *chart() const { return m_chart; }

    // Opens the calibration of `row` as a double click does: its samples are read on a worker
    // and reach the chart when the reading is over (a cancelled reading changes nothing).
    void openRow(int row);
    // A reading started by openRow() is under way.
    bool isLoading() const;
    // The worker that reads (for checks).
    WorkerThread *loader() const { return m_loader; }

public slots:
    void pt_Query_clicked();
    void pt_TempAdd_clicked();
    void pt_TempDelet_clicked();
    void pt_TimeAdd_clicked();
    void pt_TimeDelete_clicked();
    void pt_DisplayRange_clicked();
    void pt_Custom_clicked();
    void pt_OriginalRecord_clicked();
    void pt_CalibrationReport_clicked();
    void pt_TableWidget_clicked(int row, int column);
    void onGrpMenuTriggered(QAction *action);

protected:
    void changeEvent(QEvent *event) override;

signals:
    // The reading started by openRow() is over and was not cancelled.
    void calibrationOpened();

private:
    struct OpenedRun;
    void showRun(const Tool::Struct_Calibration &calibration, OpenedRun &run);
    void retranslate();
    void fill(const QList<Tool::Struct_Calibration> &list);
    // The stored performance verdict beside each listed project.
    void showVerdicts();
    void showMenu(const QPoint &position);
    void startExport(int mode, const QString &format);

    QString m_tip;
    QString m_warning;
    QDateTime m_from;
    QDateTime m_to;
    Tool::Struct_Calibration m_calibration;

    QLineEdit *m_query;
    QPushButton *m_queryButton;
    QTableWidget *m_table;
    QVBoxLayout *m_chartArea;
    ChartView *m_chart;
    QLabel *m_displayRangeLabel;
    QDateTimeEdit *m_range1;
    QLabel *m_dash;
    QDateTimeEdit *m_range2;
    QLabel *m_leftRangeLabel;
    QLineEdit *m_left1;
    QLabel *m_left1Unit;
    QLineEdit *m_left2;
    QLabel *m_left2Unit;
    QPushButton *m_displayRange;
    QLabel *m_timeTaggingLabel;
    QDateTimeEdit *m_timeTagging;
    QLabel *m_timeRemarksLabel;
    QLineEdit *m_timeRemarks;
    QPushButton *m_timeAdd;
    QPushButton *m_timeDelete;
    QLabel *m_tempTaggingLabel;
    QLineEdit *m_tempTagging;
    QLabel *m_tempUnit;
    QLabel *m_tempRemarksLabel;
    QLineEdit *m_tempRemarks;
    QPushButton *m_tempAdd;
    QPushButton *m_tempDelete;
    QPushButton *m_certificate;
    QPushButton *m_record;
    QPushButton *m_custom;
    QMenu *m_menu;
    QAction *m_deleteAction;
    WorkerThread *m_loader;
};
