#include "ToolSignIn.h"

#include "store/accounts.h"
#include "store/textchecks.h"
#include "store/tool.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cstdio>

#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The password typed on the terminal, without echo.
bool promptPassword(const QString &name, QString *password)
{
    if (!::isatty(STDIN_FILENO))
        return false;
    const QByteArray prompt = ToolSignIn::tr("操作员 %1 的密码：").arg(name).toUtf8();
    std::fwrite(prompt.constData(), 1, size_t(prompt.size()), stderr);
    std::fflush(stderr);
    termios saved{};
    const bool quiet = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &silent);   // no flush: a line typed ahead is kept
    }
    QByteArray line;
    char c = 0;
    while (::read(STDIN_FILENO, &c, 1) == 1 && c != '\n')
        line += c;
    if (quiet)
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::fputc('\n', stderr);
    *password = QString::fromUtf8(line);
    return true;
}

} // namespace

bool ToolSignIn::readPasswordFile(const QString &fileName, QString *password, QString *message)
{
    const QByteArray path = QFile::encodeName(fileName);
    struct stat st = {};
    if (::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        *message = tr("无法读取密码文件：%1").arg(fileName);
        return false;
    }
    // Anyone else who can read it knows the password.
    if ((st.st_mode & 077) != 0 || st.st_uid != ::geteuid()) {
        *message = tr("密码文件只许属于当前用户且权限为 0600：%1").arg(fileName);
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *message = tr("无法读取密码文件：%1").arg(fileName);
        return false;
    }
    QByteArray line = file.readLine(4096);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    *password = QString::fromUtf8(line);
    return true;
}

bool ToolSignIn::signIn(const QCommandLineParser &parser, const QString &startDir, std::optional<Right> required,
                        QString *message)
{
    const QString name = parser.value(operatorOption());
    if (name.isEmpty()) {
        *message = tr("缺少 --operator（操作员账户）。");
        return false;
    }
    const QString refused = TextChecks::refusal({{name, TextChecks::NameLength}});
    if (!refused.isEmpty()) {
        *message = QStringLiteral("--operator: ") + refused;
        return false;
    }
    QString password;
    const QString given = parser.value(passwordFileOption());
    const QString file = given.isEmpty() ? given : QDir(startDir).absoluteFilePath(given);
    if (!file.isEmpty()) {
        if (!readPasswordFile(file, &password, message))
            return false;
    } else if (qEnvironmentVariableIsSet(passwordVariable())) {
        password = qEnvironmentVariable(passwordVariable());
    } else if (!promptPassword(name, &password)) {
        *message = tr("需要操作员 %1 的密码：用 --password-file、环境变量 %2 或在终端上输入。")
                       .arg(name, QLatin1String(passwordVariable()));
        return false;
    }
    // Nothing the tool starts inherits it.
    qunsetenv(passwordVariable());
    password = password.trimmed();
    if (password.isEmpty()) {
        *message = tr("操作员 %1 的密码为空。").arg(name);
        return false;
    }

    const QDateTime now = QDateTime::currentDateTime();
    const Accounts::AttemptResult result = Accounts::signIn(name, password, now);
    switch (result.outcome) {
    case Accounts::Attempt::Accepted:
        break;
    case Accounts::Attempt::NoSuchAccount:
    case Accounts::Attempt::ReadFailed:
        *message = tr("未找到操作员账户：%1").arg(name);
        return false;
    case Accounts::Attempt::Expired:
        *message = tr("操作员账户已过期：%1").arg(name);
        return false;
    case Accounts::Attempt::Locked:
        *message = tr("操作员账户已被锁定：%1").arg(name);
        return false;
    case Accounts::Attempt::Unusable:
        *message = tr("操作员 %1 的密码记录无效（参数超出允许范围），请由管理员重设密码。").arg(name);
        return false;
    case Accounts::Attempt::Wrong:
        *message = tr("操作员 %1 的密码错误；连续 3 次错误账户将被锁定。").arg(name);
        return false;
    }
    if (required && !result.user.has(*required)) {
        *message = tr("操作员 %1 没有“%2”权限。").arg(name, Rights::displayName(*required));
        return false;
    }
    Tool::CurrentUser = result.user;
    return true;
}

QString ToolSignIn::operatorHelp()
{
    return tr("操作员账户（必需）：现有、未锁定、未过期且有所需权限的账户");
}

QString ToolSignIn::passwordFileHelp()
{
    return tr("从文件的第一行读取操作员的密码；文件须属于当前用户且权限为 0600");
}

QString ToolSignIn::passwordHelp()
{
    return tr("操作员的密码依次取自 --password-file、环境变量 %1，或在终端上输入（不回显）。密码错误与登录时一样计数，连续 3 次错误账户将被锁定。")
        .arg(QLatin1String(passwordVariable()));
}
