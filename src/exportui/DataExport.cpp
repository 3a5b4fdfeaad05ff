#include "exportui/DataExport.h"

#include "analysis/Units.h"
#include "app/WorkProgress.h"
#include "app/messages.h"
#include "app/widgets.h"
#include "chart/ChartView.h"
#include "chart/ChartViewPoints.h"
#include "exportui/QWaiting.h"
#include "reports/ExportJob.h"
#include "store/SampleReader.h"
#include "store/ThreadConnection.h"
#include "store/WorkerThread.h"
#include "store/profiles.h"
#include "store/runrecords.h"
#include "store/queries.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

#include <QDebug>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

using Widgets::named;

// Both runs of a calibration as the chart draws them, read on the loader's thread.
struct DataExport::OpenedRun
{
    SampleReader::Status status = SampleReader::Failed;
    int count = -1;   // values per row, from the first row
    QVector<QVector<QPointF>> curves;   // per probe: (ms since the epoch, value in the display unit)
    QVector<ChartViewPoints> stores;    // the same as the chart keeps them
    qint64 first = std::numeric_limits<qint64>::max();
    qint64 last = std::numeric_limits<qint64>::min();
    double low = qInf();
    double high = -qInf();
};

namespace {

bool number(const QLineEdit *edit, double &value)
{
    bool ok = false;
    value = edit->text().toDouble(&ok);
    return ok && std::isfinite(value);
}

} // namespace

