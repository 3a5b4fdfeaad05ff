#include "ExportTool.h"

#include "store/DatabaseSettings.h"
#include "store/accounts.h"
#include "store/auditchain.h"
#include "store/databasefile.h"
#include "store/logging.h"
#include "store/runrecords.h"
#include "reports/ExportJob.h"
#include "store/OutputFile.h"
#include "store/tool.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

#include <cmath>

namespace {

// The application's catalogues: English for any language but Chinese.
void installTranslator(const QString &language)
{
    static QTranslator translator;
    QCoreApplication::removeTranslator(&translator);
    const QString file = language == QStringLiteral("中文") ? QStringLiteral(":/i18n/pcr_zh.qm")
                                                            : QStringLiteral(":/i18n/pcr_en.qm");
    if (translator.load(file))
        QCoreApplication::installTranslator(&translator);
}

bool parseTime(const QString &text, QDateTime &time)
{
    static const char *const formats[] = {"yyyy-MM-dd hh:mm:ss.zzz", "yyyy-MM-dd hh:mm:ss", "yyyy-MM-ddThh:mm:ss.zzz",
                                          "yyyy-MM-ddThh:mm:ss", "yyyy-MM-dd hh:mm", "yyyy-MM-ddThh:mm"};
    const QString t = text.trimmed();
    for (const char *format : formats) {
        time = QDateTime::fromString(t, QLatin1String(format));
        if (time.isValid())
            return true;
    }
    return false;
}

QString kindName(int mode)
{
    static const char *const names[] = {"certificate", "record", "raw"};
    return QLatin1String(names[mode]);
}

// A file name from a project name: characters a file system refuses become "_".
QString safeFileName(const QString &name)
{
    QString out = name;
    for (QChar &c : out) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c == QLatin1Char('*')
            || c == QLatin1Char('?') || c == QLatin1Char('"') || c == QLatin1Char('<') || c == QLatin1Char('>')
            || c == QLatin1Char('|') || c.unicode() < 0x20)
            c = QLatin1Char('_');
    }
    return out.isEmpty() ? QStringLiteral("export") : out;
}

// An account that may export now: present, not expired, not locked, holding the export's right.
int checkOperator(const QString &name, Right right, QString *message)
{
    QList<Tool::Struct_UesrManagement> users;
    if (!Tool::getUesrManagement(users, name) || users.isEmpty()) {
        *message = ExportTool::tr("未找到操作员账户：%1").arg(name);
        return ExportTool::NotFound;
    }
    const Tool::Struct_UesrManagement &user = users.first();
    switch (Accounts::usability(user, QDateTime::currentDateTime(), right)) {
    case Accounts::Usability::Expired:
        *message = ExportTool::tr("操作员账户已过期：%1").arg(name);
        return ExportTool::NotFound;
    case Accounts::Usability::Locked:
        *message = ExportTool::tr("操作员账户已被锁定：%1").arg(name);
        return ExportTool::NotFound;
    case Accounts::Usability::MissingRight:
        *message = ExportTool::tr("操作员 %1 没有“%2”权限。").arg(name, Rights::displayName(right));
        return ExportTool::NotFound;
    case Accounts::Usability::Usable:
        break;
    }
    Tool::CurrentUser = user;
    return ExportTool::Success;
}

Right rightOf(int mode)
{
    switch (mode) {
    case ExportJob::CertificateMode: return Right::CalibrationReport;
    case ExportJob::OriginalRecordMode: return Right::OriginalRecord;
    default: return Right::Custom;
    }
}

struct Options
{
    QString workspace;
    bool list = false;
    bool verifyAudit = false;
    QList<AuditAnchors::Anchor> anchors;   // --anchor COUNT:HASH, heads kept elsewhere
    QString project;
    int mode = -1;
    QString format;
    QString out;
    QString json;
    QDateTime from = ExportJob::wholeRunFrom();
    QDateTime to = ExportJob::wholeRunTo();
    double tolerance = 0.1;
    bool toleranceGiven = false;
    QVector<QDateTime> markers;
    bool markersGiven = false;
    QString operatorName;
    bool overwrite = false;
    int annex = -1;   // -1: as config.ini says; 0 without, 1 with the certificate's performance annex
};

