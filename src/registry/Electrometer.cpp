#include "registry/Electrometer.h"
#include "ui_Electrometer.h"

#include "app/messages.h"
#include "store/auditdiff.h"
#include "app/widgets.h"
#include "instruments/Collection1611A.h"
#include "registry/CalibrationDates.h"
#include "registry/InputChecks.h"
#include "registry/RegistryForm.h"
#include "store/instrumentvalidity.h"
#include "store/textchecks.h"

#include <QColor>
#include <QDateTime>
#include <QEvent>
#include <QEventLoop>

namespace {

const char *const NameKey = "测温仪设备名称";
const char *const ModelKey = "测温仪设备型号";
const char *const ManufacturerKey = "测温仪设备制造单位";

// Columns of the number and of the calibration state in the list (record order).
constexpr int NumberColumn = 0;
constexpr int StateColumn = 5;

const QString Network = QStringLiteral("网络");
const QString Serial = QStringLiteral("串口");

const QStringList &linkTypes()
{
    static const QStringList words = {Network, Serial};
    return words;
}

const QStringList &calibrationStates()
{
    static const QStringList words = {QStringLiteral("正常"), QStringLiteral("过期")};
    return words;
}

const QStringList &baudRates()
{
    static const QStringList rates = {QStringLiteral("4800"),  QStringLiteral("9600"),
                                      QStringLiteral("14400"), QStringLiteral("19200"),
                                      QStringLiteral("38400"), QStringLiteral("56000"),
                                      QStringLiteral("57600"), QStringLiteral("115200")};
    return rates;
}

} // namespace

using RegistryForm::selectOrAdd;

Electrometer::Electrometer(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::Electrometer>())
{
    ui->setupUi(this);
    Widgets::paintBackground(this);

    RegistryForm::loadValues(ui->comboBox_DeviceName, NameKey);
    RegistryForm::loadValues(ui->comboBox_DeviceModel, ModelKey);
    RegistryForm::loadValues(ui->comboBox_Manufacturer, ManufacturerKey);
    fillFixedLists();

    ui->lineEdit_CalibrationCycle->setText(CalibrationDates::minuteText(QDateTime::currentDateTime()));
    ui->lineEdit_Com->setText(QStringLiteral("192.168.1.1"));
    ui->lineEdit_BaudRate->setText(QStringLiteral("5980"));
    // A port that is not listed (a pseudo-terminal, an adapter plugged in later) can be typed.
    ui->comboBox_Com->setEditable(true);

    RegistryForm::setUpList(ui->tableWidget_List);
    RegistryForm::applyRight(ui->pushButton_Add, Right::ElectrometerAdd);
    RegistryForm::applyRight(ui->pushButton_Modify, Right::ElectrometerModify);
    RegistryForm::applyRight(ui->pushButton_Delete, Right::ElectrometerDelete);
    RegistryForm::applyRight(ui->pushButton_Scan, Right::ElectrometerScan);

    collector = new Collection1611A(this);

    connect(ui->pushButton_Scan, &QPushButton::clicked, this, &Electrometer::pt_Scan_clicked);
    connect(ui->pushButton_Add, &QPushButton::clicked, this, &Electrometer::pt_Add_clicked);
    connect(ui->pushButton_Modify, &QPushButton::clicked, this, &Electrometer::pt_Modify_clicked);
    connect(ui->pushButton_Delete, &QPushButton::clicked, this, &Electrometer::pt_Delete_clicked);
    connect(ui->comboBox_Communication, &QComboBox::currentTextChanged, this,
            &Electrometer::cb_Communication_clicked);
    connect(ui->tableWidget_List, &QTableWidget::cellDoubleClicked, this, &Electrometer::pt_TableWidget_clicked);
    // The form shows the highlighted instrument: modify and delete act on what it shows.
    RegistryForm::onHighlight(ui->tableWidget_List, NumberColumn, [this](const QString &number) { openRecord(number); });
    connect(this, &Electrometer::MessageBox_signals, this, &Electrometer::MessageBox_slots, Qt::QueuedConnection);
    connect(this, &Electrometer::ScanResult_signals, this, &Electrometer::ScanResult_slots, Qt::QueuedConnection);

    cb_Communication_clicked(ui->comboBox_Communication->currentText());
    refreshList();
}

