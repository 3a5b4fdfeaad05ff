#include "calibration/Calibration.h"

#include "analysis/CycleFile.h"
#include "analysis/Units.h"
#include "app/messages.h"
#include "app/widgets.h"
#include "calibration/CalibrationLinear.h"
#include "chart/ChartView.h"
#include "instruments/Collection1611A.h"
#include "registry/LayoutDrawing.h"
#include "registry/LayoutGrid.h"
#include "store/SampleWriter.h"
#include "store/datawords.h"
#include "store/queries.h"
#include "store/runrecords.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDebug>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTableWidget>
#include <QTimer>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Calibration items as stored in CalibrationData.Model: data words, never translated.
const QString UniformityModel = DataWords::uniformityItem();
const QString RateModel = DataWords::rateItem();

const QString Separator = DataWords::keySeparator();

// The last ambient temperature is kept in Celsius, so that a change of the display unit between
// two sessions does not turn "20" typed in ℃ into 20 ℉. Four decimals bring a Fahrenheit text of
// up to two decimals back as it was typed; a text that is no number is kept as it stands.
QString ambientForConfig(QString text)
{
    Tool::toCelsius(text, 4, false);
    return text;
}

QString ambientForDisplay(QString text)
{
    bool numeric = false;
    text.toDouble(&numeric);
    if (!numeric || Tool::TemperatureUnit != QStringLiteral("℉"))
        return text;
    Tool::toFahrenheit(text, 2, false);
    // "68.00" is shown as "68", "77.30" as "77.3".
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

// Never narrower than the form it shows, so that nothing is cut at the right whatever the font;
// only the height scrolls.
class FormScrollArea : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;
    QSize minimumSizeHint() const override
    {
        const QSize inner = widget() ? widget()->minimumSizeHint() : QSize();
        return QSize(inner.width() + verticalScrollBar()->sizeHint().width(), QScrollArea::minimumSizeHint().height());
    }
};

} // namespace

Calibration::Calibration(QWidget *parent) : QWidget(parent)
{
    // 1. Titles, labels and the run state.
    infoTitle = tr("提示");
    warningTitle = tr("警告");
    buttonLabels = QStringList{tr("开始"), tr("停止"), tr("继续")};
    running = false;
    rateSelected = false;
    linearSelected = false;
    uniformitySelected = false;
    interval = 0;
    duration = QTime();

    // 2. The form.
    buildForm();
    Widgets::paintBackground(this);

    // 3. Chart and driver.
    chartView = new ChartView(this);
    chartView->setObjectName(QStringLiteral("chartView"));
    chartView->setUnit(Tool::TemperatureUnit == QStringLiteral("℉") ? QStringLiteral("℉") : QStringLiteral("℃"));
    buildRunPanel();
    collector = new Collection1611A(this);
    run = new CalibrationRun(collector, this);
    // The phase's actual start replaces the planned one.
    connect(run, &CalibrationRun::acquisitionStarted, this, [this](const QDateTime &time) {
        start = time;
        acquisitionBegun = true;
        runState = RunState::Acquiring;
        showRunState();
    });
    connect(run, &CalibrationRun::sampleTaken, this, &Calibration::sampleTaken);
    connect(run, &CalibrationRun::instrumentFailed, this, &Calibration::instrumentFailed);
    connect(run, &CalibrationRun::storeFailed, this, &Calibration::storeFailed);
    connect(run, &CalibrationRun::phaseEnded, this, &Calibration::phaseEnded);

    // 4.-6.
    InitValidator();
    InitComboBox();
    ReadConfig();
    // What the engineer types is remembered as it is typed; the page never writes back the
    // copy it read, which another window may have changed since.
    for (QLineEdit *e : {lineEdit_Interval, lineEdit_AmbientTemperature, lineEdit_AmbientHumidity, lineEdit_AmbientPressure})
        connect(e, &QLineEdit::textChanged, this, [this, e] { WriteConfig(e); });
    connect(timeEdit_Long, &QTimeEdit::timeChanged, this, [this] { WriteConfig(timeEdit_Long); });

    // 7.
    connect(this, &Calibration::SendOut_signals, this, &Calibration::SendOut_slots);
}

Calibration::~Calibration()
{
    closing = true;
    running = false;
    run->stop();
    run->finish();
    keepOpenProject();
}

bool Calibration::isRunning() const
{
    return running || run->isActive();
}

// ---------------------------------------------------------------------------------------------
// Form

