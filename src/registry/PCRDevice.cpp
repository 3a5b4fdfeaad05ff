#include "registry/PCRDevice.h"
#include "ui_PCRDevice.h"

#include "app/messages.h"
#include "store/auditdiff.h"
#include "app/widgets.h"
#include "registry/CalibrationDates.h"
#include "registry/InputChecks.h"
#include "registry/PerformanceProfileBox.h"
#include "registry/RegistryForm.h"
#include "store/textchecks.h"

#include <QDateTime>
#include <QEvent>

namespace {

const char *const NameKey = "PCR设备名称";
const char *const ModelKey = "PCR设备型号";
const char *const ManufacturerKey = "PCR设备制造单位";

const QStringList &modes()
{
    static const QStringList words = {QStringLiteral("标准"), QStringLiteral("内校")};
    return words;
}

const QStringList &states()
{
    static const QStringList words = {QString::fromUtf8(CalibrationDates::NotCalibrated),
                                      QString::fromUtf8(CalibrationDates::Calibrated),
                                      QString::fromUtf8(CalibrationDates::Overdue)};
    return words;
}

enum Column { StateColumn = 0, NumberColumn = 1 };

} // namespace

PCRDevice::PCRDevice(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::PCRDevice>())
{
    ui->setupUi(this);
    Widgets::paintBackground(this);

    RegistryForm::loadValues(ui->comboBox_DeviceName, NameKey);
    RegistryForm::loadValues(ui->comboBox_DeviceModel, ModelKey);
    RegistryForm::loadValues(ui->comboBox_Manufacturer, ManufacturerKey);
    fillFixedLists();
    // Their words, in either language and at the window's smallest size, set the minimum width.
    for (QComboBox *box : {ui->comboBox_CalibrationMode, ui->comboBox_CalibrationState}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        box->setMinimumSize(0, 0);
    }
    // Derived from the date and cycle, never chosen; it stays readable rather than greyed out.
    ui->comboBox_CalibrationState->setFocusPolicy(Qt::NoFocus);
    ui->comboBox_CalibrationState->setAttribute(Qt::WA_TransparentForMouseEvents);

    // No validator on the cycle: letters are refused with a message when saving, not dropped.
    const QString now = CalibrationDates::minuteText(QDateTime::currentDateTime());
    ui->lineEdit_CalibrationDate->setText(now);
    ui->lineEdit_Stability->setText(now);
    typedDatesChanged();

    RegistryForm::setUpList(ui->tableWidget_List);
    RegistryForm::applyRight(ui->pushButton_Add, Right::PCRDeviceAdd);
    RegistryForm::applyRight(ui->pushButton_Modify, Right::PCRDeviceModify);
    RegistryForm::applyRight(ui->pushButton_Delete, Right::PCRDeviceDelete);

    connect(ui->pushButton_Add, &QPushButton::clicked, this, &PCRDevice::pt_PCRAdd_clicked);
    connect(ui->pushButton_Modify, &QPushButton::clicked, this, &PCRDevice::pt_PCRModify_clicked);
    connect(ui->pushButton_Delete, &QPushButton::clicked, this, &PCRDevice::pt_PCRDelete_clicked);
    connect(ui->tableWidget_List, &QTableWidget::cellDoubleClicked, this, &PCRDevice::pt_TableWidget_clicked);
    // The form shows the highlighted instrument: modify and delete act on what it shows.
    RegistryForm::onHighlight(ui->tableWidget_List, NumberColumn, [this](const QString &number) { openRecord(number); });
    // The recheck date and state follow what the user types.
    connect(ui->lineEdit_CalibrationDate, &QLineEdit::textEdited, this, &PCRDevice::typedDatesChanged);
    connect(ui->lineEdit_CalibrationCycle, &QLineEdit::textEdited, this, &PCRDevice::typedDatesChanged);

    profileBox = new PerformanceProfileBox(this);
    ui->verticalLayout->insertWidget(1, profileBox);
    connect(ui->comboBox_DeviceModel, &QComboBox::currentTextChanged, profileBox, &PerformanceProfileBox::showModel);
    profileBox->showModel(ui->comboBox_DeviceModel->currentText());

    refreshList();
}

PCRDevice::~PCRDevice() = default;