DataExport::DataExport(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DataExport"));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));
    Widgets::paintBackground(this);

    m_query = named(new QLineEdit(this), "lineEdit_Query");
    m_queryButton = named(new QPushButton(this), "pushButton_Query");
    // The project and the performance verdict of its last certificate or record.
    m_table = named(new QTableWidget(0, 2, this), "tableWidget_Data");
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_table->verticalHeader()->setVisible(false);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    // Narrow enough that the range row beside it keeps its editors whole in a minimum-size window.
    m_table->setMinimumWidth(200);
    m_table->setMaximumWidth(380);

    m_chart = named(new ChartView(this), "chartView");
    m_chart->setUnit(Tool::TemperatureUnit);
    m_displayRangeLabel = named(new QLabel(this), "label_DisplayRange");
    m_range1 = named(new QDateTimeEdit(this), "dateTimeEdit_DisplayRange1");
    m_dash = named(new QLabel(QStringLiteral("-"), this), "label_DisplayRange_1");
    m_range2 = named(new QDateTimeEdit(this), "dateTimeEdit_DisplayRange2");
    m_leftRangeLabel = named(new QLabel(this), "label_LeftRange");
    m_left1 = named(new QLineEdit(QStringLiteral("20"), this), "lineEdit_LeftRange1");
    m_left1Unit = named(new QLabel(this), "label_LeftRange1");
    m_left2 = named(new QLineEdit(QStringLiteral("120"), this), "lineEdit_LeftRange2");
    m_left2Unit = named(new QLabel(this), "label_LeftRange2");
    m_displayRange = named(new QPushButton(this), "pushButton_DisplayRange");
    m_timeTaggingLabel = named(new QLabel(this), "label_TimeTagging");
    m_timeTagging = named(new QDateTimeEdit(this), "dateTimeEdit_TimeTagging");
    m_timeRemarksLabel = named(new QLabel(this), "label_TimeRemarks");
    m_timeRemarks = named(new QLineEdit(this), "lineEdit_TimeRemarks");
    m_timeAdd = named(new QPushButton(this), "pushButton_TimeAdd");
    m_timeDelete = named(new QPushButton(this), "pushButton_TimeDelete");
    m_tempTaggingLabel = named(new QLabel(this), "label_TempTagging");
    m_tempTagging = named(new QLineEdit(QStringLiteral("20"), this), "lineEdit_TempTagging");
    m_tempUnit = named(new QLabel(this), "label_TempTagging_1");
    m_tempRemarksLabel = named(new QLabel(this), "label_TempRemarks");
    m_tempRemarks = named(new QLineEdit(this), "lineEdit_TempRemarks");
    m_tempAdd = named(new QPushButton(this), "pushButton_TempAdd");
    m_tempDelete = named(new QPushButton(this), "pushButton_TempDelete");
    m_certificate = named(new QPushButton(this), "pushButton_CalibrationReport");
    m_record = named(new QPushButton(this), "pushButton_OriginalRecord");
    m_custom = named(new QPushButton(this), "pushButton_Custom");
    m_formatLabel = named(new QLabel(this), "label_Format");
    m_format = named(new QComboBox(this), "comboBox_Format");
    m_format->addItems({QStringLiteral("Word"), QStringLiteral("Excel"), QStringLiteral("PDF")});
    // The setting is the default; a choice here holds for this page only.
    m_format->setCurrentText(ExportJob::isKnownFormat(Tool::Format) ? Tool::Format : QStringLiteral("Word"));

    for (QDateTimeEdit *edit : {m_range1, m_range2, m_timeTagging}) {
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        edit->setCalendarPopup(true);
    }
    const QRegularExpression signedNumber(QStringLiteral("[-0-9.]+$"));
    for (QLineEdit *edit : {m_left1, m_left2, m_tempTagging}) {
        edit->setValidator(new QRegularExpressionValidator(signedNumber, edit));
        edit->setMaximumWidth(110);
    }
    for (QLineEdit *edit : {m_timeRemarks, m_tempRemarks})
        edit->setMaximumWidth(200);

    auto *search = new QHBoxLayout;
    search->addWidget(m_query, 1);
    search->addWidget(m_queryButton);
    // The export buttons sit under the project list, so that the chart keeps the full height
    // beside it: its legend needs room for sixteen probes even in a minimum-size window.
    auto *left = new QVBoxLayout;
    left->addLayout(search);
    left->addWidget(m_table, 1);
    auto *formatRow = new QHBoxLayout;
    formatRow->addWidget(m_formatLabel);
    formatRow->addWidget(m_format, 1);
    left->addLayout(formatRow);
    for (QPushButton *b : {m_certificate, m_record, m_custom})
        left->addWidget(b);

    m_chartArea = new QVBoxLayout;
    m_chartArea->setObjectName(QStringLiteral("verticalLayout_Chart"));
    m_chartArea->addWidget(m_chart);

    auto *range = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{m_displayRangeLabel, m_range1, m_dash, m_range2,
                                                       m_leftRangeLabel, m_left1, m_left1Unit, m_left2, m_left2Unit,
                                                       m_displayRange})
        range->addWidget(w);
    range->addStretch();
    auto *timeRow = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{m_timeTaggingLabel, m_timeTagging, m_timeRemarksLabel,
                                                       m_timeRemarks, m_timeAdd, m_timeDelete})
        timeRow->addWidget(w);
    timeRow->addStretch();
    auto *tempRow = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{m_tempTaggingLabel, m_tempTagging, m_tempUnit,
                                                       m_tempRemarksLabel, m_tempRemarks, m_tempAdd, m_tempDelete})
        tempRow->addWidget(w);
    tempRow->addStretch();

    auto *right = new QVBoxLayout;
    right->addLayout(m_chartArea, 1);
    right->addLayout(range);
    right->addLayout(timeRow);
    right->addLayout(tempRow);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);

    m_loader = new WorkerThread(this);

    m_menu = new QMenu(this);
    m_deleteAction = m_menu->addAction(QString());
    connect(m_menu, &QMenu::triggered, this, &DataExport::onGrpMenuTriggered);
    connect(m_table, &QWidget::customContextMenuRequested, this, &DataExport::showMenu);

    connect(m_queryButton, &QPushButton::clicked, this, &DataExport::pt_Query_clicked);
    connect(m_tempAdd, &QPushButton::clicked, this, &DataExport::pt_TempAdd_clicked);
    connect(m_tempDelete, &QPushButton::clicked, this, &DataExport::pt_TempDelet_clicked);
    connect(m_timeAdd, &QPushButton::clicked, this, &DataExport::pt_TimeAdd_clicked);
    connect(m_timeDelete, &QPushButton::clicked, this, &DataExport::pt_TimeDelete_clicked);
    connect(m_displayRange, &QPushButton::clicked, this, &DataExport::pt_DisplayRange_clicked);
    connect(m_custom, &QPushButton::clicked, this, &DataExport::pt_Custom_clicked);
    connect(m_record, &QPushButton::clicked, this, &DataExport::pt_OriginalRecord_clicked);
    connect(m_certificate, &QPushButton::clicked, this, &DataExport::pt_CalibrationReport_clicked);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &DataExport::pt_TableWidget_clicked);
    connect(m_query, &QLineEdit::returnPressed, this, &DataExport::pt_Query_clicked);

    retranslate();
    m_certificate->setEnabled(Tool::hasRight(Right::CalibrationReport));
    m_record->setEnabled(Tool::hasRight(Right::OriginalRecord));
    m_custom->setEnabled(Tool::hasRight(Right::Custom));
    // Ranges and markers need an opened calibration.
    for (QPushButton *b : {m_displayRange, m_timeAdd, m_timeDelete, m_tempAdd, m_tempDelete})
        b->setEnabled(false);

    QList<Tool::Struct_Calibration> all;
    Tool::getCalibration(all, QString());
    fill(all);
}

