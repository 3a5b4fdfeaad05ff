#include "registry/Standardizer.h"
#include "ui_Standardizer.h"

#include "app/messages.h"
#include "app/widgets.h"
#include "registry/RegistryForm.h"
#include "registry/StandardizerAdd.h"
#include "registry/StandardizerDisplay.h"
#include "registry/StandardizerRules.h"
#include "store/tool.h"

#include <QEvent>

Standardizer::Standardizer(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::Standardizer>())
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/PCR/Image/StandardizerManagers.png")));
    Widgets::paintBackground(this);
    RegistryForm::setUpList(ui->tableWidget_List);
    RegistryForm::applyRight(ui->pushButton_Add, Right::StandardizerAdd);
    RegistryForm::applyRight(ui->pushButton_Delete, Right::StandardizerDelete);
    // Return in the dialog must not press a button by accident.
    ui->pushButton_Delete->setAutoDefault(false);
    ui->pushButton_Add->setAutoDefault(false);

    connect(ui->pushButton_Add, &QPushButton::clicked, this, &Standardizer::pt_PCRAdd_clicked);
    connect(ui->pushButton_Delete, &QPushButton::clicked, this, &Standardizer::pt_PCRDelete_clicked);
    connect(ui->tableWidget_List, &QTableWidget::cellDoubleClicked, this, &Standardizer::pt_TableWidget_clicked);
    refreshList();
}

Standardizer::~Standardizer() = default;

void Standardizer::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}

void Standardizer::refreshList()
{
    RegistryForm::clearList(ui->tableWidget_List);
    QList<Tool::Struct_Standardizer> sets;
    if (!Tool::getStandardizer(sets, QString()))
        return;
    for (const Tool::Struct_Standardizer &s : sets)
        RegistryForm::appendRow(ui->tableWidget_List, {s.Number, s.Name, s.NumberChannels, s.TimeDate});
}

void Standardizer::pt_TableWidget_clicked(int row, int)
{
    const QTableWidgetItem *item = ui->tableWidget_List->item(row, 0);
    if (!item)
        return;
    QList<Tool::Struct_Standardizer> sets;
    if (!Tool::getStandardizer(sets, item->text()) || sets.isEmpty())
        return;
    const Tool::Struct_Standardizer set = sets.first();
    // The set shown is the highlighted one, which a delete then acts on.
    ui->tableWidget_List->selectRow(row);
    StandardizerDisplay display(set, this);
    display.exec();
    Tool::SaveAuditLog(AuditEvent::StandardizerView, tr("探头文件查看：") + set.Name);
}

void Standardizer::pt_PCRAdd_clicked()
{
    StandardizerAdd editor(this);
    editor.exec();
    refreshList();
}

QString Standardizer::selectedNumber() const
{
    return RegistryForm::currentKey(ui->tableWidget_List, 0);
}

void Standardizer::pt_PCRDelete_clicked()
{
    const QString number = selectedNumber();
    QList<Tool::Struct_Standardizer> sets;
    if (number.isEmpty() || !Tool::getStandardizer(sets, number) || sets.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("请先选择设备!"));
        return;
    }
    // A project's export and the probe calibration page find the set by its name.
    const StandardizerRules::Usage usage = StandardizerRules::usageOf(sets.first());
    if (usage.inUse()) {
        Messages::warning(this, tr("警告"), StandardizerRules::Texts::usage(usage));
        return;
    }
    if (!RegistryForm::confirmDelete(this, number, sets.first().Name, &Tool::deleteStandardizer, tr("删除数据失败!")))
        return;
    refreshList();
    Tool::SaveAuditLog(AuditEvent::StandardizerDelete, tr("探头文件删除编号：") + number);
}
