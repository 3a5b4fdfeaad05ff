#include "probecal/Thermistor.h"

#include "acquisition/ProbeCalibrationAudit.h"

#include "analysis/Thermistor.h"
#include "app/messages.h"
#include "app/widgets.h"
#include "chart/ChartView.h"
#include "instruments/CriteriaMorva1621.h"
#include "probecal/ThermistorConnection.h"
#include "probecal/ThermistorManual.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace ProbeCalibration;
using Run = ProbeCalibrationRun;

namespace {

const char *const DeviceGroups[3] = {"TField", "TCollection", "TCriteria"};

Thermistor::ConnectionEditor &connectionEditor()
{
    static Thermistor::ConnectionEditor editor = ThermistorConnection::edit;
    return editor;
}

Thermistor::ManualDialog &manualDialog()
{
    static Thermistor::ManualDialog dialog = [](QWidget *parent, const Run::Setup &setup) {
        ThermistorManual manual(setup, parent);
        manual.exec();
    };
    return dialog;
}

// Never narrower than the form it shows, and as wide when there is room; only the height scrolls.
class FormScrollArea : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;
    QSize minimumSizeHint() const override
    {
        const QSize inner = widget() ? widget()->minimumSizeHint() : QSize();
        return QSize(inner.width() + verticalScrollBar()->sizeHint().width(), QScrollArea::minimumSizeHint().height());
    }
    QSize sizeHint() const override
    {
        const QSize inner = widget() ? widget()->sizeHint() : QSize();
        return QSize(inner.width() + verticalScrollBar()->sizeHint().width(), QScrollArea::sizeHint().height());
    }
};

void selectText(QComboBox *box, const QString &text)
{
    const int i = box->findText(text);
    if (i >= 0)
        box->setCurrentIndex(i);
}

} // namespace

void Thermistor::setConnectionEditor(const ConnectionEditor &editor)
{
    connectionEditor() = editor ? editor : ConnectionEditor(ThermistorConnection::edit);
}

void Thermistor::setManualDialog(const ManualDialog &dialog)
{
    static const ManualDialog standard = manualDialog();
    manualDialog() = dialog ? dialog : standard;
}

Thermistor::Thermistor(QWidget *parent) : QWidget(parent)
{
    buildForm();
    Widgets::paintBackground(this);

    probeRun = new ProbeCalibrationRun(this);
    connect(probeRun, &Run::setTemperatureChanged, this, &Thermistor::setFieldTemp);
    connect(probeRun, &Run::readingTaken, this, &Thermistor::readingTaken);
    connect(probeRun, &Run::runEnded, this, &Thermistor::runEnded);
    connect(this, &Thermistor::Save_signals, this, &Thermistor::Save_slots);
    connect(this, &Thermistor::InputDialog_signals, this, &Thermistor::InputDialog_slots);
    connect(this, &Thermistor::Verification_signals, this, &Thermistor::Verification_slots);
    connect(this, &Thermistor::MessageBox_signals, this, &Thermistor::MessageBox_slots);

    fillProbeSets();
    ReadConfig();
    watchSettings();
}

Thermistor::~Thermistor()
{
    // Nothing of the run's end is shown any more; its points are in config.ini already. The
    // settings were written as they were changed: what the page still holds may be older than
    // config.ini (a device link chosen in the probe registry meanwhile).
    probeRun->disconnect(this);
    probeRun->stop();
    probeRun->finish();
}

bool Thermistor::isRunning() const
{
    return probeRun->isActive();
}

ProbeCalibration::DeviceSettings Thermistor::deviceSettings(DeviceRole role) const
{
    return devices.at(size_t(role));
}

void Thermistor::setDeviceSettings(DeviceRole role, const ProbeCalibration::DeviceSettings &settings)
{
    devices.at(size_t(role)) = settings;
    QComboBox *box = role == BathDevice ? comboBox_Field : role == CollectorDevice ? comboBox_Acquisition : comboBox_Criteria;
    const QSignalBlocker block(box);
    selectText(box, settings.name);
}

// ---------------------------------------------------------------------------------------------
// Form

