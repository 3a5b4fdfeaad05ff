#include "registry/StandardizerDisplay.h"
#include "ui_StandardizerDisplay.h"

#include "app/messages.h"
#include "app/widgets.h"
#include "registry/RegistryForm.h"
#include "registry/StandardizerRules.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>

std::function<QString(QWidget *, const QString &, const QString &)> StandardizerDisplay::chooseFile =
    [](QWidget *parent, const QString &title, const QString &filter) {
        return QFileDialog::getSaveFileName(parent, title, QString(), filter);
    };

StandardizerDisplay::StandardizerDisplay(const Tool::Struct_Standardizer &set, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::StandardizerDisplay>()), m_set(set)
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/PCR/Image/StandardizerManagers.png")));
    Widgets::paintBackground(this);
    RegistryForm::setUpList(ui->tableWidget_List);
    // Every digit of a coefficient stays readable; short ones still get a regular column.
    ui->tableWidget_List->horizontalHeader()->setMinimumSectionSize(120);
    ui->pushButton_Export->setAutoDefault(false);

    ui->lineEdit_Number->setText(set.Number);
    ui->lineEdit_Name->setText(set.Name);
    ui->lineEdit_NumberChannels->setText(set.NumberChannels);
    ui->lineEdit_TimeDate->setText(set.TimeDate);
    for (const StandardizerRules::Row &r : StandardizerRules::displayRows(set))
        RegistryForm::appendRow(ui->tableWidget_List, QStringList{r.channel} + QStringList(r.b.begin(), r.b.end()));

    connect(ui->pushButton_Export, &QPushButton::clicked, this, &StandardizerDisplay::pt_Export_clicked);
    connect(ui->pushButton_OK, &QPushButton::clicked, this, &QDialog::accept);
}

StandardizerDisplay::~StandardizerDisplay() = default;

void StandardizerDisplay::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}

void StandardizerDisplay::pt_Export_clicked()
{
    const QString path = chooseFile(this, tr("保存文件"), QStringLiteral("Config Files (*.ini)"));
    if (path.isEmpty())
        return;
    if (!StandardizerRules::writeFile(path, StandardizerRules::columnsOf(m_set))) {
        Messages::warning(this, tr("警告"), tr("导出失败！") + QLatin1Char('\n')
                                               + tr("无法写入文件“%1”。").arg(QDir::toNativeSeparators(path)));
        return;
    }
    Messages::information(this, tr("提示"), tr("导出成功！"));
}