void Calibration::buildForm()
{
    setObjectName(QStringLiteral("Calibration"));
    resize(1194, 629);
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));

    const auto label = [](QWidget *parent, const char *name) {
        auto *l = new QLabel(parent);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    const auto lineEdit = [](QWidget *parent, const char *name) {
        auto *e = new QLineEdit(parent);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    const auto comboBox = [](QWidget *parent, const char *name) {
        auto *c = new QComboBox(parent);
        c->setObjectName(QLatin1String(name));
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(8);
        c->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        return c;
    };

    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2);
    groupBox_Calibration = new QGroupBox(this);
    groupBox_Calibration->setObjectName(QStringLiteral("groupBox_Calibration"));
    auto *left = new QVBoxLayout(groupBox_Calibration);
    left->setSpacing(2);
    left->setContentsMargins(2, 2, 2, 2);
    // The three groups scroll rather than squeeze their editors when the window is short; the
    // Start button stays in view.
    auto *scroll = new FormScrollArea(groupBox_Calibration);
    scroll->setObjectName(QStringLiteral("scrollArea_Parameters"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *parameters = new QWidget(scroll);
    parameters->setObjectName(QStringLiteral("widget_Parameters"));
    auto *groups = new QVBoxLayout(parameters);
    groups->setSpacing(2);
    groups->setContentsMargins(0, 0, 0, 0);

    // Device selection.
    groupBox_1 = new QGroupBox(parameters);
    groupBox_1->setObjectName(QStringLiteral("groupBox_1"));
    auto *devices = new QGridLayout(groupBox_1);
    label_PCRList = label(groupBox_1, "label_PCRList");
    label_ElectrometerList = label(groupBox_1, "label_ElectrometerList");
    label_StandardizerList = label(groupBox_1, "label_StandardizerList");
    label_Layout = label(groupBox_1, "label_Layout");
    label_PCRList->setMinimumWidth(95);
    label_ElectrometerList->setMinimumWidth(95);
    comboBox_PCRList = comboBox(groupBox_1, "comboBox_PCRList");
    comboBox_ElectrometerList = comboBox(groupBox_1, "comboBox_ElectrometerList");
    comboBox_StandardizerList = comboBox(groupBox_1, "comboBox_StandardizerList");
    comboBox_Layout = comboBox(groupBox_1, "comboBox_Layout");
    // Two by two, in reading order: the form stays short enough for the chart beside it.
    devices->addWidget(label_PCRList, 0, 0);
    devices->addWidget(comboBox_PCRList, 0, 1);
    devices->addWidget(label_ElectrometerList, 0, 2);
    devices->addWidget(comboBox_ElectrometerList, 0, 3);
    devices->addWidget(label_StandardizerList, 1, 0);
    devices->addWidget(comboBox_StandardizerList, 1, 1);
    devices->addWidget(label_Layout, 1, 2);
    devices->addWidget(comboBox_Layout, 1, 3);
    // What the engineer looks at while placing the probes: the chosen layout and, per channel,
    // its well.
    label_LayoutPreview = label(groupBox_1, "label_LayoutPreview");
    label_LayoutPreview->setFixedSize(132, 96);
    label_LayoutPreview->setAlignment(Qt::AlignCenter);
    label_LayoutPreview->setFrameShape(QFrame::StyledPanel);
    label_LayoutWells = label(groupBox_1, "label_LayoutWells");
    label_LayoutWells->setWordWrap(true);
    label_LayoutWells->setTextFormat(Qt::PlainText);
    label_LayoutWells->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_LayoutWells->setStyleSheet(QStringLiteral("font: 10pt \"宋体\";"));
    devices->addWidget(label_LayoutPreview, 2, 0, 1, 2, Qt::AlignLeft);
    devices->addWidget(label_LayoutWells, 2, 2, 1, 2);

    // Calibration items.
    groupBox_2 = new QGroupBox(parameters);
    groupBox_2->setObjectName(QStringLiteral("groupBox_2"));
    auto *items = new QGridLayout(groupBox_2);
    const auto checkBox = [this](const char *name) {
        auto *c = new QCheckBox(groupBox_2);
        c->setObjectName(QLatin1String(name));
        c->setStyleSheet(QStringLiteral(
            "QCheckBox::indicator { width: 23px; height: 23px; }"
            "QCheckBox::indicator:checked { image: url(:/PCR/Image/Checkbox_checked.png); }"
            "QCheckBox::indicator:unchecked { image: url(:/PCR/Image/Checkbox_unchecked.png); }"));
        return c;
    };
    checkBox_Uniformity = checkBox("checkBox_Uniformity");
    checkBox_Rate = checkBox("checkBox_Rate");
    checkBox_Linear = checkBox("checkBox_Linear");
    comboBox_Uniformity = comboBox(groupBox_2, "comboBox_Uniformity");
    comboBox_Rate = comboBox(groupBox_2, "comboBox_Rate");
    comboBox_Linear = comboBox(groupBox_2, "comboBox_Linear");
    comboBox_Linear->setEnabled(false);   // the linearity needs no cycle file
    items->addWidget(checkBox_Uniformity, 0, 0);
    items->addWidget(comboBox_Uniformity, 0, 1);
    items->addWidget(checkBox_Rate, 1, 0);
    items->addWidget(comboBox_Rate, 1, 1);
    items->addWidget(checkBox_Linear, 2, 0);
    items->addWidget(comboBox_Linear, 2, 1);

    // Project data.
    groupBox = new QGroupBox(parameters);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    auto *settings = new QGridLayout(groupBox);
    label_ProjectName = label(groupBox, "label_ProjectName");
    lineEdit_ProjectName = lineEdit(groupBox, "lineEdit_ProjectName");
    label_AmbientPressure = label(groupBox, "label_AmbientPressure");
    lineEdit_AmbientPressure = lineEdit(groupBox, "lineEdit_AmbientPressure");
    label_AmbientPressure_1 = label(groupBox, "label_AmbientPressure_1");
    label_Company = label(groupBox, "label_Company");
    lineEdit_Company = lineEdit(groupBox, "lineEdit_Company");
    label_AmbientTemperature = label(groupBox, "label_AmbientTemperature");
    lineEdit_AmbientTemperature = lineEdit(groupBox, "lineEdit_AmbientTemperature");
    label_AmbientTemperature_1 = label(groupBox, "label_AmbientTemperature_1");
    label_Long = label(groupBox, "label_Long");
    timeEdit_Long = new QTimeEdit(groupBox);
    timeEdit_Long->setObjectName(QStringLiteral("timeEdit_Long"));
    label_AmbientHumidity = label(groupBox, "label_AmbientHumidity");
    lineEdit_AmbientHumidity = lineEdit(groupBox, "lineEdit_AmbientHumidity");
    label_AmbientHumidity_1 = label(groupBox, "label_AmbientHumidity_1");
    label_StartTime = label(groupBox, "label_StartTime");
    dateTimeEdit_Time = new QDateTimeEdit(groupBox);
    dateTimeEdit_Time->setObjectName(QStringLiteral("dateTimeEdit_Time"));
    dateTimeEdit_Time->setDateTime(QDateTime(QDate(2019, 1, 1), QTime(0, 0)));
    label_Interval = label(groupBox, "label_Interval");
    lineEdit_Interval = lineEdit(groupBox, "lineEdit_Interval");
    lineEdit_Interval->setText(QStringLiteral("1"));
    label_Interval_1 = label(groupBox, "label_Interval_1");
    label_ProjectRemarks = label(groupBox, "label_ProjectRemarks");
    lineEdit_ProjectRemarks = lineEdit(groupBox, "lineEdit_ProjectRemarks");
    label_Calibrated = label(groupBox, "label_Calibrated");
    lineEdit_Calibrated = lineEdit(groupBox, "lineEdit_Calibrated");
    label_Checked = label(groupBox, "label_Checked");
    lineEdit_Checked = lineEdit(groupBox, "lineEdit_Checked");
    lineEdit_ProjectName->setMinimumWidth(220);
    lineEdit_Company->setMinimumWidth(220);
    timeEdit_Long->setMinimumWidth(220);
    for (QLineEdit *e : {lineEdit_AmbientPressure, lineEdit_AmbientTemperature, lineEdit_AmbientHumidity, lineEdit_Interval})
        e->setMinimumWidth(70);

    settings->addWidget(label_ProjectName, 0, 0);
    settings->addWidget(lineEdit_ProjectName, 0, 1);
    settings->addWidget(label_AmbientPressure, 0, 2);
    settings->addWidget(lineEdit_AmbientPressure, 0, 3);
    settings->addWidget(label_AmbientPressure_1, 0, 4);
    settings->addWidget(label_Company, 1, 0);
    settings->addWidget(lineEdit_Company, 1, 1);
    settings->addWidget(label_AmbientTemperature, 1, 2);
    settings->addWidget(lineEdit_AmbientTemperature, 1, 3);
    settings->addWidget(label_AmbientTemperature_1, 1, 4);
    settings->addWidget(label_Long, 2, 0);
    settings->addWidget(timeEdit_Long, 2, 1);
    settings->addWidget(label_AmbientHumidity, 2, 2);
    settings->addWidget(lineEdit_AmbientHumidity, 2, 3);
    settings->addWidget(label_AmbientHumidity_1, 2, 4);
    settings->addWidget(label_StartTime, 3, 0);
    settings->addWidget(dateTimeEdit_Time, 3, 1);
    settings->addWidget(label_Interval, 3, 2);
    settings->addWidget(lineEdit_Interval, 3, 3);
    settings->addWidget(label_Interval_1, 3, 4);
    settings->addWidget(label_ProjectRemarks, 4, 0);
    settings->addWidget(lineEdit_ProjectRemarks, 4, 1, 1, 4);
    settings->addWidget(label_Calibrated, 5, 0);
    settings->addWidget(lineEdit_Calibrated, 5, 1);
    settings->addWidget(label_Checked, 5, 2);
    settings->addWidget(lineEdit_Checked, 5, 3, 1, 2);
    settings->setColumnStretch(1, 3);
    settings->setColumnStretch(3, 1);

    pushButton_StartUp = new QPushButton(groupBox_Calibration);
    pushButton_StartUp->setObjectName(QStringLiteral("pushButton_StartUp"));
    pushButton_StartUp->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    pushButton_StartUp->setMinimumHeight(36);

    groups->addWidget(groupBox_1, 3);
    groups->addWidget(groupBox_2, 3);
    groups->addWidget(groupBox, 5);
    for (QGridLayout *grid : {devices, items, settings}) {
        grid->setVerticalSpacing(2);
        grid->setContentsMargins(6, 0, 6, 2);
    }
    scroll->setWidget(parameters);
    left->addWidget(scroll, 11);
    left->addWidget(pushButton_StartUp, 1);

    verticalLayout_5 = new QVBoxLayout();
    verticalLayout_5->setObjectName(QStringLiteral("verticalLayout_5"));
    outer->addWidget(groupBox_Calibration, 1);
    outer->addLayout(verticalLayout_5, 2);

    connect(pushButton_StartUp, &QPushButton::clicked, this, &Calibration::pt_StartUp_clicked);
    connect(checkBox_Rate, &QCheckBox::clicked, this, &Calibration::pt_Rate_clicked);
    connect(checkBox_Uniformity, &QCheckBox::clicked, this, &Calibration::pt_Uniformity_clicked);

    retranslateUi();
}

void Calibration::retranslateUi()
{
    setWindowTitle(QStringLiteral("Calibration"));
    groupBox_Calibration->setTitle(tr("初始参数设置"));
    groupBox_1->setTitle(tr("设备选择"));
    label_PCRList->setText(tr("PCR仪： "));
    label_ElectrometerList->setText(tr("测温仪："));
    label_StandardizerList->setText(tr("通道文件："));
    label_Layout->setText(tr("  布点图："));
    groupBox_2->setTitle(tr("校准方式"));
    checkBox_Uniformity->setText(tr("均匀度校准    "));
    checkBox_Rate->setText(tr("升降温速率校准"));
    checkBox_Linear->setText(tr("样本线性校准  "));
    groupBox->setTitle(tr("校准设置"));
    label_ProjectName->setText(tr("项目名称："));
    label_AmbientPressure->setText(tr("  环境压力："));
    label_AmbientPressure_1->setText(QStringLiteral("mbar"));
    label_Company->setText(tr("送检单位："));
    label_AmbientTemperature->setText(tr("  环境温度："));
    label_Long->setText(tr("采集时长："));
    label_AmbientHumidity->setText(tr("  环境湿度："));
    label_AmbientHumidity_1->setText(QStringLiteral("%RH"));
    label_StartTime->setText(tr("启动时间："));
    label_Interval->setText(tr("  采集间隔："));
    label_Interval_1->setText(QStringLiteral(" S "));
    label_ProjectRemarks->setText(tr("项目备注："));
    label_Calibrated->setText(tr("校准员："));
    label_Checked->setText(tr("  核验员："));
    pushButton_StartUp->setText(buttonLabels.value(buttonLabel));
    if (tableWidget_Probes) {
        const QString unit = Tool::TemperatureUnit == QStringLiteral("℉") ? QStringLiteral("℉") : QStringLiteral("℃");
        tableWidget_Probes->setHorizontalHeaderLabels(
            {tr("探头"), tr("当前") + QLatin1Char('\n') + unit, tr("最低") + QLatin1Char('\n') + unit,
             tr("最高") + QLatin1Char('\n') + unit});
        showRunState();
    }
}

void Calibration::buildRunPanel()
{
    widget_Run = new QWidget(this);
    widget_Run->setObjectName(QStringLiteral("widget_Run"));
    auto *panel = new QGridLayout(widget_Run);
    panel->setContentsMargins(6, 2, 6, 2);
    panel->setVerticalSpacing(2);
    label_Phase = new QLabel(widget_Run);
    label_Phase->setObjectName(QStringLiteral("label_Phase"));
    label_Step = new QLabel(widget_Run);
    label_Step->setObjectName(QStringLiteral("label_Step"));
    label_RunTime = new QLabel(widget_Run);
    label_RunTime->setObjectName(QStringLiteral("label_RunTime"));
    progressBar_Run = new QProgressBar(widget_Run);
    progressBar_Run->setObjectName(QStringLiteral("progressBar_Run"));
    progressBar_Run->setRange(0, 100);
    progressBar_Run->setValue(0);
    // However long a text gets (in English, say), it never widens the page at the form's cost.
    for (QLabel *l : {label_Phase, label_Step, label_RunTime}) {
        l->setTextFormat(Qt::PlainText);
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    // Phase and progress on one line, the time and the step on a line each.
    panel->addWidget(label_Phase, 0, 0);
    panel->addWidget(progressBar_Run, 0, 1);
    panel->addWidget(label_RunTime, 1, 0, 1, 2);
    panel->addWidget(label_Step, 2, 0, 1, 2);
    panel->setColumnStretch(0, 1);
    progressBar_Run->setFixedWidth(150);

    // Each probe's reading now and its extremes so far, beside the curves.
    tableWidget_Probes = new QTableWidget(0, 4, this);
    tableWidget_Probes->setObjectName(QStringLiteral("tableWidget_Probes"));
    tableWidget_Probes->setStyleSheet(QStringLiteral("font: 10pt \"宋体\";"));
    tableWidget_Probes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableWidget_Probes->setSelectionMode(QAbstractItemView::NoSelection);
    tableWidget_Probes->setFocusPolicy(Qt::NoFocus);
    tableWidget_Probes->verticalHeader()->setVisible(false);
    tableWidget_Probes->verticalHeader()->setDefaultSectionSize(20);
    // The probe names as wide as they are, the three readings sharing the rest.
    tableWidget_Probes->horizontalHeader()->setMinimumSectionSize(36);
    tableWidget_Probes->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tableWidget_Probes->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tableWidget_Probes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tableWidget_Probes->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    tableWidget_Probes->setFixedWidth(230);

    auto *chartRow = new QHBoxLayout();
    chartRow->addWidget(chartView, 1);
    chartRow->addWidget(tableWidget_Probes);
    verticalLayout_5->addWidget(widget_Run);
    verticalLayout_5->addLayout(chartRow, 1);

    runClock = new QTimer(this);
    runClock->setInterval(1000);
    connect(runClock, &QTimer::timeout, this, &Calibration::showRunState);
    retranslateUi();
}

void Calibration::showLayoutPreview()
{
    QList<Tool::Struct_Layout> layouts;
    const QString name = comboBox_Layout->currentText();
    if (name.isEmpty() || !Tool::getLayout(layouts, name) || layouts.isEmpty()) {
        label_LayoutPreview->setPixmap(QPixmap());
        label_LayoutPreview->setText(tr("无布点图"));
        label_LayoutWells->clear();
        label_LayoutPreview->setToolTip(QString());
        label_LayoutWells->setToolTip(QString());
        return;
    }
    const Tool::Struct_Layout &layout = layouts.first();
    const LayoutDrawing::StoredPicture stored = LayoutDrawing::readPicture(layout.Image);
    const QImage &picture = stored.image;
    if (picture.isNull())
        label_LayoutPreview->setText(stored.status == LayoutDrawing::StoredPicture::Status::TooLarge ? tr("图片过大")
                                                                                                   : tr("无图片"));
    else
        label_LayoutPreview->setPixmap(QPixmap::fromImage(picture).scaled(
            label_LayoutPreview->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation));

    QList<Tool::Struct_Standardizer> probes;
    const QString key = comboBox_StandardizerList->currentText().section(Separator, 0, 0);
    QStringList channels;
    if (!key.isEmpty() && Tool::getStandardizer(probes, key) && !probes.isEmpty())
        channels = probes.first().ChannelNames.split(QLatin1Char(','), Qt::SkipEmptyParts);
    QStringList pairs;
    for (const LayoutGrid::ChannelWell &cw : LayoutGrid::channelWells(channels, layout.Points))
        pairs << (cw.channel.isEmpty() ? QStringLiteral("?") : cw.channel) + QStringLiteral("→")
                     + (cw.well.isEmpty() ? QStringLiteral("?") : cw.well);
    QString text = pairs.join(QStringLiteral("  "));
    const int points = layout.PointCount.toInt();
    if (!channels.isEmpty() && channels.size() != points)
        text = tr("布点图与标准器不符！（%1个点，%2个探头）").arg(points).arg(channels.size()) + QLatin1Char('\n') + text;
    label_LayoutWells->setText(text);
    label_LayoutWells->setStyleSheet(channels.isEmpty() || channels.size() == points
                                         ? QStringLiteral("font: 10pt \"宋体\";")
                                         : QStringLiteral("font: 10pt \"宋体\"; color: rgb(200, 0, 0);"));
    // The whole list, one channel a line, on hovering either.
    QStringList lines = pairs;
    lines.prepend(layout.Name);
    label_LayoutWells->setToolTip(lines.join(QLatin1Char('\n')));
    label_LayoutPreview->setToolTip(label_LayoutWells->toolTip());
}

void Calibration::loadProgramSteps()
{
    phaseSteps.clear();
    const QString name = phaseModel == UniformityModel ? project.UniformityFile : project.RateFile;
    QList<Tool::Struct_CyclicFile> files;
    if (name.isEmpty() || !Tool::queryCyclicFile(files, Queries::cyclicFileByName(name)) || files.isEmpty())
        return;
    const Tool::Struct_CyclicFile &f = files.first();
    Analysis::parseCycleSteps({f.StepCount, f.SetTemperatures, f.HoldTimes}, phaseSteps);
}

QString Calibration::phaseText() const
{
    return label_Phase->text();
}

QString Calibration::stepText() const
{
    return label_Step->text();
}

QString Calibration::timeText() const
{
    return label_RunTime->text();
}

int Calibration::progress() const
{
    return progressBar_Run->value();
}

void Calibration::showRunState()
{
    if (!label_Phase)
        return;
    const bool twoPhases = !project.UniformityFile.isEmpty() && !project.RateFile.isEmpty();
    QString phase = phaseModel == UniformityModel ? tr("均匀度校准") : tr("升降温速率校准");
    if (twoPhases)
        phase += phaseModel == UniformityModel ? QStringLiteral(" (1/2)") : QStringLiteral(" (2/2)");
    const qint64 durationSeconds = duration.isValid() ? QTime(0, 0).secsTo(duration) : 0;
    const QDateTime now = QDateTime::currentDateTime();
    const QString unit = Tool::TemperatureUnit == QStringLiteral("℉") ? QStringLiteral("℉") : QStringLiteral("℃");
    switch (runState) {
    case RunState::Idle:
        label_Phase->setText(tr("未开始校准"));
        label_Step->clear();
        label_RunTime->clear();
        progressBar_Run->setValue(0);
        break;
    case RunState::Waiting: {
        label_Phase->setText(tr("阶段：") + phase);
        const qint64 toStart = now.secsTo(start);
        label_RunTime->setText(toStart > 0 ? tr("距开始：%1").arg(RunProgress::clockText(toStart))
                                           : tr("正在连接测温仪…"));
        label_Step->setText(tr("采集时长：%1").arg(RunProgress::clockText(durationSeconds)));
        progressBar_Run->setValue(0);
        break;
    }
    case RunState::Acquiring: {
        label_Phase->setText(tr("阶段：") + phase);
        const qint64 elapsed = std::max<qint64>(0, start.secsTo(now));
        label_RunTime->setText(tr("已采集：%1    剩余：%2")
                                   .arg(RunProgress::clockText(std::min(elapsed, durationSeconds)),
                                        RunProgress::clockText(RunProgress::remainingSeconds(durationSeconds, elapsed))));
        progressBar_Run->setValue(RunProgress::percentDone(durationSeconds, elapsed));
        const RunProgress::StepAt at = RunProgress::stepAt(phaseSteps, elapsed);
        if (at.step < 0) {
            label_Step->setText(tr("程序步骤：无循环文件"));
        } else {
            QString step = tr("程序步骤：第%1/%2步 %3 %4，保持%5 min，本步剩余 %6")
                               .arg(at.step + 1)
                               .arg(phaseSteps.size())
                               .arg(QString::number(Analysis::displayTemperature(at.temperature, unit), 'f', 1), unit)
                               .arg(at.holdMinutes)
                               .arg(RunProgress::clockText(at.secondsLeft));
            if (at.cycle > 0)
                step += tr("（第%1轮）").arg(at.cycle + 1);
            label_Step->setText(step);
        }
        break;
    }
    case RunState::Paused:
        label_Phase->setText(tr("阶段：") + phase + tr(" 已结束"));
        label_RunTime->setText(tr("请按“继续”开始升降温速率校准"));
        label_Step->clear();
        break;
    case RunState::Ended:
        label_Phase->setText(tr("阶段：") + phase + tr(" 已结束"));
        label_Step->clear();
        if (!acquisitionBegun)
            label_RunTime->clear();
        break;
    }
}

void Calibration::showProbeTable()
{
    const QStringList names = standardizer.ChannelNames.split(QLatin1Char(','));
    const QVector<RunProgress::ProbeRanges::Range> &r = ranges.ranges();
    if (tableWidget_Probes->rowCount() != names.size()) {
        tableWidget_Probes->setRowCount(names.size());
        for (int row = 0; row < names.size(); ++row)
            for (int c = 0; c < 4; ++c) {
                auto *item = new QTableWidgetItem();
                item->setTextAlignment(c == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignRight | Qt::AlignVCenter));
                tableWidget_Probes->setItem(row, c, item);
            }
    }
    const auto text = [](double v) { return QString::number(v, 'f', 2); };
    for (int row = 0; row < names.size(); ++row) {
        tableWidget_Probes->item(row, 0)->setText(names.at(row).trimmed());
        const bool seen = row < r.size() && r.at(row).seen;
        tableWidget_Probes->item(row, 1)->setText(seen ? text(r.at(row).current) : QStringLiteral("—"));
        tableWidget_Probes->item(row, 2)->setText(seen ? text(r.at(row).low) : QStringLiteral("—"));
        tableWidget_Probes->item(row, 3)->setText(seen ? text(r.at(row).high) : QStringLiteral("—"));
    }
}

void Calibration::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        infoTitle = tr("提示");
        warningTitle = tr("警告");
        buttonLabels = QStringList{tr("开始"), tr("停止"), tr("继续")};
        retranslateUi();
        showLayoutPreview();
    }
    QWidget::changeEvent(event);
}