void Thermistor::buildForm()
{
    setObjectName(QStringLiteral("Thermistor"));
    resize(1194, 629);
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));

    const auto label = [](QWidget *parent, const char *name) { return Widgets::named(new QLabel(parent), name); };
    const auto lineEdit = [](QWidget *parent, const char *name) {
        auto *e = Widgets::named(new QLineEdit(parent), name);
        e->setMinimumWidth(80);
        return e;
    };
    const auto comboBox = [](QWidget *parent, const char *name) {
        auto *c = Widgets::named(new QComboBox(parent), name);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(8);
        c->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        return c;
    };
    const auto button = [](QWidget *parent, const char *name) { return Widgets::named(new QPushButton(parent), name); };

    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2);

    auto *scroll = Widgets::named(new FormScrollArea(this), "scrollArea_Parameters");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *form = Widgets::named(new QWidget(scroll), "widget_Parameters");
    auto *groups = new QVBoxLayout(form);
    groups->setSpacing(4);
    groups->setContentsMargins(0, 0, 0, 0);

    // Equipment.
    groupBox_Device = Widgets::named(new QGroupBox(form), "groupBox_Device");
    auto *deviceGrid = new QGridLayout(groupBox_Device);
    label_Field = label(groupBox_Device, "label_Field");
    label_Acquisition = label(groupBox_Device, "label_Acquisition");
    label_Criteria = label(groupBox_Device, "label_Criteria");
    comboBox_Field = comboBox(groupBox_Device, "comboBox_Field");
    comboBox_Acquisition = comboBox(groupBox_Device, "comboBox_Acquisition");
    comboBox_Criteria = comboBox(groupBox_Device, "comboBox_Criteria");
    pushButton_Scan1 = button(groupBox_Device, "pushButton_Scan1");
    pushButton_Scan2 = button(groupBox_Device, "pushButton_Scan2");
    pushButton_Scan3 = button(groupBox_Device, "pushButton_Scan3");
    const QList<QWidget *> deviceRows[3] = {{label_Field, comboBox_Field, pushButton_Scan1},
                                            {label_Acquisition, comboBox_Acquisition, pushButton_Scan2},
                                            {label_Criteria, comboBox_Criteria, pushButton_Scan3}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            deviceGrid->addWidget(deviceRows[r].at(c), r, c);
    deviceGrid->setColumnStretch(1, 1);

    // Reference probe.
    groupBox_Standard = Widgets::named(new QGroupBox(form), "groupBox_Standard");
    auto *standardGrid = new QGridLayout(groupBox_Standard);
    label_Mode = label(groupBox_Standard, "label_Mode");
    label_ChannelNumber = label(groupBox_Standard, "label_ChannelNumber");
    comboBox_Mode = comboBox(groupBox_Standard, "comboBox_Mode");
    comboBox_ChannelNumber = comboBox(groupBox_Standard, "comboBox_ChannelNumber");
    comboBox_Mode->addItems(ReferenceProbe::types());
    comboBox_ChannelNumber->addItems(ReferenceProbe::channels());
    standardGrid->addWidget(label_Mode, 0, 0);
    standardGrid->addWidget(comboBox_Mode, 0, 1);
    standardGrid->addWidget(label_ChannelNumber, 0, 2);
    standardGrid->addWidget(comboBox_ChannelNumber, 0, 3);
    label_R0 = label(groupBox_Standard, "label_R0");
    label_A = label(groupBox_Standard, "label_A");
    label_B = label(groupBox_Standard, "label_B");
    label_C = label(groupBox_Standard, "label_C");
    label_D = label(groupBox_Standard, "label_D");
    label_A4 = label(groupBox_Standard, "label_A4");
    label_B4 = label(groupBox_Standard, "label_B4");
    lineEdit_R0 = lineEdit(groupBox_Standard, "lineEdit_R0");
    lineEdit_A = lineEdit(groupBox_Standard, "lineEdit_A");
    lineEdit_B = lineEdit(groupBox_Standard, "lineEdit_B");
    lineEdit_C = lineEdit(groupBox_Standard, "lineEdit_C");
    lineEdit_D = lineEdit(groupBox_Standard, "lineEdit_D");
    lineEdit_A4 = lineEdit(groupBox_Standard, "lineEdit_A4");
    lineEdit_B4 = lineEdit(groupBox_Standard, "lineEdit_B4");
    // Type, channel and R0 on the first row, the six coefficients three a row below.
    const QPair<QLabel *, QLineEdit *> coefficients[] = {{label_R0, lineEdit_R0}, {label_A, lineEdit_A},
                                                        {label_B, lineEdit_B},   {label_C, lineEdit_C},
                                                        {label_D, lineEdit_D},   {label_A4, lineEdit_A4},
                                                        {label_B4, lineEdit_B4}};
    for (int i = 0; i < 7; ++i) {
        const int cell = i + 2;
        standardGrid->addWidget(coefficients[i].first, cell / 3, (cell % 3) * 2);
        standardGrid->addWidget(coefficients[i].second, cell / 3, (cell % 3) * 2 + 1);
    }
    for (int c : {1, 3, 5})
        standardGrid->setColumnStretch(c, 1);

    // Run parameters.
    groupBox_Parameter = Widgets::named(new QGroupBox(form), "groupBox_Parameter");
    auto *parameterGrid = new QGridLayout(groupBox_Parameter);
    label_Channel = label(groupBox_Parameter, "label_Channel");
    comboBox_Channel = comboBox(groupBox_Parameter, "comboBox_Channel");
    label_Points = label(groupBox_Parameter, "label_Points");
    parameterGrid->addWidget(label_Channel, 0, 0);
    parameterGrid->addWidget(comboBox_Channel, 0, 1, 1, 3);
    parameterGrid->addWidget(label_Points, 1, 0);
    const auto *temperature = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-0-9.]+$")), this);
    for (int i = 0; i < MaximumPoints; ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        label_Temp[i] = label(groupBox_Parameter, ("label_Temp" + n).constData());
        lineEdit_Temp[i] = lineEdit(groupBox_Parameter, ("lineEdit_Temp" + n).constData());
        lineEdit_Temp[i]->setValidator(temperature);
        checkBox_Temp[i] = Widgets::named(new QCheckBox(groupBox_Parameter), ("checkBox_Temp" + n).constData());
        // Three points a row, each its number, field and liquid flag.
        auto *cell = new QHBoxLayout;
        cell->setSpacing(4);
        cell->addWidget(label_Temp[i]);
        cell->addWidget(lineEdit_Temp[i], 1);
        cell->addWidget(checkBox_Temp[i]);
        parameterGrid->addLayout(cell, 1 + i / 3, 1 + i % 3);
    }
    label_Delay = label(groupBox_Parameter, "label_Delay");
    label_Delay_1 = label(groupBox_Parameter, "label_Delay_1");
    label_Index = label(groupBox_Parameter, "label_Index");
    label_Index_1 = label(groupBox_Parameter, "label_Index_1");
    lineEdit_Delay = lineEdit(groupBox_Parameter, "lineEdit_Delay");
    lineEdit_Index = lineEdit(groupBox_Parameter, "lineEdit_Index");
    lineEdit_Delay->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]+$")), this));
    lineEdit_Index->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]+$")), this));
    auto *delay = new QHBoxLayout;
    delay->addWidget(lineEdit_Delay, 1);
    delay->addWidget(label_Delay_1);
    auto *index = new QHBoxLayout;
    index->addWidget(label_Index);
    index->addWidget(lineEdit_Index, 1);
    index->addWidget(label_Index_1);
    parameterGrid->addWidget(label_Delay, 4, 0);
    parameterGrid->addLayout(delay, 4, 1);
    parameterGrid->addLayout(index, 4, 2, 1, 2);
    for (int c : {1, 2, 3})
        parameterGrid->setColumnStretch(c, 1);

    // Buttons.
    pushButton_Calibration = button(this, "pushButton_Calibration");
    pushButton_Verification = button(this, "pushButton_Verification");
    pushButton_ManualCalibration = button(this, "pushButton_ManualCalibration");
    pushButton_ManualVerification = button(this, "pushButton_ManualVerification");
    // Two by two, so that a longer caption (a stop text, another language) does not take the
    // form's width.
    auto *buttons = new QGridLayout;
    QPushButton *const order[] = {pushButton_Calibration, pushButton_Verification, pushButton_ManualCalibration,
                                  pushButton_ManualVerification};
    for (int i = 0; i < 4; ++i) {
        order[i]->setMinimumHeight(36);
        buttons->addWidget(order[i], i / 2, i % 2);
    }

    groups->addWidget(groupBox_Device);
    groups->addWidget(groupBox_Standard);
    groups->addWidget(groupBox_Parameter);
    groups->addStretch(1);
    scroll->setWidget(form);

    // Live displays and the chart.
    auto *right = new QVBoxLayout;
    groupBox_Live = Widgets::named(new QGroupBox(this), "groupBox_Live");
    auto *live = new QHBoxLayout(groupBox_Live);
    label_SetTemp = label(groupBox_Live, "label_SetTemp");
    label_CurrentTemp = label(groupBox_Live, "label_CurrentTemp");
    label_TempChange = label(groupBox_Live, "label_TempChange");
    lineEdit_SetTemp = lineEdit(groupBox_Live, "lineEdit_SetTemp");
    lineEdit_CurrentTemp = lineEdit(groupBox_Live, "lineEdit_CurrentTemp");
    lineEdit_TempChange = lineEdit(groupBox_Live, "lineEdit_TempChange");
    for (QLineEdit *e : {lineEdit_SetTemp, lineEdit_CurrentTemp, lineEdit_TempChange})
        e->setReadOnly(true);
    for (auto pair : {qMakePair(label_SetTemp, lineEdit_SetTemp), qMakePair(label_CurrentTemp, lineEdit_CurrentTemp),
                      qMakePair(label_TempChange, lineEdit_TempChange)}) {
        live->addWidget(pair.first);
        live->addWidget(pair.second, 1);
    }
    chartView = Widgets::named(new ChartView(this), "chartView");
    // One curve, named by the chart's title.
    chartView->chart()->legend()->hide();
    right->addWidget(groupBox_Live);
    right->addWidget(chartView, 1);
    right->addLayout(buttons);

    // The form keeps its width; the chart takes the rest.
    outer->addWidget(scroll, 0);
    outer->addLayout(right, 1);

    connect(pushButton_Scan1, &QPushButton::clicked, this, &Thermistor::pt_Scan1_clicked);
    connect(pushButton_Scan2, &QPushButton::clicked, this, &Thermistor::pt_Scan2_clicked);
    connect(pushButton_Scan3, &QPushButton::clicked, this, &Thermistor::pt_Scan3_clicked);
    connect(pushButton_Calibration, &QPushButton::clicked, this, &Thermistor::pt_Calibration_clicked);
    connect(pushButton_Verification, &QPushButton::clicked, this, &Thermistor::pt_Verification_clicked);
    connect(pushButton_ManualCalibration, &QPushButton::clicked, this, &Thermistor::pt_ManualCalibration_clicked);
    connect(pushButton_ManualVerification, &QPushButton::clicked, this, &Thermistor::pt_ManualVerification_clicked);
    // A device chosen anew starts from its own settings, not those of the one before.
    const QComboBox *boxes[3] = {comboBox_Field, comboBox_Acquisition, comboBox_Criteria};
    for (int role = 0; role < 3; ++role) {
        connect(boxes[role], &QComboBox::currentTextChanged, this, [this, role](const QString &name) {
            if (devices.at(size_t(role)).name != name)
                devices.at(size_t(role)) = ThermistorConnection::defaults(name);
        });
    }

    comboBox_Field->addItems(Names::baths());
    comboBox_Acquisition->addItems(Names::collectors());
    comboBox_Criteria->addItems(Names::references(CriteriaMorva1621::AdapterPresent()));
    retranslateUi();
}

