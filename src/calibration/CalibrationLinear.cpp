#include "calibration/CalibrationLinear.h"

#include "app/messages.h"
#include "calibration/LinearityValues.h"
#include "store/tool.h"

#include <QBrush>
#include <QCloseEvent>
#include <QColor>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Cell editor that refuses ",": the stored value is a ","-joined list of the 28 cells.
class CellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^,]*")), line));
        return editor;
    }
};

const char *const RowNames[2] = {"U1", "U2"};

// Column 0 holds the row names, and the results table's error is worked out. Tab and Shift+Tab
// pass over such cells, and the arrow keys stop before the row names: a value typed there would
// be lost and every later one would land a cell too far.
class ValueTable : public QTableWidget
{
public:
    using QTableWidget::QTableWidget;

protected:
    bool typed(int row, int column) const
    {
        const QTableWidgetItem *it = item(row, column);
        return column >= 1 && it && (it->flags() & Qt::ItemIsEditable);
    }

    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override
    {
        const QModelIndex current = currentIndex();
        const int rows = rowCount();
        const int last = columnCount() - 1;
        if (rows == 0 || last < 1)
            return QTableWidget::moveCursor(action, modifiers);
        if (!current.isValid() || current.column() < 1)
            return model()->index(0, 1);
        int row = current.row();
        int column = current.column();
        switch (action) {
        case MoveNext:
            do {
                if (++column > last) {
                    column = 1;
                    row = (row + 1) % rows;
                }
            } while (!typed(row, column));
            return model()->index(row, column);
        case MovePrevious:
            do {
                if (--column < 1) {
                    column = last;
                    row = (row + rows - 1) % rows;
                }
            } while (!typed(row, column));
            return model()->index(row, column);
        default: {
            const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
            return next.isValid() && next.column() < 1 ? model()->index(next.row(), 1) : next;
        }
        }
    }
};

QTableWidget *makeTable(QWidget *parent, const char *name, int columns)
{
    auto *table = new ValueTable(2, columns, parent);
    table->setObjectName(QLatin1String(name));
    table->setItemDelegate(new CellDelegate(table));
    table->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked
                           | QAbstractItemView::EditKeyPressed);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < 2; ++r) {
        auto *head = new QTableWidgetItem(QLatin1String(RowNames[r]));
        head->setFlags(Qt::ItemIsEnabled);
        table->setItem(r, 0, head);
        for (int c = 1; c < columns; ++c)
            table->setItem(r, c, new QTableWidgetItem(QString()));
    }
    return table;
}

// Both rows always in view: the table is never shorter than its header, its two rows and the
// horizontal scroll bar it may need.
void fitRows(QTableWidget *table)
{
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int height = table->horizontalHeader()->sizeHint().height() + table->rowHeight(0) + table->rowHeight(1)
                       + table->horizontalScrollBar()->sizeHint().height() + 2 * table->frameWidth();
    table->setMinimumHeight(height);
}

// Hands a cell still being edited to its item, so that what is visible is what is checked.
void commitEditor(QTableWidget *table)
{
    QWidget *editor = table->indexWidget(table->currentIndex());
    if (!editor)
        return;
    QAbstractItemDelegate *delegate = table->itemDelegate();
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

} // namespace

CalibrationLinear::CalibrationLinear(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CalibrationLinear"));
    setWindowIcon(QIcon(QStringLiteral(":/PCR/Image/Calibrate.png")));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));
    resize(684, 345);
    setMinimumSize(680, 300);

    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    tableWidget_Data = makeTable(this, "tableWidget_Data", 11);
    label_2 = new QLabel(this);
    label_2->setObjectName(QStringLiteral("label_2"));
    tableWidget_Data1 = makeTable(this, "tableWidget_Data1", 5);
    pushButton_Set = new QPushButton(this);
    pushButton_Set->setObjectName(QStringLiteral("pushButton_Set"));
    pushButton_Cancel = new QPushButton(this);
    pushButton_Cancel->setObjectName(QStringLiteral("pushButton_Cancel"));
    // The error is worked out from the standard and measured values.
    for (int r = 0; r < 2; ++r) {
        QTableWidgetItem *error = tableWidget_Data1->item(r, ErrorColumn);
        error->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        error->setBackground(QColor(235, 235, 235));
    }

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(tableWidget_Data, 1);
    layout->addWidget(label_2);
    layout->addWidget(tableWidget_Data1, 1);
    auto *buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(pushButton_Cancel);
    buttons->addWidget(pushButton_Set);
    layout->addLayout(buttons);

    connect(pushButton_Set, &QPushButton::clicked, this, &CalibrationLinear::pt_Set_clicked);
    connect(pushButton_Cancel, &QPushButton::clicked, this, &CalibrationLinear::pt_Cancel_clicked);
    for (QTableWidget *table : {tableWidget_Data, tableWidget_Data1})
        connect(table, &QTableWidget::itemChanged, this, &CalibrationLinear::cellChanged);
    retranslateUi();
}

void CalibrationLinear::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (sized)
        return;
    sized = true;
    // Once shown, the header has its font too: size the columns to it and widen the window so
    // that all ten columns are in view.
    QTimer::singleShot(0, this, &CalibrationLinear::fitColumns);
}

