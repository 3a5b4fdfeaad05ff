#pragma once
// The communication settings of one device (link type, address, port or baud rate) with a
// communication test. The opener hands in the device's record and, after OK, takes it back with
// record() and keeps it.

#include "probecal/BleDiscovery.h"
#include "probecal/ConnectionTest.h"
#include "probecal/ProbeDevices.h"
#include "probecal/StopSignal.h"

#include <QDialog>

#include <atomic>
#include <memory>
#include <thread>

namespace Ui {
class ThermistorScan;
}

class ThermistorScan : public QDialog
{
    Q_OBJECT

public:
    explicit ThermistorScan(const DeviceRecord &record, QWidget *parent = nullptr);
    // Stops a test still running and joins its thread.
    ~ThermistorScan() override;

    // The record as OK (or the last test) stored it.
    DeviceRecord record() const { return m_record; }
    // A communication test is in progress.
    bool isTesting() const { return testing.load(); }
    // The Bluetooth search of the address list is in progress.
    bool isSearching() const { return discovery.isSearching(); }

signals:
    void MessageBox_signals(QString title, QString text);
    // From the test thread when the test has ended.
    void ScanEnded_signals(int outcome, int openCalls);

public slots:
    void pt_OK_clicked();
    void pt_Scan_clicked();
    void cb_Communication_clicked(const QString &text);
    void MessageBox_slots(const QString &title, const QString &text);
    // Closing while a test runs asks it to stop and closes once it has.
    void reject() override;

protected:
    void changeEvent(QEvent *event) override;

private:
    DeviceRecord formRecord() const;
    void showRecord();
    void fillLinkTypes();
    // The stored word of the chosen link type.
    QString currentMode() const;
    void showLabels(const QString &mode);
    void retranslate();
    void showSearch(const QStringList &names, BleDiscovery::Outcome outcome);
    void ScanEnded_slots(int outcome, int openCalls);
    void therad_Scan(LinkSettings link);
    void joinTest();

    std::unique_ptr<Ui::ThermistorScan> ui;
    DeviceRecord m_record;
    std::unique_ptr<Device> driver;
    BleDiscovery discovery;
    QStringList foundNames;
    BleDiscovery::Outcome searchOutcome = BleDiscovery::Outcome::Found;
    bool searched = false;

    std::thread worker;
    StopSignal stop;
    std::atomic<bool> testing{false};
    bool closeRequested = false;
};
