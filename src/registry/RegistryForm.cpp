#include "registry/RegistryForm.h"

#include "app/messages.h"
#include "store/datawords.h"
#include "store/tool.h"

#include <QCoreApplication>

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableWidget>

namespace RegistryForm {

void loadValues(QComboBox *box, const char *key)
{
    const QString text = box->currentText();
    QStringList values;
    Tool::getDataSheet(QString::fromUtf8(key), values);
    box->clear();
    box->addItems(values);
    box->setCurrentText(text);
}

void rememberValues(QWidget *parent, std::initializer_list<std::pair<QComboBox *, const char *>> lists)
{
    bool remembered = true;
    for (const auto &[box, key] : lists) {
        const QString text = box->currentText().trimmed();
        remembered = (text.isEmpty() || Tool::addDataSheet(QString::fromUtf8(key), text)) && remembered;
        loadValues(box, key);
        box->setCurrentText(text);
    }
    if (!remembered)
        Messages::warning(parent, QCoreApplication::translate("RegistryForm", "警告"),
                          QCoreApplication::translate("RegistryForm", "添加数据失败！"));
}

void selectOrAdd(QComboBox *box, const QString &text)
{
    int index = box->findText(text);
    if (index < 0 && !text.isEmpty()) {
        box->addItem(text);
        index = box->count() - 1;
    }
    if (index >= 0)
        box->setCurrentIndex(index);
}

void setUpList(QTableWidget *table)
{
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
}

void clearList(QTableWidget *table)
{
    table->clearContents();
    table->setRowCount(0);
}

int appendRow(QTableWidget *table, const QStringList &texts)
{
    const int row = table->rowCount();
    table->insertRow(row);
    for (int column = 0; column < texts.size() && column < table->columnCount(); ++column) {
        auto *item = new QTableWidgetItem(texts.at(column));
        item->setTextAlignment(Qt::AlignCenter);
        table->setItem(row, column, item);
    }
    return row;
}

QString currentKey(const QAbstractItemView *view, int keyColumn)
{
    const QItemSelectionModel *selection = view ? view->selectionModel() : nullptr;
    if (!selection)
        return QString();
    const QModelIndex current = selection->currentIndex();
    if (!current.isValid() || !selection->rowIntersectsSelection(current.row(), current.parent()))
        return QString();
    return current.sibling(current.row(), keyColumn).data().toString();
}

bool selectKey(QTableWidget *table, int keyColumn, const QString &key)
{
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem *item = table->item(row, keyColumn);
        if (item && item->text() == key) {
            table->setCurrentCell(row, keyColumn, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            return true;
        }
    }
    return false;
}

void onHighlight(QTableWidget *table, int keyColumn, const std::function<void(const QString &)> &open)
{
    // A click selects before it moves the current row, selectRow the other way round: the row
    // counts as highlighted once both have happened.
    const auto changed = [table, keyColumn, open] {
        const QString key = currentKey(table, keyColumn);
        if (!key.isEmpty())
            open(key);
    };
    QObject::connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged, table, changed);
    QObject::connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, table, changed);
}

QString deleteQuestion(const QString &number, const QString &name)
{
    QString question = QCoreApplication::translate("RegistryForm", "是否删除编号") + number;
    if (!name.isEmpty())
        question += QCoreApplication::translate("RegistryForm", "（%1）").arg(name);
    return question + QStringLiteral("?");
}

bool confirmDelete(QWidget *parent, const QString &number, const QString &name,
                   const std::function<bool(const QString &)> &remove, const QString &failText)
{
    const QString question = deleteQuestion(number, name);
    if (Messages::question(parent, QCoreApplication::translate("RegistryForm", "提示"), question,
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return false;
    if (!remove(number)) {
        Messages::warning(parent, QCoreApplication::translate("RegistryForm", "警告"), failText);
        return false;
    }
    return true;
}

void applyRight(QAbstractButton *button, Right right)
{
    button->setEnabled(Tool::hasRight(right));
}

bool isUsableKey(const QString &key)
{
    return DataWords::isUsableKey(key);
}

} // namespace RegistryForm