void Calibration::InitValidator()
{
    const auto rule = [this](QLineEdit *edit, const char *pattern) {
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QLatin1String(pattern)), this));
    };
    rule(lineEdit_Interval, "[0-9.]+$");
    rule(lineEdit_AmbientTemperature, "[-0-9.]+$");
    rule(lineEdit_AmbientHumidity, "^([0-9]{1,2}|[1][0][0])$");
    // Sea-level pressure is about 1013 mbar and recorded extremes reach 1085 mbar.
    rule(lineEdit_AmbientPressure, "^([0-9]{1,3}|10[0-9]{2}|1100)$");

    timeEdit_Long->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    timeEdit_Long->setMaximumTime(QTime(23, 59, 59));
    dateTimeEdit_Time->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    dateTimeEdit_Time->setMinimumDateTime(QDateTime::currentDateTime());

    label_AmbientTemperature_1->setText(Tool::TemperatureUnit == QStringLiteral("℉") ? QStringLiteral("℉")
                                                                                       : QStringLiteral("℃"));
    comboBox_Uniformity->setEnabled(false);
    comboBox_Rate->setEnabled(false);
    pushButton_StartUp->setEnabled(Tool::hasRight(Right::CalibrationStartUp));
}

void Calibration::InitComboBox()
{
    QList<Tool::Struct_PCRDevice> pcr;
    Tool::getPCRDevice(pcr, QString());
    for (const auto &d : pcr)
        comboBox_PCRList->addItem(QStringList{d.Number, d.DeviceModel, d.SerialNumber}.join(Separator));

    QList<Tool::Struct_Electrometer> meters;
    Tool::getElectrometer(meters, QString());
    for (const auto &e : meters)
        comboBox_ElectrometerList->addItem(QStringList{e.Number, e.DeviceModel, e.SerialNumber}.join(Separator));

    QList<Tool::Struct_Standardizer> probes;
    Tool::getStandardizer(probes, QString());
    for (const auto &s : probes)
        comboBox_StandardizerList->addItem(QStringList{s.Number, s.Name}.join(Separator));

    QList<Tool::Struct_CyclicFile> files;
    Tool::getCyclicFile(files, QString());
    for (const auto &f : files) {
        const QString item = QStringList{f.Number, f.Name}.join(Separator);
        comboBox_Uniformity->addItem(item);
        comboBox_Rate->addItem(item);
        comboBox_Linear->addItem(item);
    }

    QList<Tool::Struct_Layout> layouts;
    Tool::getLayout(layouts, QString());
    for (const auto &l : layouts)
        comboBox_Layout->addItem(l.Name);

    connect(comboBox_Layout, &QComboBox::currentTextChanged, this, &Calibration::showLayoutPreview);
    connect(comboBox_StandardizerList, &QComboBox::currentTextChanged, this, &Calibration::showLayoutPreview);
    showLayoutPreview();

    // The lists open wide enough for whole items, however narrow the boxes are.
    for (QComboBox *box : {comboBox_PCRList, comboBox_ElectrometerList, comboBox_StandardizerList, comboBox_Layout,
                           comboBox_Uniformity, comboBox_Rate, comboBox_Linear})
        box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 24);
}

