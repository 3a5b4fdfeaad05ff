#pragma once
// Manual probe calibration and verification: the operator brings the bath to each point himself
// and presses its button; the dialog reads the reference (or takes its value typed in) and every
// probe, judges the probes in a verification, and fits and stores the coefficients on request.
// The connection, each point and the disconnection are steps of a ProbeCalibrationRun; the run
// lists are the page's, kept in config.ini.

#include "acquisition/ProbeCalibrationRun.h"

#include <QDialog>

#include <array>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class ThermistorManual : public QDialog
{
    Q_OBJECT

public:
    ThermistorManual(const ProbeCalibrationRun::Setup &setup, QWidget *parent = nullptr);
    // Stops a step in progress (within a second) and closes the devices.
    ~ThermistorManual() override;

    ProbeCalibrationRun *run() const { return probeRun; }
    // The point buttons, from 0.
    QPushButton *pointButton(int index) const { return pointButtons.at(size_t(index)); }

    // The worker of point k (from 0): reads the reference, or takes value when there is no
    // reference driver, and every probe.
    void therad_Collection(int k, double value = 0);

public slots:
    void pt_1_clicked();
    void pt_2_clicked();
    void pt_3_clicked();
    void pt_4_clicked();
    void pt_5_clicked();
    void pt_6_clicked();
    void pt_7_clicked();
    void pt_8_clicked();
    void pt_9_clicked();
    void pt_Open_clicked();
    void pt_Count_clicked();
    void PlainTextEdit_slots(const QString &line);
    void MessageBox_slots(const QString &title, const QString &text);
    // Closing while a step runs stops it first.
    void reject() override;

signals:
    void PlainTextEdit_signals(const QString &line);
    void MessageBox_signals(const QString &title, const QString &text);

protected:
    void changeEvent(QEvent *event) override;

private:
    void buildForm();
    void retranslateUi();
    void pointClicked(int index);
    void pointCompleted(int index, const QString &reference, const QStringList &values);
    void stepEnded(ProbeCalibrationRun::Step step, bool ok, ProbeCalibrationRun::Fault fault);
    // Buttons as the state gives them: nothing while a step runs, the point buttons only while
    // connected.
    void showState();
    int storedPoints() const;

    ProbeCalibrationRun::Setup setup;
    ProbeCalibrationRun *probeRun = nullptr;
    bool setUp = false;   // the probe set and the lists were there
    int nextPoint = 0;    // the point whose button a connection enables
    std::array<bool, ProbeCalibration::MaximumPoints> enabledPoints{};

    QPushButton *pushButton_Open = nullptr;
    QPushButton *pushButton_Count = nullptr;
    std::array<QPushButton *, ProbeCalibration::MaximumPoints> pointButtons{};
    std::array<QLineEdit *, ProbeCalibration::MaximumPoints> pointValues{};
    QPlainTextEdit *plainTextEdit = nullptr;
};