void Thermistor::retranslateUi()
{
    groupBox_Device->setTitle(tr("设备选择"));
    label_Field->setText(tr("恒温设备："));
    label_Acquisition->setText(tr("测温仪器："));
    label_Criteria->setText(tr("标准器："));
    for (QPushButton *b : {pushButton_Scan1, pushButton_Scan2, pushButton_Scan3})
        b->setText(tr("通讯设置"));
    groupBox_Standard->setTitle(tr("标准探头"));
    label_Mode->setText(tr("探头类型："));
    label_ChannelNumber->setText(tr("通道："));
    label_R0->setText(tr("R0："));
    label_A->setText(tr("A："));
    label_B->setText(tr("B："));
    label_C->setText(tr("C："));
    label_D->setText(tr("D："));
    label_A4->setText(tr("A4："));
    label_B4->setText(tr("B4："));
    groupBox_Parameter->setTitle(tr("校准参数"));
    label_Channel->setText(tr("通道文件："));
    label_Points->setText(tr("温度点："));
    for (int i = 0; i < MaximumPoints; ++i) {
        label_Temp[i]->setText(QStringLiteral("%1").arg(i + 1));
        checkBox_Temp[i]->setText(tr("换液"));
        checkBox_Temp[i]->setToolTip(tr("这个点之后暂停，更换恒温槽液体"));
    }
    label_Delay->setText(tr("稳定延迟："));
    label_Delay_1->setText(tr("分钟"));
    label_Index->setText(tr("稳定指标："));
    label_Index_1->setText(QStringLiteral("℃"));
    groupBox_Live->setTitle(tr("实时数据"));
    chartView->chart()->setTitle(tr("标准温度"));
    label_SetTemp->setText(tr("设定温度："));
    label_CurrentTemp->setText(tr("当前温度："));
    label_TempChange->setText(tr("温度波动："));
    showRunning(probeRun && probeRun->isActive());
    pushButton_ManualCalibration->setText(tr("手动校准"));
    pushButton_ManualVerification->setText(tr("手动验证"));
}