Electrometer::~Electrometer()
{
    closing = true;
    joinScan();
}

void Electrometer::joinScan()
{
    if (!scanThread.joinable())
        return;
    // The driver works in this thread's event loop: let it run until the test has ended.
    QEventLoop loop;
    connect(this, &Electrometer::ScanResult_signals, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    if (scanRunning.load())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    scanThread.join();
}

bool Electrometer::isRunning() const
{
    return scanRunning.load();
}

void Electrometer::fillFixedLists()
{
    const QSignalBlocker blocker(ui->comboBox_Communication);
    const QString mode = Tool::toStoredText(ui->comboBox_Communication->currentText());
    const int state = ui->comboBox_CalibrationState->currentIndex();
    ui->comboBox_Communication->clear();
    ui->comboBox_Communication->addItems(Tool::toDisplayTextList(linkTypes()));
    selectOrAdd(ui->comboBox_Communication, Tool::toDisplayText(mode.isEmpty() ? Network : mode));
    ui->comboBox_CalibrationState->clear();
    ui->comboBox_CalibrationState->addItems(Tool::toDisplayTextList(calibrationStates()));
    ui->comboBox_CalibrationState->setCurrentIndex(qMax(state, 0));
}

void Electrometer::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        fillFixedLists();
        const Link link = formLink();
        showLink(link.mode, link.address, link.port);
        refreshList();
    }
    QWidget::changeEvent(event);
}

void Electrometer::cb_Communication_clicked(const QString &text)
{
    const bool serial = Tool::toStoredText(text) == Serial;
    ui->label_Com->setText(serial ? tr("串口号：") : tr("IP地址："));
    ui->label_BaudRate->setText(serial ? tr("波特率：") : tr("端口号："));
    ui->lineEdit_Com->setVisible(!serial);
    ui->lineEdit_BaudRate->setVisible(!serial);
    ui->comboBox_Com->setVisible(serial);
    ui->comboBox_BaudRate->setVisible(serial);
    if (serial) {
        ui->comboBox_Com->clear();
        ui->comboBox_Com->addItems(Tool::serialPortNames());
        ui->comboBox_BaudRate->clear();
        ui->comboBox_BaudRate->addItems(baudRates());
    }
}

void Electrometer::showLink(const QString &mode, const QString &address, const QString &port)
{
    selectOrAdd(ui->comboBox_Communication, Tool::toDisplayText(mode));
    // Selecting the same type again sends no change: set the labels and lists in any case.
    cb_Communication_clicked(ui->comboBox_Communication->currentText());
    if (mode == Serial) {
        ui->comboBox_Com->setCurrentText(address);
        selectOrAdd(ui->comboBox_BaudRate, port);
    } else {
        ui->lineEdit_Com->setText(address);
        ui->lineEdit_BaudRate->setText(port);
    }
}

Electrometer::Link Electrometer::formLink() const
{
    Link link;
    link.mode = Tool::toStoredText(ui->comboBox_Communication->currentText());
    if (link.mode == Serial) {
        link.address = ui->comboBox_Com->currentText().trimmed();
        link.port = ui->comboBox_BaudRate->currentText().trimmed();
    } else {
        link.address = ui->lineEdit_Com->text().trimmed();
        link.port = ui->lineEdit_BaudRate->text().trimmed();
    }
    return link;
}