DataExport::~DataExport()
{
    // A reading under way stops and is joined before the page's parts go.
    delete m_loader;
}

void DataExport::retranslate()
{
    m_tip = tr("提示");
    m_warning = tr("警告");
    const QString unit = Tool::TemperatureUnit;
    m_queryButton->setText(tr("查询"));
    m_table->setHorizontalHeaderLabels({tr("项目名称"), tr("性能判定")});
    showVerdicts();
    m_displayRangeLabel->setText(tr("时间设置："));
    m_leftRangeLabel->setText(tr(" 温度设置："));
    m_left1Unit->setText(unit + QStringLiteral(" -"));
    m_left2Unit->setText(unit);
    m_displayRange->setText(tr("设定"));
    m_timeTaggingLabel->setText(tr("时间轴-标注线设置："));
    m_timeRemarksLabel->setText(tr("备注："));
    m_timeAdd->setText(tr("添加"));
    m_timeDelete->setText(tr("删除"));
    m_tempTaggingLabel->setText(tr("温度轴-标注线设置："));
    m_tempUnit->setText(unit);
    m_tempRemarksLabel->setText(tr("备注："));
    m_tempAdd->setText(tr("添加"));
    m_tempDelete->setText(tr("删除"));
    m_certificate->setText(tr("校准证书"));
    m_record->setText(tr("校准记录"));
    m_custom->setText(tr("原始记录"));
    m_formatLabel->setText(tr("导出格式："));
    m_format->setToolTip(tr("校准证书和校准记录的文件格式；原始记录总是Excel工作簿"));
    m_deleteAction->setText(tr("删除项目"));
}

void DataExport::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void DataExport::fill(const QList<Tool::Struct_Calibration> &list)
{
    m_table->setRowCount(0);
    m_table->setRowCount(list.size());
    for (int i = 0; i < list.size(); ++i)
        m_table->setItem(i, 0, new QTableWidgetItem(list.at(i).CalibrationName));
    showVerdicts();
}

void DataExport::showVerdicts()
{
    QHash<QString, QString> verdicts;
    if (!Profiles::verdicts(verdicts))
        return;
    // A run the program did not see to its end is marked beside its verdict.
    QHash<QString, QString> states;
    RunRecords::states(states);
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QTableWidgetItem *name = m_table->item(row, 0);
        const QString word = name ? verdicts.value(name->text()) : QString();
        QString text = PerformanceReport::verdictDisplay(word);
        const QString state = name ? RunRecords::displayState(states.value(name->text())) : QString();
        if (!state.isEmpty())
            text = text.isEmpty() ? state : state + QStringLiteral(" / ") + text;
        auto *item = new QTableWidgetItem(text);
        if (!state.isEmpty())
            item->setToolTip(tr("程序在运行结束前被中止；已保存的数据可以导出或删除。"));
        item->setTextAlignment(Qt::AlignCenter);
        if (word == QStringLiteral("不合格"))
            item->setForeground(QColor(255, 0, 0));
        else if (word == QStringLiteral("合格"))
            item->setForeground(QColor(0, 128, 0));
        m_table->setItem(row, 1, item);
    }
}

void DataExport::pt_Query_clicked()
{
    QList<Tool::Struct_Calibration> list;
    Tool::queryCalibration(list, Queries::calibrationsNamed(m_query->text()));
    fill(list);
}

void DataExport::pt_TableWidget_clicked(int row, int)
{
    const QList<QTableWidgetItem *> selected = m_table->selectedItems();
    openRow(selected.isEmpty() ? row : selected.first()->row());
}

