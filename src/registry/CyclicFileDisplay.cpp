#include "registry/CyclicFileDisplay.h"
#include "ui_CyclicFileDisplay.h"

#include "app/widgets.h"
#include "registry/RegistryForm.h"

CyclicFileDisplay::CyclicFileDisplay(const Tool::Struct_CyclicFile &file, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::CyclicFileDisplay>())
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/PCR/Image/CyclicFile.png")));
    resize(400, 500);
    Widgets::paintBackground(this);
    RegistryForm::setUpList(ui->tableWidget_List);

    ui->lineEdit_Number->setText(file.Number);
    ui->lineEdit_Name->setText(file.Name);
    ui->lineEdit_NumberChannels->setText(file.StepCount);
    ui->lineEdit_TimeDate->setText(file.CreateTime);

    const QStringList steps = file.Steps.split(QLatin1Char(','));
    const QStringList temperatures = file.SetTemperatures.split(QLatin1Char(','));
    const QStringList durations = file.HoldTimes.split(QLatin1Char(','));
    // A damaged record shows what it holds rather than reading past its lists.
    const int count = qMin(qMax(file.StepCount.toInt(), 0), int(temperatures.size()));
    for (int i = 0; i < count; ++i) {
        QString temperature = temperatures.at(i);
        Tool::toFahrenheit(temperature, 1, false);
        RegistryForm::appendRow(ui->tableWidget_List, {steps.value(i), temperature, durations.value(i)});
    }
}

CyclicFileDisplay::~CyclicFileDisplay() = default;