void Electrometer::refreshList()
{
    RegistryForm::clearList(ui->tableWidget_List);
    QList<Tool::Struct_Electrometer> devices;
    if (!Tool::getElectrometer(devices, QString()))
        return;
    const QDateTime now = QDateTime::currentDateTime();
    for (Tool::Struct_Electrometer d : devices) {
        // The state shown follows the validity date, as the PCR instruments' does.
        const auto validity = InstrumentValidity::of(d.CalibrationCycle, d.CalibrationState, now);
        if (validity == InstrumentValidity::Validity::Overdue)
            d.CalibrationState = QString::fromUtf8(CalibrationDates::Overdue);
        else if (validity == InstrumentValidity::Validity::NotCalibrated)
            d.CalibrationState = QString::fromUtf8(CalibrationDates::NotCalibrated);
        d.CalibrationState = Tool::toDisplayText(d.CalibrationState);
        d.SignalMode = Tool::toDisplayText(d.SignalMode);
        RegistryForm::appendRow(ui->tableWidget_List, d.values());
        if (validity == InstrumentValidity::Validity::Overdue)
            ui->tableWidget_List->item(ui->tableWidget_List->rowCount() - 1, StateColumn)->setForeground(QColor(255, 0, 0));
    }
}

int Electrometer::gatherForm(Tool::Struct_Electrometer &device)
{
    const Link link = formLink();
    device.Number = ui->lineEdit_Number->text().trimmed();
    device.DeviceName = ui->comboBox_DeviceName->currentText().trimmed();
    device.DeviceModel = ui->comboBox_DeviceModel->currentText().trimmed();
    device.Manufacturer = ui->comboBox_Manufacturer->currentText().trimmed();
    device.SerialNumber = ui->lineEdit_SerialNumber->text().trimmed();
    device.CalibrationState = Tool::toStoredText(ui->comboBox_CalibrationState->currentText());
    device.CertificateNumber = ui->lineEdit_CertificateNumber->text().trimmed();
    device.CalibrationCycle = ui->lineEdit_CalibrationCycle->text();   // checked by checkValues
    device.Uncertain = ui->lineEdit_Uncertain->text().trimmed();
    device.SignalMode = link.mode;
    device.IP_COM = link.address;
    device.Port_BaudRate = link.port;

    // The values are remembered even when the record is refused below.
    RegistryForm::rememberValues(this, {{ui->comboBox_DeviceName, NameKey},
                                        {ui->comboBox_DeviceModel, ModelKey},
                                        {ui->comboBox_Manufacturer, ManufacturerKey}});

    if (device.Number.isEmpty())
        return 1;
    if (device.DeviceName.isEmpty())
        return 2;
    if (device.SerialNumber.isEmpty())
        return 3;
    return 0;
}

QString Electrometer::checkValues(const Tool::Struct_Electrometer &device)
{
    if (TextChecks::anyHasControlCharacters(device.values()))
        return TextChecks::refusalText();
    if (!RegistryForm::isUsableKey(device.Number))
        return tr("编号不能包含“--”！");
    // "Valid until" is stored as typed, "yyyy-MM-dd hh:mm", or empty.
    QString stored;
    if (!CalibrationDates::storedFromTyped(device.CalibrationCycle, &stored))
        return tr("有效期格式错误！");
    // The certificate's uncertainty is worked out from it: a text without a value is no uncertainty.
    if (!device.Uncertain.isEmpty() && !InputChecks::hasNumber(device.Uncertain))
        return tr("不确定度应为数值，例如 0.1 或 U=0.1℃ (k=2)！");
    // The calibration run opens the instrument with these: refuse what can never connect.
    if (device.SignalMode == Network) {
        bool number = false;
        const int port = device.Port_BaudRate.toInt(&number);
        if (device.IP_COM.isEmpty() || !number || port < 1 || port > 65535)
            return tr("请输入IP地址和1到65535之间的端口号！");
    } else if (device.SignalMode == Serial && device.IP_COM.isEmpty()) {
        return tr("请选择串口号！");
    }
    return QString();
}