void CalibrationLinear::fitColumns()
{
    for (QTableWidget *table : {tableWidget_Data, tableWidget_Data1}) {
        table->resizeColumnsToContents();
        fitRows(table);
    }
    // Wide enough for the wider of the two tables: in English the five result columns need more
    // room than the ten raw-data columns.
    const QMargins margins = layout()->contentsMargins();
    int columns = 0;
    for (const QTableWidget *table : {tableWidget_Data, tableWidget_Data1}) {
        const QHeaderView *header = table->horizontalHeader();
        int needed = 2 * table->frameWidth() + margins.left() + margins.right();
        for (int c = 0; c + 1 < header->count(); ++c)
            needed += header->sectionSize(c);
        // The stretched last section keeps at least the default section size.
        needed += qMax(header->sectionSizeHint(header->count() - 1), header->defaultSectionSize());
        columns = qMax(columns, needed);
    }
    if (columns > width())
        resize(columns, height());
}

void CalibrationLinear::retranslateUi()
{
    infoTitle = tr("提示");
    setWindowTitle(tr("样本线性校准"));
    label->setText(tr("样本示值误差原始数据（copies/μL）"));
    label_2->setText(tr("样本示值误差（示值误差 = (测量值 − 标准值) / 标准值 × 100%）"));
    pushButton_Set->setText(tr("确定"));
    pushButton_Cancel->setText(tr("取消"));
    QStringList first{tr("项目")};
    for (int c = 1; c <= 10; ++c)
        first << QStringLiteral("    %1    ").arg(c);
    tableWidget_Data->setHorizontalHeaderLabels(first);
    tableWidget_Data1->setHorizontalHeaderLabels({tr("    项目    "), tr("  标准值 (copies/μL)  "),
                                                  tr("  测量值 (copies/μL)  "), tr("  示值误差 (%)  "),
                                                  tr("  不确定度 (%, k=2)  ")});
    for (QTableWidget *table : {tableWidget_Data, tableWidget_Data1}) {
        table->resizeColumnsToContents();
        fitRows(table);
    }
}

void CalibrationLinear::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

void CalibrationLinear::pt_Set_clicked()
{
    if (!save())
        return;
    m_saved = true;
    Tool::SaveAuditLog(AuditEvent::Calibration, tr("样本线性校准数据保存：") + projectName);
    close();
}

void CalibrationLinear::pt_Cancel_clicked()
{
    close();
}

void CalibrationLinear::cellChanged(QTableWidgetItem *item)
{
    if (m_updating || !item || item->column() < 1)
        return;
    m_updating = true;
    // A cell that holds no number is marked at once; the error follows its two values.
    const bool wrong = !item->text().trimmed().isEmpty() && !LinearityValues::isValue(item->text());
    if (item->flags() & Qt::ItemIsEditable)
        item->setBackground(wrong ? QColor(255, 200, 200) : QBrush());
    if (item->tableWidget() == tableWidget_Data1 && item->column() != ErrorColumn) {
        const int r = item->row();
        const QString error = LinearityValues::indicationError(tableWidget_Data1->item(r, 1)->text(),
                                                               tableWidget_Data1->item(r, 2)->text());
        tableWidget_Data1->item(r, ErrorColumn)->setText(error);
    }
    m_updating = false;
}

bool CalibrationLinear::hasInput() const
{
    for (const QTableWidget *table : {tableWidget_Data, tableWidget_Data1})
        for (int r = 0; r < 2; ++r)
            for (int c = 1; c < table->columnCount(); ++c) {
                const QTableWidgetItem *item = table->item(r, c);
                if (item && (item->flags() & Qt::ItemIsEditable) && !item->text().trimmed().isEmpty())
                    return true;
            }
    return false;
}

bool CalibrationLinear::collect(QStringList &texts, QString *problem)
{
    texts.clear();
    for (QTableWidget *table : {tableWidget_Data, tableWidget_Data1}) {
        commitEditor(table);
        for (int r = 0; r < 2; ++r) {
            for (int c = 1; c < table->columnCount(); ++c) {
                const QTableWidgetItem *item = table->item(r, c);
                const QString text = item ? item->text().trimmed() : QString();
                const bool computed = table == tableWidget_Data1 && c == ErrorColumn;
                if (text.isEmpty() || !LinearityValues::isValue(text)) {
                    // An error cell stays empty while its standard or measured value is missing.
                    table->setCurrentCell(r, computed ? 1 : c);
                    if (problem) {
                        const QString where = QLatin1String(RowNames[r]) + QStringLiteral(" / ")
                                              + table->horizontalHeaderItem(c)->text().trimmed();
                        *problem = text.isEmpty() || computed ? tr("请将数据填写完整！")
                                                              : tr("%1 不是数值！").arg(where);
                    }
                    return false;
                }
                texts << text;
            }
        }
    }
    return true;
}

bool CalibrationLinear::save()
{
    QStringList texts;
    QString problem;
    if (!collect(texts, &problem)) {
        Messages::information(this, infoTitle, problem);
        return false;
    }
    // An update that meets no project would report success and keep nothing.
    QList<Tool::Struct_Calibration> projects;
    if (!Tool::getCalibration(projects, projectName) || projects.isEmpty()
        || !Tool::updateCalibrationLinear(projectName, texts.join(QLatin1Char(',')))) {
        Messages::information(this, infoTitle, tr("数据保存失败！"));
        return false;
    }
    return true;
}

void CalibrationLinear::closeEvent(QCloseEvent *event)
{
    // Closed without saving: only what was typed is at stake, and only the engineer knows
    // whether it still matters.
    if (m_saved || !hasInput()
        || Messages::question(this, infoTitle, tr("数据尚未保存，是否放弃已填写的数据？"),
                              QMessageBox::Yes | QMessageBox::No)
               == QMessageBox::Yes)
        event->accept();
    else
        event->ignore();
}
