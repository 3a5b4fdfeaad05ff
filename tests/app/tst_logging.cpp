// The daily log: naming, the line format, concurrent writers and the 90-day clean-up.

#include "../support/TestSuite.h"
#include "../support/Workspace.h"

#include "store/logging.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QtTest>

#include <vector>

class TestLogging : public QObject
{
    Q_OBJECT

private slots:
    void fileName()
    {
        QCOMPARE(logFileName(QDate(2024, 3, 5)), QStringLiteral("log_2024-03-05.log"));
        QCOMPARE(logFileName(QDate(1999, 12, 31)), QStringLiteral("log_1999-12-31.log"));
    }

    void lineFormat()
    {
        const QDateTime at(QDate(2024, 3, 5), QTime(10, 11, 12));
        const QString time = at.toString("yyyy-MM-dd hh:mm:ss ddd");
        QMessageLogContext context("/work/src/app/pcr.cpp", 42, "void f()", "default");
        QCOMPARE(logLine(QtDebugMsg, context, "路径为：/b/x %1", at),
                 "Debug: (" + time + ")   File:(pcr.cpp) Line:(42) 路径为：/b/x %1");
        QVERIFY(logLine(QtWarningMsg, context, "m", at).startsWith("Warning: ("));
        QVERIFY(logLine(QtCriticalMsg, context, "m", at).startsWith("Critical: ("));
        QVERIFY(logLine(QtFatalMsg, context, "m", at).startsWith("Fatal: ("));
        // An info message has an empty level: the line begins with the blank.
        QVERIFY(logLine(QtInfoMsg, context, "m", at).startsWith(" (" + time + ")"));
        QMessageLogContext none;
        QVERIFY(logLine(QtDebugMsg, none, "m", at).contains("File:() Line:(0) m"));
    }

    void handlerAppendsFromManyThreads()
    {
        Workspace ws;
        const QtMessageHandler previous = qInstallMessageHandler(logMessageHandler);
        std::vector<QThread *> threads;
        for (int t = 0; t < 4; ++t) {
            threads.push_back(QThread::create([t] {
                for (int i = 0; i < 200; ++i)
                    qDebug().noquote() << QStringLiteral("thread %1 line %2 end").arg(t).arg(i);
            }));
            threads.back()->start();
        }
        for (QThread *t : threads) {
            t->wait();
            delete t;
        }
        qInstallMessageHandler(previous);

        const QByteArray content = ws.read(logFileName(QDate::currentDate()));
        const QList<QByteArray> lines = content.split('\n');
        QCOMPARE(lines.size(), 801);   // 800 lines and the empty rest after the last newline
        QVERIFY(lines.last().isEmpty());
        for (int i = 0; i < 800; ++i) {
            const QString line = QString::fromUtf8(lines.at(i));
            QVERIFY2(line.startsWith("Debug: (") && line.endsWith(" end") &&
                         line.contains("File:(tst_logging.cpp) Line:("),
                     qPrintable(line));
        }
    }

    void unwritableLogLosesTheLineQuietly()
    {
        Workspace ws;
        QVERIFY(QDir(ws.path(".")).mkdir(logFileName(QDate::currentDate())));   // a folder in its way
        const QtMessageHandler previous = qInstallMessageHandler(logMessageHandler);
        qDebug() << "lost";
        qInstallMessageHandler(previous);
        QVERIFY(QFileInfo(ws.path(logFileName(QDate::currentDate()))).isDir());
    }

    void cleanupKeepsNinetyDays()
    {
        Workspace ws;
        const QDate today(2020, 4, 1);   // 2020-01-01 is 91 days before
        const QStringList removed = {"log_2020-01-01.log", "log_2019-06-30.log"};
        const QStringList kept = {"log_2020-01-02.log", "log_2020-04-01.log", "log_2020-05-01.log",
                                  "log_notadate.log", "log_.log", "LOG_2019-01-01.log",
                                  "other_2019-01-01.log", "log_2019-01-01.txt", "log_2019-01-01.old.log"};
        for (const QString &n : removed + kept)
            ws.write(n, "x\n");
        QVERIFY(QFile::link(ws.path("log_2020-01-01.log"), ws.path("log_2018-01-01.log")));   // a link stays
        QVERIFY(QDir(ws.path(".")).mkdir("log_2018-02-02.log"));   // so does a folder

        removeOldLogs(QDir(ws.path(".")), today);
        for (const QString &n : removed)
            QVERIFY2(!QFileInfo::exists(ws.path(n)), qPrintable(n));
        for (const QString &n : kept)
            QVERIFY2(QFileInfo::exists(ws.path(n)), qPrintable(n));
        QVERIFY(QFileInfo(ws.path("log_2018-01-01.log")).isSymLink());
        QVERIFY(QFileInfo(ws.path("log_2018-02-02.log")).isDir());
    }
};

PCR_TEST_CLASS(TestLogging)
#include "tst_logging.moc"
