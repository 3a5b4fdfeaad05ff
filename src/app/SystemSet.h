#pragma once
// The settings page: company name, language, temperature unit, decimals and report format; the
// automatic backup parameters; manual backup and restore of the database file.

#include "app/pages.h"

#include <QString>
#include <QWidget>

#include <functional>

namespace Ui {
class SystemSet;
}

class SystemSet : public QWidget, public SystemSetHooks
{
    Q_OBJECT

public:
    explicit SystemSet(QWidget *parent = nullptr);
    ~SystemSet() override;

    void setBackups(bool autoBackup, int cycleDays, const QString &path) override;
    void retranslate() override;

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

private:
    enum class Restore { Done, SameFile, NotADatabase, Failed };
    Restore restoreFrom(const QString &source);
    // Done when source is a database of this program other than the live file.
    Restore checkSource(const QString &source);
    int m_carried = 0;   // audit entries the last restore carried over
    bool reopen();

    Ui::SystemSet *ui;
    QString m_backupPath;
};
