// Table and audit lookups shared by the registry tests.

#include "registrytest.h"

#include <QApplication>
#include <QTableWidget>
#include <QTimer>

QStringList rowTexts(QTableWidget *table, int row)
{
    QStringList texts;
    for (int c = 0; c < table->columnCount(); ++c)
        texts << (table->item(row, c) ? table->item(row, c)->text() : QString());
    return texts;
}

QStringList columnTexts(QTableWidget *table, int column)
{
    QStringList texts;
    for (int r = 0; r < table->rowCount(); ++r)
        texts << (table->item(r, column) ? table->item(r, column)->text() : QString());
    return texts;
}

Tool::Struct_AuditLog lastAudit()
{
    const QList<Tool::Struct_AuditLog> rows = Workspace::audit();
    return rows.isEmpty() ? Tool::Struct_AuditLog() : rows.last();
}

int auditCount()
{
    return Workspace::audit().size();
}

void onNextModal(std::function<void(QWidget *)> act)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            QTimer::singleShot(10, *poll);
            return;
        }
        act(modal);
        modal->close();
    };
    QTimer::singleShot(0, *poll);
}
