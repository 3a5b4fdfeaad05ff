#include "calibration/Calibration.h"

#include "app/messages.h"
#include "app/widgets.h"
#include "calibration/CalibrationLinear.h"
#include "chart/ChartView.h"
#include "instruments/Collection1611A.h"
#include "store/SampleWriter.h"
#include "store/datawords.h"

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
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTimeEdit>
#include <QVBoxLayout>

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
    verticalLayout_5->addWidget(chartView);
    collector = new Collection1611A(this);
    run = new CalibrationRun(collector, this);
    // The phase's actual start replaces the planned one.
    connect(run, &CalibrationRun::acquisitionStarted, this, [this](const QDateTime &time) { start = time; });
    connect(run, &CalibrationRun::sampleTaken, this, &Calibration::sampleTaken);
    connect(run, &CalibrationRun::instrumentFailed, this, &Calibration::instrumentFailed);
    connect(run, &CalibrationRun::storeFailed, this, &Calibration::storeFailed);
    connect(run, &CalibrationRun::phaseEnded, this, &Calibration::phaseEnded);

    // 4.-6.
    InitValidator();
    InitComboBox();
    ReadConfig();

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
    WriteConfig();
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
}

void Calibration::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        infoTitle = tr("提示");
        warningTitle = tr("警告");
        buttonLabels = QStringList{tr("开始"), tr("停止"), tr("继续")};
        retranslateUi();
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

void Calibration::WriteConfig()
{
    const auto ini = Tool::configFile();
    ini->beginGroup(QStringLiteral("Calibration"));
    ini->setValue(QStringLiteral("TimeLong"), timeEdit_Long->time().toString(QStringLiteral("HH:mm:ss")));
    ini->setValue(QStringLiteral("Interval"), lineEdit_Interval->text());
    ini->setValue(QStringLiteral("AmbientTemperature"), ambientForConfig(lineEdit_AmbientTemperature->text()));
    ini->setValue(QStringLiteral("AmbientHumidity"), lineEdit_AmbientHumidity->text());
    ini->setValue(QStringLiteral("AmbientPressure"), lineEdit_AmbientPressure->text());
    ini->endGroup();
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
        projectOpen = true;
        pendingClose = PendingClose::None;
        rowsStored = 0;
    }
    phaseModel = uniformitySelected ? UniformityModel : RateModel;
    // Set before the worker starts, so that the page cannot be left while the instrument opens.
    running = true;
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
}

void Calibration::instrumentFailed(CalibrationRun::InstrumentFault fault)
{
    running = false;
    setButtonLabel(LabelStart);
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

void Calibration::storeFailed(const QString &)
{
    // The writer has logged what failed.
    running = false;
    setButtonLabel(LabelStart);
    emit SendOut_signals(1, warningTitle, tr("添加数据失败！"));
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
    switch (reason) {
    case CalibrationRun::EndReason::Finished:
        if (pendingClose != PendingClose::None)
            break;
        emit SendOut_signals(1, tr("提示"), tr("校准停止!"));
        if (twoPhases) {
            uniformitySelected = false;
            running = false;
            setButtonLabel(LabelContinue);
        } else {
            setButtonLabel(LabelStart);
            emit SendOut_signals(0, QString(), QString());
        }
        break;
    case CalibrationRun::EndReason::Stopped:
        if (twoPhases && run->samplesTaken() > 0) {
            uniformitySelected = false;
            setButtonLabel(LabelContinue);
        } else {
            running = false;
            setButtonLabel(LabelStart);
        }
        break;
    case CalibrationRun::EndReason::InstrumentFailed:
    case CalibrationRun::EndReason::StoreFailed:
        break;
    }
    if (pendingClose != PendingClose::None) {
        const bool save = pendingClose == PendingClose::Save;
        pendingClose = PendingClose::None;
        closeProject(save);
    }
}

void Calibration::SendOut_slots(int code, QString a, QString b)
{
    // Samples do not pass here: the run's writer stores them and the chart takes them from the
    // run directly.
    switch (code) {
    case 0:
        SaveCalibration();
        break;
    case 1:
        if (!closing)
            Messages::information(this, a, b);
        break;
    case 3: {
        if (closing || !projectOpen)
            break;
        const QMessageBox::StandardButton answer = Messages::question(
            this, tr("保存"), tr("通讯异常，是否保存数据?"), QMessageBox::Save | QMessageBox::No);
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

void Calibration::SaveCalibration(bool quietly)
{
    // Once per project: a finished run, a Stop and a communication failure can meet.
    if (!projectOpen)
        return;
    projectOpen = false;
    if (!Tool::addCalibration(project) && !closing && !quietly)
        Messages::information(this, warningTitle,
                              Tool::lastWriteWasDuplicate() ? tr("项目名称重复！") : tr("添加数据失败！"));
    Tool::updatePCRDeviceCalibrationDate(project.SerialNumber, project.CalibrationTime);
    if (linearSelected && !closing) {
        auto *window = new CalibrationLinear();
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setProjectName(project.CalibrationName);
        window->show();
        linearity = window;
    }
    running = false;
}

void Calibration::keepOpenProject()
{
    // Rows of a run that was neither saved nor discarded (the window closed during the run, the
    // page was left between the two phases, the second phase could not open the instrument)
    // stay reachable as a project, before a new project takes the page's record.
    if (projectOpen && rowsStored > 0)
        closeProject(true);
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
    // A day-long run's rows take a good part of a second to delete: the run's worker does it.
    SampleSink::Options storage;
    storage.databaseFile = Tool::databaseFileName();
    if (!run->discard(project.CalibrationName, storage))
        Tool::deleteCalibrationData(project.CalibrationName);
}
