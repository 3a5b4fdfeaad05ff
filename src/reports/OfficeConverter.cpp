#include "reports/OfficeConverter.h"

#include "store/OutputFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace {

QString &programOverride()
{
    static QString path;
    return path;
}

QString &profileOverride()
{
    static QString path;
    return path;
}

const char marker[] = "pcrcal font replacement";

// "宋体" and "黑体" exist only on Windows; without this LibreOffice falls back to a Latin face
// or to Japanese glyph variants.
QByteArray fontItems()
{
    struct Pair
    {
        const char *from;
        const char *to;
    };
    const Pair pairs[] = {{"宋体", "Noto Serif CJK SC"},
                          {"SimSun", "Noto Serif CJK SC"},
                          {"黑体", "Noto Sans CJK SC"},
                          {"SimHei", "Noto Sans CJK SC"}};
    QByteArray items = QByteArray("<!-- ") + marker + " -->\n"
                       "<item oor:path=\"/org.openoffice.Office.Common/Font/Substitution\">"
                       "<prop oor:name=\"Replacement\" oor:op=\"fuse\"><value>true</value></prop></item>\n";
    int i = 0;
    for (const Pair &p : pairs) {
        items += "<item oor:path=\"/org.openoffice.Office.Common/Font/Substitution/FontPairs\">"
                 "<node oor:name=\"pcrcal" + QByteArray::number(i++) + "\" oor:op=\"replace\">"
                 "<prop oor:name=\"Always\" oor:op=\"fuse\"><value>true</value></prop>"
                 "<prop oor:name=\"OnScreenOnly\" oor:op=\"fuse\"><value>false</value></prop>"
                 "<prop oor:name=\"ReplaceFont\" oor:op=\"fuse\"><value>" + QByteArray(p.from) + "</value></prop>"
                 "<prop oor:name=\"SubstituteFont\" oor:op=\"fuse\"><value>" + QByteArray(p.to) + "</value></prop>"
                 "</node></item>\n";
    }
    return items;
}

} // namespace

