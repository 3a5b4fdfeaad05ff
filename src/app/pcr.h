#pragma once
// The main window: database connection, translator, toolbar and pages, status bar, automatic
// backup and exit confirmation.

#include "store/DatabaseSettings.h"

#include <QDateTime>
#include <QMainWindow>
#include <QSqlDatabase>
#include <QTranslator>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QSplashScreen;
class QTimer;
class WorkerThread;

namespace Ui {
class PCRClass;
}

class PCR : public QMainWindow
{
    Q_OBJECT

public:
    using PageFactory = std::function<QWidget *(int index, QWidget *parent)>;
    // Runs the login; true when a user logged in (Tool::CurrentUser is then filled).
    using LoginRunner = std::function<bool()>;

    struct Options
    {
        int splashMs = 2000;
        LoginRunner login;    // default: the Login dialog, modal
        PageFactory pages;    // default: Pages::createPage
        // Asked for a folder in which to start a new database when "PCR.db3" is not one of the
        // program's; empty: none chosen. Default: a folder dialog.
        std::function<QString()> chooseFolder;
    };

    explicit PCR(QWidget *parent = nullptr);
    explicit PCR(const Options &options, QWidget *parent = nullptr);
    ~PCR() override;

    // The login was cancelled or closed: the process ends with exit code 0.
    bool loginRefused() const { return m_loginRefused; }
    // "PCR.db3" could not be opened: the window stays empty.
    bool databaseFailed() const { return m_databaseFailed; }

    int currentPageIndex() const { return currentPage; }
    QWidget *page(int index) const;
    QAction *pageAction(int index) const;

    void showPage(int index);
    // Log out / switch user: refused during a run; otherwise audited, the page closed and the
    // login run again. Another user's login applies that user's rights to every page built from
    // then on; a refused login ends the program. False when nothing changed.
    bool logOut();
    QAction *logoutAction() const { return m_logout; }
    void readBackupSettings();

    // Automatic backup rules: due when the last backup plus the cycle is not after now (an
    // invalid last time is due at once); the target file name of a backup taken at now.
    static bool backupDue(const QDateTime &lastBackup, int cycleDays, const QDateTime &now);
    static QString backupTarget(const QString &folder, const QDateTime &now);
    // An automatic backup started by BackupTimer_slots() is still being taken (on its worker).
    bool isBackingUp() const;

    static QString version();

public slots:
    void TimeUpdate_slots();
    void SQListOpen_slots();
    void SQListClose_slots();
    void BackupTimer_slots();
    void sp_Language_slots(const QString &language);

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void pt_SystemSet_triggered();
    void pt_PCRDevice_triggererd();
    void pt_Electrometer_triggererd();
    void pt_Standardizer_triggererd();
    void pt_StandardizerCalibration_triggererd();
    void pt_CyclicFile_triggererd();
    void pt_Layout_triggered();
    void pt_Calibration_triggererd();
    void pt_DataExport_triggererd();
    void pt_Admin_triggererd();
    void pt_AuditLog_triggererd();
    void pt_Help_triggeed();
    void pt_Logout_triggered();

private:
    void startUp(QSplashScreen *splash);
    void loadTranslator(const QString &language);
    void applyTexts();
    void buildStatusBar();
    void setPageIcon(int index, bool grey);
    // Removes and destroys the page shown (currentPage stays).
    void closePage();
    void runDialog(QDialog *dialog);

    Ui::PCRClass *ui;
    QSqlDatabase db;
    std::array<QWidget *, 9> pages{};
    int iconBase = 80;
    int currentPage = -1;
    int backupCycleDays = 0;
    bool autoBackup = false;
    QString backupPath;
    QDateTime lastBackupTime;
    QTimer *clockTimer = nullptr;
    QTimer *backupTimer = nullptr;
    WorkerThread *backupWorker = nullptr;   // the automatic backup's
    QLabel *titleLabel = nullptr;
    QLabel *clockLabel = nullptr;
    QTranslator translator;
    QTranslator qtTranslator; // Qt's own texts (file dialogs, context menus) in Chinese

    QLabel *userLabel = nullptr;
    QAction *m_logout = nullptr;
    QLabel *copyrightLabel = nullptr;
    Options m_options;
    bool m_loginRefused = false;
    bool m_databaseFailed = false;
    QString m_databaseCondition;   // what keeps the database file from being used, when known
    DatabaseSettings m_database;   // as read at start-up
    QString databaseFailure() const;
};
