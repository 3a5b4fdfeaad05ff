#include "probecal/ThermistorScan.h"
#include "ui_ThermistorScan.h"

#include "app/messages.h"
#include "app/widgets.h"
#include "registry/RegistryForm.h"
#include "store/WorkerThread.h"
#include "store/tool.h"

#include <QEvent>

namespace {

const QString Serial = QStringLiteral("串口");
const QString Network = QStringLiteral("网络");
const QString Bluetooth = QStringLiteral("蓝牙");

// The LE search the address list waits for.
constexpr int SearchMs = 500;

void fill(QComboBox *box, const QStringList &items, const QString &keep)
{
    box->clear();
    box->addItems(items);
    RegistryForm::selectOrAdd(box, keep);
}

} // namespace

ThermistorScan::ThermistorScan(const DeviceRecord &record, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::ThermistorScan>()), m_record(record), tester(new WorkerThread(this))
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/PCR/Image/Standardizer.png")));
    Widgets::paintBackground(this);
    ui->label_DeviceName->setText(record.name);
    for (QPushButton *button : {ui->pushButton_Scan, ui->pushButton_OK})
        button->setAutoDefault(false);

    connect(ui->pushButton_OK, &QPushButton::clicked, this, &ThermistorScan::pt_OK_clicked);
    connect(ui->pushButton_Scan, &QPushButton::clicked, this, &ThermistorScan::pt_Scan_clicked);
    connect(&discovery, &BleDiscovery::done, this, &ThermistorScan::showSearch);
    connect(this, &ThermistorScan::MessageBox_signals, this, &ThermistorScan::MessageBox_slots);

    fillLinkTypes();
    showRecord();
    connect(ui->comboBox_Communication, &QComboBox::currentTextChanged, this,
            &ThermistorScan::cb_Communication_clicked);
}

ThermistorScan::~ThermistorScan()
{
    closeRequested = true;
    stop.stop();
    delete tester;   // joins a test still running, which ends within the driver's time-outs
}

bool ThermistorScan::isTesting() const
{
    return tester->isRunning();
}

void ThermistorScan::fillLinkTypes()
{
    QStringList offered = ProbeDevices::linkTypes(m_record.name);
    if (offered.isEmpty())
        offered = QStringList{Serial, Network};
    const QSignalBlocker blocker(ui->comboBox_Communication);
    const QString mode = ui->comboBox_Communication->count() > 0 ? currentMode() : m_record.mode;
    ui->comboBox_Communication->clear();
    for (const QString &word : offered)
        ui->comboBox_Communication->addItem(Tool::toDisplayText(word), word);
    ui->comboBox_Communication->setCurrentIndex(qMax(int(offered.indexOf(mode)), 0));
}

QString ThermistorScan::currentMode() const
{
    return ui->comboBox_Communication->currentData().toString();
}

void ThermistorScan::showRecord()
{
    cb_Communication_clicked(ui->comboBox_Communication->currentText());
    const QString mode = currentMode();
    // A record of another link type leaves the presets of this one.
    if (mode != m_record.mode)
        return;
    if (mode == Network) {
        ui->lineEdit_Com->setText(m_record.address);
        ui->lineEdit_BaudRate->setText(m_record.port);
    } else if (mode == Serial) {
        RegistryForm::selectOrAdd(ui->comboBox_Com, m_record.address);
        RegistryForm::selectOrAdd(ui->comboBox_BaudRate, m_record.port);
    } else {
        RegistryForm::selectOrAdd(ui->comboBox_Com, m_record.address);
    }
}

void ThermistorScan::showLabels(const QString &mode)
{
    const bool network = mode == Network;
    const bool bluetooth = mode == Bluetooth;
    if (network) {
        ui->label_Com->setText(tr("IP地址："));
        ui->label_BaudRate->setText(tr("端口号："));
    } else if (bluetooth) {
        ui->label_Com->setText(tr("设备名："));
        ui->label_BaudRate->setText(tr("空："));
    } else {
        ui->label_Com->setText(tr("串口号："));
        ui->label_BaudRate->setText(tr("波特率："));
    }
    ui->lineEdit_Com->setVisible(network);
    ui->lineEdit_BaudRate->setVisible(network);
    ui->comboBox_Com->setVisible(!network);
    // A Bluetooth device is found by its name alone: its second line has nothing to choose.
    ui->label_BaudRate->setVisible(!bluetooth);
    ui->comboBox_BaudRate->setVisible(!network && !bluetooth);
}

void ThermistorScan::cb_Communication_clicked(const QString &text)
{
    QString mode = Tool::toStoredText(text);
    if (mode != Serial && mode != Network && mode != Bluetooth)
        mode = currentMode();
    showLabels(mode);
    ui->label_Status->clear();
    searched = false;
    if (mode == Network) {
        if (ui->lineEdit_Com->text().isEmpty())
            ui->lineEdit_Com->setText(QStringLiteral("192.168.1.1"));
        if (ui->lineEdit_BaudRate->text().isEmpty())
            ui->lineEdit_BaudRate->setText(QStringLiteral("5980"));
    } else if (mode == Serial) {
        fill(ui->comboBox_Com, Tool::serialPortNames(),
             m_record.mode == Serial ? m_record.address : QString());
        fill(ui->comboBox_BaudRate, ProbeDevices::baudRates(),
             m_record.mode == Serial ? m_record.port : QStringLiteral("9600"));
    } else {
        fill(ui->comboBox_Com, QStringList(), m_record.mode == Bluetooth ? m_record.address : QString());
        ui->comboBox_BaudRate->clear();
        ui->label_Status->setText(tr("正在搜索蓝牙设备…"));
        discovery.start(SearchMs);
    }
}

