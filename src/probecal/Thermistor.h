#pragma once
// The probe calibration page: the bath, collector and reference with their communication
// settings, the reference probe, the points with their liquid flags, the stability delay and
// index, the live set/current/spread displays and chart, and the automatic and manual runs. The
// run itself is ProbeCalibrationRun; the page reads its form, asks what the run needs asked and
// shows what it reports.

#include "acquisition/ProbeCalibrationRun.h"
#include "app/runningpage.h"

#include <QList>
#include <QWidget>

#include <array>
#include <functional>

class ChartView;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class Thermistor : public QWidget, public RunningPage
{
    Q_OBJECT

public:
    // The three devices of the set-up, in the order of their connection buttons.
    enum DeviceRole { BathDevice = 0, CollectorDevice = 1, ReferenceDevice = 2 };

    explicit Thermistor(QWidget *parent = nullptr);
    // Stops a run in progress (within a second; its completed points stay for a resume) and
    // joins it. Settings are not written here: each was written when it was changed.
    ~Thermistor() override;

    bool isRunning() const override;

    // The communication settings of a device as the page keeps them.
    ProbeCalibration::DeviceSettings deviceSettings(DeviceRole role) const;
    void setDeviceSettings(DeviceRole role, const ProbeCalibration::DeviceSettings &settings);

    // The dialog that edits one device's communication settings; true when it was accepted.
    using ConnectionEditor = std::function<bool(QWidget *parent, ProbeCalibration::DeviceSettings &settings)>;
    static void setConnectionEditor(const ConnectionEditor &editor);

    // The manual calibration dialog, run modally; replaceable for tests.
    using ManualDialog = std::function<void(QWidget *parent, const ProbeCalibrationRun::Setup &setup)>;
    static void setManualDialog(const ManualDialog &dialog);

    // Checks the form and readies the run lists for a calibration (GetParameter) or a
    // verification (GetParameter1); false, after its message, when nothing may start.
    bool GetParameter();
    bool GetParameter1();
    // The run set-up the form describes (probe set and points as the last check took them).
    ProbeCalibrationRun::Setup setupFromForm(ProbeCalibration::Mode mode) const;

    ProbeCalibrationRun *run() const { return probeRun; }
    ChartView *chart() const { return chartView; }

public slots:
    void pt_Scan1_clicked();
    void pt_Scan2_clicked();
    void pt_Scan3_clicked();
    void pt_Calibration_clicked();
    void pt_Verification_clicked();
    void pt_ManualCalibration_clicked();
    void pt_ManualVerification_clicked();
    void Save_slots();
    void InputDialog_slots();
    void Verification_slots();
    void MessageBox_slots(const QString &title, const QString &text);

signals:
    void Save_signals();
    void InputDialog_signals();
    void Verification_signals();
    void MessageBox_signals(const QString &title, const QString &text);

protected:
    void changeEvent(QEvent *event) override;

private:
    void buildForm();
    void retranslateUi();
    // What config.ini keeps of the page, one setting at a time (the devices in DeviceRole order).
    enum class Setting { Bath = 0, Collector = 1, Reference = 2, ReferenceProbe, Delay, Index, Points };
    void ReadConfig();
    void WriteConfig(Setting what);
    // Connects every editor to the writing of its setting.
    void watchSettings();
    // The devices' links as config.ini holds them now, for the devices the page shows.
    void reloadDevices();
    void fillProbeSets();
    bool checkForm(ProbeCalibration::Mode mode);
    // The start button of a mode: stops its run, or checks the form and starts one.
    void startOrStop(ProbeCalibration::Mode mode);
    void startRun(ProbeCalibration::Mode mode);
    void openManual(ProbeCalibration::Mode mode);
    void editConnection(DeviceRole role);
    void showRunning(bool running);
    void setFieldTemp(double temperature);
    void readingTaken(const ProbeCalibrationRun::Reading &reading);
    void runEnded(ProbeCalibrationRun::EndReason reason, ProbeCalibrationRun::Fault fault);

    ProbeCalibrationRun *probeRun = nullptr;
    ChartView *chartView = nullptr;
    ProbeCalibration::Mode runMode = ProbeCalibration::Mode::Calibration;
    std::array<ProbeCalibration::DeviceSettings, 3> devices;
    Tool::Struct_Standardizer probes;                 // of the last check
    QVector<ProbeCalibration::Point> points;          // of the last check
    double residualLimit = ProbeCalibration::StandardResidualLimit;
    double intervalSeconds = ProbeCalibration::StandardIntervalSeconds;
    double enteredReference = 100;                    // the last value InputDialog_slots took

    QGroupBox *groupBox_Device = nullptr;
    QGroupBox *groupBox_Standard = nullptr;
    QGroupBox *groupBox_Parameter = nullptr;
    QGroupBox *groupBox_Live = nullptr;
    QLabel *label_Field = nullptr;
    QLabel *label_Acquisition = nullptr;
    QLabel *label_Criteria = nullptr;
    QComboBox *comboBox_Field = nullptr;
    QComboBox *comboBox_Acquisition = nullptr;
    QComboBox *comboBox_Criteria = nullptr;
    QPushButton *pushButton_Scan1 = nullptr;
    QPushButton *pushButton_Scan2 = nullptr;
    QPushButton *pushButton_Scan3 = nullptr;
    QLabel *label_Mode = nullptr;
    QLabel *label_ChannelNumber = nullptr;
    QComboBox *comboBox_Mode = nullptr;
    QComboBox *comboBox_ChannelNumber = nullptr;
    QLabel *label_R0 = nullptr, *label_A = nullptr, *label_B = nullptr, *label_C = nullptr, *label_D = nullptr,
           *label_A4 = nullptr, *label_B4 = nullptr;
    QLineEdit *lineEdit_R0 = nullptr, *lineEdit_A = nullptr, *lineEdit_B = nullptr, *lineEdit_C = nullptr,
              *lineEdit_D = nullptr, *lineEdit_A4 = nullptr, *lineEdit_B4 = nullptr;
    QLabel *label_Channel = nullptr;
    QComboBox *comboBox_Channel = nullptr;
    QLabel *label_Points = nullptr;
    std::array<QLabel *, ProbeCalibration::MaximumPoints> label_Temp{};
    std::array<QLineEdit *, ProbeCalibration::MaximumPoints> lineEdit_Temp{};
    std::array<QCheckBox *, ProbeCalibration::MaximumPoints> checkBox_Temp{};
    QLabel *label_Delay = nullptr, *label_Delay_1 = nullptr, *label_Index = nullptr, *label_Index_1 = nullptr;
    QLineEdit *lineEdit_Delay = nullptr;
    QLineEdit *lineEdit_Index = nullptr;
    QLabel *label_SetTemp = nullptr, *label_CurrentTemp = nullptr, *label_TempChange = nullptr;
    QLineEdit *lineEdit_SetTemp = nullptr;
    QLineEdit *lineEdit_CurrentTemp = nullptr;
    QLineEdit *lineEdit_TempChange = nullptr;
    QPushButton *pushButton_Calibration = nullptr;
    QPushButton *pushButton_Verification = nullptr;
    QPushButton *pushButton_ManualCalibration = nullptr;
    QPushButton *pushButton_ManualVerification = nullptr;
};
