#include "probecal/ThermistorManual.h"
#include "acquisition/ProbeCalibrationAudit.h"

#include "analysis/Thermistor.h"
#include "app/messages.h"
#include "app/widgets.h"

#include <QDebug>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QPushButton>
#include <QVBoxLayout>

using namespace ProbeCalibration;
using Run = ProbeCalibrationRun;

ThermistorManual::ThermistorManual(const ProbeCalibrationRun::Setup &setup, QWidget *parent)
    : QDialog(parent), setup(setup)
{
    buildForm();
    probeRun = new ProbeCalibrationRun(this);
    connect(probeRun, &Run::logLine, this, &ThermistorManual::PlainTextEdit_signals);
    connect(probeRun, &Run::pointCompleted, this, &ThermistorManual::pointCompleted);
    connect(probeRun, &Run::stepEnded, this, &ThermistorManual::stepEnded);
    connect(this, &ThermistorManual::PlainTextEdit_signals, this, &ThermistorManual::PlainTextEdit_slots);
    connect(this, &ThermistorManual::MessageBox_signals, this, &ThermistorManual::MessageBox_slots);

    // The set as stored now, and the points stored for it.
    QList<Tool::Struct_Standardizer> sets;
    Tool::getStandardizer(sets, setup.probes.Number);
    setUp = !setup.probes.Number.isEmpty() && !sets.isEmpty() && probeRun->loadLists(sets.first());
    if (setUp) {
        this->setup.probes = sets.first();
        probeRun->lists().points = setup.points;
        const QStringList &stored = probeRun->lists().references(setup.mode);
        for (int k = 0; k < MaximumPoints && k < stored.size(); ++k)
            pointValues[size_t(k)]->setText(stored.at(k));
    }
    showState();
    if (!setUp)
        Messages::warning(this, tr("警告"), tr("获取通道文件错误！"));
}

ThermistorManual::~ThermistorManual()
{
    probeRun->disconnect(this);
    probeRun->stop();
    probeRun->finish();
}

void ThermistorManual::buildForm()
{
    setObjectName(QStringLiteral("ThermistorManual"));
    setStyleSheet(QStringLiteral("font: 12pt \"宋体\";"));
    resize(760, 560);
    auto *outer = new QHBoxLayout(this);
    auto *points = new QGridLayout;
    for (int k = 0; k < MaximumPoints; ++k) {
        const QByteArray n = QByteArray::number(k + 1);
        pointButtons[size_t(k)] = Widgets::named(new QPushButton(this), ("pushButton_" + n).constData());
        pointValues[size_t(k)] = Widgets::named(new QLineEdit(this), ("lineEdit_" + n).constData());
        pointValues[size_t(k)]->setReadOnly(true);
        points->addWidget(pointButtons[size_t(k)], k, 0);
        points->addWidget(pointValues[size_t(k)], k, 1);
        connect(pointButtons[size_t(k)], &QPushButton::clicked, this, [this, k] { pointClicked(k); });
    }
    pushButton_Open = Widgets::named(new QPushButton(this), "pushButton_Open");
    pushButton_Count = Widgets::named(new QPushButton(this), "pushButton_Count");
    auto *left = new QVBoxLayout;
    left->addWidget(pushButton_Open);
    left->addLayout(points);
    left->addWidget(pushButton_Count);
    left->addStretch(1);
    plainTextEdit = Widgets::named(new QPlainTextEdit(this), "plainTextEdit");
    plainTextEdit->setReadOnly(true);
    outer->addLayout(left);
    outer->addWidget(plainTextEdit, 1);
    connect(pushButton_Open, &QPushButton::clicked, this, &ThermistorManual::pt_Open_clicked);
    connect(pushButton_Count, &QPushButton::clicked, this, &ThermistorManual::pt_Count_clicked);
    retranslateUi();
}

void ThermistorManual::retranslateUi()
{
    setWindowTitle(setup.mode == Mode::Calibration ? tr("手动校准") : tr("手动验证"));
    pushButton_Count->setText(tr("计算系数"));
    showState();
}

void ThermistorManual::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(event);
}