void Calibration::ReadConfig()
{
    const auto ini = Tool::configFile();
    ini->beginGroup(QStringLiteral("Calibration"));
    timeEdit_Long->setTime(QTime::fromString(ini->value(QStringLiteral("TimeLong")).toString(), QStringLiteral("HH:mm:ss")));
    lineEdit_Interval->setText(ini->value(QStringLiteral("Interval")).toString());
    lineEdit_AmbientTemperature->setText(ambientForDisplay(ini->value(QStringLiteral("AmbientTemperature")).toString()));
    lineEdit_AmbientHumidity->setText(ini->value(QStringLiteral("AmbientHumidity")).toString());
    lineEdit_AmbientPressure->setText(ini->value(QStringLiteral("AmbientPressure")).toString());
    ini->endGroup();
}

void Calibration::WriteConfig(QWidget *editor)
{
    QString key, value;
    if (editor == timeEdit_Long) {
        key = QStringLiteral("TimeLong");
        value = timeEdit_Long->time().toString(QStringLiteral("HH:mm:ss"));
    } else if (editor == lineEdit_Interval) {
        key = QStringLiteral("Interval");
        value = lineEdit_Interval->text();
    } else if (editor == lineEdit_AmbientTemperature) {
        key = QStringLiteral("AmbientTemperature");
        value = ambientForConfig(lineEdit_AmbientTemperature->text());
    } else if (editor == lineEdit_AmbientHumidity) {
        key = QStringLiteral("AmbientHumidity");
        value = lineEdit_AmbientHumidity->text();
    } else if (editor == lineEdit_AmbientPressure) {
        key = QStringLiteral("AmbientPressure");
        value = lineEdit_AmbientPressure->text();
    } else {
        return;
    }
    const auto ini = Tool::configFile();
    ini->setValue(QStringLiteral("Calibration/") + key, value);
    ini->sync();
}

