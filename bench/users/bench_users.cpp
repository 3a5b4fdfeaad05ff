// The audit log as it grows: chaining an older trail on opening, verifying the chain, appending,
// listing it on the page, filtering it, and its PDF report; and a login with its password hash.
//   bench_users [rows] [folder]   (default 20000; run with QT_QPA_PLATFORM=offscreen)
// A folder keeps the reports written there, to be looked at; PCR_BENCH_LANGUAGE=English writes
// them in English.

#include "app/login.h"
#include "store/auditchain.h"
#include "store/passwords.h"
#include "store/tool.h"
#include "users/auditlog.h"
#include "users/auditreport.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QDir>
#include <QTemporaryDir>
#include <QTranslator>

#include <cstdio>

namespace {

void fillAudit(int rows)
{
    QSqlDatabase db = QSqlDatabase::database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("insert into AuditLog (Time, Operator, Type, Details) values (?, ?, ?, ?)"));
    const char *types[] = {"用户管理-登录", "设备校准-校准", "数据导出-校准报告", "用户管理-添加"};
    const QDateTime t0(QDate(2024, 1, 1), QTime(8, 0));
    for (int i = 0; i < rows; ++i) {
        q.addBindValue(t0.addSecs(i * 37).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")));
        q.addBindValue(i % 3 ? QStringLiteral("admin") : QStringLiteral("张工"));
        q.addBindValue(i % 50 ? QString::fromUtf8(types[i % 4]) : QStringLiteral("用户管理-修改"));
        // Now and then a modification with its old and new values, which wraps in the report.
        q.addBindValue(i % 50 ? QStringLiteral("校准项目 P-%1 已导出至 D:/报告/P-%1.docx。").arg(i)
                              : QStringLiteral("修改用户：张工%1（用户权限：操作员 → 主管；"
                                               "有效期：2024-12-31 23:59:59 → 2025-12-31 23:59:59；"
                                               "备注：（空） → 调岗；校准报告导出：false → true；用户添加：false → true）").arg(i));
        q.exec();
    }
    db.commit();
}

double ms(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 20000;
    QTranslator english;
    if (qgetenv("PCR_BENCH_LANGUAGE") == "English" && english.load(QStringLiteral(":/i18n/pcr_en.qm")))
        QCoreApplication::installTranslator(&english);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("PCR.db3"));
    if (!Tool::openDatabase(file))
        return 1;
    QList<Tool::Struct_UesrManagement> users;
    Tool::getUesrManagement(users, QStringLiteral("admin"));
    Tool::CurrentUser = users.first();
    // A trail as an older version left it: no chain column yet.
    QSqlQuery(QSqlDatabase::database()).exec(QStringLiteral("ALTER TABLE AuditLog DROP COLUMN Hash"));
    fillAudit(rows);
    Tool::closeDatabase();

    QElapsedTimer t;
    t.start();
    if (!Tool::openDatabase(file))
        return 1;
    std::printf("open, chaining %d existing entries:  %8.1f ms\n", rows, ms(t));
    t.restart();
    const AuditChain::Verdict verdict = AuditChain::verify(QSqlDatabase::database());
    std::printf("verify %lld entries (%s):          %8.1f ms\n", verdict.entries, verdict.intact ? "intact" : "BROKEN", ms(t));
    t.restart();
    for (int i = 0; i < 100; ++i)
        Tool::SaveAuditLog(AuditEvent::UserLogin, QStringLiteral("用户登录。"));
    std::printf("append one chained entry (of 100):   %8.2f ms\n", ms(t) / 100);

    t.restart();
    const QString hash = Passwords::hash(QStringLiteral("admin"), QStringLiteral("123456"));
    std::printf("hash one password (%d iterations): %8.1f ms\n", Passwords::Iterations, ms(t));
    {
        Login login;
        login.findChild<QComboBox *>(QStringLiteral("comboBox_UserName"))->setCurrentText(QStringLiteral("admin"));
        login.findChild<QLineEdit *>(QStringLiteral("lineEdit_UserPassword"))->setText(QStringLiteral("123456"));
        t.restart();
        login.findChild<QPushButton *>(QStringLiteral("btn_Login"))->click();
        std::printf("login (lookup, hash check, audit):   %8.1f ms%s\n", ms(t),
                    login.result() == QDialog::Accepted ? "" : "  REFUSED");
    }

    t.restart();
    AuditLog page;
    std::printf("open page, %d rows listed:        %8.1f ms\n", page.listedRows().size(), ms(t));

    page.findChild<QLineEdit *>(QStringLiteral("lineEdit_Type"))->setText(QStringLiteral("用户管理"));
    t.restart();
    page.findChild<QPushButton *>(QStringLiteral("pushButton_Search"))->click();
    std::printf("search by type, %d rows listed:    %8.1f ms\n", page.listedRows().size(), ms(t));

    for (int n : {AuditReport::rowsPerPage(), 1000, rows}) {
        QVector<QStringList> data = page.listedRows();
        if (n > data.size())
            data.clear();
        QDateTime t0(QDate(2024, 1, 1), QTime(8, 0));
        while (data.size() < n)
            data << QStringList{t0.addSecs(data.size()).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")),
                                QStringLiteral("admin"), QStringLiteral("用户管理-登录"), QStringLiteral("用户登录。")};
        data.resize(n);
        const QString file = QDir(argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.path())
                                 .filePath(QStringLiteral("report-%1.pdf").arg(n));
        t.restart();
        const bool ok = AuditReport::write(file, data, AuditChain::lastHash(QSqlDatabase::database()));
        std::printf("PDF of %6d rows (%4d pages):    %8.1f ms, %7.0f kB%s\n", n,
                    (n + AuditReport::rowsPerPage() - 1) / AuditReport::rowsPerPage(), ms(t),
                    QFileInfo(file).size() / 1024.0, ok ? "" : "  FAILED");
    }
    Tool::closeDatabase();
    return 0;
}
