#include "ProbeCalTool.h"

#include "ToolSignIn.h"

#include "acquisition/ProbeCalibrationAudit.h"
#include "acquisition/ProbeCalibrationRun.h"
#include "analysis/Thermistor.h"
#include "store/OutputFile.h"
#include "store/logging.h"
#include "store/textchecks.h"
#include "store/tool.h"

#include <QCommandLineParser>
#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSettings>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTranslator>

#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

using namespace ProbeCalibration;
using Run = ProbeCalibrationRun;

namespace {

constexpr double DefaultIndex = 0.01;

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

// SIGINT and SIGTERM end the run as a stop does: the handler only writes to a pipe, whose reading
// end the event loop watches.
class SignalStop
{
public:
    explicit SignalStop(const std::function<void()> &onSignal)
    {
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        writeEnd = fds[1];
        notifier = std::make_unique<QSocketNotifier>(fds[0], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [this, onSignal] {
            char buffer[16];
            while (::read(fds[0], buffer, sizeof buffer) > 0) {
            }
            onSignal();
        });
        struct sigaction action = {};
        action.sa_handler = [](int) {
            const char byte = 1;
            (void)!::write(writeEnd, &byte, 1);
        };
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &oldInt);
        ::sigaction(SIGTERM, &action, &oldTerm);
    }
    ~SignalStop()
    {
        if (writeEnd < 0)
            return;
        ::sigaction(SIGINT, &oldInt, nullptr);
        ::sigaction(SIGTERM, &oldTerm, nullptr);
        notifier.reset();
        writeEnd = -1;
        ::close(fds[0]);
        ::close(fds[1]);
    }

private:
    static inline int writeEnd = -1;
    int fds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
    struct sigaction oldInt = {}, oldTerm = {};
};

// The stored link word of a command-line link name.
QString linkWord(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("serial") || t == QStringLiteral("串口"))
        return QStringLiteral("串口");
    if (t == QLatin1String("tcp") || t == QLatin1String("network") || t == QStringLiteral("网络"))
        return QStringLiteral("网络");
    if (t == QLatin1String("ble") || t == QLatin1String("bluetooth") || t == QStringLiteral("蓝牙"))
        return QStringLiteral("蓝牙");
    return QString();
}

struct Options
{
    QString workspace;
    QString probeSet;
    Mode mode = Mode::Calibration;
    QStringList pointTexts;
    QList<bool> liquid;
    std::optional<int> delay;
    std::optional<double> index;
    QString json;
    bool overwrite = false;
    bool acceptResiduals = false;
    bool restart = false;
    QString bath, collector, reference;
};