void Thermistor::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

void Thermistor::showRunning(bool running)
{
    const bool calibrating = running && runMode == Mode::Calibration;
    const bool verifying = running && runMode == Mode::Verification;
    pushButton_Calibration->setText(calibrating ? tr("停止校准") : tr("自动校准"));
    pushButton_Verification->setText(verifying ? tr("停止验证") : tr("自动验证"));
    // Only an account that may add probe sets replaces their coefficients.
    const bool mayCalibrate = mayStoreCoefficients();
    pushButton_Calibration->setEnabled(calibrating || (!verifying && mayCalibrate));
    pushButton_Verification->setEnabled(!calibrating);
    for (QWidget *w : std::initializer_list<QWidget *>{groupBox_Device, groupBox_Standard, groupBox_Parameter,
                                                      pushButton_ManualVerification})
        w->setEnabled(!running);
    pushButton_ManualCalibration->setEnabled(!running && mayCalibrate);
}

void Thermistor::fillProbeSets()
{
    QList<Tool::Struct_Standardizer> sets;
    Tool::getStandardizer(sets, QString());
    comboBox_Channel->clear();
    for (const Tool::Struct_Standardizer &s : qAsConst(sets))
        comboBox_Channel->addItem(s.Name);
}

void Thermistor::ReadConfig()
{
    const auto ini = Tool::configFile();
    QComboBox *boxes[3] = {comboBox_Field, comboBox_Acquisition, comboBox_Criteria};
    for (int role = 0; role < 3; ++role) {
        const QString group = QLatin1String(DeviceGroups[role]);
        QString name = readDevice(*ini, group).name;
        if (boxes[role]->findText(name) < 0)
            name = boxes[role]->itemText(0);
        setDeviceSettings(DeviceRole(role), ThermistorConnection::read(*ini, group, name));
    }
    const ReferenceProbe p = readReferenceProbe(*ini);
    selectText(comboBox_Mode, p.type);
    selectText(comboBox_ChannelNumber, p.channel);
    lineEdit_A->setText(p.a);
    lineEdit_B->setText(p.b);
    lineEdit_C->setText(p.c);
    lineEdit_D->setText(p.d);
    lineEdit_R0->setText(p.r0);
    lineEdit_A4->setText(p.a4);
    lineEdit_B4->setText(p.b4);
    lineEdit_Delay->setText(ini->value(QStringLiteral("TStandardizer/Delay"), QStringLiteral("0")).toString());
    lineEdit_Index->setText(ini->value(QStringLiteral("TStandardizer/Index"), QStringLiteral("0.01")).toString());
    for (int n = 1; n <= MaximumPoints; ++n) {
        lineEdit_Temp[n - 1]->setText(ini->value(QStringLiteral("TSet/Temp%1").arg(n)).toString());
        checkBox_Temp[n - 1]->setChecked(ini->value(QStringLiteral("TSet/Liquid%1").arg(n)).toBool());
    }
    intervalSeconds = readInterval(*ini);
    residualLimit = readResidualLimit(*ini);
    const QString dropped = dropConfigPoints(*ini);
    if (!dropped.isEmpty())
        Messages::information(this, tr("提示"), dropped);
    if (!probeRun->loadLists())
        Messages::warning(this, tr("警告"), tr("读取已测量的温度点失败！"));
    selectText(comboBox_Channel, probeRun->lists().probeSet);
}

