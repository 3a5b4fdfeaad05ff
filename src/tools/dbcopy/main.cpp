// pcrcal-dbcopy: copies one database of the program into another, typically a station's
// "PCR.db3" into the PostgreSQL database several stations are to share. `--help` describes the
// command line and the exit statuses.
#include "store/DatabaseCopy.h"
#include "store/DatabaseSettings.h"
#include "store/OutputFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <QTranslator>

namespace {

// The tool's texts, in context "DbCopy".
struct DbCopy
{
    Q_DECLARE_TR_FUNCTIONS(DbCopy)
};

QString helpText()
{
    return DbCopy::tr("用法：pcrcal-dbcopy --from 源 --to 目标\n把本程序的一个数据库完整复制到另一个数据库，通常是把一台工作站的 PCR.db3 复制到多台工作站共用的 PostgreSQL 数据库。\n源只读不改；目标中不得已有本程序的数据。全部数据在一个事务中写入，各表行数与源一致后才提交。\n\n数据库的写法：\n  sqlite:路径                          SQLite 文件（也可直接写路径）\n  postgresql://用户@主机:端口/库名      PostgreSQL 数据库；密码取自 PGPASSWORD、PGPASSFILE 或 ~/.pgpass，不能写在地址中\n\n选项：\n  --from 源      要复制的数据库\n  --to 目标      接收数据的数据库（空库）\n  --help         显示本帮助\n\n退出状态：\n  0  复制完成，各表行数已核对\n  1  命令行有误\n  2  源无法读取或不是本程序的数据库\n  3  无法连接或写入目标\n  4  目标中已有数据，未复制任何内容\n  5  复制失败或行数不符，目标未做任何改动\n");
}

bool parseLocation(QString text, DatabaseSettings *settings, QString *error)
{
    if (text.startsWith(QStringLiteral("sqlite:")))
        text = text.mid(7);
    if (text.isEmpty()) {
        *error = DbCopy::tr("数据库地址为空。");
        return false;
    }
    return DatabaseSettings::fromLocation(text, settings, error);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pcrcal-dbcopy"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");

    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << helpText();
        return 0;
    }
    QString from, to;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        QString *slot = a == QLatin1String("--from") ? &from : a == QLatin1String("--to") ? &to : nullptr;
        if (!slot || i + 1 >= args.size()) {
            err << DbCopy::tr("无法识别的参数：%1").arg(a) << '\n' << DbCopy::tr("用 --help 查看用法。") << '\n';
            return 1;
        }
        *slot = args.at(++i);
    }
    DatabaseSettings source, target;
    QString why;
    if (from.isEmpty() || to.isEmpty()) {
        err << DbCopy::tr("需要 --from 和 --to。") << '\n' << DbCopy::tr("用 --help 查看用法。") << '\n';
        return 1;
    }
    if (!parseLocation(from, &source, &why) || !parseLocation(to, &target, &why)) {
        err << DbCopy::tr("数据库地址有误：%1").arg(why) << '\n';
        return 1;
    }

    // A file target is a new or empty database: never the source, a companion of a database,
    // a workspace's config.ini or log, nor anything that is not a regular file.
    if (!target.isPostgreSQL()) {
        const QStringList dirs = source.isPostgreSQL() ? QStringList() : QStringList{QFileInfo(source.file).absolutePath()};
        const OutputFile::Check check = OutputFile::check(target.file, dirs, true, true);
        if (check != OutputFile::Check::Writable || (!source.isPostgreSQL() && OutputFile::samePath(source.file, target.file))) {
            err << DbCopy::tr("无法连接或写入目标数据库：%1")
                       .arg(check != OutputFile::Check::Writable ? OutputFile::refusalText(check, target.file)
                                                                 : DbCopy::tr("目标就是源"))
                << '\n';
            return int(DatabaseCopy::Status::TargetUnreachable);
        }
    }

    DatabaseCopy::Report report;
    const DatabaseCopy::Status status = DatabaseCopy::copy(source, target, &report);
    for (const auto &table : qAsConst(report.rows))
        out << table.first << '\t' << table.second << '\n';
    switch (status) {
    case DatabaseCopy::Status::Done:
        out << DbCopy::tr("复制完成：%1 → %2，各表行数一致。").arg(source.describe(), target.describe()) << '\n';
        break;
    case DatabaseCopy::Status::SourceUnreadable:
        err << DbCopy::tr("无法读取源数据库：%1").arg(report.error) << '\n';
        break;
    case DatabaseCopy::Status::TargetUnreachable:
        err << DbCopy::tr("无法连接或写入目标数据库：%1").arg(report.error) << '\n';
        break;
    case DatabaseCopy::Status::TargetNotEmpty:
        err << DbCopy::tr("目标数据库中已有数据，未复制：%1").arg(report.error) << '\n';
        break;
    case DatabaseCopy::Status::CopyFailed:
        err << DbCopy::tr("复制失败，目标未改动：%1").arg(report.error) << '\n';
        break;
    }
    return int(status);
}