bool parseOptions(QCommandLineParser &parser, const QStringList &arguments, Options &o, QString *message)
{
    if (!parser.parse(arguments)) {
        *message = parser.errorText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = ProbeCalTool::tr("多余的参数：%1").arg(parser.positionalArguments().join(QLatin1Char(' ')));
        return false;
    }
    o.workspace = parser.value(QStringLiteral("workspace"));
    o.probeSet = parser.value(QStringLiteral("probe-set"));
    for (const char *name : {"workspace", "probe-set", "mode", "points", "operator"}) {
        if (parser.value(QLatin1String(name)).isEmpty()) {
            *message = ProbeCalTool::tr("缺少 --%1。").arg(QLatin1String(name));
            return false;
        }
    }
    if (TextChecks::hasControlCharacters(o.probeSet)) {
        *message = QStringLiteral("--probe-set: ") + TextChecks::refusalText();
        return false;
    }
    const QString mode = parser.value(QStringLiteral("mode"));
    if (mode == QLatin1String("calibration"))
        o.mode = Mode::Calibration;
    else if (mode == QLatin1String("verification"))
        o.mode = Mode::Verification;
    else {
        *message = ProbeCalTool::tr("未知的 --mode：%1（应为 calibration 或 verification）。").arg(mode);
        return false;
    }
    o.pointTexts = parser.value(QStringLiteral("points")).split(QLatin1Char(','));
    if (o.pointTexts.size() > MaximumPoints) {
        *message = ProbeCalTool::tr("温度点不能多于%1个。").arg(MaximumPoints);
        return false;
    }
    for (int i = 0; i < o.pointTexts.size(); ++i) {
        if (o.pointTexts.at(i).trimmed().isEmpty()) {
            *message = ProbeCalTool::tr("第%1个温度点为空。").arg(i + 1);
            return false;
        }
        o.liquid << false;
    }
    if (parser.isSet(QStringLiteral("liquid-change"))) {
        for (const QString &k : parser.value(QStringLiteral("liquid-change")).split(QLatin1Char(','))) {
            bool ok = false;
            const int n = k.trimmed().toInt(&ok);
            if (!ok || n < 1 || n > o.pointTexts.size()) {
                *message = ProbeCalTool::tr("--liquid-change 的点号无效：%1（应为 1 到 %2）。").arg(k).arg(o.pointTexts.size());
                return false;
            }
            o.liquid[n - 1] = true;
        }
    }
    if (parser.isSet(QStringLiteral("delay"))) {
        bool ok = false;
        const int d = parser.value(QStringLiteral("delay")).toInt(&ok);
        if (!ok || d < 0) {
            *message = ProbeCalTool::tr("--delay 必须是不小于 0 的整数分钟：%1").arg(parser.value(QStringLiteral("delay")));
            return false;
        }
        o.delay = d;
    }
    if (parser.isSet(QStringLiteral("index"))) {
        bool ok = false;
        const double c = parser.value(QStringLiteral("index")).toDouble(&ok);
        if (!ok || !std::isfinite(c) || c <= 0) {
            *message = ProbeCalTool::tr("--index 必须是正数：%1").arg(parser.value(QStringLiteral("index")));
            return false;
        }
        o.index = c;
    }
    o.json = parser.value(QStringLiteral("json"));
    o.overwrite = parser.isSet(QStringLiteral("overwrite"));
    o.acceptResiduals = parser.isSet(QStringLiteral("accept-residuals"));
    o.restart = parser.isSet(QStringLiteral("restart"));
    o.bath = parser.value(QStringLiteral("bath"));
    o.collector = parser.value(QStringLiteral("collector"));
    o.reference = parser.value(QStringLiteral("reference"));
    return true;
}

// NAME or NAME,LINK,ADDRESS[,PORT] over the record config.ini keeps for the device.
bool applyDevice(const QString &text, const QStringList &names, DeviceSettings &device, QString *message)
{
    if (!text.isEmpty()) {
        const QStringList parts = text.split(QLatin1Char(','));
        const QString name = parts.first().trimmed();
        if (parts.size() == 1) {
            if (name != device.name)
                device = {name, QString(), QString(), QString()};
        } else {
            const QString link = linkWord(parts.value(1));
            if (parts.size() < 3 || parts.size() > 4 || link.isEmpty()) {
                *message = ProbeCalTool::tr("无法识别的设备：%1（应为 名称 或 名称,serial|tcp|ble,地址[,端口]）").arg(text);
                return false;
            }
            device = {name, link, parts.at(2).trimmed(), parts.value(3).trimmed()};
        }
    }
    if (!names.contains(device.name)) {
        *message = ProbeCalTool::tr("未知的设备：%1（可选：%2）").arg(device.name, names.join(QStringLiteral("、")));
        return false;
    }
    return true;
}

// One JSON object per line, flushed at once, so a reader follows the run as it goes.
class JsonLines
{
public:
    // A file is made new (an existing one replaced only with overwrite, and never truncated in
    // place); "-" is standard output.
    bool open(const QString &fileName, bool overwrite, QString *error)
    {
        if (fileName.isEmpty())
            return true;
        if (fileName == QLatin1String("-"))
            return file.open(stdout, QIODevice::WriteOnly);
        const int fd = OutputFile::createStream(fileName, overwrite, error);
        return fd >= 0 && file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
    }
    void write(const QJsonObject &o)
    {
        if (!file.isOpen())
            return;
        file.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
        file.flush();
    }

private:
    QFile file;
};

QJsonArray jsonArray(const QStringList &texts)
{
    QJsonArray a;
    for (const QString &t : texts)
        a.append(t);
    return a;
}

QJsonValue jsonNumber(double v)
{
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue();
}

} // namespace