void Thermistor::watchSettings()
{
    // Each setting is written when it is changed here, and only that one.
    QComboBox *boxes[3] = {comboBox_Field, comboBox_Acquisition, comboBox_Criteria};
    for (int role = 0; role < 3; ++role)
        connect(boxes[role], &QComboBox::currentTextChanged, this, [this, role] { WriteConfig(Setting(role)); });
    const auto probe = [this] { WriteConfig(Setting::ReferenceProbe); };
    for (QComboBox *box : {comboBox_Mode, comboBox_ChannelNumber})
        connect(box, &QComboBox::currentTextChanged, this, probe);
    for (QLineEdit *e : {lineEdit_A, lineEdit_B, lineEdit_C, lineEdit_D, lineEdit_R0, lineEdit_A4, lineEdit_B4})
        connect(e, &QLineEdit::textChanged, this, probe);
    connect(lineEdit_Delay, &QLineEdit::textChanged, this, [this] { WriteConfig(Setting::Delay); });
    connect(lineEdit_Index, &QLineEdit::textChanged, this, [this] { WriteConfig(Setting::Index); });
    for (int i = 0; i < MaximumPoints; ++i) {
        connect(lineEdit_Temp[i], &QLineEdit::textChanged, this, [this] { WriteConfig(Setting::Points); });
        connect(checkBox_Temp[i], &QCheckBox::toggled, this, [this] { WriteConfig(Setting::Points); });
    }
}