int ThermistorManual::storedPoints() const
{
    return probeRun ? probeRun->lists().references(setup.mode).size() : 0;
}

void ThermistorManual::showState()
{
    if (!probeRun)
        return;
    const bool busy = probeRun->isActive();
    const bool connected = probeRun->isConnected();
    pushButton_Open->setText(connected ? tr("断开") : tr("连接"));
    pushButton_Open->setEnabled(setUp && !busy);
    pushButton_Count->setEnabled(setup.mode == Mode::Calibration && setUp && !busy);
    const int stored = storedPoints();
    for (int k = 0; k < MaximumPoints; ++k) {
        QPushButton *b = pointButtons[size_t(k)];
        b->setText(k < stored ? tr("温度点%1（已采集）").arg(k + 1) : tr("温度点%1").arg(k + 1));
        b->setEnabled(connected && !busy && enabledPoints[size_t(k)]);
    }
}

void ThermistorManual::PlainTextEdit_slots(const QString &line)
{
    plainTextEdit->appendPlainText(line);
}

void ThermistorManual::MessageBox_slots(const QString &title, const QString &text)
{
    Messages::information(this, title, text);
}

void ThermistorManual::reject()
{
    probeRun->stop();
    probeRun->finish();
    QDialog::reject();
}

// ---------------------------------------------------------------------------------------------
// Steps

void ThermistorManual::pt_Open_clicked()
{
    if (!probeRun->isConnected()) {
        // Checked before anything is connected, as an automatic run's plan is.
        const QString wrong = checkPlan(setup.points, readPlanLimits(*Tool::configFile()));
        if (!wrong.isEmpty()) {
            emit MessageBox_signals(tr("警告"), wrong);
            return;
        }
    }
    const Run::Fault refused = probeRun->isConnected() ? probeRun->disconnectDevices() : probeRun->connectDevices(setup);
    if (refused != Run::Fault::None)
        emit MessageBox_signals(tr("警告"), Run::faultText(refused, setup.mode));
    showState();
}

void ThermistorManual::stepEnded(ProbeCalibrationRun::Step step, bool ok, ProbeCalibrationRun::Fault fault)
{
    switch (step) {
    case Run::Step::Connect:
        enabledPoints.fill(false);
        if (ok && storedPoints() < MaximumPoints)
            enabledPoints[size_t(storedPoints())] = true;
        break;
    case Run::Step::Point:
        break;
    case Run::Step::Disconnect:
        enabledPoints.fill(false);
        break;
    }
    showState();
    if (!ok && fault != Run::Fault::None)
        emit MessageBox_signals(tr("警告"), Run::faultText(fault, setup.mode));
}

void ThermistorManual::pointClicked(int index)
{
    double value = 0;
    if (!probeRun->hasReferenceDriver()) {
        bool accepted = false;
        const QString text = Messages::getText(this, tr("标准"), tr("请输入标准温度："), &accepted, QStringLiteral("0.1000"));
        if (!accepted)
            return;
        bool ok = false;
        value = text.trimmed().toDouble(&ok);
        if (!ok || value < -120 || value > 3000) {
            emit MessageBox_signals(tr("警告"), tr("请输入-120到3000之间的标准温度！"));
            return;
        }
        value = QString::number(value, 'f', 4).toDouble();
    }
    therad_Collection(index, value);
}

void ThermistorManual::therad_Collection(int k, double value)
{
    const Run::Fault refused =
        probeRun->readPoint(k, probeRun->hasReferenceDriver() ? std::nullopt : std::optional<double>(value));
    if (refused != Run::Fault::None)
        emit MessageBox_signals(tr("警告"), Run::faultText(refused, setup.mode));
    showState();
}

void ThermistorManual::pt_1_clicked() { pointClicked(0); }
void ThermistorManual::pt_2_clicked() { pointClicked(1); }
void ThermistorManual::pt_3_clicked() { pointClicked(2); }
void ThermistorManual::pt_4_clicked() { pointClicked(3); }
void ThermistorManual::pt_5_clicked() { pointClicked(4); }
void ThermistorManual::pt_6_clicked() { pointClicked(5); }
void ThermistorManual::pt_7_clicked() { pointClicked(6); }
void ThermistorManual::pt_8_clicked() { pointClicked(7); }
void ThermistorManual::pt_9_clicked() { pointClicked(8); }