QString ProbeCalTool::helpText()
{
    const struct
    {
        const char *option;
        QString text;
    } options[] = {
        {"--workspace DIR", tr("工作目录（含 PCR.db3 和 config.ini）")},
        {"--probe-set NAME", tr("探头组名称（探头管理中的名称）")},
        {"--mode MODE", tr("calibration 校准（拟合并保存系数）或 verification 验证（判定每个探头）")},
        {"--points T1,T2,...", tr("温度点（℃），4 到 9 个，按顺序")},
        {"--liquid-change K,...", tr("在第 K 个点之后暂停以更换液体（点号从 1 起）")},
        {"--delay MIN", tr("稳定后的延迟时间（分钟）；默认取 config.ini，否则为 0")},
        {"--index C", tr("稳定指标（℃）：最近 15 个标准读数的极差小于它即为稳定；默认取 config.ini，否则为 0.01")},
        {"--operator NAME", ToolSignIn::operatorHelp() + tr("；校准须有“探头添加”权限")},
        {"--password-file FILE", ToolSignIn::passwordFileHelp()},
        {"--json FILE", tr("每个读数、每个点和最终结果各写一行 JSON；- 为标准输出")},
        {"--overwrite", tr("允许替换已存在的 JSON 文件（工作目录中的程序文件、数据库和非普通文件从不替换）")},
        {"--accept-residuals", tr("拟合残差超过限值时仍保存系数")},
        {"--restart", tr("放弃未完成运行已测的点，按 --points 重新开始（计划不同时必须给出）")},
        {"--bath DEV", tr("恒温设备，替代 config.ini 中的设置")},
        {"--collector DEV", tr("测温仪器，替代 config.ini 中的设置")},
        {"--reference DEV", tr("标准器，替代 config.ini 中的设置")},
        {"--help", tr("显示本帮助")},
    };
    QString text = tr("用法：") + QLatin1Char('\n');
    text += QStringLiteral("  pcrcal-probecal --workspace DIR --probe-set NAME --mode calibration|verification\n"
                           "                  --points T1,T2,... [--liquid-change K,...] [--delay MIN] [--index C]\n"
                           "                  --operator NAME [--password-file FILE] [--json FILE [--overwrite]]\n"
                           "                  [--accept-residuals] [--restart]\n"
                           "                  [--bath DEV] [--collector DEV] [--reference DEV]\n\n");
    text += tr("不需要显示器：在恒温槽中校准或验证一组探头，与程序的“探头校准”页面相同。未完成的运行（停止、暂停换液或中断之后）在下次以相同探头组启动时从第一个未完成的点继续。")
        + QStringLiteral("\n\n");
    text += tr("选项：") + QLatin1Char('\n');
    for (const auto &o : options)
        text += QStringLiteral("  %1 %2\n").arg(QLatin1String(o.option), -22).arg(o.text);
    text += QLatin1Char('\n')
        + tr("DEV 为 名称 或 名称,serial|tcp|ble,地址[,端口或波特率]，例如 \"VADE,serial,/dev/ttyUSB0,9600\"、\"1611A,tcp,192.168.1.10,5980\"、\"Fluke 1586A,tcp,192.168.1.11,3490\"、\"ZIVI-D\"（恒温设备自带的标准器）。只给名称时使用 config.ini 中该设备的通讯设置。")
        + QLatin1Char('\n');
    text += ToolSignIn::passwordHelp() + QLatin1Char('\n');
    text += tr("标准探头的类型、通道和系数取自 config.ini（TStandardizer）；读数间隔为 TStandardizer/Interval 秒（默认 20），残差限值为 TStandardizer/ResidualLimit K（默认 0.02）。")
        + QStringLiteral("\n\n");
    text += tr("退出状态：") + QLatin1Char('\n');
    const QString statuses[] = {tr("完成：系数已保存，或探头已判定"), tr("设备打开、设置或读取失败（已完成的点保留）"),
                                tr("参数、工作目录、探头组或数据错误；拟合残差过大而未保存"),
                                tr("暂停更换液体；换液后再次运行即继续"),
                                tr("被 SIGINT 或 SIGTERM 中断（已完成的点保留，再次运行即继续）"),
                                tr("操作员不存在、密码错误、已锁定、已过期，或校准时没有“探头添加”权限"),
                                tr("测量点无法保存到数据库，运行已停止（之前的点保留）")};
    const int codes[] = {Finished, DeviceFailed, BadInput, Paused, Interrupted, NotPermitted, StoreFailed};
    for (int i = 0; i < 7; ++i)
        text += QStringLiteral("  %1  %2\n").arg(codes[i]).arg(statuses[i]);
    return text;
}