bool Electrometer::readForm(Tool::Struct_Electrometer &device)
{
    gatherForm(device);
    // The model is printed with the standard on every certificate.
    const QString missing = InputChecks::firstMissing({{tr("编号"), device.Number}, {tr("设备名称"), device.DeviceName},
                                                       {tr("设备型号"), device.DeviceModel},
                                                       {tr("序列号"), device.SerialNumber}});
    if (!missing.isEmpty()) {
        Messages::warning(this, tr("警告"), InputChecks::missingText(missing));
        return false;
    }
    const QString problem = checkValues(device);
    if (!problem.isEmpty()) {
        Messages::warning(this, tr("警告"), problem);
        return false;
    }
    // An editor left empty shows only the mask's separators.
    QString stored;
    CalibrationDates::storedFromTyped(device.CalibrationCycle, &stored);
    device.CalibrationCycle = stored.isEmpty() ? QString() : device.CalibrationCycle.trimmed();
    return true;
}

void Electrometer::pt_Add_clicked()
{
    Tool::Struct_Electrometer device;
    if (!readForm(device))
        return;

    QList<Tool::Struct_Electrometer> existing;
    const bool free = Tool::getElectrometer(existing, device.Number) && existing.isEmpty();
    if (!free || !Tool::addElectrometer(device)) {
        Messages::warning(this, tr("警告"), tr("添加数据失败！") + QLatin1Char('\n') + tr("编号或名称重复。"));
        return;
    }
    refreshList();
    Tool::SaveAuditLog(AuditEvent::ElectrometerAdd, tr("测温仪添加：") + device.DeviceName);
    // The new instrument is the highlighted one, shown as stored.
    selectedNumber = device.Number;
    RegistryForm::selectKey(ui->tableWidget_List, NumberColumn, device.Number);
}

void Electrometer::pt_Modify_clicked()
{
    const QString highlighted = RegistryForm::currentKey(ui->tableWidget_List, NumberColumn);
    if (highlighted.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("请先选择设备"));
        return;
    }
    Tool::Struct_Electrometer device;
    if (!readForm(device))
        return;
    // The number is the record's key: another number would change another instrument.
    if (device.Number != highlighted) {
        Messages::warning(this, tr("警告"), tr("修改数据失败!") + QLatin1Char('\n') + tr("编号不能修改。"));
        return;
    }

    QList<Tool::Struct_Electrometer> existing;
    if (!Tool::getElectrometer(existing, device.Number) || existing.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("修改数据失败!") + QLatin1Char('\n') + tr("编号不存在。"));
        return;
    }
    if (!Tool::ModifyElectrometer(device)) {
        Messages::warning(this, tr("警告"), tr("修改数据失败!"));
        return;
    }
    refreshList();
    RegistryForm::selectKey(ui->tableWidget_List, NumberColumn, device.Number);
    using D = Tool::Struct_Electrometer;
    const QString changes = AuditDiff::between<D>(
        existing.first(), device,
        {{tr("设备名称"), &D::DeviceName}, {tr("设备型号"), &D::DeviceModel}, {tr("制造单位"), &D::Manufacturer},
         {tr("序列号"), &D::SerialNumber}, {tr("校准状态"), &D::CalibrationState},
         {tr("证书编号"), &D::CertificateNumber}, {tr("有效期"), &D::CalibrationCycle},
         {tr("不确定度"), &D::Uncertain}, {tr("通讯方式"), &D::SignalMode}, {tr("IP地址"), &D::IP_COM},
         {tr("端口号"), &D::Port_BaudRate}});
    Tool::SaveAuditLog(AuditEvent::ElectrometerModify, AuditDiff::sentence(tr("测温仪修改：") + device.DeviceName, changes));
}

