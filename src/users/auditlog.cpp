#include "users/auditlog.h"

#include "app/messages.h"
#include "app/widgets.h"
#include "users/auditreport.h"

#include <QComboBox>
#include <QDebug>
#include <QDateTimeEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

using Widgets::named;

AuditLog::AuditLog(QWidget *parent)
    : QWidget(parent), m_notice(tr("提示")), m_warning(tr("警告"))
{
    setObjectName(QStringLiteral("AuditLog"));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));
    Widgets::paintBackground(this);

    m_startLabel = named(new QLabel(tr("起始日期："), this), "label_Start");
    m_start = named(new QDateTimeEdit(this), "dateTimeEdit_Start");
    m_endLabel = named(new QLabel(tr("结束日期："), this), "label_End");
    m_end = named(new QDateTimeEdit(this), "dateTimeEdit_End");
    for (QDateTimeEdit *edit : {m_start, m_end}) {
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
        edit->setCalendarPopup(true);
    }
    m_operatorLabel = named(new QLabel(tr("操作人："), this), "label_Operator");
    m_operator = named(new QComboBox(this), "comboBox_Operator");
    m_operator->setMinimumWidth(140);
    m_typeLabel = named(new QLabel(tr("操作类型："), this), "label_Type");
    m_type = named(new QLineEdit(this), "lineEdit_Type");
    m_searchButton = named(new QPushButton(tr("查询"), this), "pushButton_Search");
    m_download = named(new QPushButton(tr("下载"), this), "pushButton_Download");
    m_verify = named(new QPushButton(tr("校验"), this), "pushButton_Verify");
    m_verify->setToolTip(tr("检查审计日志的哈希链：任何一条记录被改动或删除都会被发现"));

    m_table = named(new QTableWidget(0, 4, this), "tableWidget_List");
    m_table->setHorizontalHeaderLabels({tr("操作时间"), tr("操作人"), tr("操作类型"), tr("详细信息")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->setVisible(false);
    m_table->setColumnWidth(0, 300);
    m_table->setColumnWidth(1, 150);
    m_table->setColumnWidth(2, 300);
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto *filters = new QHBoxLayout;
    filters->addWidget(m_startLabel);
    filters->addWidget(m_start);
    filters->addWidget(m_endLabel);
    filters->addWidget(m_end);
    filters->addWidget(m_operatorLabel);
    filters->addWidget(m_operator);
    filters->addWidget(m_typeLabel);
    filters->addWidget(m_type);
    filters->addWidget(m_searchButton);
    filters->addStretch();
    filters->addWidget(m_verify);
    filters->addWidget(m_download);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_table);

    connect(m_searchButton, &QPushButton::clicked, this, &AuditLog::pt_Search_clicked);
    connect(m_download, &QPushButton::clicked, this, &AuditLog::pt_Download_clicked);
    connect(m_verify, &QPushButton::clicked, this, &AuditLog::pt_Verify_clicked);
    connect(this, &AuditLog::verified, this, &AuditLog::showVerdict);
    m_download->setEnabled(Tool::hasRight(Right::LogDownload));

    QList<Tool::Struct_UesrManagement> users;
    Tool::getUesrManagement(users, QString());
    for (const Tool::Struct_UesrManagement &u : users)
        m_operator->addItem(u.Name);

    m_start->setDateTime(QDateTime::fromString(QStringLiteral("2020-01-01 01:01:00"), Tool::TimeFormat));
    m_end->setDateTime(QDateTime::fromString(QStringLiteral("2040-01-01 01:01:59"), Tool::TimeFormat));

    load(QString(), QString(), QString(), QString());
}

