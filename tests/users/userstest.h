#pragma once
// Shared set-up of the user tests: accounts to log in as, and the shared Workspace for a fresh
// database per test.

#include "../support/Workspace.h"

#include "store/tool.h"

#include <QApplication>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>
#include <memory>

namespace UsersTest {

inline Tool::Struct_UesrManagement account(const QString &name, const QString &role,
                                           bool allRights = false)
{
    Tool::Struct_UesrManagement u;
    u.Name = name;
    u.Password = QStringLiteral("pw");
    u.Rights = role;
    u.State = QStringLiteral("正常");
    u.RegistrationDate = QStringLiteral("2024-01-01 00:00:00");
    u.ExpirationDate = QStringLiteral("2099-01-01 00:00:00");
    u.ErrorsNumber = QStringLiteral("0");
    u.Problem = QStringLiteral("你所在的公司为？");
    u.Answer = QStringLiteral("lab");
    u.setAllRights(allRights);
    return u;
}

inline void logIn(const QString &name)
{
    QList<Tool::Struct_UesrManagement> users;
    QVERIFY(Tool::getUesrManagement(users, name));
    QCOMPARE(users.size(), 1);
    Tool::CurrentUser = users.first();
}

inline int rawCount(const QString &sql)
{
    QSqlQuery q(QSqlDatabase::database());
    return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
}

// Runs act on the modal dialog that the next call opens, then closes it if act left it open.
template<class Dialog>
void onNextModal(std::function<void(Dialog *)> act, bool *seen)
{
    QTimer::singleShot(0, [act, seen] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        *seen = dialog != nullptr;
        if (!dialog)
            return;
        act(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

template<class W>
W *child(QObject *parent, const char *name)
{
    W *w = parent->findChild<W *>(QLatin1String(name));
    if (!w)
        qWarning("no child %s", name);
    return w;
}

} // namespace UsersTest
