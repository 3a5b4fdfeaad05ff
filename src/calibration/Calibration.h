#pragma once
// The calibration page: the project set-up form, the live chart, and the run's buttons and
// messages. The set-up check and the acquisition itself are CalibrationSetup and CalibrationRun.

#include "acquisition/CalibrationRun.h"
#include "acquisition/CalibrationSetup.h"
#include "acquisition/RunProgress.h"
#include "app/runningpage.h"
#include "calibration/CalibrationLinear.h"
#include "store/tool.h"

#include <QDateTime>
#include <QPointer>
#include <QStringList>
#include <QTime>
#include <QWidget>

class ChartView;
class Collection1611A;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;
class QTimeEdit;
class QVBoxLayout;

class Calibration : public QWidget, public RunningPage
{
    Q_OBJECT

public:
    enum ButtonLabel { LabelStart = 0, LabelStop = 1, LabelContinue = 2 };

    explicit Calibration(QWidget *parent = nullptr);
    // Stops a run in progress and joins its worker before the driver goes; rows already taken
    // are kept as a project.
    ~Calibration() override;

    // A run acquires, or its worker is still finishing.
    bool isRunning() const override;

    // 0 when the set-up is valid; otherwise the code and, in message, the text to show.
    int CheckParameter(QString &message);
    // The form's values as CalibrationSetup takes them.
    CalibrationSetup::Form setupForm() const;

    // The project record built by the last validation.
    const Tool::Struct_Calibration &projectRecord() const { return project; }
    ChartView *chart() const { return chartView; }
    Collection1611A *driver() const { return collector; }
    CalibrationRun *acquisition() const { return run; }
    // The sample-linearity window opened after the last save, if still open.
    CalibrationLinear *linearWindow() const { return linearity; }

    // What the run panel shows now: phase, cycle-file step, time, progress (for checks).
    QString phaseText() const;
    QString stepText() const;
    QString timeText() const;
    int progress() const;
    // The layout preview beside the device choice (for checks): its picture and its wells text.
    QLabel *layoutPreview() const { return label_LayoutPreview; }
    QLabel *layoutWells() const { return label_LayoutWells; }
    // The steps of the cycle file of the phase in progress (empty without one).
    const QVector<CycleStep> &programSteps() const { return phaseSteps; }
    const RunProgress::ProbeRanges &probeRanges() const { return ranges; }

public slots:
    void pt_Rate_clicked();
    void pt_StartUp_clicked();
    void pt_Uniformity_clicked();
    void SendOut_slots(int code, QString a, QString b);

signals:
    void SendOut_signals(int code, QString a, QString b);

protected:
    void changeEvent(QEvent *event) override;

private:
    void buildForm();
    // The run panel above the chart and the probe table beside it.
    void buildRunPanel();
    void showRunState();
    void showProbeTable();
    void loadProgramSteps();
    // The chosen layout's picture and which well each channel of the chosen probe set sits in.
    void showLayoutPreview();
    void retranslateUi();
    void InitValidator();
    void InitComboBox();
    void ReadConfig();
    // The one setting that editor holds, written as the engineer changes it.
    void WriteConfig(QWidget *editor);
    // The set-up form read-only from the start of a run until its project is saved or discarded.
    void showFormLocked();

    // Starts the acquisition of one phase on the run's worker.
    void therad_StartUp();

    // What the run reports.
    void sampleTaken(int index, const QStringList &values, const QDateTime &time);
    void instrumentFailed(CalibrationRun::InstrumentFault fault);
    void storeFailed(const QString &error);
    void phaseEnded(CalibrationRun::EndReason reason);

    void setButtonLabel(ButtonLabel label);
    void startPhase(bool firstPhase);
    // Save (true) or discard the open project once its phase has ended.
    void requestClose(bool save);
    // The project record stored (once), the PCR instrument's calibration date, the linearity
    // window. quietly: a failed store of the record is not shown again.
    // finished: the run ended by itself (its notice says so).
    void SaveCalibration(bool quietly = false, bool finished = false);
    void discardData();
    // The open project saved, or its samples discarded; audited as a stopped run.
    void closeProject(bool save);
    void keepOpenProject();

    QString infoTitle;
    QString warningTitle;
    QStringList buttonLabels;
    ButtonLabel buttonLabel = LabelStart;

    ChartView *chartView = nullptr;
    Collection1611A *collector = nullptr;
    CalibrationRun *run = nullptr;

