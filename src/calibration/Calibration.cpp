#include "calibration/Calibration.h"

#include "app/messages.h"
#include "registry/CalibrationDates.h"
#include "app/widgets.h"
#include "calibration/CalibrationLinear.h"
#include "chart/ChartView.h"
#include "instruments/ChannelSetting.h"
#include "instruments/Collection1611A.h"
#include "store/datawords.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QDebug>
#include <QElapsedTimer>
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
#include <QThread>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <cmath>

namespace {

// Calibration items as stored in CalibrationData.Model: data words, never translated.
const QString UniformityModel = DataWords::uniformityItem();
const QString RateModel = DataWords::rateItem();

const QString Separator = DataWords::keySeparator();
const QString SampleTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");

// The text before the first "--" of a combo-box item (the whole text when there is none).
QString keyOf(const QString &item)
{
    return DataWords::keyOf(item);
}

// The text after the first "--" (empty when there is none).
QString afterKey(const QString &item)
{
    return DataWords::afterKey(item);
}

// Milliseconds of sample i after the phase start: trunc(interval × 1000 × i). The tiny
// allowance keeps products such as 0.7 × 1000 × 3 = 2099.9999… on their decimal value.
qint64 sampleOffsetMs(double interval, int i)
{
    return qint64(std::floor(interval * 1000.0 * i + 1e-6));
}

// Samples a phase takes beyond the first: N = whole seconds of the duration / interval.
double sampleLimit(const QTime &duration, double interval)
{
    const int ms = duration.isValid() ? QTime(0, 0).msecsTo(duration) : 0;
    return double(ms / 1000) / interval;
}

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
    joinWorker();
    keepOpenProject();
    WriteConfig();
}

