#include "registry/PerformanceProfileBox.h"

#include "app/messages.h"
#include "registry/ProfileValues.h"
#include "registry/RegistryForm.h"
#include "store/tool.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

const char *const EditNames[ProfileValues::Count] = {
    "lineEdit_ProfileAccuracy",  "lineEdit_ProfileUniformity", "lineEdit_ProfileHeatingRate",
    "lineEdit_ProfileCoolingRate", "lineEdit_ProfileOvershoot", "lineEdit_ProfileSettlingTime",
};

} // namespace

PerformanceProfileBox::PerformanceProfileBox(QWidget *parent) : QGroupBox(parent)
{
    setObjectName(QStringLiteral("groupBox_Profile"));
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    m_modelLabel = new QLabel(this);
    m_modelLabel->setObjectName(QStringLiteral("label_ProfileModel"));
    grid->addWidget(m_modelLabel, 0, 0, 1, 9);
    auto *validator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), this);
    for (int i = 0; i < ProfileValues::Count; ++i) {
        auto *name = new QLabel(this);
        name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(EditNames[i]));
        edit->setValidator(validator);
        edit->setMinimumWidth(90);
        auto *unit = new QLabel(this);
        unit->setMinimumWidth(60);
        const int row = 1 + i / 3, column = 3 * (i % 3);
        grid->addWidget(name, row, column);
        grid->addWidget(edit, row, column + 1);
        grid->addWidget(unit, row, column + 2);
        m_names << name;
        m_edits << edit;
        m_units << unit;
    }
    for (int column = 1; column < 9; column += 3)
        grid->setColumnStretch(column, 1);
    m_save = new QPushButton(this);
    m_save->setObjectName(QStringLiteral("pushButton_ProfileSave"));
    m_delete = new QPushButton(this);
    m_delete->setObjectName(QStringLiteral("pushButton_ProfileDelete"));
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_save);
    buttons->addWidget(m_delete);
    buttons->addStretch();
    auto *outer = new QHBoxLayout(this);
    outer->addLayout(grid, 1);
    outer->addLayout(buttons);

    RegistryForm::applyRight(m_save, Right::PCRDeviceModify);
    RegistryForm::applyRight(m_delete, Right::PCRDeviceModify);
    connect(m_save, &QPushButton::clicked, this, &PerformanceProfileBox::pt_ProfileSave_clicked);
    connect(m_delete, &QPushButton::clicked, this, &PerformanceProfileBox::pt_ProfileDelete_clicked);
    retranslate();
}

void PerformanceProfileBox::retranslate()
{
    setTitle(tr("性能指标"));
    const QStringList names = ProfileValues::names();
    const QStringList units = ProfileValues::units(Tool::TemperatureUnit);
    for (int i = 0; i < ProfileValues::Count; ++i) {
        m_names[i]->setText(names.at(i) + (i == 0 ? tr("（±）") : QString()) + tr("："));
        m_units[i]->setText(units.at(i));
    }
    m_save->setText(tr("保存指标"));
    m_delete->setText(tr("删除指标"));
    if (m_model.isEmpty())
        m_modelLabel->setText(tr("设备型号：（请先输入设备型号）"));
    else
        m_modelLabel->setText(tr("设备型号：%1").arg(m_model) + QStringLiteral("  ")
                              + (m_stored ? QString() : tr("（未设置性能指标，导出时不作判定）")));
}

void PerformanceProfileBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QGroupBox::changeEvent(event);
}

void PerformanceProfileBox::showModel(const QString &model)
{
    m_model = model.trimmed();
    m_stored = false;
    m_record = PerformanceProfileRecord();
    if (!m_model.isEmpty() && !Profiles::get(m_model, &m_record, &m_stored))
        m_stored = false;
    const QStringList shown = m_stored ? ProfileValues::toShown(m_record.limits(), Tool::TemperatureUnit) : QStringList();
    for (int i = 0; i < ProfileValues::Count; ++i)
        m_edits[i]->setText(i < shown.size() ? shown.at(i) : QString());
    retranslate();
}

QStringList PerformanceProfileBox::typed() const
{
    QStringList texts;
    for (const QLineEdit *e : m_edits)
        texts << e->text();
    return texts;
}

void PerformanceProfileBox::pt_ProfileSave_clicked()
{
    if (m_model.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("请先输入设备型号！"));
        return;
    }
    const QString problem = ProfileValues::check(typed());
    if (!problem.isEmpty()) {
        Messages::warning(this, tr("警告"), problem);
        return;
    }
    PerformanceProfileRecord record =
        PerformanceProfileRecord::fromValues(QStringList{m_model} + ProfileValues::toStored(typed(), Tool::TemperatureUnit));
    const bool existed = m_stored;
    const PerformanceProfileRecord before = m_record;
    if (existed && before.values() == record.values())
        return;
    if (!Profiles::save(record)) {
        Messages::warning(this, tr("警告"), tr("保存性能指标失败！"));
        return;
    }
    const QString detail = existed ? ProfileValues::changes(before, record, Tool::TemperatureUnit)
                                   : ProfileValues::listing(record, Tool::TemperatureUnit);
    Tool::SaveAuditLog(AuditEvent::PCRProfileModify,
                       (existed ? tr("PCR设备性能指标修改：") : tr("PCR设备性能指标添加：")) + m_model + tr("（%1）").arg(detail));
    showModel(m_model);
    Messages::information(this, tr("提示"), tr("性能指标已保存。"));
}

void PerformanceProfileBox::pt_ProfileDelete_clicked()
{
    if (m_model.isEmpty() || !m_stored) {
        Messages::warning(this, tr("警告"), tr("该型号没有性能指标！"));
        return;
    }
    if (Messages::question(this, tr("提示"), tr("是否删除型号%1的性能指标?").arg(m_model)) != QMessageBox::Yes)
        return;
    if (!Profiles::remove(m_model)) {
        Messages::warning(this, tr("警告"), tr("删除数据失败!"));
        return;
    }
    Tool::SaveAuditLog(AuditEvent::PCRProfileDelete,
                       tr("PCR设备性能指标删除：") + m_model + tr("（%1）").arg(ProfileValues::listing(m_record, Tool::TemperatureUnit)));
    showModel(m_model);
}