void PCRDevice::fillFixedLists()
{
    const int mode = ui->comboBox_CalibrationMode->currentIndex();
    const int state = ui->comboBox_CalibrationState->currentIndex();
    ui->comboBox_CalibrationMode->clear();
    ui->comboBox_CalibrationMode->addItems(Tool::toDisplayTextList(modes()));
    ui->comboBox_CalibrationMode->setCurrentIndex(qMax(mode, 0));
    ui->comboBox_CalibrationState->clear();
    ui->comboBox_CalibrationState->addItems(Tool::toDisplayTextList(states()));
    ui->comboBox_CalibrationState->setCurrentIndex(qMax(state, 0));
}

void PCRDevice::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        fillFixedLists();
        refreshList();
    }
    QWidget::changeEvent(event);
}

void PCRDevice::refreshList()
{
    RegistryForm::clearList(ui->tableWidget_List);
    QList<Tool::Struct_PCRDevice> devices;
    if (!Tool::getPCRDevice(devices, QString()))
        return;
    const QDateTime now = QDateTime::currentDateTime();
    for (const Tool::Struct_PCRDevice &d : devices) {
        const QString state = CalibrationDates::state(d.CalibrationDate, d.CalibrationCycle, now);
        const int row = RegistryForm::appendRow(
            ui->tableWidget_List,
            {Tool::toDisplayText(state), d.Number, d.DeviceName, d.DeviceModel, d.SerialNumber,
             d.Manufacturer, Tool::toDisplayText(d.CalibrationMode), d.CalibrationDate,
             d.CalibrationCycle, d.CertificateNumber, d.Remarks});
        if (state == QString::fromUtf8(CalibrationDates::Overdue))
            ui->tableWidget_List->item(row, StateColumn)->setForeground(QColor(255, 0, 0));
    }
}

int PCRDevice::gatherForm(Tool::Struct_PCRDevice &device)
{
    device.Number = ui->lineEdit_Number->text().trimmed();
    device.DeviceName = ui->comboBox_DeviceName->currentText().trimmed();
    device.DeviceModel = ui->comboBox_DeviceModel->currentText().trimmed();
    device.SerialNumber = ui->lineEdit_SerialNumber->text().trimmed();
    device.Manufacturer = ui->comboBox_Manufacturer->currentText().trimmed();
    device.CalibrationMode = Tool::toStoredText(ui->comboBox_CalibrationMode->currentText());
    device.CalibrationDate = ui->lineEdit_CalibrationDate->text();   // checked by checkValues
    device.CalibrationCycle = ui->lineEdit_CalibrationCycle->text().trimmed();
    device.CertificateNumber = ui->lineEdit_CertificateNumber->text().trimmed();
    device.Remarks = ui->lineEdit_AccuracyGrade->text().trimmed();

    // The values are remembered even when the record is refused below.
    RegistryForm::rememberValues(this, {{ui->comboBox_DeviceName, NameKey},
                                        {ui->comboBox_DeviceModel, ModelKey},
                                        {ui->comboBox_Manufacturer, ManufacturerKey}});

    if (device.Number.isEmpty())
        return 1;
    if (device.SerialNumber.isEmpty())
        return 2;
    if (device.CertificateNumber.isEmpty())
        return 3;
    return 0;
}

QString PCRDevice::checkValues(const Tool::Struct_PCRDevice &device, bool withDate)
{
    if (TextChecks::anyHasControlCharacters(device.values()))
        return TextChecks::refusalText();
    if (!RegistryForm::isUsableKey(device.Number))
        return tr("编号不能包含“--”！");
    if (!CalibrationDates::isValidCycle(device.CalibrationCycle))
        return tr("校准周期应为不小于0的整数月！");
    QString stored;
    if (withDate && !CalibrationDates::storedFromTyped(device.CalibrationDate, &stored))
        return tr("校准日期格式错误！");
    // A date ahead would show an instrument as calibrated that has not been yet.
    if (withDate && !stored.isEmpty()
        && !InputChecks::notInFuture(CalibrationDates::parse(stored), QDateTime::currentDateTime()))
        return tr("校准日期不能晚于当前时间！");
    return QString();
}

bool PCRDevice::clashes(const Tool::Struct_PCRDevice &device, const QString &except)
{
    QList<Tool::Struct_PCRDevice> devices;
    if (!Tool::getPCRDevice(devices, QString()))
        return true;   // cannot tell: write nothing
    for (const Tool::Struct_PCRDevice &d : devices) {
        if (d.Number == except)
            continue;
        if (d.Number == device.Number || d.SerialNumber == device.SerialNumber)
            return true;
    }
    return false;
}

