#pragma once
// The editor of a new probe set: its channels with their four coefficients, typed in, read from a
// coefficient file or from the collector, and saving.

#include "probecal/ProbeDevices.h"
#include "acquisition/StopWait.h"
#include "registry/StandardizerRules.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class StandardizerAdd;
}

class Collection1611A;
class WorkerThread;

namespace StandardizerImport {
struct Result;
}

class StandardizerAdd : public QDialog
{
    Q_OBJECT

public:
    explicit StandardizerAdd(QWidget *parent = nullptr);
    // Stops a device import still running and joins its thread.
    ~StandardizerAdd() override;

    // The table as it stands.
    StandardizerRules::Rows rows() const;
    // A device import is in progress.
    bool isImporting() const;

    // How the coefficient file is chosen (empty: cancelled) and how the collector's connection is
    // set (false: cancelled; the record is changed in place): the standard dialogs unless a test
    // replaces them.
    static std::function<QString(QWidget *parent, const QString &title, const QString &filter)> chooseFile;
    static std::function<bool(QWidget *parent, DeviceRecord &record)> askConnection;

public slots:
    void pt_Set_clicked();
    void pt_Add_clicked();
    void pt_Clear_clicked();
    void pt_Device_clicked();
    void pt_Import_clicked();
    // A double click on a coefficient cell edits it in place.
    void tw_cellDoubleClicked(int row, int column);
    // The coefficient lists of every channel, one list per coefficient, into the table.
    void AddData_slots(const QStringList &B0, const QStringList &B1, const QStringList &B2, const QStringList &B3);
    void MessageBox_slots(const QString &title, const QString &text);
    // Closing while an import runs asks it to stop and closes once it has.
    void reject() override;

signals:
    // The import's lists and its message, on their way to the table and the message box.
    void AddData_signals(const QStringList &B0, const QStringList &B1, const QStringList &B2, const QStringList &B3);
    void MessageBox_signals(const QString &title, const QString &text);

protected:
    void changeEvent(QEvent *event) override;

private:
    void showRows(const StandardizerRules::Rows &rows);
    QStringList channelNames() const;
    void setButtonsEnabled(bool enabled);
    // On this thread once the import's thread has ended; names are the rows' channel numbers.
    void importEnded(const StandardizerImport::Result &result, const QStringList &names);

    std::unique_ptr<Ui::StandardizerAdd> ui;
    std::unique_ptr<Collection1611A> collector;
    StopWait stop;
    WorkerThread *importer;   // joined in the destructor, before the collector goes
    bool closeRequested = false;
};
