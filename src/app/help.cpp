#include "app/help.h"

#include "app/messages.h"
#include "app/pcr.h"
#include "app/widgets.h"
#include "store/Paths.h"
#include "store/tool.h"
#include "ui_help.h"

#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

std::function<bool(const QUrl &)> Help::openUrl = [](const QUrl &url) {
    return QDesktopServices::openUrl(url);
};

Help::Help(QWidget *parent) : QDialog(parent), ui(new Ui::Help)
{
    ui->setupUi(this);
    Widgets::paintBackground(this);
    setWindowIcon(QIcon(QStringLiteral(":/PCR/Image/PCR.ico")));
    ui->label_Icon->setPixmap(QPixmap(QStringLiteral(":/PCR/Image/PCR.png")));
    ui->label_Version->setText(tr("版本：%1").arg(PCR::version()));
    connect(ui->pushButton_Help, &QPushButton::clicked, this, &Help::pt_Help_clicked);
    connect(ui->pushButton_OK, &QPushButton::clicked, this, &Help::pt_OK_clicked);
}

Help::~Help()
{
    delete ui;
}

QString Help::manualPath(const QString &language)
{
    // No language read (the database did not open): the interface shows its Chinese source texts.
    const QString lang = language.isEmpty() || language == QStringLiteral("中文") ? QStringLiteral("zh")
                                                                                : QStringLiteral("en");
    // An installed program opens the manual where the package put it.
    const QString installed = Paths::installedResource(QStringLiteral("manual/") + lang + QStringLiteral("/index.html"));
    if (!installed.isEmpty())
        return installed;
    const QString source = QStringLiteral(":/PCR/Manual");
    // In the user's own cache folder: a fixed name in the shared temporary folder could be a link
    // planted by someone else, and clearing it would delete whatever it points to.
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty() || !QDir().mkpath(base))
        base = QDir::tempPath() + QStringLiteral("/pcrcal-%1").arg(::getuid());
    const QString target = base + QStringLiteral("/pcrcal/manual");
    for (QString dir = target; dir.startsWith(base) && dir.size() >= base.size(); dir = QFileInfo(dir).path()) {
        const QFileInfo info(dir);
        if (info.isSymLink() || (info.exists() && info.ownerId() != ::getuid()))
            return QString();
        if (dir == base)
            break;
    }
    // Written afresh each time, so the manual always matches the program that shows it.
    QDir(target).removeRecursively();
    QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString out = target + file.mid(source.size());
        if (!QDir().mkpath(QFileInfo(out).absolutePath()) || !QFile::copy(file, out))
            return QString();
        QFile::setPermissions(out, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                       QFileDevice::ReadOther);
    }
    const QString index = target + QStringLiteral("/") + lang + QStringLiteral("/index.html");
    return QFileInfo::exists(index) ? index : QString();
}

void Help::pt_Help_clicked()
{
    const QString path = manualPath(Tool::Language);
    if (path.isEmpty() || !openUrl(QUrl::fromLocalFile(path)))
        Messages::information(this, tr("警告"), tr("无法打开用户手册：%1").arg(path.isEmpty() ? tr("手册文件缺失") : path));
}

void Help::pt_OK_clicked()
{
    close();
}