bool PCRDevice::readForm(Tool::Struct_PCRDevice &device, bool withDate)
{
    gatherForm(device);
    // Name, model and manufacturer go on the certificate and into the audit trail as well.
    const QString missing = InputChecks::firstMissing(
        {{tr("编号"), device.Number}, {tr("设备名称"), device.DeviceName}, {tr("设备型号"), device.DeviceModel},
         {tr("序列号"), device.SerialNumber}, {tr("制造单位"), device.Manufacturer},
         {tr("证书号"), device.CertificateNumber}});
    if (!missing.isEmpty()) {
        Messages::warning(this, tr("警告"), InputChecks::missingText(missing));
        return false;
    }
    const QString problem = checkValues(device, withDate);
    if (!problem.isEmpty()) {
        Messages::warning(this, tr("警告"), problem);
        return false;
    }
    return true;
}

void PCRDevice::pt_PCRAdd_clicked()
{
    Tool::Struct_PCRDevice device;
    if (!readForm(device, true))
        return;
    // The date the form shows (an instrument calibrated before it was registered); an emptied
    // editor leaves it uncalibrated.
    CalibrationDates::storedFromTyped(device.CalibrationDate, &device.CalibrationDate);
    if (clashes(device, QString()) || !Tool::addPCRDevice(device)) {
        Messages::warning(this, tr("警告"), tr("添加数据失败！") + QLatin1Char('\n') + tr("编号或序列号重复。"));
        return;
    }
    refreshList();
    Tool::SaveAuditLog(AuditEvent::PCRDeviceAdd, tr("PCR设备添加：") + device.DeviceName);
    // The new instrument is the highlighted one, shown as stored.
    selectedNumber = device.Number;
    RegistryForm::selectKey(ui->tableWidget_List, NumberColumn, device.Number);
}

void PCRDevice::pt_PCRModify_clicked()
{
    const QString highlighted = RegistryForm::currentKey(ui->tableWidget_List, NumberColumn);
    if (highlighted.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("请先选择设备!"));
        return;
    }
    Tool::Struct_PCRDevice device;
    if (!readForm(device, true))
        return;
    // The number is the record's key: another number would change another instrument.
    if (device.Number != highlighted) {
        Messages::warning(this, tr("警告"), tr("修改数据失败!") + QLatin1Char('\n') + tr("编号不能修改。"));
        return;
    }
    // The date of the opened instrument keeps its seconds while its minute is unchanged.
    const QString typedDate = device.CalibrationDate.trimmed();
    if (!openedCalibrationDate.isEmpty() && device.Number == selectedNumber
        && typedDate == CalibrationDates::minuteText(CalibrationDates::parse(openedCalibrationDate)))
        device.CalibrationDate = openedCalibrationDate;
    else
        CalibrationDates::storedFromTyped(typedDate, &device.CalibrationDate);

    QList<Tool::Struct_PCRDevice> existing;
    if (!Tool::getPCRDevice(existing, device.Number) || existing.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("修改数据失败!") + QLatin1Char('\n') + tr("编号不存在。"));
        return;
    }
    if (clashes(device, device.Number)) {
        Messages::warning(this, tr("警告"), tr("修改数据失败!") + QLatin1Char('\n') + tr("编号或序列号重复。"));
        return;
    }
    if (!Tool::ModifyPCRDevice(device)) {
        Messages::warning(this, tr("警告"), tr("修改数据失败!"));
        return;
    }
    refreshList();
    RegistryForm::selectKey(ui->tableWidget_List, NumberColumn, device.Number);
    showDerived(device.CalibrationDate, device.CalibrationCycle);
    openedCalibrationDate = device.CalibrationDate;
    using D = Tool::Struct_PCRDevice;
    const QString changes = AuditDiff::between<D>(
        existing.first(), device,
        {{tr("设备名称"), &D::DeviceName}, {tr("设备型号"), &D::DeviceModel}, {tr("序列号"), &D::SerialNumber},
         {tr("制造单位"), &D::Manufacturer}, {tr("校准方式"), &D::CalibrationMode},
         {tr("校准日期"), &D::CalibrationDate}, {tr("校准周期"), &D::CalibrationCycle},
         {tr("证书号"), &D::CertificateNumber}, {tr("备注"), &D::Remarks}});
    Tool::SaveAuditLog(AuditEvent::PCRDeviceModify, AuditDiff::sentence(tr("PCR设备修改：") + device.DeviceName, changes));
}

