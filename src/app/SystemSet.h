#pragma once
// The settings page: company name, language, temperature unit, decimals and report format; the
// automatic backup parameters; manual backup and restore of the database file. The backup and
// the copy a restore makes run on a worker behind a progress window; the swap of the restored
// file happens here, on the thread of the default connection.

#include "app/pages.h"

#include <QString>
#include <QWidget>

#include <functional>

namespace Ui {
class SystemSet;
}
class WorkerThread;
struct DatabaseSettings;

class SystemSet : public QWidget, public SystemSetHooks
{
    Q_OBJECT

public:
    explicit SystemSet(QWidget *parent = nullptr);
    ~SystemSet() override;

    void setBackups(bool autoBackup, int cycleDays, const QString &path) override;
    void retranslate() override;
    void connectShell(QObject *context, const Shell &shell) override;

    // A backup or the copy of a restore is under way on the page's worker.
    bool isBusy() const;
    WorkerThread *worker() const { return m_worker; }

    // The backup folder as last given to the page.
    QString backupFolder() const { return m_backupPath; }

    // How a folder and a file are chosen: the standard dialogs unless a test replaces them. An
    // empty result means the dialog was cancelled.
    static std::function<QString(QWidget *parent, const QString &title, const QString &dir)> chooseDirectory;
    static std::function<QString(QWidget *parent, const QString &title, const QString &dir,
                                 const QString &filter)>
        chooseFile;

signals:
    void sp_SQListOpen_signals();
    void sp_SQListClose_signals();
    void sp_Language_signals(const QString &language);

private slots:
    void pt_Set_clicked();
    void pt_Backups_clicked();
    void pt_Recovery_clicked();
    void pt_Select_clicked();
    void pt_AutoBackup_clicked();
    void pt_Database_clicked();

private:
    // Runs work on the worker behind a progress window; then follows on this thread.
    void runLong(const QString &label, const std::function<void(WorkerThread &)> &work,
                 const std::function<void()> &then);
    // The copy and the audit carry on a worker; a foreign backup is asked about and, confirmed,
    // restored again with acceptForeign.
    void restoreFrom(const QString &source, const QString &when, bool acceptForeign);
    // auditText: the restore's audit entry, written once the restored database is open. foreign:
    // the restored trail is another workspace's chain, recorded as such in the anchor file first.
    void restored(const QString &staging, const QString &auditText, bool foreign = false);
    // The database section: the kinds in the interface language, the settings shown and read back.
    void fillDatabaseKinds();
    void showDatabase(const DatabaseSettings &settings);
    void enableServerFields();
    DatabaseSettings databaseForm() const;
    // Backups and restores of a server's database are the server's business: says so.
    bool refusedOnServer();

    Ui::SystemSet *ui;
    QString m_backupPath;
    WorkerThread *m_worker;
};
