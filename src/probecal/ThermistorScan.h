#pragma once
// The communication settings of one device (link type, address, port or baud rate) with a
// communication test. The opener hands in the device's record and, after OK, takes it back with
// record() and keeps it.

#include "probecal/BleDiscovery.h"
#include "probecal/ConnectionTest.h"
#include "probecal/ProbeDevices.h"
#include "acquisition/StopWait.h"

#include <QDialog>

#include <memory>

namespace Ui {
class ThermistorScan;
}

class WorkerThread;

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
    bool isTesting() const;
    // The Bluetooth search of the address list is in progress.
    bool isSearching() const { return discovery.isSearching(); }

public slots:
    void pt_OK_clicked();
    void pt_Scan_clicked();
    void cb_Communication_clicked(const QString &text);
    void MessageBox_slots(const QString &title, const QString &text);
    // Closing while a test runs asks it to stop and closes once it has.
    void reject() override;

signals:
    // The test's result, on its way to the message box.
    void MessageBox_signals(const QString &title, const QString &text);

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
    // On this thread once the test's thread has ended.
    void scanEnded(const ConnectionTest::Result &result);

    std::unique_ptr<Ui::ThermistorScan> ui;
    DeviceRecord m_record;
    std::unique_ptr<Device> driver;
    BleDiscovery discovery;
    QStringList foundNames;
    BleDiscovery::Outcome searchOutcome = BleDiscovery::Outcome::Found;
    bool searched = false;

    StopWait stop;
    WorkerThread *tester;   // joined in the destructor, before the driver goes
    bool closeRequested = false;
};
