#include "registry/StandardizerAdd.h"
#include "ui_StandardizerAdd.h"

#include "app/messages.h"
#include "app/widgets.h"
#include "instruments/Collection1611A.h"
#include "probecal/ThermistorScan.h"
#include "registry/RegistryForm.h"
#include "registry/StandardizerImport.h"
#include "store/WorkerThread.h"
#include "store/textchecks.h"
#include "store/tool.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSettings>
#include <QStyledItemDelegate>

namespace {

using namespace StandardizerRules;

// The in-place editor of a coefficient cell: a number of at most 24 characters. A text that is
// only the beginning of a number is not taken over when the editor closes.
class CoefficientDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *editor = new QLineEdit(parent);
        editor->setMaxLength(MaxCoefficientLength);
        editor->setValidator(new QRegularExpressionValidator(QRegularExpression(coefficientPattern()), editor));
        return editor;
    }
};

} // namespace

std::function<QString(QWidget *, const QString &, const QString &)> StandardizerAdd::chooseFile =
    [](QWidget *parent, const QString &title, const QString &filter) {
        return QFileDialog::getOpenFileName(parent, title, QString(), filter);
    };

std::function<bool(QWidget *, DeviceRecord &)> StandardizerAdd::askConnection = [](QWidget *parent,
                                                                                   DeviceRecord &record) {
    ThermistorScan dialog(record, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    record = dialog.record();
    return true;
};

StandardizerAdd::StandardizerAdd(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::StandardizerAdd>()), importer(new WorkerThread(this))
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/PCR/Image/StandardizerManagers.png")));
    Widgets::paintBackground(this);
    ui->comboBox_CHNumber->addItems(channelCounts());

    QTableWidget *table = ui->tableWidget_List;
    table->setSelectionBehavior(QAbstractItemView::SelectItems);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setVisible(false);
    // Every digit of a coefficient stays readable; short ones still get a regular column.
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setMinimumSectionSize(120);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setItemDelegate(new CoefficientDelegate(table));
    ui->lineEdit_Number->setMaxLength(64);
    ui->lineEdit_Name->setMaxLength(64);
    for (QPushButton *button : {ui->pushButton_Set, ui->pushButton_Clear, ui->pushButton_Import, ui->pushButton_Device,
                                ui->pushButton_Add})
        button->setAutoDefault(false);

    connect(ui->pushButton_Set, &QPushButton::clicked, this, &StandardizerAdd::pt_Set_clicked);
    connect(ui->pushButton_Clear, &QPushButton::clicked, this, &StandardizerAdd::pt_Clear_clicked);
    connect(ui->pushButton_Import, &QPushButton::clicked, this, &StandardizerAdd::pt_Import_clicked);
    connect(ui->pushButton_Device, &QPushButton::clicked, this, &StandardizerAdd::pt_Device_clicked);
    connect(ui->pushButton_Add, &QPushButton::clicked, this, &StandardizerAdd::pt_Add_clicked);
    connect(table, &QTableWidget::cellDoubleClicked, this, &StandardizerAdd::tw_cellDoubleClicked);
    connect(this, &StandardizerAdd::AddData_signals, this, &StandardizerAdd::AddData_slots);
    connect(this, &StandardizerAdd::MessageBox_signals, this, &StandardizerAdd::MessageBox_slots);
}

StandardizerAdd::~StandardizerAdd()
{
    closeRequested = true;
    stop.stop();
    delete importer;   // joins an import still running, which ends within the collector's time-outs
}

bool StandardizerAdd::isImporting() const
{
    return importer->isRunning();
}

void StandardizerAdd::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}

Rows StandardizerAdd::rows() const
{
    const QTableWidget *table = ui->tableWidget_List;
    Rows rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        Row row;
        row.channel = table->item(r, 0) ? table->item(r, 0)->text() : QString();
        for (int c = 0; c < CoefficientCount; ++c)
            row.b[size_t(c)] = table->item(r, c + 1) ? table->item(r, c + 1)->text() : QString();
        rows << row;
    }
    return rows;
}

QStringList StandardizerAdd::channelNames() const
{
    QStringList names;
    for (const Row &r : rows())
        names << r.channel;
    return names;
}

void StandardizerAdd::showRows(const Rows &rows)
{
    QTableWidget *table = ui->tableWidget_List;
    table->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList texts = QStringList{rows.at(r).channel} + QStringList(rows.at(r).b.begin(), rows.at(r).b.end());
        for (int c = 0; c < texts.size(); ++c) {
            QTableWidgetItem *item = table->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignCenter);
                // The channel number is given by the row.
                if (c == 0)
                    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
                table->setItem(r, c, item);
            }
            item->setText(texts.at(c));
        }
    }
}

void StandardizerAdd::pt_Set_clicked()
{
    showRows(resized(rows(), ui->comboBox_CHNumber->currentText().toInt()));
}

void StandardizerAdd::pt_Clear_clicked()
{
    showRows(Rows());
}

void StandardizerAdd::tw_cellDoubleClicked(int row, int column)
{
    QTableWidget *table = ui->tableWidget_List;
    if (column < 1)
        return;
    if (QTableWidgetItem *item = table->item(row, column)) {
        // Making it current takes over and closes an editor still open on another cell.
        table->setCurrentItem(item);
        table->editItem(item);
    }
}

