#pragma once
// The audit log browser: filters by time, operator and type, newest first, and the PDF report of
// what is listed.

#include "store/tool.h"

#include "store/auditchain.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QThread;

class AuditLog : public QWidget
{
    Q_OBJECT

public:
    explicit AuditLog(QWidget *parent = nullptr);

    // The rows listed, top to bottom, as time, operator, type, details.
    QVector<QStringList> listedRows() const;

    ~AuditLog() override;

    // Writes the listed rows to fileName; what pt_Download_clicked does once a file is chosen.
    bool download(const QString &fileName);

    // Checks the whole trail on a worker; verified() follows with the verdict. False when a check
    // is already under way.
    bool startVerify();
    // Waits for a check under way (tests); true when none is left running.
    bool waitForVerify(unsigned long ms);

signals:
    void verified(const AuditChain::Verdict &verdict);

private slots:
    void pt_Search_clicked();
    void pt_Download_clicked();
    void pt_Verify_clicked();

private:
    void showVerdict(const AuditChain::Verdict &verdict);
    void load(const QString &start, const QString &end, const QString &op, const QString &type);

    QString m_notice;    // "提示"
    QString m_warning;   // "警告"
    QLabel *m_startLabel;
    QDateTimeEdit *m_start;
    QLabel *m_endLabel;
    QDateTimeEdit *m_end;
    QLabel *m_operatorLabel;
    QComboBox *m_operator;
    QLabel *m_typeLabel;
    QLineEdit *m_type;
    QPushButton *m_searchButton;
    QPushButton *m_download;
    QPushButton *m_verify;
    QThread *m_verifier = nullptr;
    std::shared_ptr<AuditChain::Verdict> m_verdict;
    QTableWidget *m_table;
};
