// The Debian package as a laboratory installs it: its control fields, its files, and its
// programs run from an extracted root (no display, no build tree, no PCR_TEMPLATE_DIR).
// The package is built from this build with cpack, or taken from $PCR_PACKAGE_DEB.
#include "ExportFixture.h"

#include "store/tool.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Result
{
    int status = -1;
    QString out;
    QString err;
};

// A program run without a display and without the variables that point into the build tree.
Result run(const QString &program, const QStringList &arguments, int timeoutMs = 120000,
           const QString &workingDirectory = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "PCR_TEMPLATE_DIR", "LD_LIBRARY_PATH"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    // The password of the fixture's accounts, for the tools' operator.
    env.insert(QStringLiteral("PCRCAL_PASSWORD"), QStringLiteral("123456"));
    p.setProcessEnvironment(env);
    if (!workingDirectory.isEmpty())
        p.setWorkingDirectory(workingDirectory);
    p.start(program, arguments);
    Result r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("did not finish: ") + p.errorString();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

const QStringList templateNames{
    QStringLiteral("校准证书.dotx"),
    QStringLiteral("原始记录.dotx"),
    QStringLiteral("校准证书.xltx"),
    QStringLiteral("原始记录.xltx"),
    QStringLiteral("Calibration certificate.dotx"),
    QStringLiteral("Original record.dotx"),
    QStringLiteral("Calibration certificate.xltx"),
    QStringLiteral("Original record.xltx"),
};
const QList<int> iconSizes{16, 22, 24, 32, 48, 64, 128, 256, 512};
// Every one of these has its man page; tools added later bring theirs.
const QStringList documentedPrograms{QStringLiteral("pcrcal"), QStringLiteral("pcrcal-export"), QStringLiteral("pcrsim")};

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_deb;
    QString m_root;                  // the extracted package
    QMap<QString, QString> m_fields; // control fields
    QStringList m_files;             // regular files and links, "usr/bin/pcrcal"
    int m_workspaces = 0;

    QString rooted(const QString &path) const { return m_root + QLatin1Char('/') + path; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_deb = qEnvironmentVariable("PCR_PACKAGE_DEB");
        if (m_deb.isEmpty()) {
            const QString out = m_dir.filePath(QStringLiteral("out"));
            const Result r = run(QStringLiteral(PCR_CPACK),
                                 {QStringLiteral("--config"), QStringLiteral(PCR_BUILD_DIR "/CPackConfig.cmake"),
                                  QStringLiteral("-B"), out},
                                 600000);
            QVERIFY2(r.status == 0, qPrintable(r.out + r.err));
            const QStringList debs = QDir(out).entryList({QStringLiteral("*.deb")}, QDir::Files);
            QCOMPARE(debs.size(), 1);
            m_deb = QDir(out).filePath(debs.first());
        }
        QVERIFY2(QFile::exists(m_deb), qPrintable(m_deb));

        const Result fields = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_deb});
        QCOMPARE(fields.status, 0);
        QString key;
        for (const QString &line : fields.out.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1Char(' ')) && !key.isEmpty()) {
                m_fields[key] += QLatin1Char('\n') + line.trimmed();
            } else if (line.contains(QLatin1Char(':'))) {
                key = line.section(QLatin1Char(':'), 0, 0);
                m_fields[key] = line.section(QLatin1Char(':'), 1).trimmed();
            }
        }

        const Result contents = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), m_deb});
        QCOMPARE(contents.status, 0);
        // "-rw-r--r-- root/root 1234 2024-05-06 09:00 ./usr/share/pcrcal/templates/Original record.dotx"
        const QRegularExpression entry(QStringLiteral("^([-dl])\\S+\\s+\\S+\\s+\\d+\\s+\\S+\\s+\\S+\\s+\\./(.*)$"));
        for (const QString &line : contents.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QRegularExpressionMatch m = entry.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            if (m.captured(1) != QLatin1String("d"))
                m_files << m.captured(2).section(QStringLiteral(" -> "), 0, 0);
        }

        m_root = m_dir.filePath(QStringLiteral("root"));
        const Result extract = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_deb, m_root});
        QVERIFY2(extract.status == 0, qPrintable(extract.err));
    }

    void identity()
    {
        QCOMPARE(m_fields.value("Package"), QStringLiteral("pcrcal"));
        QCOMPARE(m_fields.value("Version"), QStringLiteral(PCR_PROJECT_VERSION));
        QVERIFY(m_fields.value("Maintainer").contains(QRegularExpression(QStringLiteral("<\\S+@\\S+>$"))));
        QVERIFY(!m_fields.value("Description").isEmpty());
    }

    void relations_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        // Linked libraries through dpkg-shlibdeps, and what is only loaded at run time.
        QTest::newRow("Depends") << "Depends"
                                 << QStringList{"libc6", "libqt5widgets5", "libqt5charts5", "libqt5sql5",
                                                "libqt5sql5-sqlite", "fonts-noto-cjk"}
                                 << QStringList{"libreoffice", "-dev", "xvfb"};
        // The program runs without them and says what is missing.
        QTest::newRow("Recommends") << "Recommends" << QStringList{"libreoffice-writer-nogui", "xdg-utils"}
                                    << QStringList{"-dev"};
    }

    void relations()
    {
        QFETCH(QString, field);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        // "a (>= 1), b | c" gives a, b and c.
        QStringList names;
        for (const QString &alternatives : m_fields.value(field).split(QLatin1Char(',')))
            for (const QString &relation : alternatives.split(QLatin1Char('|')))
                names << relation.trimmed().section(QLatin1Char(' '), 0, 0);
        for (const QString &p : present)
            QVERIFY2(names.contains(p), qPrintable(field + ": " + names.join(", ") + " lacks " + p));
        for (const QString &a : absent)
            for (const QString &name : qAsConst(names))
                QVERIFY2(!name.contains(a), qPrintable(field + ": " + name));
    }

    void architectureIsThisMachines()
    {
        const Result arch = run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")});
        QCOMPARE(arch.status, 0);
        QCOMPARE(m_fields.value(QStringLiteral("Architecture")), arch.out.trimmed());
        QVERIFY(QFileInfo(m_deb).fileName().startsWith(QStringLiteral("pcrcal_" PCR_PROJECT_VERSION "_") + arch.out.trimmed()));
    }

    void files_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString &program : QStringLiteral(PCR_PACKAGED_PROGRAMS).split(QLatin1Char(',')))
            QTest::newRow(qPrintable(program)) << QStringLiteral("usr/bin/") + program;
        for (const QString &name : templateNames)
            QTest::newRow(qPrintable(name)) << QStringLiteral("usr/share/pcrcal/templates/") + name;
        for (const char *page : {"zh/index.html", "en/index.html", "style.css"})
            QTest::newRow(page) << QStringLiteral("usr/share/pcrcal/manual/") + QLatin1String(page);
        QTest::newRow("desktop entry") << QStringLiteral("usr/share/applications/pcrcal.desktop");
        QTest::newRow("scalable icon") << QStringLiteral("usr/share/icons/hicolor/scalable/apps/pcrcal.svg");
        for (const QString &program : documentedPrograms)
            QTest::newRow(qPrintable(program + ".1.gz")) << QStringLiteral("usr/share/man/man1/%1.1.gz").arg(program);
    }

    void files()
    {
        QFETCH(QString, path);
        QVERIFY2(m_files.contains(path), qPrintable(path));
        QVERIFY(QFileInfo(rooted(path)).isFile());
    }

    void nothingElse()
    {
        const QStringList programs = QStringLiteral(PCR_PACKAGED_PROGRAMS).split(QLatin1Char(','));
        QVERIFY(programs.contains(QStringLiteral("pcrcal")));
        QVERIFY(programs.contains(QStringLiteral("pcrcal-export")));
        QVERIFY(programs.contains(QStringLiteral("pcrsim")));
        for (const QString &file : qAsConst(m_files)) {
            QVERIFY2(file.startsWith(QStringLiteral("usr/share/")) || file.startsWith(QStringLiteral("usr/bin/")),
                     qPrintable(file));
            if (file.startsWith(QStringLiteral("usr/bin/")))
                QVERIFY2(programs.contains(file.mid(8)), qPrintable(file));   // no tests, benchmarks, build tools
            QVERIFY2(!file.contains(QStringLiteral("demo")), qPrintable(file));
        }
        // Templates only in the data folder, not beside the programs.
        QCOMPARE(QDir(rooted(QStringLiteral("usr/bin"))).entryList(QDir::Files).size(), programs.size());
    }

    void programsRunFromTheExtractedRoot_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("pcrcal-export --help") << "pcrcal-export" << QStringList{"--help"} << "--workspace";
        // Asked from a terminal without a display.
        QTest::newRow("pcrcal --help") << "pcrcal" << QStringList{"--help"} << "--workspace";
        QTest::newRow("pcrcal --version") << "pcrcal" << QStringList{"--version"} << PCR_PROJECT_VERSION;
        QTest::newRow("pcrsim --help") << "pcrsim" << QStringList{"--help"} << "--collector-tcp";
    }

    void programsRunFromTheExtractedRoot()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        const Result r = run(rooted(QStringLiteral("usr/bin/") + program), arguments, 120000, m_dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.out + r.err));
        QVERIFY2(r.out.contains(expected), qPrintable(r.out));
    }

    // The installed pcrcal-export fills the templates of /usr/share/pcrcal/templates: with them
    // moved away the same export fails, so nothing else supplied them.
    void reportsUseTheInstalledTemplates_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("templatesThere");
        QTest::newRow("Chinese certificate, Word") << "中文" << "certificate" << "Word" << true;
        QTest::newRow("English record, Excel") << "English" << "record" << "Excel" << true;
        QTest::newRow("templates moved away") << "中文" << "certificate" << "Word" << false;
    }

    void reportsUseTheInstalledTemplates()
    {
        QFETCH(QString, language);
        QFETCH(QString, kind);
        QFETCH(QString, format);
        QFETCH(bool, templatesThere);
        const QString ws = m_dir.filePath(QStringLiteral("ws-%1").arg(++m_workspaces));
        QVERIFY(Fixture::createWorkspace(ws, QStringLiteral("℃"), 2, format, language));
        QVERIFY(Fixture::addAccounts());
        Fixture::Project project;
        QVERIFY(Fixture::addProject(project));
        Tool::closeDatabase();

        const QString templates = rooted(QStringLiteral("usr/share/pcrcal/templates"));
        const QString away = templates + QStringLiteral(".away");
        if (!templatesThere)
            QVERIFY(QDir().rename(templates, away));
        const QString out = QDir(ws).filePath(kind + (format == QLatin1String("Word") ? ".docx" : ".xlsx"));
        const Result r = run(rooted(QStringLiteral("usr/bin/pcrcal-export")),
                             {"--workspace", ws, "--project", project.name, "--kind", kind, "--format", format,
                              "--out", out, "--operator", "engineer"},
                             300000, m_dir.path());
        if (!templatesThere)
            QVERIFY(QDir().rename(away, templates));
        if (templatesThere) {
            QVERIFY2(r.status == 0, qPrintable(r.out + r.err));
            QVERIFY(QFileInfo(out).size() > 0);
        } else {
            QVERIFY2(r.status != 0, qPrintable(r.out));
            QVERIFY(!QFile::exists(out));
        }
    }

    void manPages_data()
    {
        QTest::addColumn<QString>("program");
        for (const QString &program : documentedPrograms)
            QTest::newRow(qPrintable(program)) << program;
    }

    void manPages()
    {
        QFETCH(QString, program);
        const Result page = run(QStringLiteral("gzip"),
                                {QStringLiteral("-dc"), rooted(QStringLiteral("usr/share/man/man1/%1.1.gz").arg(program))});
        QCOMPARE(page.status, 0);
        QVERIFY(page.out.startsWith(QStringLiteral(".TH ")));
        QVERIFY(page.out.contains(QStringLiteral(".SH NAME\n") + QString(program).replace('-', "\\-") + " \\- "));
        QVERIFY(page.out.contains(QStringLiteral(PCR_PROJECT_VERSION)));
        QVERIFY(!page.out.contains(QStringLiteral("@PCR_VERSION@")));
    }

    void desktopEntry()
    {
        QFile f(rooted(QStringLiteral("usr/share/applications/pcrcal.desktop")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QMap<QString, QString> keys;
        for (const QByteArray &line : f.readAll().split('\n')) {
            const QString text = QString::fromUtf8(line);
            if (text.contains(QLatin1Char('=')) && !text.startsWith(QLatin1Char('#')))
                keys.insert(text.section(QLatin1Char('='), 0, 0), text.section(QLatin1Char('='), 1));
        }
        QCOMPARE(keys.value("Type"), QStringLiteral("Application"));
        QCOMPARE(keys.value("Name"), QStringLiteral("PCR 校准"));
        QCOMPARE(keys.value("Name[en]"), QStringLiteral("PCR Calibration"));
        QVERIFY(QFileInfo(rooted(QStringLiteral("usr/bin/") + keys.value("Exec").section(' ', 0, 0))).isExecutable());
        const QString icon = keys.value("Icon");
        QCOMPARE(icon, QStringLiteral("pcrcal"));
        for (int size : iconSizes) {
            const QImage image(rooted(QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(icon)));
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY(image.hasAlphaChannel());
        }
    }
};

QTEST_MAIN(TestPackage)
#include "tst_package.moc"