void StandardizerAdd::pt_Import_clicked()
{
    const QString path = chooseFile(this, tr("打开文件"), QStringLiteral("Config Files (*.ini)"));
    if (path.isEmpty())
        return;
    const Rows current = rows();
    const FileRead read = readFile(path, current.size());
    QString why;
    switch (read.problem) {
    case FileRead::None:
        showRows(withCoefficients(current, read.columns));
        return;
    case FileRead::Unreadable:
        why = tr("文件“%1”中没有探头系数。").arg(QDir::toNativeSeparators(path));
        break;
    case FileRead::WrongLength:
        why = tr("文件中B0、B1、B2、B3各有%1、%2、%3、%4个系数，表格有%5个通道，须一致。")
                  .arg(read.lengths[0])
                  .arg(read.lengths[1])
                  .arg(read.lengths[2])
                  .arg(read.lengths[3])
                  .arg(current.size());
        break;
    case FileRead::BadCoefficient:
        why = Texts::badCoefficient(read.fault, current.value(read.fault.row).channel);
        break;
    }
    Messages::warning(this, tr("警告"), tr("添加数据失败！") + QLatin1Char('\n') + why);
}

void StandardizerAdd::setButtonsEnabled(bool enabled)
{
    for (QPushButton *button : {ui->pushButton_Set, ui->pushButton_Clear, ui->pushButton_Import, ui->pushButton_Device,
                                ui->pushButton_Add})
        button->setEnabled(enabled);
    ui->comboBox_CHNumber->setEnabled(enabled);
    // The import fills the rows it started with: they must stay as they are meanwhile.
    ui->tableWidget_List->setEnabled(enabled);
}

void StandardizerAdd::pt_Device_clicked()
{
    if (isImporting())
        return;
    const QStringList names = channelNames();
    if (names.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("通道不能为空！"));
        return;
    }
    DeviceRecord record;
    {
        const auto ini = Tool::configFile();
        record = ProbeDevices::readRecord(*ini, ProbeCalibrationKeys::collection(), ProbeDevices::collector());
    }
    if (!askConnection(this, record))
        return;
    {
        // Kept for the next import and for the probe calibration page, which drives the same collector.
        const auto ini = Tool::configFile();
        ProbeDevices::writeRecord(*ini, ProbeCalibrationKeys::collection(), record);
    }
    const LinkSettings link = record.link();
    if (!link.isValid()) {
        Messages::warning(this, tr("警告"), tr("设备连接失败！") + QLatin1Char('\n') + link.problemText());
        return;
    }
    if (!collector)
        collector = std::make_unique<Collection1611A>();
    setButtonsEnabled(false);
    stop.reset();
    auto result = std::make_shared<StandardizerImport::Result>();
    Collection1611A *device = collector.get();
    importer->start(
        [device, link, names, result, this](WorkerThread &) {
            *result = StandardizerImport::fromCollector(*device, link, names.size(), stop);
        },
        [this, result, names] { importEnded(*result, names); });
}

void StandardizerAdd::importEnded(const StandardizerImport::Result &result, const QStringList &names)
{
    if (closeRequested) {
        QDialog::reject();
        return;
    }
    if (result.outcome == StandardizerImport::Result::Done)
        emit AddData_signals(result.columns[0], result.columns[1], result.columns[2], result.columns[3]);
    setButtonsEnabled(true);
    if (result.outcome != StandardizerImport::Result::Stopped)
        emit MessageBox_signals(StandardizerImport::Texts::title(result), StandardizerImport::Texts::message(result, names));
}

void StandardizerAdd::AddData_slots(const QStringList &B0, const QStringList &B1, const QStringList &B2,
                                    const QStringList &B3)
{
    const Columns columns{B0, B1, B2, B3};
    const Rows current = rows();
    if (channelCountOf(columns) != current.size())
        return;
    showRows(withCoefficients(current, columns));
}

void StandardizerAdd::MessageBox_slots(const QString &title, const QString &text)
{
    if (closeRequested)
        return;
    Messages::information(this, title, text);
}

void StandardizerAdd::reject()
{
    // Results still on their way are not shown any more.
    closeRequested = true;
    if (isImporting()) {
        // The import ends within the collector's time-outs; the dialog closes when it has.
        stop.stop();
        return;
    }
    QDialog::reject();
}

void StandardizerAdd::pt_Add_clicked()
{
    const Rows current = rows();
    const auto numberTaken = [](const QString &number) {
        QList<Tool::Struct_Standardizer> sets;
        return !Tool::getStandardizer(sets, number) || !sets.isEmpty();
    };
    const auto nameTaken = [](const QString &name) {
        QList<Tool::Struct_Standardizer> sets;
        return !Tool::getStandardizerName(sets, name) || !sets.isEmpty();
    };
    QStringList texts{ui->lineEdit_Number->text(), ui->lineEdit_Name->text()};
    for (const auto &row : current)
        texts << row.channel;
    const QString refused = TextChecks::refusal(texts, TextChecks::NameLength);
    if (!refused.isEmpty()) {
        Messages::warning(this, tr("警告"), refused);
        return;
    }
    Fault fault;
    const Check check = checkNew(ui->lineEdit_Number->text(), ui->lineEdit_Name->text(), current, numberTaken,
                                 nameTaken, &fault);
    if (check != Check::Ok) {
        Messages::warning(this, tr("警告"), Texts::check(check, fault, current.value(fault.row).channel));
        return;
    }
    const Tool::Struct_Standardizer set =
        record(ui->lineEdit_Number->text(), ui->lineEdit_Name->text(), current, QDateTime::currentDateTime());
    if (!Tool::addStandardizer(set)) {
        Messages::warning(this, tr("警告"), tr("添加数据失败！"));
        return;
    }
    Tool::SaveAuditLog(AuditEvent::StandardizerAdd, tr("探头文件添加：") + set.Name);
    Messages::information(this, tr("提示"), tr("添加成功！"));
}