void Thermistor::WriteConfig(Setting what)
{
    const auto ini = Tool::configFile();
    switch (what) {
    case Setting::Bath:
    case Setting::Collector:
    case Setting::Reference:
        writeDevice(*ini, QLatin1String(DeviceGroups[int(what)]), devices.at(size_t(what)));
        break;
    case Setting::ReferenceProbe:
        writeReferenceProbe(*ini, {comboBox_Mode->currentText(), comboBox_ChannelNumber->currentText(),
                                   lineEdit_A->text(), lineEdit_B->text(), lineEdit_C->text(), lineEdit_D->text(),
                                   lineEdit_R0->text(), lineEdit_A4->text(), lineEdit_B4->text()});
        break;
    case Setting::Delay:
        ini->setValue(QStringLiteral("TStandardizer/Delay"), lineEdit_Delay->text());
        break;
    case Setting::Index:
        ini->setValue(QStringLiteral("TStandardizer/Index"), lineEdit_Index->text());
        break;
    case Setting::Points: {
        QStringList texts;
        QList<bool> flags;
        for (int i = 0; i < MaximumPoints; ++i) {
            texts << lineEdit_Temp[i]->text();
            flags << checkBox_Temp[i]->isChecked();
        }
        writePointTexts(*ini, texts, flags);
        break;
    }
    }
    // TChannel/Channel names the set the stored points belong to: only a run writes it.
    ini->sync();
}

void Thermistor::reloadDevices()
{
    // Another window may have set a device's link since this page read it (the probe registry's
    // device import sets the collector's): a run uses what config.ini holds now.
    const auto ini = Tool::configFile();
    QComboBox *boxes[3] = {comboBox_Field, comboBox_Acquisition, comboBox_Criteria};
    for (int role = 0; role < 3; ++role)
        devices.at(size_t(role)) =
            ThermistorConnection::read(*ini, QLatin1String(DeviceGroups[role]), boxes[role]->currentText());
}

// ---------------------------------------------------------------------------------------------
// Start

bool Thermistor::checkForm(Mode mode)
{
    QList<Tool::Struct_Standardizer> sets;
    Tool::getStandardizerName(sets, comboBox_Channel->currentText());
    if (sets.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("获取通道文件错误！"));
        return false;
    }
    QStringList texts;
    QList<bool> flags;
    for (int i = 0; i < MaximumPoints; ++i) {
        texts << lineEdit_Temp[i]->text();
        flags << checkBox_Temp[i]->isChecked();
    }
    QVector<Point> collected;
    QString message;
    if (!collectPoints(texts, flags, collected, &message)
        || !(message = checkPlan(collected, readPlanLimits(*Tool::configFile()))).isEmpty()) {
        Messages::warning(this, tr("警告"), message);
        return false;
    }
    // With no index above zero the bath would never count as stable and the run would not end.
    bool indexOk = false;
    const double index = lineEdit_Index->text().toDouble(&indexOk);
    if (!indexOk || !(index > 0)) {
        Messages::warning(this, tr("警告"), tr("稳定指标必须大于0！"));
        return false;
    }
    probes = sets.first();
    points = collected;
    const bool calibration = mode == Mode::Calibration;
    QStringList shown;
    for (const Point &p : qAsConst(points))
        shown << QString::number(p.temperature);
    qDebug().noquote() << (calibration ? "校准文件：" : "验证文件：") + probes.Name;
    qDebug().noquote() << (calibration ? "校准温度：" : "验证温度：") + shown.join(QLatin1Char(','));
    // The points stored for this set are the database's, not what an earlier visit left here.
    if (!probeRun->loadLists(probes)) {
        Messages::warning(this, tr("警告"), tr("读取已测量的温度点失败！"));
        return false;
    }
    ResumeChoices choices;
    // Here No throws the completed points away: Return keeps them.
    choices.continueUnfinished = [&] {
        return Messages::question(this, tr("提示"), resumeQuestion(mode), QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::Yes)
            == QMessageBox::Yes;
    };
    // Here Yes throws them away: Return keeps them and starts nothing.
    choices.restartForOtherPlan = [&](const QString &plans) {
        return Messages::question(this, tr("提示"), plans + QLatin1Char('\n') + tr("是否放弃已测的点，按本次的计划重新开始？"),
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    };
    choices.notice = [&](const QString &notice) { Messages::information(this, tr("提示"), notice); };
    return prepareLists(probeRun->lists(), probes.Name, mode, points, choices);
}

