#pragma once
// The pages of the main window and the dialogs of its toolbar. createPage() is the one place where
// a page class is chosen for an index: a page built later replaces its EmptyPage there.

#include <QDialog>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;

namespace Pages {

enum Index {
    PCRDevicePage = 0,
    ElectrometerPage = 1,
    LayoutPage = 2,
    CalibrationPage = 3,
    DataExportPage = 4,
    AdminPage = 5,
    AuditLogPage = 6,
    SystemSetPage = 7,
    ThermistorPage = 8,
    Count = 9
};

// The page title shown in the status bar, translated; empty outside 0..8.
QString title(int index);

// A new page for index, child of parent.
QWidget *createPage(int index, QWidget *parent);

enum class Dialog { Standardizer, CyclicFile };
// The modal dialogs of the toolbar, created without parent.
QDialog *createDialog(Dialog dialog);

} // namespace Pages

// Implemented by the settings page (index 7). The main window hands it the backup parameters before
// showing it and asks it to re-apply its texts after a language change. The page connects its
// signals sp_SQListOpen_signals(), sp_SQListClose_signals() and sp_Language_signals(QString) to
// the main window's handlers given in connectShell(), so neither knows the other's class.
class SystemSetHooks
{
public:
    struct Shell
    {
        std::function<void()> openDatabase;
        std::function<void()> closeDatabase;
        std::function<void(const QString &language)> language;
    };

    virtual ~SystemSetHooks() = default;
    virtual void setBackups(bool autoBackup, int cycleDays, const QString &path) = 0;
    virtual void retranslate() = 0;
    // context: the receiver whose lifetime bounds the connections.
    virtual void connectShell(QObject *context, const Shell &shell) = 0;
};

// Stands for a page that is not built yet: shows its title.
class EmptyPage : public QWidget
{
    Q_OBJECT

public:
    EmptyPage(int index, QWidget *parent);
    int index() const { return m_index; }

protected:
    void changeEvent(QEvent *event) override;

private:
    int m_index;
    QLabel *m_title;
};