void DataExport::openRow(int row)
{
    const QTableWidgetItem *item = m_table->item(row, 0);
    if (!item || m_loader->isRunning())
        return;
    QList<Tool::Struct_Calibration> found;
    Tool::getCalibration(found, item->text());
    if (found.isEmpty())
        return;
    const Tool::Struct_Calibration calibration = found.first();

    // Both runs in stored order, row by row into the curves: a day-long run never sits in
    // memory twice, and the window keeps answering while it is read.
    auto run = std::make_shared<OpenedRun>();
    const QString file = Tool::databaseFileName();
    const QString unit = Tool::TemperatureUnit;
    const QString name = calibration.CalibrationName;
    const auto read = [run, file, unit, name](WorkerThread &worker) {
        ThreadConnection connection(file);
        if (!connection.isOpen()) {
            qDebug().noquote() << "查询CalibrationData失败！" << connection.errorString();
            return;
        }
        SampleReader reader(connection.database());
        reader.setCancelFlag(worker.cancelFlag());
        reader.setProgress([&worker](qint64 done, qint64 total) { worker.setProgress(done, total); });
        OpenedRun &r = *run;
        r.status = reader.read(name, QString(), -1, SampleReader::NoLimitFrom, SampleReader::NoLimitTo,
                               [&r, &unit](const SampleReader::Row &row) {
                                   if (r.curves.isEmpty())
                                       r.curves.resize(row.count);
                                   r.first = std::min(r.first, row.msecs);
                                   r.last = std::max(r.last, row.msecs);
                                   const double x = double(row.msecs);
                                   for (int p = 0; p < row.count; ++p) {
                                       const double y = Analysis::displayTemperature(row.values[p], unit);
                                       r.curves[p].append(QPointF(x, y));
                                       r.low = std::min(r.low, y);
                                       r.high = std::max(r.high, y);
                                   }
                                   return true;
                               });
        r.count = reader.probeCount();
        // The chart's point stores are built here too: for a day-long run that is most of
        // showing it.
        r.stores.resize(r.curves.size());
        for (int p = 0; p < r.curves.size(); ++p) {
            r.stores[p].replace(r.curves.at(p));
            r.curves[p] = QVector<QPointF>();
        }
        if (r.status == SampleReader::Failed)
            qDebug().noquote() << "查询CalibrationData失败！" << reader.errorString();
    };
    m_loader->start(read, [this, calibration, run] { showRun(calibration, *run); });
    new WorkProgress(m_loader, tr("数据导出"), tr("正在读取数据..."), this);
}

bool DataExport::isLoading() const
{
    return m_loader->isRunning();
}

void DataExport::showRun(const Tool::Struct_Calibration &calibration, OpenedRun &run)
{
    // Cancelled, even when the reading was over before the button was seen: nothing changes.
    if (run.status == SampleReader::Cancelled || m_loader->isCancelled())
        return;
    m_calibration = calibration;
    if (run.status != SampleReader::Ok || run.first > run.last) {
        emit calibrationOpened();
        return;
    }
    const QDateTime first = QDateTime::fromMSecsSinceEpoch(run.first);
    const QDateTime last = QDateTime::fromMSecsSinceEpoch(run.last);
    // One value per row: only the first channel gets a curve.
    const QString channels = run.count == 1 ? m_calibration.ChannelNumbers.section(QLatin1Char(','), 0, 0)
                                            : m_calibration.ChannelNumbers;
    m_chart->SetSeries(m_calibration.CalibrationName, channels, Tool::TemperatureUnit);
    for (int p = 0; p < run.stores.size() && p < m_chart->seriesCount(); ++p)
        m_chart->ReplaceSeries(p, std::move(run.stores[p]));
    m_chart->SetRange(run.low - 1, run.high + 1, first, last);
    m_left1->setText(QString::number(run.low - 1, 'f', 2));
    m_left2->setText(QString::number(run.high + 1, 'f', 2));
    m_from = first;
    m_to = last;
    m_range1->setDateTime(first);
    m_range2->setDateTime(last);
    m_timeTagging->setDateTime(first);
    for (QPushButton *b : {m_displayRange, m_timeAdd, m_timeDelete, m_tempAdd, m_tempDelete})
        b->setEnabled(true);
    emit calibrationOpened();
}

void DataExport::pt_DisplayRange_clicked()
{
    // The editors show whole seconds; the end takes in the samples of its last second.
    auto second = [](const QDateTime &t) { return t.addMSecs(-t.time().msec()); };
    const QDateTime start = second(m_range1->dateTime());
    const QDateTime end = second(m_range2->dateTime()).addMSecs(999);
    if (end < start) {
        Messages::warning(this, m_warning, tr("时间设置错误！"));
        return;
    }
    double low = 0, high = 0;
    if (!number(m_left1, low) || !number(m_left2, high) || low > high) {
        Messages::warning(this, m_warning, tr("温度设置错误！"));
        return;
    }
    m_from = start;
    m_to = end;
    m_chart->SetRange(low, high, start, end);
}

void DataExport::pt_TimeAdd_clicked()
{
    if (m_timeRemarks->text().isEmpty()) {
        Messages::warning(this, m_warning, tr("请设置标注线备注!"));
        return;
    }
    m_chart->AddVerticalLine(m_timeTagging->dateTime(), m_timeRemarks->text(), false);
}