bool Calibration::isRunning() const
{
    return running.load() || (worker && !worker->isFinished());
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

int Calibration::CheckParameter(QString &message)
{
    // 1. The message of the codes 101 to 104.
    message = tr("数据库获取错误！");

    // 2.
    const QString projectName = lineEdit_ProjectName->text();
    const QString company = lineEdit_Company->text();
    const QString remarks = lineEdit_ProjectRemarks->text();
    QString ambientTemperature = lineEdit_AmbientTemperature->text();
    const QString ambientHumidity = lineEdit_AmbientHumidity->text();
    const QString ambientPressure = lineEdit_AmbientPressure->text();
    const QString calibrator = lineEdit_Calibrated->text();
    const QString checker = lineEdit_Checked->text();
    bool ok = false;
    interval = lineEdit_Interval->text().toDouble(&ok);
    if (!ok || !std::isfinite(interval))
        interval = 0;
    linearSelected = checkBox_Linear->isChecked();

    // 3. An empty key would list every row, so it finds nothing here.
    const QString pcrKey = keyOf(comboBox_PCRList->currentText());
    QList<Tool::Struct_PCRDevice> pcr;
    if (pcrKey.isEmpty() || !Tool::getPCRDevice(pcr, pcrKey) || pcr.isEmpty())
        return 101;
    const Tool::Struct_PCRDevice device = pcr.first();

    // 4.
    const QString meterKey = keyOf(comboBox_ElectrometerList->currentText());
    QList<Tool::Struct_Electrometer> meters;
    if (meterKey.isEmpty() || !Tool::getElectrometer(meters, meterKey) || meters.isEmpty())
        return 102;
    electrometer = meters.first();
    if (CalibrationDates::measuringInstrumentRefused(electrometer.Number, electrometer.DeviceName, electrometer.CalibrationCycle, electrometer.CalibrationState, QDateTime::currentDateTime(), &message))
        return 105;

    // 5.
    const QString timeStamp = QDateTime::currentDateTime().toString(Tool::TimeFormat);

    // 6.
    const QString probeKey = keyOf(comboBox_StandardizerList->currentText());
    QList<Tool::Struct_Standardizer> probes;
    if (probeKey.isEmpty() || !Tool::getStandardizer(probes, probeKey) || probes.isEmpty())
        return 103;
    standardizer = probes.first();

    // 7.
    rateSelected = checkBox_Rate->isChecked();
    const QString rateFile = rateSelected ? afterKey(comboBox_Rate->currentText()) : QString();
    uniformitySelected = checkBox_Uniformity->isChecked();
    const QString uniformityFile = uniformitySelected ? afterKey(comboBox_Uniformity->currentText()) : QString();

    // 8.
    const QString layoutName = comboBox_Layout->currentText();
    QList<Tool::Struct_Layout> layouts;
    if (layoutName.isEmpty() || !Tool::getLayout(layouts, layoutName) || layouts.isEmpty())
        return 104;
    const Tool::Struct_Layout layout = layouts.first();

    // 9.
    Tool::toCelsius(ambientTemperature, 2, false);

    // 10.
    project = Tool::Struct_Calibration();
    project.CalibrationName = projectName;
    project.Company = company;
    project.ProjectRemarks = remarks;
    project.CalibrationTime = timeStamp;
    project.Interval = lineEdit_Interval->text();
    project.AmbientTemperature = ambientTemperature;
    project.AmbientHumidity = ambientHumidity;
    project.AmbientPressure = ambientPressure;
    project.Calibrator = calibrator;
    project.Checker = checker;
    project.DeviceName = device.DeviceName;
    project.DeviceModel = device.DeviceModel;
    project.SerialNumber = device.SerialNumber;
    project.Manufacturer = device.Manufacturer;
    project.CertificateNumber = device.CertificateNumber;
    project.ElectrometerName = electrometer.DeviceName;
    project.StandardizerName = standardizer.Name;
    project.NumberChannels = standardizer.NumberChannels;
    project.ChannelNumbers = standardizer.ChannelNumbers;
    project.ChannelParameter1 = standardizer.ChannelParameter1;
    project.UniformityFile = uniformityFile;
    project.RateFile = rateFile;
    project.CalibrationLinear = QString();
    project.LayoutName = layout.Name;
    project.LayoutPoints = layout.Points;

    // 11. A text of blanks names nobody and counts as empty.
    const auto blank = [](const QString &text) { return text.trimmed().isEmpty(); };
    if (standardizer.NumberChannels.toInt() != layout.PointCount.toInt()) {
        message = tr("布点图与标准器不符！");
        return 1;
    }
    if (blank(projectName)) {
        message = tr("项目名称不能为空！");
        return 2;
    }
    QList<Tool::Struct_Calibration> existing;
    Tool::getCalibration(existing, projectName);
    // Samples left under this name by a run that never became a project would mix with the
    // new run's samples, so the name counts as used as well.
    QList<Tool::Struct_CalibrationData> leftovers;
    if (existing.isEmpty())
        Tool::getCalibrationData(leftovers, projectName);
    if (!existing.isEmpty() || !leftovers.isEmpty()) {
        message = tr("项目名称重复！");
        return 2;
    }
    if (blank(company)) {
        message = tr("送检单位不能为空！");
        return 3;
    }
    if (ambientTemperature.isEmpty()) {
        message = tr("环境温度不能为空！");
        return 4;
    }
    // The input rule lets through texts such as "-" or "1.2.3"; they would reach the
    // certificate as they stand.
    bool numeric = false;
    lineEdit_AmbientTemperature->text().toDouble(&numeric);
    if (!numeric) {
        message = tr("环境温度格式错误！");
        return 4;
    }
    if (ambientHumidity.isEmpty()) {
        message = tr("环境湿度不能为空！");
        return 5;
    }
    if (ambientPressure.isEmpty()) {
        message = tr("环境压力不能为空！");
        return 6;
    }
    if (blank(calibrator)) {
        message = tr("校准员不能为空！");
        return 7;
    }
    if (blank(checker)) {
        message = tr("核验员不能为空！");
        return 8;
    }
    if (interval < 0.3) {
        message = tr("采集间隔过短！");
        return 9;
    }
    if (!uniformitySelected && !rateSelected) {
        message = tr("请设置校准项目！");
        return 10;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Run, window side

void Calibration::setButtonLabel(ButtonLabel label)
{
    buttonLabel = label;
    pushButton_StartUp->setText(buttonLabels.value(label));
}

void Calibration::postButtonLabel(ButtonLabel label)
{
    QMetaObject::invokeMethod(this, [this, label] { setButtonLabel(label); }, Qt::QueuedConnection);
}

void Calibration::pt_StartUp_clicked()
{
    if (buttonLabel == LabelStart || buttonLabel == LabelContinue) {
        // The worker of a stopped phase may still be closing the instrument.
        joinWorker();
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

    // Stop. In the first phase of a two-phase run the worker ends the phase and offers "继续".
    if (rateSelected && uniformitySelected) {
        running = false;
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
    running = false;
    setButtonLabel(LabelStart);
    closeProject(answer == QMessageBox::Save);
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
        discardRows = false;
        rowsStored = 0;
    }
    phaseModel = uniformitySelected ? UniformityModel : RateModel;
    // Set before the worker starts, so that the page cannot be left while the instrument opens
    // and a Stop during the opening is not undone by the worker.
    running = true;
    worker = QThread::create([this] { therad_StartUp(); });
    worker->setObjectName(QStringLiteral("Calibration worker"));
    worker->start();
    Tool::SaveAuditLog(AuditEvent::Calibration, tr("开始校准。"));
}

void Calibration::joinWorker()
{
    if (!worker)
        return;
    // A worker that is still here has been stopped: closing the instrument ends any read it
    // waits for. Its driver calls are carried out by the driver's slots in this thread, so they
    // are let run while waiting; user input waits.
    running = false;
    while (!worker->wait(10)) {
        if (collector->IsOpen())
            collector->Close();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    // What the worker sent last (samples, labels) is handled before anything new starts.
    QCoreApplication::sendPostedEvents(this);
    QCoreApplication::sendPostedEvents(collector);
    delete worker;
    worker = nullptr;
}

void Calibration::SendOut_slots(int code, QString a, QString b)
{
    switch (code) {
    case 0:
        SaveCalibration();
        break;
    case 1:
        if (!closing)
            Messages::information(this, a, b);
        break;
    case 2:
        SaveCalibrationData(a.toInt(), b);
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

void Calibration::SaveCalibrationData(int i, const QString &values)
{
    if (discardRows)
        return;
    QStringList temperatures = values.split(QLatin1Char(','), Qt::KeepEmptyParts);
    for (QString &t : temperatures)
        Tool::toCelsius(t, 4, false);
    Tool::Struct_CalibrationData row;
    row.Name = project.CalibrationName;
    row.Model = phaseModel;
    row.Time = start.addMSecs(sampleOffsetMs(interval, i)).toString(SampleTimeFormat);
    row.Temperatures = temperatures.join(QLatin1Char(','));
    if (!Tool::addCalibrationData(row)) {
        qDebug().noquote() << "添加数据失败！";
        return;
    }
    ++rowsStored;
}

void Calibration::SaveCalibration()
{
    // Once per project: a finished run, a Stop and a communication failure can meet.
    if (!projectOpen)
        return;
    projectOpen = false;
    if (!Tool::addCalibration(project) && !closing)
        Messages::information(this, warningTitle, tr("添加数据失败！"));
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
    // Samples of this run still on their way are dropped as well.
    discardRows = true;
    Tool::deleteCalibrationData(project.CalibrationName);
    rowsStored = 0;
}

// ---------------------------------------------------------------------------------------------
// Run, worker side

void Calibration::therad_StartUp()
{
    // 1.
    if (!collector->Open(electrometer.SignalMode, electrometer.IP_COM, electrometer.Port_BaudRate)) {
        running = false;
        emit SendOut_signals(1, tr("警告"), tr("连接设备失败！"));
        postButtonLabel(LabelStart);
        qDebug().noquote() << "串口打开失败!";
        return;
    }
    // 2.
    if (!ConfigureChannels()) {
        collector->Close();
        running = false;
        postButtonLabel(LabelStart);
        emit SendOut_signals(1, tr("警告"), tr("测温仪异常，关闭！"));
        return;
    }
    // 3. running was set when the phase started; a Stop since then is kept.

    // 4.
    while (running && QDateTime::currentSecsSinceEpoch() < start.toSecsSinceEpoch())
        Tool::delayMs(10);
    if (!running) {
        collector->Close();
        postButtonLabel(LabelStart);
        return;
    }

    // 5.
    qDebug().noquote() << "开始采集";
    const double limit = sampleLimit(duration, interval);
    start = QDateTime::currentDateTime();
    phaseClock.start();

    // 6.
    int i = 0;
    bool finished = false;
    for (;;) {
        if (!running) {
            collector->Close();
            if (i == 0) {
                running = false;
                postButtonLabel(LabelStart);
                return;
            }
            break;
        }
        if (!CollectOnce(interval, i)) {
            emit SendOut_signals(3, QString(), QString());
            collector->Close();
            running = false;
            postButtonLabel(LabelStart);
            return;
        }
        ++i;
        // The allowance keeps e.g. 3 s / 0.3 s at ten intervals, not 9.999….
        if (double(i) > limit + 1e-9) {
            collector->Close();
            finished = true;
            break;
        }
    }

    // 7.
    const bool twoPhases = rateSelected && uniformitySelected;
    if (finished && running) {
        emit SendOut_signals(1, tr("提示"), tr("校准停止!"));
        if (twoPhases) {
            uniformitySelected = false;
            running = false;
            postButtonLabel(LabelContinue);
        } else {
            postButtonLabel(LabelStart);
            emit SendOut_signals(0, QString(), QString());
        }
    } else if (twoPhases) {
        uniformitySelected = false;
        postButtonLabel(LabelContinue);
    } else {
        running = false;
        postButtonLabel(LabelStart);
    }
}

bool Calibration::ConfigureChannels()
{
    const QStringList names = standardizer.ChannelNames.split(QLatin1Char(','));
    const QStringList b0 = standardizer.B0_R0.split(QLatin1Char(','));
    const QStringList b1 = standardizer.B1.split(QLatin1Char(','));
    const QStringList b2 = standardizer.B2.split(QLatin1Char(','));
    const QStringList b3 = standardizer.B3.split(QLatin1Char(','));
    // A probe without its four coefficients would read nonsense.
    if (b0.size() < names.size() || b1.size() < names.size() || b2.size() < names.size() || b3.size() < names.size())
        return false;
    QList<ChannelSetting> settings;
    for (int i = 0; i < names.size(); ++i) {
        ChannelSetting s;
        s[ChannelSetting::Channel] = names.at(i);
        s[ChannelSetting::Function] = QStringLiteral("热敏电阻");
        s[ChannelSetting::Type] = QStringLiteral("R(T)");
        s[ChannelSetting::Wiring] = QStringLiteral("二线制");
        s[ChannelSetting::Unit] = unit;
        s[ChannelSetting::Coefficient1] = b0.at(i);
        s[ChannelSetting::Coefficient2] = b1.at(i);
        s[ChannelSetting::Coefficient3] = b2.at(i);
        s[ChannelSetting::Coefficient4] = b3.at(i);
        s[ChannelSetting::ScaleGain] = QStringLiteral("1");
        s[ChannelSetting::ScaleOffset] = QStringLiteral("0");
        settings << s;
    }
    return collector->SetChannels(settings);
}

bool Calibration::CollectOnce(double interval, int i)
{
    QStringList values;
    if (!collector->ReadChannels(values))
        return false;
    if (values.size() != standardizer.NumberChannels.toInt())
        return false;
    const QDateTime now = QDateTime::currentDateTime();
    QMetaObject::invokeMethod(this, [this, values, now] { chartView->AppendSample(values, now); },
                              Qt::QueuedConnection);
    emit SendOut_signals(2, QString::number(i), values.join(QLatin1Char(',')));

    // The next read is due one interval after this one was due, counted from the phase start:
    // the read time is absorbed and the reads keep to their time stamps however long the run.
    const qint64 due = sampleOffsetMs(interval, i + 1);
    for (qint64 remaining = due - phaseClock.elapsed(); remaining > 0 && running;
         remaining = due - phaseClock.elapsed())
        Tool::delayMs(int(qMin<qint64>(10, remaining)));
    return true;
}
