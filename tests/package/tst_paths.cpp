// Which folder is the workspace, and where an installed program finds its data.
#include "store/Paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestPaths : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    void touch(const QString &name, const QByteArray &content = QByteArray()) const
    {
        QVERIFY(QDir().mkpath(QFileInfo(path(name)).path()));
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void chooseWorkspace_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("filesInCurrent");
        QTest::addColumn<QString>("expected");   // below the temporary folder; "data": the data folder
        QTest::newRow("option wins over a workspace") << "other" << QStringList{"PCR.db3"} << "cwd/other";
        QTest::newRow("option, dots resolved") << "a/../b/" << QStringList{} << "cwd/b";
        QTest::newRow("current holds the database") << "" << QStringList{"PCR.db3"} << "cwd";
        QTest::newRow("current holds the settings") << "" << QStringList{"config.ini"} << "cwd";
        QTest::newRow("another program's config.ini") << "" << QStringList{"config.ini:other"} << "data";
        QTest::newRow("empty current") << "" << QStringList{} << "data";
        QTest::newRow("logs alone are no workspace") << "" << QStringList{"log_2024-05-06.log"} << "data";
        QTest::newRow("a folder named PCR.db3") << "" << QStringList{"PCR.db3/x"} << "data";
    }

    void chooseWorkspace()
    {
        QFETCH(QString, option);
        QFETCH(QStringList, filesInCurrent);
        QFETCH(QString, expected);
        const QString cwd = path(QStringLiteral("cwd-") + QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(cwd));
        // "config.ini" is ours; "config.ini:other" someone else's.
        for (const QString &file : filesInCurrent)
            touch(QFileInfo(cwd).fileName() + QLatin1Char('/') + file.section(QLatin1Char(':'), 0, 0),
                  file.endsWith(QLatin1String(":other")) ? "[General]\ntheme=dark\n" : "[SystemSet]\nLanguage=English\n");
        const QString data = path(QStringLiteral("data/pcrcal"));
        const QString want = expected == QLatin1String("data") ? data : QString(expected).replace(QStringLiteral("cwd"), cwd);
        QCOMPARE(Paths::chooseWorkspace(option, cwd, data), QDir::cleanPath(want));
        // An absolute option is taken as it stands.
        QCOMPARE(Paths::chooseWorkspace(path("abs"), cwd, data), path("abs"));
    }

    // ~/.local/share/pcrcal: no organisation folder in between.
    void userWorkspaceIsTheDataFolder()
    {
        const QByteArray before = qgetenv("XDG_DATA_HOME");
        const QString name = QCoreApplication::applicationName();
        qputenv("XDG_DATA_HOME", QFile::encodeName(path("xdg")));
        QCoreApplication::setApplicationName(QStringLiteral("pcrcal"));
        const QString workspace = Paths::userWorkspace();
        const QString chosen = Paths::chooseWorkspace(QString(), path("empty"));
        QCoreApplication::setApplicationName(name);
        if (before.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", before);
        QCOMPARE(workspace, path("xdg/pcrcal"));
        QCOMPARE(chosen, path("xdg/pcrcal"));
    }

    void enterWorkspace_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<bool>("entered");
        QTest::newRow("created with its parents") << "new/deeper/ws" << true;
        QTest::newRow("existing folder") << "existing" << true;
        QTest::newRow("a file") << "plain.txt" << false;
        QTest::newRow("below a file") << "plain.txt/ws" << false;
    }

    void enterWorkspace()
    {
        QFETCH(QString, dir);
        QFETCH(bool, entered);
        QVERIFY(QDir().mkpath(path("existing")));
        touch(QStringLiteral("plain.txt"));
        const QString before = QDir::currentPath();
        QString reason;
        QCOMPARE(Paths::enterWorkspace(path(dir), &reason), entered);
        const QString now = QDir::currentPath();
        QDir::setCurrent(before);
        if (entered) {
            QCOMPARE(now, path(dir));
            QVERIFY(reason.isEmpty());
        } else {
            QCOMPARE(now, before);
            QVERIFY(!reason.isEmpty());
        }
    }

    void installedData_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("resource");
        QTest::addColumn<QString>("expected");   // empty: not installed
        QTest::newRow("templates of an installed tree")
            << QStringList{"bin/pcrcal", "share/pcrcal/templates/校准证书.dotx"} << "templates"
            << "share/pcrcal/templates";
        QTest::newRow("the manual of one language")
            << QStringList{"bin/pcrcal", "share/pcrcal/manual/zh/index.html"} << "manual/en/index.html" << "";
        QTest::newRow("a build tree") << QStringList{"bin/pcrcal", "bin/校准证书.dotx"} << "templates" << "";
        QTest::newRow("another program's data") << QStringList{"bin/pcrcal", "share/other/templates/x"} << "templates"
                                                << "";
    }

    void installedData()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, resource);
        QFETCH(QString, expected);
        const QString prefix = QStringLiteral("prefix-") + QString::fromLatin1(QTest::currentDataTag());
        for (const QString &file : files)
            touch(prefix + QLatin1Char('/') + file);
        const QString bin = path(prefix + QStringLiteral("/bin"));
        const QString found = Paths::installedResource(resource, bin);
        QCOMPARE(found, expected.isEmpty() ? QString() : path(prefix + QLatin1Char('/') + expected));
        const bool installed = files.join(QLatin1Char(' ')).contains(QStringLiteral("share/pcrcal/"));
        QCOMPARE(Paths::resourceDirectory(bin), installed ? path(prefix + QStringLiteral("/share/pcrcal")) : QString());
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