void Calibration::pt_Rate_clicked()
{
    comboBox_Rate->setEnabled(checkBox_Rate->isChecked());
}

void Calibration::pt_Uniformity_clicked()
{
    comboBox_Uniformity->setEnabled(checkBox_Uniformity->isChecked());
}

// ---------------------------------------------------------------------------------------------
// Validation

CalibrationSetup::Form Calibration::setupForm() const
{
    CalibrationSetup::Form f;
    f.pcrItem = comboBox_PCRList->currentText();
    f.electrometerItem = comboBox_ElectrometerList->currentText();
    f.standardizerItem = comboBox_StandardizerList->currentText();
    f.layoutItem = comboBox_Layout->currentText();
    f.uniformity = checkBox_Uniformity->isChecked();
    f.rate = checkBox_Rate->isChecked();
    f.linear = checkBox_Linear->isChecked();
    f.uniformityItem = comboBox_Uniformity->currentText();
    f.rateItem = comboBox_Rate->currentText();
    f.projectName = lineEdit_ProjectName->text();
    f.company = lineEdit_Company->text();
    f.remarks = lineEdit_ProjectRemarks->text();
    f.ambientTemperature = lineEdit_AmbientTemperature->text();
    f.ambientHumidity = lineEdit_AmbientHumidity->text();
    f.ambientPressure = lineEdit_AmbientPressure->text();
    f.calibrator = lineEdit_Calibrated->text();
    f.checker = lineEdit_Checked->text();
    f.interval = lineEdit_Interval->text();
    return f;
}