// Reads the command line into options; a usage error leaves its message in *message.
bool parseOptions(QCommandLineParser &parser, const QStringList &arguments, Options &o, QString *message)
{
    if (!parser.parse(arguments)) {
        *message = parser.errorText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = ExportTool::tr("多余的参数：%1").arg(parser.positionalArguments().join(QLatin1Char(' ')));
        return false;
    }
    o.workspace = parser.value(QStringLiteral("workspace"));
    if (o.workspace.isEmpty()) {
        *message = ExportTool::tr("缺少 --workspace。");
        return false;
    }
    o.list = parser.isSet(QStringLiteral("list"));
    o.verifyAudit = parser.isSet(QStringLiteral("verify-audit"));
    if (o.list && o.verifyAudit) {
        *message = ExportTool::tr("--list 不能与 --verify-audit 同用。");
        return false;
    }
    for (const QString &text : parser.values(QStringLiteral("anchor"))) {
        AuditAnchors::Anchor a;
        if (!o.verifyAudit || !AuditAnchors::parse(text, &a)) {
            *message = o.verifyAudit ? ExportTool::tr("无效的 --anchor：%1（应为 条数:64位十六进制哈希）。").arg(text)
                                     : ExportTool::tr("--anchor 只能与 --verify-audit 同用。");
            return false;
        }
        a.where = QStringLiteral("--anchor");
        o.anchors << a;
    }
    const QStringList exportOptions{QStringLiteral("project"), QStringLiteral("kind"),   QStringLiteral("format"),
                                    QStringLiteral("out"),     QStringLiteral("from"),   QStringLiteral("to"),
                                    QStringLiteral("tolerance"), QStringLiteral("markers"), QStringLiteral("json"),
                                    QStringLiteral("operator"), QStringLiteral("annex"), QStringLiteral("overwrite")};
    if (o.list || o.verifyAudit) {
        const QString alone = o.list ? QStringLiteral("--list") : QStringLiteral("--verify-audit");
        for (const QString &name : exportOptions) {
            if (parser.isSet(name)) {
                *message = ExportTool::tr("%1 不能与 --%2 同用。").arg(alone, name);
                return false;
            }
        }
        return true;
    }

    o.project = parser.value(QStringLiteral("project"));
    if (!parser.isSet(QStringLiteral("project")) || o.project.isEmpty()) {
        *message = ExportTool::tr("缺少 --project（或 --list）。");
        return false;
    }
    const QString kind = parser.value(QStringLiteral("kind"));
    for (int m = ExportJob::CertificateMode; m <= ExportJob::RawDataMode; ++m)
        if (kind == kindName(m))
            o.mode = m;
    if (o.mode < 0) {
        *message = kind.isEmpty() ? ExportTool::tr("缺少 --kind（certificate、record 或 raw）。")
                                  : ExportTool::tr("未知的 --kind：%1（应为 certificate、record 或 raw）。").arg(kind);
        return false;
    }
    o.operatorName = parser.value(QStringLiteral("operator"));
    if (o.operatorName.isEmpty()) {
        *message = ExportTool::tr("缺少 --operator（进行导出的操作员账户）。");
        return false;
    }
    if (parser.isSet(QStringLiteral("format"))) {
        o.format = parser.value(QStringLiteral("format"));
        if (!ExportJob::isKnownFormat(o.format)) {
            *message = ExportTool::tr("未知的 --format：%1（应为 Word、Excel 或 PDF）。").arg(o.format);
            return false;
        }
        if (o.mode == ExportJob::RawDataMode && o.format != QStringLiteral("Excel")) {
            *message = ExportTool::tr("原始数据只能导出为 Excel 工作簿。");
            return false;
        }
    }
    o.out = parser.value(QStringLiteral("out"));
    o.json = parser.value(QStringLiteral("json"));
    o.overwrite = parser.isSet(QStringLiteral("overwrite"));
    if (!o.out.isEmpty() && !o.json.isEmpty() && OutputFile::samePath(o.out, o.json)) {
        *message = ExportTool::tr("--out 和 --json 不能是同一个文件。");
        return false;
    }
    if (parser.isSet(QStringLiteral("from")) && !parseTime(parser.value(QStringLiteral("from")), o.from)) {
        *message = ExportTool::tr("无法识别的时间：%1").arg(parser.value(QStringLiteral("from")));
        return false;
    }
    // Bounds as the page's time editors give them: the end takes in the samples of its last
    // second (or minute), which a time without milliseconds leaves out otherwise.
    if (parser.isSet(QStringLiteral("to"))) {
        const QString to = parser.value(QStringLiteral("to"));
        if (!parseTime(to, o.to)) {
            *message = ExportTool::tr("无法识别的时间：%1").arg(to);
            return false;
        }
        if (!to.contains(QLatin1Char('.')))
            o.to = o.to.addMSecs(to.trimmed().count(QLatin1Char(':')) >= 2 ? 999 : 59999);
    }
    if (o.to < o.from) {
        *message = ExportTool::tr("时间设置错误！");
        return false;
    }
    o.toleranceGiven = parser.isSet(QStringLiteral("tolerance"));
    if (o.toleranceGiven) {
        bool ok = false;
        o.tolerance = parser.value(QStringLiteral("tolerance")).toDouble(&ok);
        if (!ok || !std::isfinite(o.tolerance) || o.tolerance <= 0) {
            *message = ExportTool::tr("--tolerance 必须是正数：%1").arg(parser.value(QStringLiteral("tolerance")));
            return false;
        }
    }
    o.markersGiven = parser.isSet(QStringLiteral("markers"));
    if (o.markersGiven) {
        const QStringList texts = parser.value(QStringLiteral("markers")).split(QLatin1Char(','));
        for (const QString &text : texts) {
            QDateTime t;
            if (!parseTime(text, t)) {
                *message = ExportTool::tr("无法识别的标注线时间：%1").arg(text);
                return false;
            }
            o.markers.append(t);
        }
    }
    if (o.mode == ExportJob::RawDataMode && (o.toleranceGiven || o.markersGiven)) {
        *message = ExportTool::tr("--tolerance 和 --markers 只用于 certificate 和 record。");
        return false;
    }
    if (parser.isSet(QStringLiteral("annex"))) {
        const QString annex = parser.value(QStringLiteral("annex"));
        if (annex != QStringLiteral("yes") && annex != QStringLiteral("no")) {
            *message = ExportTool::tr("--annex 应为 yes 或 no：%1").arg(annex);
            return false;
        }
        if (o.mode != ExportJob::CertificateMode) {
            *message = ExportTool::tr("--annex 只用于 certificate。");
            return false;
        }
        o.annex = annex == QStringLiteral("yes") ? 1 : 0;
    }
    if (o.toleranceGiven && o.markersGiven) {
        *message = ExportTool::tr("--tolerance 和 --markers 不能同用。");
        return false;
    }
    return true;
}

} // namespace