void Electrometer::pt_Delete_clicked()
{
    const QString number = RegistryForm::currentKey(ui->tableWidget_List, NumberColumn);
    QList<Tool::Struct_Electrometer> devices;
    if (number.isEmpty() || !Tool::getElectrometer(devices, number) || devices.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("请先选择设备"));
        return;
    }
    if (!RegistryForm::confirmDelete(this, number, devices.first().DeviceName, &Tool::deleteElectrometer,
                                     tr("删除数据库失败!")))
        return;
    refreshList();
    Tool::SaveAuditLog(AuditEvent::ElectrometerDelete, tr("测温仪删除编号为：") + number);
    selectedNumber.clear();
}

void Electrometer::pt_TableWidget_clicked(int row, int)
{
    const QTableWidgetItem *item = ui->tableWidget_List->item(row, NumberColumn);
    if (!item)
        return;
    // Highlighting the row opens it; a second open reloads the stored values.
    const QString number = item->text();
    ui->tableWidget_List->selectRow(row);
    openRecord(number);
}

void Electrometer::openRecord(const QString &number)
{
    QList<Tool::Struct_Electrometer> devices;
    if (!Tool::getElectrometer(devices, number) || devices.isEmpty())
        return;
    const Tool::Struct_Electrometer &device = devices.first();
    fillForm(device);
    // Viewing is audited once per instrument opened, however it was highlighted.
    if (selectedNumber == device.Number)
        return;
    selectedNumber = device.Number;
    Tool::SaveAuditLog(AuditEvent::ElectrometerView, tr("测温仪查看：") + device.DeviceName);
}

void Electrometer::fillForm(const Tool::Struct_Electrometer &device)
{
    ui->lineEdit_Number->setText(device.Number);
    ui->comboBox_DeviceName->setCurrentText(device.DeviceName);
    ui->comboBox_DeviceModel->setCurrentText(device.DeviceModel);
    ui->comboBox_Manufacturer->setCurrentText(device.Manufacturer);
    ui->lineEdit_SerialNumber->setText(device.SerialNumber);
    selectOrAdd(ui->comboBox_CalibrationState, Tool::toDisplayText(device.CalibrationState));
    ui->lineEdit_CertificateNumber->setText(device.CertificateNumber);
    ui->lineEdit_CalibrationCycle->setText(device.CalibrationCycle);
    ui->lineEdit_Uncertain->setText(device.Uncertain);
    showLink(device.SignalMode, device.IP_COM, device.Port_BaudRate);
}

void Electrometer::pt_Scan_clicked()
{
    if (scanRunning.load())
        return;
    if (scanThread.joinable())
        scanThread.join();   // the last test has ended: its thread only has to be collected
    const Link form = formLink();
    const LinkSettings link = LinkSettings::fromStored(form.mode, form.address, form.port);
    if (!link.isValid()) {
        Messages::warning(this, tr("警告"), tr("设备连接失败！") + QLatin1Char('\n') + link.problemText());
        return;
    }
    ui->pushButton_Scan->setEnabled(false);
    scanRunning = true;
    scanThread = std::thread(&Electrometer::therad_Scan, this, link);
}

void Electrometer::therad_Scan(LinkSettings link)
{
    QString identity;
    QString title = tr("警告");
    QString text;
    if (!collector->OpenLink(link)) {
        text = tr("设备连接失败！");
    } else if (collector->GetIdentity(identity)) {
        collector->Close();
        title = tr("提示");
        text = tr("测试成功！");
    } else {
        collector->Close();
        identity.clear();
        text = tr("获取序列号失败！");
    }
    // The form first (serial number, button), then the box.
    scanRunning = false;
    emit ScanResult_signals(identity);
    emit MessageBox_signals(title, text);
}

void Electrometer::ScanResult_slots(const QString &identity)
{
    ui->pushButton_Scan->setEnabled(Tool::hasRight(Right::ElectrometerScan));
    if (!identity.isEmpty()) {
        ui->lineEdit_SerialNumber->setText(identity);
        ui->lineEdit_SerialNumber->setCursorPosition(0);
    }
}

void Electrometer::MessageBox_slots(const QString &title, const QString &text)
{
    if (closing)
        return;
    Messages::information(this, title, text);
}