void PCRDevice::pt_PCRDelete_clicked()
{
    const QString number = RegistryForm::currentKey(ui->tableWidget_List, NumberColumn);
    QList<Tool::Struct_PCRDevice> devices;
    if (number.isEmpty() || !Tool::getPCRDevice(devices, number) || devices.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("请先选择设备!"));
        return;
    }
    if (!RegistryForm::confirmDelete(this, number, devices.first().DeviceName, &Tool::deletePCRDevice,
                                     tr("删除数据失败!")))
        return;
    refreshList();
    Tool::SaveAuditLog(AuditEvent::PCRDeviceDelete, tr("PCR设备删除编号为：") + number);
    selectedNumber.clear();
    openedCalibrationDate.clear();
}

void PCRDevice::pt_TableWidget_clicked(int row, int)
{
    const QTableWidgetItem *item = ui->tableWidget_List->item(row, NumberColumn);
    if (!item)
        return;
    // Highlighting the row opens it; a second open reloads the stored values.
    const QString number = item->text();
    ui->tableWidget_List->selectRow(row);
    openRecord(number);
}

void PCRDevice::openRecord(const QString &number)
{
    QList<Tool::Struct_PCRDevice> devices;
    if (!Tool::getPCRDevice(devices, number) || devices.isEmpty())
        return;
    const Tool::Struct_PCRDevice &device = devices.first();
    fillForm(device);
    // Viewing is audited once per instrument opened, however it was highlighted.
    if (selectedNumber == device.Number)
        return;
    selectedNumber = device.Number;
    Tool::SaveAuditLog(AuditEvent::PCRDeviceView, tr("PCR设备查看：") + device.DeviceName);
}

void PCRDevice::fillForm(const Tool::Struct_PCRDevice &device)
{
    ui->lineEdit_Number->setText(device.Number);
    ui->comboBox_DeviceName->setCurrentText(device.DeviceName);
    ui->comboBox_DeviceModel->setCurrentText(device.DeviceModel);
    ui->lineEdit_SerialNumber->setText(device.SerialNumber);
    ui->comboBox_Manufacturer->setCurrentText(device.Manufacturer);
    const int mode = ui->comboBox_CalibrationMode->findText(Tool::toDisplayText(device.CalibrationMode));
    if (mode >= 0)
        ui->comboBox_CalibrationMode->setCurrentIndex(mode);
    const QDateTime date = CalibrationDates::parse(device.CalibrationDate);
    ui->lineEdit_CalibrationDate->setText(date.isValid() ? CalibrationDates::minuteText(date) : QString());
    ui->lineEdit_CalibrationCycle->setText(device.CalibrationCycle);
    ui->lineEdit_CertificateNumber->setText(device.CertificateNumber);
    ui->lineEdit_AccuracyGrade->setText(device.Remarks);
    openedCalibrationDate = device.CalibrationDate;
    showDerived(device.CalibrationDate, device.CalibrationCycle);
}

void PCRDevice::showDerived(const QString &calibrationDate, const QString &cycle)
{
    const QDateTime recheck = CalibrationDates::recheckDate(calibrationDate, cycle);
    ui->lineEdit_Stability->setText(recheck.isValid() ? CalibrationDates::minuteText(recheck) : QString());
    const QString state = CalibrationDates::state(calibrationDate, cycle, QDateTime::currentDateTime());
    ui->comboBox_CalibrationState->setCurrentIndex(qMax(0, states().indexOf(state)));
    ui->comboBox_CalibrationState->setStyleSheet(state == QString::fromUtf8(CalibrationDates::Overdue)
                                                     ? QStringLiteral("color: rgb(255, 0, 0);")
                                                     : QString());
}

void PCRDevice::typedDatesChanged()
{
    QString date;
    if (!CalibrationDates::storedFromTyped(ui->lineEdit_CalibrationDate->text(), &date)) {
        ui->lineEdit_Stability->clear();
        return;
    }
    showDerived(date, ui->lineEdit_CalibrationCycle->text());
}