void ThermistorScan::showSearch(const QStringList &names, BleDiscovery::Outcome outcome)
{
    searched = true;
    foundNames = names;
    searchOutcome = outcome;
    if (currentMode() != Bluetooth)
        return;
    const QString keep = ui->comboBox_Com->currentText();
    for (const QString &name : names)
        if (ui->comboBox_Com->findText(name) < 0)
            ui->comboBox_Com->addItem(name);
    ui->comboBox_Com->setCurrentText(keep.isEmpty() ? names.value(0) : keep);
    retranslate();
}

void ThermistorScan::retranslate()
{
    if (isTesting() || !searched || currentMode() != Bluetooth)
        return;
    switch (searchOutcome) {
    case BleDiscovery::Outcome::NoAdapter:
        ui->label_Status->setText(tr("本机没有可用的蓝牙适配器，无法搜索蓝牙设备；可直接输入设备名。"));
        break;
    case BleDiscovery::Outcome::PoweredOff:
        ui->label_Status->setText(tr("蓝牙适配器已关闭，无法搜索蓝牙设备；可直接输入设备名。"));
        break;
    case BleDiscovery::Outcome::Found:
        ui->label_Status->setText(foundNames.isEmpty() ? tr("没有找到蓝牙低功耗设备。")
                                                       : tr("找到%1个蓝牙低功耗设备。").arg(foundNames.size()));
        break;
    }
}

DeviceRecord ThermistorScan::formRecord() const
{
    DeviceRecord r;
    r.name = m_record.name;
    r.mode = currentMode();
    if (r.mode == Network) {
        r.address = ui->lineEdit_Com->text().trimmed();
        r.port = ui->lineEdit_BaudRate->text().trimmed();
    } else if (r.mode == Serial) {
        r.address = ui->comboBox_Com->currentText().trimmed();
        r.port = ui->comboBox_BaudRate->currentText().trimmed();
    } else {
        r.address = ui->comboBox_Com->currentText().trimmed();
    }
    return r;
}

void ThermistorScan::pt_OK_clicked()
{
    if (isTesting())
        return;
    const DeviceRecord form = formRecord();
    const LinkSettings link = form.link();
    if (!link.isValid()) {
        Messages::warning(this, tr("警告"), link.problemText());
        return;
    }
    m_record = form;
    accept();
}

void ThermistorScan::pt_Scan_clicked()
{
    if (isTesting())
        return;
    const DeviceRecord form = formRecord();
    const LinkSettings link = form.link();
    if (!link.isValid()) {
        Messages::warning(this, tr("警告"), tr("设备连接失败！") + QLatin1Char('\n') + link.problemText());
        return;
    }
    m_record = form;
    if (!driver)
        driver = ProbeDevices::createDriver(m_record.name);
    if (!driver) {
        Messages::warning(this, tr("警告"), tr("本版本还不能与%1通讯，无法测试。").arg(m_record.name));
        return;
    }
    ui->pushButton_Scan->setEnabled(false);
    ui->pushButton_OK->setEnabled(false);
    ui->label_Status->setText(tr("正在测试通讯…"));
    stop.reset();
    auto result = std::make_shared<ConnectionTest::Result>();
    Device *device = driver.get();
    tester->start([device, link, result, this](WorkerThread &) { *result = ConnectionTest::run(*device, link, stop); },
                  [this, result] { scanEnded(*result); });
}

void ThermistorScan::scanEnded(const ConnectionTest::Result &result)
{
    if (closeRequested) {
        QDialog::reject();
        return;
    }
    ui->pushButton_Scan->setEnabled(true);
    ui->pushButton_OK->setEnabled(true);
    ui->label_Status->clear();
    retranslate();
    emit MessageBox_signals(ConnectionTest::Texts::title(result.outcome), ConnectionTest::Texts::text(result.outcome));
}

void ThermistorScan::MessageBox_slots(const QString &title, const QString &text)
{
    if (closeRequested)
        return;
    Messages::information(this, title, text);
}

void ThermistorScan::reject()
{
    // Results still on their way are not shown any more.
    closeRequested = true;
    if (isTesting()) {
        // The test ends within the driver's time-outs; the dialog closes when it has.
        stop.stop();
        ui->pushButton_Scan->setEnabled(false);
        ui->pushButton_OK->setEnabled(false);
        ui->label_Status->setText(tr("正在结束通讯测试，请稍候…"));
        return;
    }
    QDialog::reject();
}

void ThermistorScan::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        ui->label_DeviceName->setText(m_record.name);
        fillLinkTypes();
        showLabels(currentMode());
        if (isTesting())
            ui->label_Status->setText(closeRequested ? tr("正在结束通讯测试，请稍候…") : tr("正在测试通讯…"));
        retranslate();
    }
    QDialog::changeEvent(event);
}