void DataExport::pt_TempAdd_clicked()
{
    if (m_tempRemarks->text().isEmpty()) {
        Messages::warning(this, m_warning, tr("请设置标注线备注!"));
        return;
    }
    double value = 0;
    if (!number(m_tempTagging, value)) {
        Messages::warning(this, m_warning, tr("温度设置错误！"));
        return;
    }
    m_chart->AddHorizontalLine(value, m_tempRemarks->text());
}

void DataExport::pt_TimeDelete_clicked()
{
    m_chart->ClearVerticalLines();
}

void DataExport::pt_TempDelet_clicked()
{
    m_chart->ClearHorizontalLines();
}

DataExport::Source DataExport::exportSource(const QString &opened, const QString &selected)
{
    if (!selected.isEmpty() && selected != opened)
        return Source::Selected;
    return opened.isEmpty() ? Source::None : Source::Opened;
}

QString DataExport::chosenFormat() const
{
    return m_format->currentText();
}

QString DataExport::selectedName() const
{
    const QList<QTableWidgetItem *> selected = m_table->selectedItems();
    const QTableWidgetItem *item = selected.isEmpty() ? nullptr : m_table->item(selected.first()->row(), 0);
    return item ? item->text() : QString();
}

bool DataExport::exportTarget(Tool::Struct_Calibration &record, QDateTime &from, QDateTime &to)
{
    switch (exportSource(m_calibration.CalibrationName, selectedName())) {
    case Source::Opened:
        record = m_calibration;
        from = m_from;
        to = m_to;
        return true;
    case Source::Selected: {
        QList<Tool::Struct_Calibration> found;
        if (Tool::getCalibration(found, selectedName()) && !found.isEmpty()) {
            record = found.first();
            from = to = QDateTime();   // the whole run
            return true;
        }
        break;
    }
    case Source::None:
        break;
    }
    Messages::warning(this, m_warning, tr("请先选择需要导出的数据！"));
    return false;
}

void DataExport::startExport(int mode, const QString &format)
{
    Tool::Struct_Calibration record;
    QDateTime from, to;
    if (!exportTarget(record, from, to))
        return;
    if (mode == ExportJob::OriginalRecordMode && record.NumberChannels.toInt() > ReportWriter::maxRecordProbes) {
        Messages::warning(this, m_warning, ExportJob::probeLimitText());
        return;
    }
    // A run still going on (here or at another station) has not all its data yet.
    if (RunRecords::isLive(record.CalibrationName)) {
        Messages::warning(this, m_warning, RunRecords::liveRefusal(record.CalibrationName));
        return;
    }
    const QString refusal = ExportJob(mode, format, record).issueRefusal();
    if (!refusal.isEmpty()) {
        Messages::warning(this, m_warning, refusal);
        return;
    }
    QWaiting waiting(this);
    waiting.StartExport(mode, format, record, from, to);
    waiting.exec();
    // A certificate or record judged the project's performance.
    showVerdicts();
}

void DataExport::pt_CalibrationReport_clicked()
{
    startExport(ExportJob::CertificateMode, chosenFormat());
}

void DataExport::pt_OriginalRecord_clicked()
{
    startExport(ExportJob::OriginalRecordMode, chosenFormat());
}

void DataExport::pt_Custom_clicked()
{
    startExport(ExportJob::RawDataMode, QStringLiteral("Excel"));
}

void DataExport::showMenu(const QPoint &position)
{
    if (!Tool::hasRight(Right::DeleteData) || !m_table->itemAt(position))
        return;
    m_menu->popup(m_table->viewport()->mapToGlobal(position));
}

void DataExport::onGrpMenuTriggered(QAction *action)
{
    if (action != m_deleteAction)
        return;
    const QList<QTableWidgetItem *> selected = m_table->selectedItems();
    if (selected.isEmpty())
        return;
    const QTableWidgetItem *item = m_table->item(selected.first()->row(), 0);
    if (!item)
        return;
    const QString name = item->text();
    if (RunRecords::isLive(name)) {
        Messages::warning(this, m_warning, RunRecords::liveRefusal(name));
        return;
    }
    // Samples first: if the record cannot go afterwards it stays listed and can be deleted again,
    // whereas samples left without their record would be out of reach. A failure is no deletion
    // and gets no audit entry.
    if (!Tool::deleteCalibrationData(name) || !Tool::deleteCalibration(name))
        Messages::warning(this, m_warning, tr("删除数据失败!"));
    else {
        Tool::SaveAuditLog(AuditEvent::CalibrationDataDelete, tr("校准数据删除：") + name);
        Profiles::removeVerdict(name);
        RunRecords::complete(name);
    }
    QList<Tool::Struct_Calibration> all;
    Tool::getCalibration(all, QString());
    fill(all);
}