bool Thermistor::GetParameter()
{
    return checkForm(Mode::Calibration);
}

bool Thermistor::GetParameter1()
{
    return checkForm(Mode::Verification);
}

ProbeCalibrationRun::Setup Thermistor::setupFromForm(Mode mode) const
{
    Run::Setup s;
    s.mode = mode;
    s.bath = devices[BathDevice];
    s.collector = devices[CollectorDevice];
    s.reference = devices[ReferenceDevice];
    s.referenceProbe = {comboBox_Mode->currentText(), comboBox_ChannelNumber->currentText(), lineEdit_A->text(),
                        lineEdit_B->text(), lineEdit_C->text(), lineEdit_D->text(), lineEdit_R0->text(),
                        lineEdit_A4->text(), lineEdit_B4->text()};
    s.probes = probes;
    s.points = points;
    s.delayMinutes = lineEdit_Delay->text().toInt();
    s.index = lineEdit_Index->text().toDouble();
    s.intervalSeconds = intervalSeconds;
    return s;
}

void Thermistor::pt_Calibration_clicked()
{
    startOrStop(Mode::Calibration);
}

void Thermistor::pt_Verification_clicked()
{
    startOrStop(Mode::Verification);
}

void Thermistor::startOrStop(Mode mode)
{
    if (probeRun->isActive()) {
        if (runMode == mode)
            probeRun->stop();
        return;
    }
    if (mode == Mode::Calibration && !mayStoreCoefficients()) {
        Messages::warning(this, tr("警告"), noRightText());
        return;
    }
    reloadDevices();
    if (mode == Mode::Calibration ? GetParameter() : GetParameter1())
        startRun(mode);
}

void Thermistor::startRun(Mode mode)
{
    const Run::Fault refused = probeRun->start(setupFromForm(mode));
    if (refused != Run::Fault::None) {
        Messages::warning(this, tr("警告"), Run::faultText(refused, mode));
        return;
    }
    runMode = mode;
    const auto [low, high] = std::minmax_element(points.begin(), points.end(), [](const Point &a, const Point &b) {
        return a.temperature < b.temperature;
    });
    chartView->SetSingleSeries(int(std::floor(low->temperature)), int(std::ceil(high->temperature)),
                               QDateTime::currentDateTime(), tr("标准温度"));
    lineEdit_SetTemp->clear();
    lineEdit_CurrentTemp->clear();
    lineEdit_TempChange->clear();
    showRunning(true);
}

// ---------------------------------------------------------------------------------------------
// What the run reports

void Thermistor::setFieldTemp(double temperature)
{
    lineEdit_SetTemp->setText(QString::number(temperature, 'f', 2));
    lineEdit_TempChange->clear();
}

void Thermistor::readingTaken(const ProbeCalibrationRun::Reading &reading)
{
    lineEdit_CurrentTemp->setText(QString::number(reading.value, 'f', 2));
    if (std::isfinite(reading.spread))
        lineEdit_TempChange->setText(QString::number(reading.spread, 'f', 3));
    chartView->AppendSample({QString::number(reading.value, 'f', 4)}, reading.time);
}

void Thermistor::runEnded(ProbeCalibrationRun::EndReason reason, ProbeCalibrationRun::Fault fault)
{
    showRunning(false);
    if (reason == Run::EndReason::Completed) {
        if (runMode == Mode::Calibration)
            emit Save_signals();
        else
            emit Verification_signals();
        return;
    }
    if (reason != Run::EndReason::Paused)
        auditEnd(runMode, probes.Name, Run::endText(reason, fault, runMode));
    emit MessageBox_signals(reason == Run::EndReason::Failed ? tr("警告") : tr("提示"),
                            Run::endText(reason, fault, runMode));
}

void Thermistor::MessageBox_slots(const QString &title, const QString &text)
{
    Messages::information(this, title, text);
}

void Thermistor::Save_slots()
{
    const Fit fit = fitCalibration(probeRun->lists(), probes.NumberChannels.toInt(), probes.ChannelNames.split(QLatin1Char(',')));
    if (!fit.ok) {
        auditEnd(Mode::Calibration, probes.Name, fit.message);
        Messages::warning(this, tr("警告"), fit.message);
        return;
    }
    if (!fit.probesOver(residualLimit).isEmpty()) {
        const QString text = residualQuestion(fit, probes, residualLimit);
        qDebug().noquote() << text;
        if (Messages::question(this, tr("提示"), text) != QMessageBox::Yes) {
            auditEnd(Mode::Calibration, probes.Name, notStoredText());
            Messages::information(this, tr("提示"), notStoredText());
            return;
        }
    }
    if (!mayStoreCoefficients()) {
        auditEnd(Mode::Calibration, probes.Name, noRightText());
        Messages::warning(this, tr("警告"), noRightText());
    } else if (storeFit(probes, fit)) {
        Messages::information(this, tr("提示"), tr("校准结束！"));
    } else {
        auditEnd(Mode::Calibration, probes.Name, tr("保存数据失败!"));
        Messages::warning(this, tr("警告"), tr("保存数据失败!"));
    }
}

