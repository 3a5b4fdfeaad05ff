#pragma once
// The register of the temperature measuring instruments and their communication settings, with a
// communication test against the collector that reads the instrument's serial number.

#include "app/runningpage.h"
#include "store/tool.h"

#include <QWidget>

#include <atomic>
#include <memory>
#include <thread>

namespace Ui {
class Electrometer;
}

class Collection1611A;
struct LinkSettings;

class Electrometer : public QWidget, public RunningPage
{
    Q_OBJECT

public:
    explicit Electrometer(QWidget *parent = nullptr);
    // Waits for a communication test still running (it ends within the driver's time-outs).
    ~Electrometer() override;

    // A communication test is in progress.
    bool isRunning() const override;

signals:
    void MessageBox_signals(QString title, QString text);
    // From the test thread when the test has ended: the identity read (empty when none).
    void ScanResult_signals(QString identity);

public slots:
    void pt_Scan_clicked();
    void pt_Add_clicked();
    void pt_Modify_clicked();
    void pt_Delete_clicked();
    void cb_Communication_clicked(const QString &text);
    void pt_TableWidget_clicked(int row, int column);
    void MessageBox_slots(const QString &title, const QString &text);

protected:
    void changeEvent(QEvent *event) override;

private:
    struct Link
    {
        QString mode;      // stored word
        QString address;   // IP address or port name
        QString port;      // TCP port or baud rate
    };

    // The link settings as the form shows them.
    Link formLink() const;
    // Reads the form into device and remembers name, model and manufacturer. 0 when complete;
    // 1, 2, 3 when the number, name or serial number is missing.
    int gatherForm(Tool::Struct_Electrometer &device);
    QString checkValues(const Tool::Struct_Electrometer &device);
    // gatherForm and checkValues; false, after telling the user why, when nothing may be written.
    bool readForm(Tool::Struct_Electrometer &device);
    void refreshList();
    void fillForm(const Tool::Struct_Electrometer &device);
    // Shows the stored instrument in the form (audited as viewed when it was not shown already).
    void openRecord(const QString &number);
    void fillFixedLists();
    void showLink(const QString &mode, const QString &address, const QString &port);
    void ScanResult_slots(const QString &identity);
    void therad_Scan(LinkSettings link);
    void joinScan();

    std::unique_ptr<Ui::Electrometer> ui;
    Collection1611A *collector = nullptr;
    // The instrument the form was last opened on.
    QString selectedNumber;

    std::thread scanThread;
    std::atomic<bool> scanRunning{false};
    bool closing = false;
};