QString ExportTool::escapedName(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        const ushort u = c.unicode();
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (u < 0x20 || (u >= 0x7f && u < 0xa0))
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        // Direction overrides would reorder what the terminal shows.
        else if ((u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069) || u == 0x200e || u == 0x200f)
            out += QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

QString ExportTool::helpText()
{
    const struct
    {
        const char *option;
        QString text;
    } options[] = {
        {"--workspace DIR", tr("工作目录（含 PCR.db3 和 config.ini）")},
        {"--list", tr("每行列出一个校准项目名称")},
        {"--verify-audit", tr("只读校验审计日志的哈希链及其锚点（工作目录的锚点文件、备份带来的锚点）；完整时退出状态为 0，被改动、截短或清空时为 6 并指出第一条不符的记录，读取出错时为 7")},
        {"--anchor N:HASH", tr("与 --verify-audit 同用，可多次给出：另外保存的审计链头（如证书上打印的），表中第 N 条记录的哈希须与之相同")},
        {"--project NAME", tr("要导出的校准项目")},
        {"--kind KIND", tr("certificate 校准证书，record 原始记录，raw 原始数据工作簿")},
        {"--operator NAME", tr("进行导出的操作员：现有、未锁定、未过期且有该导出权限的账户")},
        {"--format FORMAT", tr("Word（.docx）、Excel（.xlsx）或 PDF；默认取 config.ini 的导出格式；raw 始终为 Excel")},
        {"--out FILE", tr("输出文件；默认为当前目录下的 项目名-类型.扩展名")},
        {"--from TIME", tr("数据窗口开始，如 \"2024-05-06 08:00:00\"；默认为整个运行")},
        {"--to TIME", tr("数据窗口结束")},
        {"--tolerance X", tr("自动分段的稳定指标（默认 0.1）")},
        {"--markers T1,...", tr("直接给出标注线时间：每个设定温度一对（开始、结束），按时间递增")},
        {"--overwrite", tr("允许覆盖已存在的输出文件（工作目录中的程序文件和非普通文件从不覆盖）")},
        {"--json FILE", tr("写出计算结果：分段、每行均匀度结果及其不确定度分量、八个升降温速率值、证书编号和性能指标（过冲、稳定时间、定时偏差、插值与最大速率及其判定），每个数给出未修约值和打印文本")},
        {"--annex yes|no", tr("校准证书是否附性能指标附页；默认取 config.ini 的 [Performance] CertificateAnnex")},
        {"--help", tr("显示本帮助")},
    };
    QString text = tr("用法：") + QLatin1Char('\n');
    text += QStringLiteral("  pcrcal-export --workspace DIR --list\n"
                           "  pcrcal-export --workspace DIR --verify-audit [--anchor N:HASH ...]\n"
                           "  pcrcal-export --workspace DIR --project NAME --kind certificate|record|raw --operator NAME\n"
                           "                [--format Word|Excel|PDF] [--out FILE] [--from TIME] [--to TIME]\n"
                           "                [--tolerance X | --markers T1,T2,...] [--json FILE] [--annex yes|no]\n"
                           "                [--overwrite]\n\n");
    text += tr("不需要显示器：从工作目录导出一个校准项目，与程序中的导出相同，并写入审计日志。") + QStringLiteral("\n\n");
    text += tr("选项：") + QLatin1Char('\n');
    for (const auto &o : options)
        text += QStringLiteral("  %1 %2\n").arg(QLatin1String(o.option), -18).arg(o.text);
    text += QLatin1Char('\n') + tr("单位、小数位数、公司和语言取自工作目录的 config.ini。") + QLatin1Char('\n');
    text += tr("证书和原始记录以项目的证书编号签发：首次导出时分配并保存，之后的导出沿用；certificate 在输出文件路径之后另起一行打印“证书编号：”及编号。")
        + QStringLiteral("\n\n");
    text += tr("退出状态：") + QLatin1Char('\n');
    const QString statuses[] = {tr("成功"), tr("参数错误"), tr("工作目录、校准项目或操作员不存在，或操作员无权导出"),
                                tr("被拒绝：分析不成立、项目正在运行，或证书缺少校准实验室（消息与程序中相同，写在标准错误上）"),
                                tr("写入失败（文档、工作簿、JSON 或审计日志），或输出文件已存在、不可覆盖；不留下任何文件"),
                                tr("--verify-audit：审计日志被改动、截短或清空，与锚点不符，或尚未建立哈希链"),
                                tr("数据库损坏，无法完整读取")};
    const int codes[] = {Success, Usage, NotFound, Refused, WriteFailed, AuditBroken, Damaged};
    for (int i = 0; i < 7; ++i)
        text += QStringLiteral("  %1  %2\n").arg(codes[i]).arg(statuses[i]);
    return text;
}

int ExportTool::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({
        {QStringLiteral("workspace"), QString(), QStringLiteral("DIR")},
        {QStringLiteral("list"), QString()},
        {QStringLiteral("verify-audit"), QString()},
        {QStringLiteral("anchor"), QString(), QStringLiteral("N:HASH")},
        {QStringLiteral("project"), QString(), QStringLiteral("NAME")},
        {QStringLiteral("kind"), QString(), QStringLiteral("KIND")},
        {QStringLiteral("format"), QString(), QStringLiteral("FORMAT")},
        {QStringLiteral("out"), QString(), QStringLiteral("FILE")},
        {QStringLiteral("from"), QString(), QStringLiteral("TIME")},
        {QStringLiteral("to"), QString(), QStringLiteral("TIME")},
        {QStringLiteral("tolerance"), QString(), QStringLiteral("X")},
        {QStringLiteral("markers"), QString(), QStringLiteral("TIMES")},
        {QStringLiteral("json"), QString(), QStringLiteral("FILE")},
        {QStringLiteral("operator"), QString(), QStringLiteral("NAME")},
        {QStringLiteral("annex"), QString(), QStringLiteral("yes|no")},
        {QStringLiteral("overwrite"), QString()},
        {{QStringLiteral("h"), QStringLiteral("help")}, QString()},
    });

    // Before a workspace is read, the system's language decides.
    installTranslator(QLocale::system().language() == QLocale::Chinese ? QStringLiteral("中文")
                                                                       : QStringLiteral("English"));

    if (arguments.mid(1).contains(QStringLiteral("--help")) || arguments.mid(1).contains(QStringLiteral("-h"))) {
        out << helpText();
        return Success;
    }
    Options o;
    QString message;
    if (!parseOptions(parser, arguments, o, &message)) {
        err << message << '\n' << tr("用 --help 查看用法。") << '\n';
        return Usage;
    }

    // Paths given relative to where the tool was started, before moving into the workspace.
    const QString startDir = QDir::currentPath();
    const QFileInfo workspace(o.workspace);
    if (!workspace.isDir()) {
        err << tr("工作目录不存在：%1").arg(o.workspace) << '\n';
        return NotFound;
    }
    // The workspace's database: its "PCR.db3", or the server its config.ini names.
    const DatabaseSettings configured =
        DatabaseSettings::read(QDir(workspace.absoluteFilePath()).filePath(Tool::ConfigFileName));
    const QString database = configured.isPostgreSQL()
        ? configured.location()
        : QDir(workspace.absoluteFilePath()).filePath(Tool::DatabaseFileName);
    QString reason;
    DatabaseFile::Condition condition = DatabaseFile::Condition::None;
    bool readOnlyCopy = false;
    const DatabaseFile::Kind kind = configured.isPostgreSQL()
        ? DatabaseFile::Kind::Ours
        : DatabaseFile::classify(database, nullptr, &condition, &readOnlyCopy);
    // A database that cannot be written where it lies (read-only folder, full disk) is still
    // read for listing and verifying; an export is audited, so it needs a writable one.
    const bool readOnly = kind == DatabaseFile::Kind::Inaccessible;
    if (readOnly && (!readOnlyCopy || (!o.list && !o.verifyAudit))) {
        err << DatabaseFile::conditionText(condition, database) << '\n';
        if (readOnlyCopy)
            err << tr("导出须写入审计日志和证书编号，不能在不可写的数据库上进行。") << '\n';
        return readOnlyCopy ? WriteFailed : NotFound;
    }
    // Said plainly what the file is, rather than the error a query on it happened to give.
    switch (kind) {
    case DatabaseFile::Kind::NotDatabase:
        err << tr("工作目录中没有可用的数据库：%1").arg(QDir::toNativeSeparators(database)) << " ("
            << tr("不是数据库") << ")\n";
        return NotFound;
    case DatabaseFile::Kind::Foreign:
        err << tr("工作目录中没有可用的数据库：%1").arg(QDir::toNativeSeparators(database)) << " ("
            << tr("不是本程序的数据库") << ")\n";
        return NotFound;
    case DatabaseFile::Kind::Missing:
    case DatabaseFile::Kind::Ours:
    case DatabaseFile::Kind::Unreadable:
    case DatabaseFile::Kind::Inaccessible:
        break;
    }
    if (!configured.isPostgreSQL() && (!QFileInfo(database).isFile() || !Tool::isPcrDatabase(database, &reason))) {
        err << tr("工作目录中没有可用的数据库：%1").arg(QDir::toNativeSeparators(database));
        if (!reason.isEmpty())
            err << " (" << reason << ')';
        err << '\n';
        return NotFound;
    }
    if (o.verifyAudit) {
        // Read-only: verifying changes nothing, not even an older, unchained trail.
        // A server's anchor file is the station's, in its workspace.
        QDir::setCurrent(workspace.absoluteFilePath());
        const AuditChain::Verdict verdict = AuditChain::verifyFile(database, o.anchors);
        (verdict.intact ? out : err) << AuditChain::describe(verdict) << '\n';
        return verdict.intact ? Success : verdict.damaged ? Damaged : AuditBroken;
    }
    if (!o.out.isEmpty())
        o.out = QDir(startDir).absoluteFilePath(o.out);
    if (!o.json.isEmpty())
        o.json = QDir(startDir).absoluteFilePath(o.json);
    if (!QDir::setCurrent(workspace.absoluteFilePath())) {
        err << tr("无法进入工作目录：%1").arg(o.workspace) << '\n';
        return NotFound;
    }
    // Lines of the export go to the workspace's daily log, as the application writes them.
    qInstallMessageHandler(logMessageHandler);
    Tool::readSystemSettings();
    installTranslator(Tool::Language);
    if (!(readOnly ? Tool::openDatabaseReadOnly(database) : Tool::openDatabase(DatabaseSettings::read()))) {
        err << tr("打开数据库失败！") << '\n';
        return NotFound;
    }

    if (o.list) {
        QList<Tool::Struct_Calibration> all;
        if (!Tool::getCalibration(all, QString())) {
            err << tr("数据库损坏，无法读取：%1").arg(QDir::toNativeSeparators(database)) << '\n';
            return Damaged;
        }
        for (const Tool::Struct_Calibration &c : qAsConst(all))
            out << escapedName(c.CalibrationName) << '\n';
        return Success;
    }

    QList<Tool::Struct_Calibration> found;
    if (!Tool::getCalibration(found, o.project)) {
        err << ExportJob::damagedText() << '\n';
        return Damaged;
    }
    if (found.isEmpty()) {
        err << tr("未找到校准项目：%1").arg(o.project) << '\n';
        return NotFound;
    }
    if (RunRecords::isLive(o.project)) {
        err << RunRecords::liveRefusal(o.project) << '\n';
        return Refused;
    }
    const int status = checkOperator(o.operatorName, rightOf(o.mode), &message);
    if (status != Success) {
        err << message << '\n';
        return status;
    }

    QString format = o.mode == ExportJob::RawDataMode ? QStringLiteral("Excel") : o.format;
    if (format.isEmpty())
        format = Tool::Format;
    if (!ExportJob::isKnownFormat(format)) {
        err << tr("config.ini 未设置可用的导出格式，请用 --format 指定。") << '\n';
        return Usage;
    }
    if (o.out.isEmpty())
        o.out = QDir(startDir).filePath(safeFileName(o.project) + QLatin1Char('-') + kindName(o.mode) + QLatin1Char('.')
                                        + ExportJob::fileSuffix(format));

    // The output files are checked before any work: an existing file is replaced only with
    // --overwrite; the workspace's own files, databases and anything but a regular file never.
    for (const QString &file : {o.out, o.json}) {
        const QString refusal = file.isEmpty() ? QString()
                                               : OutputFile::toolRefusal(file, {workspace.absoluteFilePath()}, o.overwrite);
        if (!refusal.isEmpty()) {
            err << refusal << '\n';
            return WriteFailed;
        }
    }

    ExportJob::Settings settings = ExportJob::Settings::current();
    if (o.annex >= 0)
        settings.performance.annex = o.annex == 1;
    ExportJob job(o.mode, format, found.first(), settings);
    if (!job.probeCountAllowed()) {
        err << ExportJob::probeLimitText() << '\n';
        return Refused;
    }
    if (!job.issueRefusal().isEmpty()) {
        err << job.issueRefusal() << '\n';
        return Refused;
    }
    if (!job.prepare(o.from, o.to, o.tolerance, o.markersGiven ? &o.markers : nullptr, &message)) {
        err << message << '\n';
        return job.readFailed() ? Damaged : Refused;
    }

    // The JSON comes after the document: a folder it cannot go to stops the export first.
    const QFileInfo jsonFolder(QFileInfo(o.json).absolutePath());
    if (!o.json.isEmpty() && (!jsonFolder.isDir() || !jsonFolder.isWritable())) {
        err << tr("无法写入文件：%1（%2）").arg(QDir::toNativeSeparators(o.json), tr("目录不存在或不可写")) << '\n';
        return WriteFailed;
    }

    // Written beside its place and put there at the end; without --overwrite only where no file
    // is by then, so that of two exports to one new file the second fails and is not audited.
    const QString staging = OutputFile::stagingBeside(o.out);
    const int code = job.write(staging);
    if (code != 0) {
        QFile::remove(staging);
        const ExportJob::Outcome outcome = job.finish(code, o.out);
        err << outcome.text << '\n';
        const bool refused = o.mode != ExportJob::RawDataMode
            && (code == ExportJob::UniformityFailed || code == ExportJob::RateFailed);
        return refused ? Refused : WriteFailed;
    }
    QString why;
    if (!o.json.isEmpty()
        && !OutputFile::write(o.json, QJsonDocument(job.resultsJson()).toJson(QJsonDocument::Indented), &why,
                              o.overwrite)) {
        err << why << '\n';
        // Both or neither: the document goes too.
        QFile::remove(staging);
        return WriteFailed;
    }
    if (!OutputFile::commit(staging, o.out, &why, -1, o.overwrite)) {
        err << why << '\n';
        if (!o.json.isEmpty())
            QFile::remove(o.json);
        return WriteFailed;
    }
    const ExportJob::Outcome outcome = job.finish(code, o.out);
    if (!outcome.success) {
        // An export nobody can trace is not handed out.
        err << tr("审计日志写入失败，导出的文件已删除。") << '\n';
        QFile::remove(o.out);
        if (!o.json.isEmpty())
            QFile::remove(o.json);
        return WriteFailed;
    }
    out << QDir::toNativeSeparators(o.out) << '\n';
    // The number the documents were issued under, for the laboratory's register.
    if (o.mode == ExportJob::CertificateMode)
        out << tr("证书编号：%1").arg(job.certificateNumber()) << '\n';
    return Success;
}
