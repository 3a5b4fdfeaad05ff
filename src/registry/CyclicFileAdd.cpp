#include "registry/CyclicFileAdd.h"
#include "ui_CyclicFileAdd.h"

#include "app/messages.h"
#include "app/widgets.h"
#include "registry/RegistryForm.h"
#include "store/queries.h"
#include "store/tool.h"

#include <QDateTime>
#include <QEvent>
#include <QRegularExpressionValidator>

CyclicFileAdd::CyclicFileAdd(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::CyclicFileAdd>())
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/PCR/Image/CyclicFile.png")));
    Widgets::paintBackground(this);
    RegistryForm::setUpList(ui->tableWidget_List);
    // Temperatures in the display unit.
    ui->label_TempUnit->setText(Tool::TemperatureUnit == QStringLiteral("℉") ? QStringLiteral("℉")
                                                                              : QStringLiteral("℃"));

    const QRegularExpression threeDigits(QStringLiteral("[0-9]{1,3}"));
    for (QLineEdit *edit : {ui->lineEdit_Number, ui->lineEdit_Temp, ui->lineEdit_TempTime})
        edit->setValidator(new QRegularExpressionValidator(threeDigits, edit));
    for (QPushButton *button : {ui->pushButton_Delete, ui->pushButton_Set, ui->pushButton_Add,
                                ui->pushButton_Clear, ui->pushButton_OK})
        button->setAutoDefault(false);

    connect(ui->pushButton_OK, &QPushButton::clicked, this, &CyclicFileAdd::pt_OK_clicked);
    connect(ui->pushButton_Set, &QPushButton::clicked, this, &CyclicFileAdd::pt_Set_clicked);
    connect(ui->pushButton_Add, &QPushButton::clicked, this, &CyclicFileAdd::pt_Add_clicked);
    connect(ui->pushButton_Clear, &QPushButton::clicked, this, &CyclicFileAdd::pt_Clear_clicked);
    connect(ui->pushButton_Delete, &QPushButton::clicked, this, &CyclicFileAdd::pt_Delete_clicked);
    connect(ui->tableWidget_List, &QTableWidget::cellDoubleClicked, this, &CyclicFileAdd::pt_TableWidget_clicked);
}

CyclicFileAdd::~CyclicFileAdd() = default;

void CyclicFileAdd::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}

void CyclicFileAdd::showSteps()
{
    RegistryForm::clearList(ui->tableWidget_List);
    for (int i = 0; i < m_steps.count(); ++i)
        RegistryForm::appendRow(ui->tableWidget_List, {m_steps.steps().at(i), m_steps.temperatures().at(i),
                                                       m_steps.durations().at(i)});
    if (m_steps.isRow(m_steps.selected()))
        ui->tableWidget_List->selectRow(m_steps.selected());
}

void CyclicFileAdd::pt_TableWidget_clicked(int row, int)
{
    if (!m_steps.isRow(row))
        return;
    m_steps.select(row);
    ui->lineEdit_Temp->setText(m_steps.temperatures().at(row));
    ui->lineEdit_TempTime->setText(m_steps.durations().at(row));
}

void CyclicFileAdd::pt_Add_clicked()
{
    if (m_steps.add(ui->lineEdit_Temp->text(), ui->lineEdit_TempTime->text()) != CycleSteps::Done) {
        Messages::warning(this, tr("警告"), tr("请先输入内容！"));
        return;
    }
    showSteps();
}

void CyclicFileAdd::pt_Set_clicked()
{
    switch (m_steps.set(ui->lineEdit_Temp->text(), ui->lineEdit_TempTime->text())) {
    case CycleSteps::NeedInput:
        Messages::warning(this, tr("警告"), tr("请先输入内容！"));
        return;
    case CycleSteps::NeedSelection:
        Messages::warning(this, tr("警告"), tr("请先选择内容！"));
        return;
    case CycleSteps::Done:
        showSteps();
        return;
    }
}

void CyclicFileAdd::pt_Delete_clicked()
{
    if (m_steps.remove() != CycleSteps::Done) {
        Messages::warning(this, tr("警告"), tr("请先选择通道！"));
        return;
    }
    showSteps();
}

void CyclicFileAdd::pt_Clear_clicked()
{
    m_steps.clear();
    showSteps();
}

void CyclicFileAdd::pt_OK_clicked()
{
    const QString number = ui->lineEdit_Number->text().trimmed();
    const QString name = ui->lineEdit_Name->text().trimmed();
    if (number.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("编号不能为空！"));
        return;
    }
    if (name.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("名称不能为空！"));
        return;
    }
    if (m_steps.count() == 0) {
        Messages::warning(this, tr("警告"), tr("通道不能为空！"));
        return;
    }
    // The calibration page stores the chosen file by name and the analysis finds it by name:
    // neither a number nor a name may be used twice.
    QList<Tool::Struct_CyclicFile> existing;
    if (!Tool::getCyclicFile(existing, number) || !existing.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("编号重复,添加失败！"));
        return;
    }
    if (!Tool::queryCyclicFile(existing, Queries::cyclicFileByName(name)) || !existing.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("名称重复,添加失败！"));
        return;
    }

    QStringList celsius;
    for (QString t : m_steps.temperatures()) {
        Tool::toCelsius(t, 1, false);
        celsius << t;
    }
    Tool::Struct_CyclicFile file;
    file.Number = number;
    file.Name = name;
    file.StepCount = QString::number(m_steps.count());
    file.CreateTime = QDateTime::currentDateTime().toString(Tool::TimeFormat);
    file.Steps = m_steps.steps().join(QLatin1Char(','));
    file.SetTemperatures = celsius.join(QLatin1Char(','));
    file.HoldTimes = m_steps.durations().join(QLatin1Char(','));
    if (!Tool::addCyclicFile(file)) {
        // Another station may have stored the number or the name since they were checked.
        if (Tool::lastWriteWasDuplicate()) {
            const bool numberTaken = !Tool::getCyclicFile(existing, number) || !existing.isEmpty();
            Messages::warning(this, tr("警告"), numberTaken ? tr("编号重复,添加失败！") : tr("名称重复,添加失败！"));
            return;
        }
        Messages::warning(this, tr("警告"), tr("添加数据失败！"));
        return;
    }
    Messages::information(this, tr("提示"), tr("添加成功！"));
    Tool::SaveAuditLog(AuditEvent::CyclicFileAdd, tr("添加循环文件：") + name);
}