    // Window thread only; the run gets its copies when a phase starts.
    bool running = false;
    bool rateSelected = false;
    bool linearSelected = false;
    bool uniformitySelected = false;
    double interval = 0;
    QTime duration;
    QDateTime start;
    QString unit;   // temperature unit of the phase's channel settings

    Tool::Struct_Calibration project;
    Tool::Struct_Standardizer standardizer;
    Tool::Struct_Electrometer electrometer;
    QPointer<CalibrationLinear> linearity;

    enum class PendingClose { None, Save, Discard };
    QString phaseModel;        // Model of the rows of the phase in progress
    bool projectOpen = false;  // rows may exist that are neither saved as a project nor discarded
    PendingClose pendingClose = PendingClose::None;   // the answer to a Stop, until the phase ends
    qint64 rowsStored = 0;
    bool closing = false;

    QGroupBox *groupBox_Calibration = nullptr;
    QGroupBox *groupBox_1 = nullptr;
    QGroupBox *groupBox_2 = nullptr;
    QGroupBox *groupBox = nullptr;
    QLabel *label_PCRList = nullptr;
    QLabel *label_ElectrometerList = nullptr;
    QLabel *label_StandardizerList = nullptr;
    QLabel *label_Layout = nullptr;
    QComboBox *comboBox_PCRList = nullptr;
    QComboBox *comboBox_ElectrometerList = nullptr;
    QComboBox *comboBox_StandardizerList = nullptr;
    QComboBox *comboBox_Layout = nullptr;
    QCheckBox *checkBox_Uniformity = nullptr;
    QCheckBox *checkBox_Rate = nullptr;
    QCheckBox *checkBox_Linear = nullptr;
    QComboBox *comboBox_Uniformity = nullptr;
    QComboBox *comboBox_Rate = nullptr;
    QComboBox *comboBox_Linear = nullptr;
    QLabel *label_ProjectName = nullptr;
    QLabel *label_AmbientPressure = nullptr;
    QLabel *label_AmbientPressure_1 = nullptr;
    QLabel *label_Company = nullptr;
    QLabel *label_AmbientTemperature = nullptr;
    QLabel *label_AmbientTemperature_1 = nullptr;
    QLabel *label_Long = nullptr;
    QLabel *label_AmbientHumidity = nullptr;
    QLabel *label_AmbientHumidity_1 = nullptr;
    QLabel *label_StartTime = nullptr;
    QLabel *label_Interval = nullptr;
    QLabel *label_Interval_1 = nullptr;
    QLabel *label_ProjectRemarks = nullptr;
    QLabel *label_Calibrated = nullptr;
    QLabel *label_Checked = nullptr;
    QLineEdit *lineEdit_ProjectName = nullptr;
    QLineEdit *lineEdit_AmbientPressure = nullptr;
    QLineEdit *lineEdit_Company = nullptr;
    QLineEdit *lineEdit_AmbientTemperature = nullptr;
    QLineEdit *lineEdit_AmbientHumidity = nullptr;
    QLineEdit *lineEdit_Interval = nullptr;
    QLineEdit *lineEdit_ProjectRemarks = nullptr;
    QLineEdit *lineEdit_Calibrated = nullptr;
    QLineEdit *lineEdit_Checked = nullptr;
    QTimeEdit *timeEdit_Long = nullptr;
    QDateTimeEdit *dateTimeEdit_Time = nullptr;
    QPushButton *pushButton_StartUp = nullptr;
    QVBoxLayout *verticalLayout_5 = nullptr;
    QLabel *label_LayoutPreview = nullptr;
    QLabel *label_LayoutWells = nullptr;

    // The run panel.
    enum class RunState { Idle, Waiting, Acquiring, Paused, Ended };
    RunState runState = RunState::Idle;
    bool acquisitionBegun = false;    // the phase's first sample time has come
    bool finishedSave = false;        // the save to come ends a finished run
    QVector<CycleStep> phaseSteps;
    RunProgress::ProbeRanges ranges;
    QWidget *widget_Run = nullptr;
    QLabel *label_Phase = nullptr;
    QLabel *label_Step = nullptr;
    QLabel *label_RunTime = nullptr;
    QProgressBar *progressBar_Run = nullptr;
    QTableWidget *tableWidget_Probes = nullptr;
    QTimer *runClock = nullptr;
};