int Calibration::CheckParameter(QString &message)
{
    const CalibrationSetup::Result r =
        CalibrationSetup::check(setupForm(), Tool::TemperatureUnit, QDateTime::currentDateTime());
    message = r.message;
    // What the check has read stays until the next check; the run starts from it.
    interval = r.interval;
    linearSelected = r.linear;
    rateSelected = r.rate;
    uniformitySelected = r.uniformity;
    electrometer = r.electrometer;
    standardizer = r.standardizer;
    project = r.project;
    return r.code;
}

// ---------------------------------------------------------------------------------------------
// Run

void Calibration::setButtonLabel(ButtonLabel label)
{
    buttonLabel = label;
    pushButton_StartUp->setText(buttonLabels.value(label));
    showFormLocked();
}

void Calibration::showFormLocked()
{
    // The project was built from the form when the run started: what is typed afterwards would
    // be dropped, so nothing can be typed until the project is saved or discarded.
    const bool locked = buttonLabel != LabelStart || running || projectOpen;
    for (QWidget *w : {static_cast<QWidget *>(groupBox_1), static_cast<QWidget *>(groupBox_2),
                       static_cast<QWidget *>(groupBox)})
        w->setEnabled(!locked);
}

void Calibration::pt_StartUp_clicked()
{
    if (buttonLabel == LabelStart || buttonLabel == LabelContinue) {
        // The worker of a stopped phase may still be closing the instrument; its end is dealt
        // with before anything new starts.
        run->finish();
        if (buttonLabel == LabelStart) {
            keepOpenProject();
            QString message;
            if (CheckParameter(message) != 0) {
                Messages::information(this, warningTitle, message);
                return;
            }
        }
        startPhase(buttonLabel == LabelStart);
        return;
    }

    // Stop. In the first phase of a two-phase run the phase ends and "继续" is offered.
    if (rateSelected && uniformitySelected) {
        running = false;
        run->stop();
        return;
    }
    // Nothing taken yet (still waiting for the start time, or opening the instrument): there is
    // nothing to save, so nothing to ask.
    if (run->samplesTaken() == 0 && rowsStored == 0) {
        requestClose(false);
        return;
    }
    const QMessageBox::StandardButton answer =
        Messages::question(this, tr("保存"), tr("是否保存数据?"),
                           QMessageBox::Save | QMessageBox::No | QMessageBox::Cancel);
    if (answer != QMessageBox::Save && answer != QMessageBox::No)
        return;
    // The run may have ended while the question was open (finished and saved, or a
    // communication failure answered); its outcome stands.
    if (!projectOpen)
        return;
    requestClose(answer == QMessageBox::Save);
}