void ThermistorManual::pointCompleted(int index, const QString &reference, const QStringList &values)
{
    if (index < MaximumPoints)
        pointValues[size_t(index)]->setText(reference);
    if (index + 1 < MaximumPoints)
        enabledPoints[size_t(index + 1)] = true;
    enabledPoints[size_t(index)] = true;   // a point may be taken again
    if (setup.mode == Mode::Verification) {
        const double ref = reference.toDouble();
        QStringList failed;
        for (int c = 0; c < values.size(); ++c) {
            emit PlainTextEdit_signals(Analysis::manualVerificationLine(c + 1, ref, values.at(c).toDouble()));
            if (!Analysis::manualVerificationPasses(ref, values.at(c).toDouble()))
                failed << QString::number(c + 1);
        }
        auditEnd(Mode::Verification, setup.probes.Name,
                 tr("手动验证第%1点：%2 个通道合格，不合格通道：%3")
                     .arg(index + 1)
                     .arg(values.size() - failed.size())
                     .arg(failed.isEmpty() ? tr("无") : failed.join(QStringLiteral("、"))));
    }
    showState();
}

void ThermistorManual::pt_Count_clicked()
{
    const RunLists &lists = probeRun->lists();
    if (lists.calibrationReferences.size() < MinimumPoints) {
        emit MessageBox_signals(tr("警告"), tooFewPointsText());
        return;
    }
    const Fit fit = fitCalibration(lists, setup.probes.NumberChannels.toInt(),
                                   setup.probes.ChannelNames.split(QLatin1Char(',')));
    if (!fit.ok) {
        auditEnd(Mode::Calibration, setup.probes.Name, fit.message);
        emit MessageBox_signals(tr("警告"), fit.message);
        return;
    }
    for (int j = 0; j < fit.b0.size(); ++j)
        emit PlainTextEdit_signals(tr("通道%1").arg(j + 1) + QStringLiteral(" B0:") + fit.b0.at(j) + QStringLiteral(" B1:")
                                   + fit.b1.at(j) + QStringLiteral(" B2:") + fit.b2.at(j) + QStringLiteral(" B3:")
                                   + fit.b3.at(j));
    emit PlainTextEdit_signals(QStringLiteral("B0 = ") + fit.b0.join(QLatin1Char(',')));
    emit PlainTextEdit_signals(QStringLiteral("B1 = ") + fit.b1.join(QLatin1Char(',')));
    emit PlainTextEdit_signals(QStringLiteral("B2 = ") + fit.b2.join(QLatin1Char(',')));
    emit PlainTextEdit_signals(QStringLiteral("B3 = ") + fit.b3.join(QLatin1Char(',')));

    Tool::Struct_Standardizer probes = setup.probes;
    double limit = StandardResidualLimit;
    {
        const auto ini = Tool::configFile();
        limit = readResidualLimit(*ini);
    }
    if (!fit.probesOver(limit).isEmpty()) {
        emit PlainTextEdit_signals(residualReport(fit, probes, limit));
        if (Messages::question(this, tr("提示"), residualQuestion(fit, probes, limit)) != QMessageBox::Yes) {
            auditEnd(Mode::Calibration, probes.Name, notStoredText());
            emit PlainTextEdit_signals(notStoredText());
            return;
        }
    }
    if (!mayStoreCoefficients()) {
        auditEnd(Mode::Calibration, probes.Name, noRightText());
        emit MessageBox_signals(tr("警告"), noRightText());
        return;
    }
    if (!storeFit(probes, fit)) {
        auditEnd(Mode::Calibration, probes.Name, tr("保存数据失败!"));
        emit MessageBox_signals(tr("警告"), tr("保存数据失败!"));
        return;
    }
    emit MessageBox_signals(tr("提示"), tr("校准结束！"));
}
