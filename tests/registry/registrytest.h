#pragma once
// Shared pieces of the registry tests: a fresh workspace per test (real SQLite file, all rights,
// ℃) and lookups of form widgets by object name.

#include "../support/TestSuite.h"
#include "../support/Workspace.h"

#include "store/schema.h"
#include "store/tool.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

#include <functional>
#include <memory>

// The start of every registry test: a fresh workspace (held in ws until the test's cleanup resets
// it) with its database open, the initial account logged in and ℃.
inline bool enterFreshWorkspace(std::unique_ptr<Workspace> &ws)
{
    ws = std::make_unique<Workspace>();
    if (!ws->openDatabase())
        return false;
    Tool::CurrentUser = Schema::initialUser();
    Tool::TemperatureUnit = QStringLiteral("℃");
    return true;
}

// The form widget of that object name; the test fails (returning null) when there is none.
template<class T>
T *part(QWidget *form, const char *name)
{
    T *w = form->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qWarning("no widget %s", name);
    return w;
}

// A freshly built page or dialog and its widgets by object name.
template<class Page>
class FormOf
{
public:
    FormOf() : page(std::make_unique<Page>()) {}
    QLineEdit *edit(const char *name) { return part<QLineEdit>(page.get(), name); }
    QComboBox *combo(const char *name) { return part<QComboBox>(page.get(), name); }
    QPushButton *button(const char *name) { return part<QPushButton>(page.get(), name); }
    QLabel *label(const char *name) { return part<QLabel>(page.get(), name); }
    QTableWidget *list() { return part<QTableWidget>(page.get(), "tableWidget_List"); }

    std::unique_ptr<Page> page;
};

// The texts of one table row, or of one column.
QStringList rowTexts(QTableWidget *table, int row);
QStringList columnTexts(QTableWidget *table, int column);

// Acts on the next modal dialog once it is open, then closes it (a dialog run with exec() in the
// code under test returns).
void onNextModal(std::function<void(QWidget *)> act);

// The newest audit row.
Tool::Struct_AuditLog lastAudit();
int auditCount();