int ProbeCalTool::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({
        {QStringLiteral("workspace"), QString(), QStringLiteral("DIR")},
        {QStringLiteral("probe-set"), QString(), QStringLiteral("NAME")},
        {QStringLiteral("mode"), QString(), QStringLiteral("MODE")},
        {QStringLiteral("points"), QString(), QStringLiteral("LIST")},
        {QStringLiteral("liquid-change"), QString(), QStringLiteral("LIST")},
        {QStringLiteral("delay"), QString(), QStringLiteral("MIN")},
        {QStringLiteral("index"), QString(), QStringLiteral("C")},
        {ToolSignIn::operatorOption(), QString(), QStringLiteral("NAME")},
        {ToolSignIn::passwordFileOption(), QString(), QStringLiteral("FILE")},
        {QStringLiteral("json"), QString(), QStringLiteral("FILE")},
        {QStringLiteral("overwrite"), QString()},
        {QStringLiteral("accept-residuals"), QString()},
        {QStringLiteral("restart"), QString()},
        {QStringLiteral("bath"), QString(), QStringLiteral("DEV")},
        {QStringLiteral("collector"), QString(), QStringLiteral("DEV")},
        {QStringLiteral("reference"), QString(), QStringLiteral("DEV")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QString()},
    });

    // Before a workspace is read, the system's language decides.
    installTranslator(QLocale::system().language() == QLocale::Chinese ? QStringLiteral("中文")
                                                                       : QStringLiteral("English"));
    if (arguments.mid(1).contains(QStringLiteral("--help")) || arguments.mid(1).contains(QStringLiteral("-h"))) {
        out << helpText();
        return Finished;
    }
    Options o;
    QString message;
    if (!parseOptions(parser, arguments, o, &message)) {
        err << message << '\n' << tr("用 --help 查看用法。") << '\n';
        return BadInput;
    }

    const QString startDir = QDir::currentPath();
    const QFileInfo workspace(o.workspace);
    // Checked before anything is read or driven: the JSON never replaces the workspace's files.
    if (!o.json.isEmpty() && o.json != QLatin1String("-")) {
        o.json = QDir(startDir).absoluteFilePath(o.json);
        const QString refusal = OutputFile::toolRefusal(o.json, {workspace.absoluteFilePath()}, o.overwrite);
        if (!refusal.isEmpty()) {
            err << refusal << '\n';
            return BadInput;
        }
    }
    const QString database = QDir(workspace.absoluteFilePath()).filePath(Tool::DatabaseFileName);
    QString reason;
    if (!workspace.isDir() || !QFileInfo(database).isFile() || !Tool::isPcrDatabase(database, &reason)) {
        err << tr("工作目录中没有可用的数据库：%1").arg(QDir::toNativeSeparators(database));
        if (!reason.isEmpty())
            err << " (" << reason << ')';
        err << '\n';
        return BadInput;
    }
    if (!QDir::setCurrent(workspace.absoluteFilePath())) {
        err << tr("无法进入工作目录：%1").arg(o.workspace) << '\n';
        return BadInput;
    }
    // The run's lines go to the workspace's daily log, as the application writes them.
    qInstallMessageHandler(logMessageHandler);
    Tool::readSystemSettings();
    installTranslator(Tool::Language);
    if (!Tool::openDatabase(Tool::DatabaseFileName)) {
        err << tr("打开数据库失败！") << '\n';
        return BadInput;
    }

    QList<Tool::Struct_Standardizer> sets;
    Tool::getStandardizerName(sets, o.probeSet);
    if (sets.isEmpty()) {
        err << tr("未找到探头组：%1").arg(o.probeSet) << '\n';
        return BadInput;
    }
    // Coefficients are stored only by an account that may add probe sets.
    const std::optional<Right> right =
        o.mode == Mode::Calibration ? std::optional<Right>(Right::StandardizerAdd) : std::nullopt;
    if (!ToolSignIn::signIn(parser, startDir, right, &message)) {
        err << message << '\n';
        return NotPermitted;
    }

    Run::Setup setup;
    setup.mode = o.mode;
    setup.probes = sets.first();
    {
        const auto ini = Tool::configFile();
        setup.bath = readDevice(*ini, QStringLiteral("TField"));
        setup.collector = readDevice(*ini, QStringLiteral("TCollection"));
        setup.reference = readDevice(*ini, QStringLiteral("TCriteria"));
        setup.referenceProbe = readReferenceProbe(*ini);
        setup.intervalSeconds = readInterval(*ini);
        bool ok = false;
        const int delay = ini->value(QStringLiteral("TStandardizer/Delay")).toString().toInt(&ok);
        setup.delayMinutes = o.delay.value_or(ok && delay >= 0 ? delay : 0);
        const double index = ini->value(QStringLiteral("TStandardizer/Index")).toString().toDouble(&ok);
        setup.index = o.index.value_or(ok && index > 0 ? index : DefaultIndex);
    }
    if (!applyDevice(o.bath, Names::baths(), setup.bath, &message)
        || !applyDevice(o.collector, Names::collectors(), setup.collector, &message)
        || !applyDevice(o.reference, Names::references(true) << Names::manual(), setup.reference, &message)) {
        err << message << '\n';
        return BadInput;
    }
    if (!collectPoints(o.pointTexts, o.liquid, setup.points, &message)) {
        err << message << '\n';
        return BadInput;
    }
    double residualLimit = StandardResidualLimit;
    {
        const auto ini = Tool::configFile();
        residualLimit = readResidualLimit(*ini);
        // Before any device is driven.
        message = checkPlan(setup.points, readPlanLimits(*ini));
        if (!message.isEmpty()) {
            err << message << '\n';
            return BadInput;
        }
        const QString dropped = dropConfigPoints(*ini);
        if (!dropped.isEmpty())
            out << dropped << '\n';
    }

    JsonLines json;
    if (!json.open(o.json, o.overwrite, &message)) {
        err << message << '\n';
        return BadInput;
    }

    Run run;
    if (!run.loadLists(setup.probes)) {
        err << tr("读取已测量的温度点失败！") << '\n';
        return BadInput;
    }
    RunLists &lists = run.lists();
    const bool calibration = o.mode == Mode::Calibration;
    QStringList shown;
    for (const Point &p : setup.points)
        shown << QString::number(p.temperature);
    qDebug().noquote() << (calibration ? "校准文件：" : "验证文件：") + setup.probes.Name;
    qDebug().noquote() << (calibration ? "校准温度：" : "验证温度：") + shown.join(QLatin1Char(','));
    const int stored = lists.references(o.mode).size();
    // An unfinished run of the same plan goes on where it stopped, as the page's "continue"
    // does; one of another plan is only given up when asked to.
    ResumeChoices choices;
    choices.continueUnfinished = [&] { return !o.restart; };
    choices.restartForOtherPlan = [&](const QString &plans) {
        if (!o.restart)
            err << plans << '\n' << tr("用 --restart 放弃已测的点并按 --points 重新开始。") << '\n';
        return o.restart;
    };
    choices.notice = [&](const QString &notice) { out << notice << '\n'; };
    Resume decision = Resume::Fresh;
    if (!prepareLists(lists, setup.probes.Name, o.mode, setup.points, choices, &decision))
        return BadInput;
    if (decision == Resume::Ask && !o.restart)
        out << tr("继续未完成的运行：从第%1点开始。").arg(stored + 1) << '\n';
    out.flush();

    QObject::connect(&run, &Run::setTemperatureChanged, [&](double t) {
        out << tr("恒温设备设定为 %1 ℃，等待稳定……").arg(t, 0, 'f', 2) << '\n';
        out.flush();
    });
    QObject::connect(&run, &Run::readingTaken, [&](const Run::Reading &r) {
        json.write({{"event", "reading"},
                    {"point", r.point + 1},
                    {"set", setup.points.at(r.point).temperature},
                    {"time", r.time.toString(Qt::ISODateWithMs)},
                    {"reference", r.value},
                    {"spread", jsonNumber(r.spread)},
                    {"phase", r.delay ? "delay" : "settling"}});
    });
    QObject::connect(&run, &Run::pointCompleted, [&](int k, const QString &reference, const QStringList &values) {
        json.write({{"event", "point"},
                    {"point", k + 1},
                    {"set", setup.points.at(k).temperature},
                    {"reference", reference},
                    {"values", jsonArray(values)}});
        out << tr("第%1点完成：标准温度 %2 ℃").arg(k + 1).arg(reference) << '\n';
        out.flush();
    });

    SignalStop signalStop([&] { run.stop(); });
    const Run::Fault refused = run.start(setup);
    if (refused != Run::Fault::None) {
        err << Run::faultText(refused, o.mode) << '\n';
        return BadInput;
    }
    QEventLoop loop;
    Run::EndReason endReason = Run::EndReason::Stopped;
    Run::Fault fault = Run::Fault::None;
    QObject::connect(&run, &Run::runEnded, [&](Run::EndReason r, Run::Fault f) {
        endReason = r;
        fault = f;
        loop.quit();
    });
    if (run.isActive())
        loop.exec();

    QJsonObject result{{"event", "result"}, {"mode", calibration ? "calibration" : "verification"}};
    // Every end but a pause is audited with its result; a stored calibration by storeFit.
    const auto finishWith = [&](int status, const QString &text, const char *state, const QString &audited = QString()) {
        if (status != Paused && !(calibration && status == Finished))
            auditEnd(o.mode, setup.probes.Name, audited.isEmpty() ? text : audited);
        result.insert(QStringLiteral("status"), QLatin1String(state));
        result.insert(QStringLiteral("exit"), status);
        result.insert(QStringLiteral("message"), text);
        result.insert(QStringLiteral("pointsDone"), lists.references(o.mode).size());
        json.write(result);
        (status == Finished || status == Paused ? out : err) << text << '\n';
        return status;
    };
    switch (endReason) {
    case Run::EndReason::Paused:
        return finishWith(Paused, Run::endText(endReason, fault, o.mode), "paused");
    case Run::EndReason::Failed:
        if (fault == Run::Fault::PointStore)
            return finishWith(StoreFailed, Run::endText(endReason, fault, o.mode), "store-failed");
        return finishWith(DeviceFailed, Run::endText(endReason, fault, o.mode), "device-failed");
    case Run::EndReason::Stopped:
        return finishWith(Interrupted, Run::endText(endReason, fault, o.mode), "stopped");
    case Run::EndReason::Completed:
        break;
    }

    if (!calibration) {
        const Analysis::ProbeSetVerdict verdict =
            Analysis::verifyProbeSet(lists.verificationReferences, lists.verificationReadings,
                                     setup.probes.NumberChannels.toInt());
        if (!verdict.ok)
            return finishWith(BadInput, verdict.message, "refused");
        QJsonArray verdicts;
        const QStringList names = setup.probes.ChannelNames.split(QLatin1Char(','));
        for (int c = 0; c < verdict.verdicts.size(); ++c)
            verdicts.append(QJsonObject{{"channel", names.value(c)},
                                        {"pass", verdict.details.at(c).isEmpty()},
                                        {"verdict", verdict.verdicts.at(c)},
                                        {"details", verdict.details.at(c)}});
        result.insert(QStringLiteral("verdicts"), verdicts);
        return finishWith(Finished, verdict.message, "finished", verdictSummary(verdict, names));
    }

    const Fit fit = fitCalibration(lists, setup.probes.NumberChannels.toInt(),
                                   setup.probes.ChannelNames.split(QLatin1Char(',')));
    if (!fit.ok)
        return finishWith(BadInput, fit.message, "refused");
    result.insert(QStringLiteral("coefficients"), QJsonObject{{"B0", jsonArray(fit.b0)},
                                                              {"B1", jsonArray(fit.b1)},
                                                              {"B2", jsonArray(fit.b2)},
                                                              {"B3", jsonArray(fit.b3)}});
    QJsonArray residuals;
    for (const QVector<double> &row : fit.residuals) {
        QJsonArray r;
        for (double v : row)
            r.append(v);
        residuals.append(r);
    }
    result.insert(QStringLiteral("residuals"), residuals);
    result.insert(QStringLiteral("residualLimit"), residualLimit);
    const bool over = !fit.probesOver(residualLimit).isEmpty();
    result.insert(QStringLiteral("stored"), false);
    if (over && !o.acceptResiduals)
        return finishWith(BadInput,
                          tr("拟合残差超过 %1 K，系数未保存（可能有探头离开恒温槽或标准值有误；确认无误时用 --accept-residuals 保存）：")
                                  .arg(residualLimit)
                              + QLatin1Char('\n') + residualReport(fit, setup.probes, residualLimit),
                          "refused");
    if (!storeFit(setup.probes, fit))
        return finishWith(BadInput, tr("保存数据失败!"), "refused");
    result.insert(QStringLiteral("stored"), true);
    return finishWith(Finished, tr("校准结束！"), "finished");
}
