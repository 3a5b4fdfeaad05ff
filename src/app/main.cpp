#include "app/fonts.h"
#include "app/messages.h"
#include "app/pcr.h"
#include "store/Paths.h"
#include "store/logging.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDebug>
#include <QDir>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstring>

namespace {

void describeOptions(QCommandLineParser &parser)
{
    const QString folder = QDir::toNativeSeparators(Paths::userWorkspace());
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "PCR仪温度校准。") + QLatin1Char('\n')
        + QCoreApplication::translate("main", "工作目录：--workspace 指定的文件夹；否则已有 PCR.db3 或 config.ini 的当前目录；否则 %1。")
              .arg(folder));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("workspace"), QCoreApplication::translate("main", "工作目录（不存在时创建）。"),
                      QStringLiteral("DIR")});
}

// --help and --version answer without a display.
bool asksForText(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        for (const char *name : {"-h", "--help", "-help", "-?", "-v", "--version"})
            if (std::strcmp(argv[i], name) == 0)
                return true;
    return false;
}

// Texts shown before a workspace's language is known follow the system's language.
void installLocaleTranslator(QTranslator &translator)
{
    const bool chinese = QLocale::system().language() == QLocale::Chinese;
    if (translator.load(chinese ? QStringLiteral(":/i18n/pcr_zh.qm") : QStringLiteral(":/i18n/pcr_en.qm")))
        QCoreApplication::installTranslator(&translator);
}

void setIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("pcrcal"));
    QCoreApplication::setApplicationVersion(PCR::version());
}

} // namespace

int main(int argc, char *argv[])
{
    if (asksForText(argc, argv)) {
        QCoreApplication core(argc, argv);
        setIdentity();
        QTranslator translator;
        installLocaleTranslator(translator);
        QCommandLineParser parser;
        describeOptions(parser);
        parser.process(core);   // prints and exits
        return 0;
    }

    QApplication app(argc, argv);
    setIdentity();
    installFontSubstitutions();
    QTranslator localeTranslator;
    installLocaleTranslator(localeTranslator);
    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app);   // an unknown option ends the process with a message

    // Before the log handler: the daily log belongs in the workspace.
    const QString workspace = Paths::chooseWorkspace(parser.value(QStringLiteral("workspace")), QDir::currentPath());
    QString reason;
    if (!Paths::enterWorkspace(workspace, &reason)) {
        const QString text = QCoreApplication::translate("main", "无法使用工作目录 %1：%2")
                                 .arg(QDir::toNativeSeparators(workspace), reason);
        std::fprintf(stderr, "pcrcal: %s\n", text.toLocal8Bit().constData());
        Messages::information(nullptr, QCoreApplication::translate("main", "警告"), text);
        return 1;
    }
    // The main window installs the translator of the workspace's language.
    QCoreApplication::removeTranslator(&localeTranslator);
    qInstallMessageHandler(logMessageHandler);
    qDebug().noquote() << QStringLiteral("工作目录：") + QDir::toNativeSeparators(workspace);

    PCR window;
    if (window.loginRefused())
        return 0;
    window.show();
    return app.exec();
}