void AuditLog::load(const QString &start, const QString &end, const QString &op, const QString &type)
{
    m_table->setRowCount(0);
    QList<Tool::Struct_AuditLog> rows;
    if (!Tool::getAuditLog(rows, start, end, op, type))
        return;
    // Stored in time order; the newest goes on top.
    m_table->setRowCount(rows.size());
    const int last = rows.size() - 1;
    for (int i = 0; i <= last; ++i) {
        Tool::Struct_AuditLog row = rows.at(i);
        // Stored in Chinese (older entries may hold English); shown, and printed, translated.
        row.Type = AuditEvents::displayText(row.Type);
        const QStringList texts = row.values();
        for (int c = 0; c < texts.size(); ++c)
            m_table->setItem(last - i, c, new QTableWidgetItem(texts.at(c)));
    }
}

void AuditLog::pt_Search_clicked()
{
    // Stored times carry milliseconds and compare as text: the end bound takes its whole second.
    load(m_start->dateTime().toString(Tool::TimeFormat),
         m_end->dateTime().toString(Tool::TimeFormat) + QStringLiteral(".999"), m_operator->currentText(),
         m_type->text());
}

QVector<QStringList> AuditLog::listedRows() const
{
    QVector<QStringList> rows;
    rows.reserve(m_table->rowCount());
    for (int r = 0; r < m_table->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < m_table->columnCount(); ++c) {
            const QTableWidgetItem *item = m_table->item(r, c);
            row << (item ? item->text() : QString());
        }
        rows << row;
    }
    return rows;
}

bool AuditLog::download(const QString &fileName)
{
    QString error;
    const QString head =
        AuditChain::head(QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false)).text();
    if (!AuditReport::write(fileName, listedRows(), head, &error)) {
        qDebug().noquote() << "审计报告写入失败：" << fileName << error;
        Messages::warning(this, m_warning, tr("数据导出失败！") + QLatin1Char('\n') + QDir::toNativeSeparators(fileName));
        return false;
    }
    Tool::SaveAuditLog(AuditEvent::AuditLogDownload, tr("下载审计日志。"));
    Messages::information(this, m_notice, tr("数据导出成功！"));
    return true;
}

void AuditLog::pt_Download_clicked()
{
    QFileDialog dialog(this, tr("保存文件"), QString(), tr("PDF 文件 (*.pdf)"));
    dialog.setObjectName(QStringLiteral("saveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without its extension still gets one, and the dialog asks before replacing it.
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(tr("审计日志") + QLatin1Char(' ') + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))
                      + QStringLiteral(".pdf"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString fileName = dialog.selectedFiles().value(0);
    if (fileName.isEmpty())
        return;
    download(fileName);
}

AuditLog::~AuditLog()
{
    // A check under way reads its own connection only; it is finished, never left behind.
    if (m_verifier)
        m_verifier->wait();
}

bool AuditLog::startVerify()
{
    if (m_verifier)
        return false;
    // The file, or on a server its location: the check reads on a connection of its own.
    const QString file = Tool::databaseFileName();
    m_verdict = std::make_shared<AuditChain::Verdict>();
    auto verdict = m_verdict;
    m_verifier = QThread::create([file, verdict] { *verdict = AuditChain::verifyFile(file); });
    connect(m_verifier, &QThread::finished, this, [this] {
        m_verifier->deleteLater();
        m_verifier = nullptr;
        m_verify->setEnabled(true);
        emit verified(*m_verdict);
    });
    m_verify->setEnabled(false);
    m_verifier->start();
    return true;
}

bool AuditLog::waitForVerify(unsigned long ms)
{
    if (!m_verifier)
        return true;
    if (!m_verifier->wait(ms))
        return false;
    // Delivers the finished signal queued for this thread.
    QCoreApplication::sendPostedEvents(this);
    QCoreApplication::processEvents();
    return m_verifier == nullptr;
}

void AuditLog::pt_Verify_clicked()
{
    startVerify();
}

void AuditLog::showVerdict(const AuditChain::Verdict &verdict)
{
    const QString text = AuditChain::describe(verdict);
    // The check itself is on the record, with its outcome (and, if broken, where).
    Tool::SaveAuditLog(AuditEvent::AuditLogVerify, text.section(QLatin1Char('\n'), 0, 0));
    if (verdict.intact)
        Messages::information(this, m_notice, text);
    else
        Messages::warning(this, m_warning, text);
}