void Thermistor::Verification_slots()
{
    const Analysis::ProbeSetVerdict verdict = Analysis::verifyProbeSet(
        probeRun->lists().verificationReferences, probeRun->lists().verificationReadings, probes.NumberChannels.toInt());
    qDebug().noquote() << verdict.message;
    auditEnd(Mode::Verification, probes.Name, verdictSummary(verdict, probes.ChannelNames.split(QLatin1Char(','))));
    if (verdict.ok)
        Messages::information(this, tr("提示"), verdict.message);
    else
        Messages::warning(this, tr("警告"), verdict.message);
}

void Thermistor::InputDialog_slots()
{
    bool accepted = false;
    const QString text = Messages::getText(this, tr("标准"), tr("请输入标准温度："), &accepted,
                                           QString::number(enteredReference, 'f', 4));
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (accepted && ok && v >= -120 && v <= 3000)
        enteredReference = v;
}

// ---------------------------------------------------------------------------------------------
// Connections and the manual dialog

void Thermistor::editConnection(DeviceRole role)
{
    DeviceSettings record = devices.at(size_t(role));
    if (!connectionEditor()(this, record))
        return;
    devices.at(size_t(role)) = record;
    WriteConfig(Setting(role));
}

void Thermistor::pt_Scan1_clicked()
{
    editConnection(BathDevice);
}

void Thermistor::pt_Scan2_clicked()
{
    editConnection(CollectorDevice);
}

void Thermistor::pt_Scan3_clicked()
{
    const QString name = comboBox_Criteria->currentText();
    if (name == Names::manual()) {
        Messages::information(this, tr("提示"), tr("无需设置通讯信息！"));
        return;
    }
    if (name == Names::ziviD()) {
        Messages::information(this, tr("提示"), tr("请直接设置恒温设备！"));
        return;
    }
    editConnection(ReferenceDevice);
}

void Thermistor::pt_ManualCalibration_clicked()
{
    openManual(Mode::Calibration);
}

void Thermistor::pt_ManualVerification_clicked()
{
    openManual(Mode::Verification);
}

void Thermistor::openManual(Mode mode)
{
    if (mode == Mode::Calibration && !mayStoreCoefficients()) {
        Messages::warning(this, tr("警告"), noRightText());
        return;
    }
    if (probeRun->isActive()) {
        Messages::information(this, tr("提示"), tr("设备正在运行中！"));
        return;
    }
    QList<Tool::Struct_Standardizer> sets;
    Tool::getStandardizerName(sets, comboBox_Channel->currentText());
    probes = sets.value(0);
    // The manual points follow the same plan rules as an automatic run.
    QStringList texts;
    QList<bool> flags;
    for (int i = 0; i < MaximumPoints; ++i) {
        texts << lineEdit_Temp[i]->text();
        flags << checkBox_Temp[i]->isChecked();
    }
    QVector<Point> planned;
    QString message;
    if (!collectPoints(texts, flags, planned, &message)
        || !(message = checkPlan(planned, readPlanLimits(*Tool::configFile()))).isEmpty()) {
        Messages::warning(this, tr("警告"), message);
        return;
    }
    points = planned;
    if (!probes.Number.isEmpty() && !probeRun->loadLists(probes)) {
        Messages::warning(this, tr("警告"), tr("读取已测量的温度点失败！"));
        return;
    }
    probeRun->lists().points = planned;
    probeRun->saveLists();
    reloadDevices();
    QStringList shown;
    for (int i = 0; i < MaximumPoints && !lineEdit_Temp[i]->text().isEmpty(); ++i)
        shown << lineEdit_Temp[i]->text();
    qDebug().noquote() << (mode == Mode::Calibration ? "手动校准" : "手动验证") << probes.Name
                       << shown.join(QLatin1Char(','));
    Run::Setup setup = setupFromForm(mode);
    setup.probes = probes;
    manualDialog()(this, setup);
    if (!probes.Number.isEmpty() && !probeRun->loadLists(probes))
        Messages::warning(this, tr("警告"), tr("读取已测量的温度点失败！"));
}
