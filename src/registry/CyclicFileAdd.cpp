#include "registry/CyclicFileAdd.h"
#include "ui_CyclicFileAdd.h"

#include "app/messages.h"
#include "app/widgets.h"
#include "registry/RegistryForm.h"
#include "store/auditdiff.h"
#include "store/queries.h"
#include "store/tool.h"
#include "store/textchecks.h"

#include <QDateTime>
#include <QEvent>
#include <QRegularExpression>

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
    m_steps.setUnit(ui->label_TempUnit->text());
    // No validators on the step editors: a letter typed there is refused with a message when the
    // step is added, rather than dropped without a word.
    ui->lineEdit_Temp->setPlaceholderText(tr("例如 72.5"));
    ui->lineEdit_TempTime->setPlaceholderText(tr("例如 1.5"));
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

CyclicFileAdd::CyclicFileAdd(const Tool::Struct_CyclicFile &file, QWidget *parent) : CyclicFileAdd(parent)
{
    m_changing = true;
    m_original = file;
    setWindowTitle(tr("步骤文件修改"));
    ui->lineEdit_Number->setText(file.Number);
    ui->lineEdit_Number->setReadOnly(true);
    ui->lineEdit_Name->setText(file.Name);
    m_steps.load(file.SetTemperatures.split(QLatin1Char(',')), file.HoldTimes.split(QLatin1Char(',')));
    showSteps();
}

CyclicFileAdd::~CyclicFileAdd() = default;

bool CyclicFileAdd::refused(CycleSteps::Result result)
{
    if (result == CycleSteps::Done)
        return false;
    Messages::warning(this, tr("警告"), CycleSteps::problemText(result, m_steps.unit()));
    return true;
}

void CyclicFileAdd::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        if (m_changing)
            setWindowTitle(tr("步骤文件修改"));
    }
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
    if (refused(m_steps.add(ui->lineEdit_Temp->text(), ui->lineEdit_TempTime->text())))
        return;
    showSteps();
}

void CyclicFileAdd::pt_Set_clicked()
{
    if (refused(m_steps.set(ui->lineEdit_Temp->text(), ui->lineEdit_TempTime->text())))
        return;
    showSteps();
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
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
    if (!digits.match(number).hasMatch()) {
        Messages::warning(this, tr("警告"), tr("编号应为1到3位数字！"));
        return;
    }
    if (name.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("名称不能为空！"));
        return;
    }
    const QString refused = TextChecks::refusal({number, name}, TextChecks::NameLength);
    if (!refused.isEmpty()) {
        Messages::warning(this, tr("警告"), refused);
        return;
    }
    if (m_steps.count() == 0) {
        Messages::warning(this, tr("警告"), tr("通道不能为空！"));
        return;
    }
    Tool::Struct_CyclicFile file;
    file.Number = number;
    file.Name = name;
    file.StepCount = QString::number(m_steps.count());
    file.CreateTime = QDateTime::currentDateTime().toString(Tool::TimeFormat);
    file.Steps = m_steps.steps().join(QLatin1Char(','));
    file.SetTemperatures = m_steps.storedTemperatures().join(QLatin1Char(','));
    file.HoldTimes = m_steps.durations().join(QLatin1Char(','));
    if (m_changing) {
        saveChange(file);
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

void CyclicFileAdd::saveChange(const Tool::Struct_CyclicFile &changed)
{
    // Stored projects find their steps by the file's name: changing the steps under them would
    // change the results their certificates are exported with.
    QList<Tool::Struct_Calibration> users;
    if (!Tool::queryCalibration(users, Queries::calibrationsUsingCycleFile(m_original.Name)) || !users.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("该循环文件已被%1个校准项目使用，不能修改！").arg(users.size()));
        return;
    }
    QList<Tool::Struct_CyclicFile> existing;
    if (changed.Name != m_original.Name
        && (!Tool::queryCyclicFile(existing, Queries::cyclicFileByName(changed.Name)) || !existing.isEmpty())) {
        Messages::warning(this, tr("警告"), tr("名称重复,修改失败！"));
        return;
    }
    Tool::Struct_CyclicFile file = changed;
    file.CreateTime = m_original.CreateTime;   // when it was made; the audit trail says when it changed
    if (!Tool::ModifyCyclicFile(file)) {
        Messages::warning(this, tr("警告"), tr("修改数据失败!"));
        return;
    }
    const auto steps = [](const Tool::Struct_CyclicFile &f) {
        const QStringList t = f.SetTemperatures.split(QLatin1Char(','));
        const QStringList h = f.HoldTimes.split(QLatin1Char(','));
        QStringList out;
        for (int i = 0; i < t.size(); ++i)
            out << t.at(i) + QStringLiteral("℃/") + h.value(i) + QStringLiteral("min");
        return out.join(QStringLiteral(", "));
    };
    const QString changes = AuditDiff::describe(
        {{tr("名称"), m_original.Name, file.Name}, {tr("步骤"), steps(m_original), steps(file)}});
    Messages::information(this, tr("提示"), tr("修改成功！"));
    Tool::SaveAuditLog(AuditEvent::CyclicFileModify, AuditDiff::sentence(tr("修改循环文件：") + file.Name, changes));
    m_original = file;
}