QString OfficeConverter::program()
{
    if (!programOverride().isEmpty())
        return programOverride();
    const QString fromEnv = qEnvironmentVariable("PCR_SOFFICE");
    if (!fromEnv.isEmpty())
        return fromEnv;
    for (const char *name : {"soffice", "libreoffice"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

void OfficeConverter::setProgram(const QString &path)
{
    programOverride() = path;
}

QString OfficeConverter::profileDirectory()
{
    if (!profileOverride().isEmpty())
        return profileOverride();
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty() || !QDir().mkpath(base))
        base = QDir::tempPath();
    return base + QStringLiteral("/pcrcal/libreoffice-profile");
}

void OfficeConverter::setProfileDirectory(const QString &path)
{
    profileOverride() = path;
}

bool OfficeConverter::prepareProfile(const QString &directory, QString *error)
{
    const QString userDir = directory + QStringLiteral("/user");
    if (!QDir().mkpath(userDir)) {
        if (error)
            *error = QCoreApplication::translate("OfficeConverter", "无法创建LibreOffice配置目录：%1").arg(QDir::toNativeSeparators(userDir));
        return false;
    }
    const QString xcu = userDir + QStringLiteral("/registrymodifications.xcu");
    QFile existing(xcu);
    QByteArray content;
    if (existing.open(QIODevice::ReadOnly))
        content = existing.readAll();
    existing.close();
    if (content.contains(marker) || content.contains("<node oor:name=\"pcrcal0\""))
        return true;
    if (!content.contains("</oor:items>")) {
        content = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                  "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                  "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
                  "</oor:items>\n";
    }
    content.replace("</oor:items>", fontItems() + "</oor:items>");
    QSaveFile out(xcu);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.commit()) {
        if (error)
            *error = QCoreApplication::translate("OfficeConverter", "无法写入LibreOffice配置：%1").arg(QDir::toNativeSeparators(xcu));
        return false;
    }
    return true;
}

bool OfficeConverter::convertToPdf(const QString &input, const QString &outputPath, QString *error,
                                   int timeoutMs, const std::atomic<bool> *cancel)
{
    auto cancelled = [cancel] { return cancel && cancel->load(); };
    // Every wait below is a short one repeated, so a cancel is seen at once.
    constexpr int Slice = 100;
    QString ignored;
    QString &message = error ? *error : ignored;
    const QString office = program();
    if (office.isEmpty() || !QFileInfo(office).isExecutable()) {
        message = QCoreApplication::translate("OfficeConverter", "未找到LibreOffice（soffice），无法生成PDF。请安装libreoffice-writer。");
        return false;
    }
    const QString profile = profileDirectory();
    if (!prepareProfile(profile, &message))
        return false;

    // One LibreOffice per profile: a second one would hand its work to the first and exit.
    QLockFile lock(profile + QStringLiteral(".lock"));
    lock.setStaleLockTime(timeoutMs + 60000);
    QElapsedTimer waited;
    waited.start();
    bool locked = false;
    while (!locked && !cancelled() && waited.elapsed() < timeoutMs)
        locked = lock.tryLock(Slice);
    if (cancelled()) {
        message = QCoreApplication::translate("OfficeConverter", "已取消。");
        return false;
    }
    if (!locked) {
        message = QCoreApplication::translate("OfficeConverter", "LibreOffice正忙，等待超时。");
        return false;
    }

    QTemporaryDir outDir;
    if (!outDir.isValid()) {
        message = QCoreApplication::translate("OfficeConverter", "无法创建临时目录：%1").arg(outDir.errorString());
        return false;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList arguments = {
        QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(QUrl::FullyEncoded),
        QStringLiteral("--headless"), QStringLiteral("--invisible"), QStringLiteral("--nologo"),
        QStringLiteral("--nodefault"), QStringLiteral("--norestore"), QStringLiteral("--nolockcheck"),
        QStringLiteral("--convert-to"), QStringLiteral("pdf"),
        QStringLiteral("--outdir"), outDir.path(), QFileInfo(input).absoluteFilePath()};
    // At a lower priority: a conversion is background work, and LibreOffice starting up must
    // not take the processor from the window (nice runs it in its own place, same process).
    const QString nice = QStandardPaths::findExecutable(QStringLiteral("nice"));
    if (nice.isEmpty())
        process.start(office, arguments);
    else
        process.start(nice, QStringList{QStringLiteral("-n"), QStringLiteral("10"), office} + arguments);
    if (!process.waitForStarted(30000)) {
        message = QCoreApplication::translate("OfficeConverter", "无法启动LibreOffice：%1").arg(process.errorString());
        return false;
    }
    QElapsedTimer running;
    running.start();
    while (!process.waitForFinished(Slice) && process.state() != QProcess::NotRunning) {
        if (cancelled() || running.elapsed() >= timeoutMs) {
            process.kill();
            process.waitForFinished(5000);
            message = cancelled() ? QCoreApplication::translate("OfficeConverter", "已取消。")
                                  : QCoreApplication::translate("OfficeConverter", "LibreOffice转换PDF超时。");
            return false;
        }
    }
    const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
    const QString pdf = outDir.filePath(QFileInfo(input).completeBaseName() + QStringLiteral(".pdf"));
    QFile produced(pdf);
    QByteArray bytes;
    if (produced.open(QIODevice::ReadOnly))
        bytes = produced.readAll();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || !bytes.startsWith("%PDF-")
        || !bytes.contains("%%EOF")) {
        message = QCoreApplication::translate("OfficeConverter", "LibreOffice转换PDF失败（退出码%1）：%2").arg(process.exitCode()).arg(output.right(400));
        return false;
    }
    return OutputFile::write(outputPath, bytes, &message);
}