void Calibration::startPhase(bool firstPhase)
{
    start = dateTimeEdit_Time->dateTime();
    duration = timeEdit_Long->time();
    const QDateTime now = QDateTime::currentDateTime();
    if (start < now)
        start = now;
    setButtonLabel(LabelStop);
    unit = Tool::TemperatureUnit;
    chartView->StartRun(duration, start, standardizer.ChannelNames, unit);

    if (firstPhase) {
        // The record is there from the first sample on, marked as running: a program killed
        // mid-run leaves a project the next start lists as interrupted, not orphaned samples.
        if (!RunRecords::begin(project)) {
            setButtonLabel(LabelStart);
            Messages::information(this, warningTitle,
                                  Tool::lastWriteWasDuplicate() ? tr("项目名称重复！") : tr("添加数据失败！"));
            return;
        }
        projectOpen = true;
        pendingClose = PendingClose::None;
        rowsStored = 0;
    }
    phaseModel = uniformitySelected ? UniformityModel : RateModel;
    loadProgramSteps();
    ranges.reset(standardizer.ChannelNames.split(QLatin1Char(',')).size());
    showProbeTable();
    acquisitionBegun = false;
    runState = RunState::Waiting;
    showRunState();
    runClock->start();
    // Set before the worker starts, so that the page cannot be left while the instrument opens.
    running = true;
    showFormLocked();
    therad_StartUp();
    Tool::SaveAuditLog(AuditEvent::Calibration, tr("开始校准。"));
}

void Calibration::therad_StartUp()
{
    CalibrationRun::Phase phase = CalibrationRun::phaseWith(electrometer, standardizer);
    phase.unit = unit;
    phase.interval = interval;
    phase.duration = duration;
    phase.start = start;
    phase.projectName = project.CalibrationName;
    phase.model = phaseModel;
    phase.storage.databaseFile = Tool::databaseFileName();
    // Readings outside what a PCR block can reach are failed attempts (config.ini may widen it).
    const auto ini = Tool::configFile();
    bool lowOk = false, highOk = false;
    const double low = ini->value(QStringLiteral("Calibration/PlausibleMinimum")).toString().toDouble(&lowOk);
    const double high = ini->value(QStringLiteral("Calibration/PlausibleMaximum")).toString().toDouble(&highOk);
    collector->setPlausibleRange(lowOk ? low : Collection1611A::DefaultPlausibleMinimum,
                                 highOk ? high : Collection1611A::DefaultPlausibleMaximum);
    run->start(phase);
}

void Calibration::requestClose(bool save)
{
    running = false;
    setButtonLabel(LabelStart);
    // Rows still on their way are committed when the phase ends; the project is closed then.
    if (run->isActive()) {
        pendingClose = save ? PendingClose::Save : PendingClose::Discard;
        run->stop();
        return;
    }
    closeProject(save);
}

void Calibration::sampleTaken(int, const QStringList &values, const QDateTime &time)
{
    chartView->AppendSample(values, time);
    ranges.add(values);
    showProbeTable();
}

void Calibration::instrumentFailed(CalibrationRun::InstrumentFault fault)
{
    running = false;
    setButtonLabel(LabelStart);
    runClock->stop();
    runState = RunState::Ended;
    showRunState();
    switch (fault) {
    case CalibrationRun::InstrumentFault::Open:
        emit SendOut_signals(1, tr("警告"), tr("连接设备失败！"));
        break;
    case CalibrationRun::InstrumentFault::Configure:
        emit SendOut_signals(1, tr("警告"), tr("测温仪异常，关闭！"));
        break;
    case CalibrationRun::InstrumentFault::Read:
        // A Stop already answered decides when the phase ends.
        if (pendingClose == PendingClose::None)
            emit SendOut_signals(3, QString(), QString());
        break;
    }
}

void Calibration::storeFailed(const QString &error)
{
    // The writer has logged what failed. The instrument is fine: this is no communication error.
    running = false;
    setButtonLabel(LabelStart);
    runClock->stop();
    runState = RunState::Ended;
    showRunState();
    emit SendOut_signals(1, warningTitle, tr("数据无法写入数据库，校准已停止！已写入的数据已保留。") + QLatin1Char('\n') + error);
    // The run ends here; what was committed stays a project, unless the user already chose to
    // discard it.
    if (projectOpen && pendingClose != PendingClose::Discard) {
        const bool saveChosen = pendingClose == PendingClose::Save;
        pendingClose = PendingClose::None;
        SaveCalibration(true);
        if (saveChosen)
            Tool::SaveAuditLog(AuditEvent::Calibration, tr("停止校准，保存数据。"));
    }
}

void Calibration::phaseEnded(CalibrationRun::EndReason reason)
{
    rowsStored += run->rowsStored();
    const bool twoPhases = rateSelected && uniformitySelected;
    runClock->stop();
    runState = RunState::Ended;
    switch (reason) {
    case CalibrationRun::EndReason::Finished:
        if (pendingClose != PendingClose::None)
            break;
        if (twoPhases) {
            uniformitySelected = false;
            running = false;
            setButtonLabel(LabelContinue);
            runState = RunState::Paused;
            showRunState();   // before the box, which waits for the engineer
            emit SendOut_signals(1, tr("提示"), tr("均匀度校准完成，请按“继续”开始升降温速率校准！"));
        } else {
            setButtonLabel(LabelStart);
            showRunState();
            // The notice comes with the save: "finished and stored" in one box.
            finishedSave = true;
            emit SendOut_signals(0, QString(), QString());
        }
        break;
    case CalibrationRun::EndReason::Stopped:
        if (twoPhases && run->samplesTaken() > 0) {
            uniformitySelected = false;
            setButtonLabel(LabelContinue);
            runState = RunState::Paused;
        } else {
            running = false;
            setButtonLabel(LabelStart);
        }
        break;
    case CalibrationRun::EndReason::InstrumentFailed:
    case CalibrationRun::EndReason::StoreFailed:
        break;
    }
    showRunState();
    if (pendingClose != PendingClose::None) {
        const bool save = pendingClose == PendingClose::Save;
        pendingClose = PendingClose::None;
        closeProject(save);
    }
    // A first phase that never took a sample (the instrument did not open) leaves no project.
    if (reason == CalibrationRun::EndReason::InstrumentFailed && projectOpen && rowsStored == 0) {
        projectOpen = false;
        RunRecords::remove(project.CalibrationName);
    }
    showFormLocked();
}

void Calibration::SendOut_slots(int code, QString a, QString b)
{
    // Samples do not pass here: the run's writer stores them and the chart takes them from the
    // run directly.
    switch (code) {
    case 0: {
        const bool finished = finishedSave;
        finishedSave = false;
        SaveCalibration(false, finished);
        break;
    }
    case 1:
        if (!closing)
            Messages::information(this, a, b);
        break;
    case 3: {
        if (closing || !projectOpen)
            break;
        const QMessageBox::StandardButton answer = Messages::question(
            this, tr("保存"), tr("通讯异常，是否保存数据?"), QMessageBox::Save | QMessageBox::No, QMessageBox::Save);
        if (!projectOpen)
            break;
        if (answer == QMessageBox::Save || answer == QMessageBox::No)
            closeProject(answer == QMessageBox::Save);
        break;
    }
    default:
        break;
    }
}

void Calibration::SaveCalibration(bool quietly, bool finished)
{
    // Once per project: a finished run, a Stop and a communication failure can meet.
    if (!projectOpen)
        return;
    projectOpen = false;
    // The record was stored when the run started; now it is complete.
    const bool stored = RunRecords::complete(project.CalibrationName);
    if (!stored && !closing && !quietly)
        Messages::information(this, warningTitle, tr("添加数据失败！"));
    // Said once it is true: the engineer may now leave the page or export.
    if (stored && !closing && !quietly)
        Messages::information(this, infoTitle,
                              finished ? tr("校准完成，数据已保存！") : tr("数据已保存！"));
    Tool::updatePCRDeviceCalibrationDate(project.SerialNumber, project.CalibrationTime);
    if (linearSelected && !closing) {
        auto *window = new CalibrationLinear();
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setProjectName(project.CalibrationName);
        window->show();
        linearity = window;
    }
    running = false;
    showFormLocked();
}

void Calibration::keepOpenProject()
{
    // Rows of a run that was neither saved nor discarded (the window closed during the run, the
    // page was left between the two phases, the second phase could not open the instrument)
    // stay reachable as a project, before a new project takes the page's record.
    if (projectOpen && rowsStored > 0) {
        closeProject(true);
    } else if (projectOpen) {
        // Nothing was taken (the instrument never opened): no project to keep.
        projectOpen = false;
        RunRecords::remove(project.CalibrationName);
    }
    showFormLocked();
}

void Calibration::closeProject(bool save)
{
    if (save) {
        SaveCalibration();
        Tool::SaveAuditLog(AuditEvent::Calibration, tr("停止校准，保存数据。"));
    } else {
        discardData();
        Tool::SaveAuditLog(AuditEvent::Calibration, tr("停止校准，不保存数据。"));
    }
}

void Calibration::discardData()
{
    projectOpen = false;
    rowsStored = 0;
    if (!RunRecords::remove(project.CalibrationName))
        qDebug().noquote() << "删除校准信息失败！" << project.CalibrationName;
    // A day-long run's rows take a good part of a second to delete: the run's worker does it.
    SampleSink::Options storage;
    storage.databaseFile = Tool::databaseFileName();
    if (!run->discard(project.CalibrationName, storage))
        Tool::deleteCalibrationData(project.CalibrationName);
    showFormLocked();
}
