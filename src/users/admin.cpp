#include "users/admin.h"

#include "app/messages.h"
#include "app/widgets.h"
#include "store/accounts.h"
#include "store/queries.h"
#include "users/adminadd.h"
#include "users/adminedit.h"
#include "users/userrights.h"

#include <QCheckBox>
#include <QColor>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { Select, Name, Role, State, Registered, Expires, Remarks, FirstRight };

QCheckBox *selectBox(QTableWidget *table, int row)
{
    QWidget *cell = table->cellWidget(row, Select);
    return cell ? cell->findChild<QCheckBox *>() : nullptr;
}

} // namespace

Admin::Admin(QWidget *parent)
    : QWidget(parent), m_notice(tr("提示")), m_warning(tr("警告"))
{
    setObjectName(QStringLiteral("Admin"));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));
    Widgets::paintBackground(this);

    m_label = new QLabel(tr("用户名称："), this);
    m_label->setObjectName(QStringLiteral("label_DeviceName"));
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("lineEdit_DeviceName"));
    m_search->setMaximumWidth(300);
    m_searchButton = new QPushButton(tr("查询"), this);
    m_searchButton->setObjectName(QStringLiteral("pushButton_Search"));
    m_add = new QPushButton(tr("添加"), this);
    m_add->setObjectName(QStringLiteral("pushButton_Add"));
    m_delete = new QPushButton(tr("删除"), this);
    m_delete->setObjectName(QStringLiteral("pushButton_Delete"));

    QStringList headers = {tr("选中"), tr("用户名"), tr("用户权限"), tr("用户状态"),
                           tr("注册时间"), tr("失效时间"), tr("备注")};
    for (const auto &r : Tool::Struct_UesrManagement::rights())
        headers << Rights::header(r.right);
    m_table = new QTableWidget(0, headers.size(), this);
    m_table->setObjectName(QStringLiteral("tableWidget_List"));
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto *top = new QHBoxLayout;
    top->addWidget(m_label);
    top->addWidget(m_search);
    top->addWidget(m_searchButton);
    top->addStretch();
    top->addWidget(m_add);
    top->addWidget(m_delete);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_table);

    connect(m_add, &QPushButton::clicked, this, &Admin::pt_Add_clicked);
    connect(m_delete, &QPushButton::clicked, this, &Admin::pt_Delete_clicked);
    connect(m_searchButton, &QPushButton::clicked, this, &Admin::pt_Search_clicked);
    connect(m_search, &QLineEdit::returnPressed, this, &Admin::pt_Search_clicked);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &Admin::pt_TableWidget_clicked);

    m_add->setEnabled(Tool::hasRight(Right::AdminAdd));
    m_delete->setEnabled(Tool::hasRight(Right::AdminDelete));
    const bool canSearch = UserRights::managesOthers(Tool::CurrentUser.Rights);
    m_searchButton->setEnabled(canSearch);
    m_search->setEnabled(canSearch);

    reload();
}

void Admin::reload()
{
    QList<Tool::Struct_UesrManagement> users;
    Tool::queryUesrManagement(users, Queries::usersVisibleTo(Tool::CurrentUser.Rights, Tool::CurrentUser.Name));
    fill(users);
}

void Admin::fill(const QList<Tool::Struct_UesrManagement> &users)
{
    m_table->setRowCount(0);
    m_table->setRowCount(users.size());
    const auto &rights = Tool::Struct_UesrManagement::rights();
    const QDateTime now = QDateTime::currentDateTime();
    for (int row = 0; row < users.size(); ++row) {
        const Tool::Struct_UesrManagement &u = users.at(row);
        // The box sits centred in a plain container so that it lines up with the header.
        auto *cell = new QWidget(m_table);
        auto *cellLayout = new QHBoxLayout(cell);
        cellLayout->setContentsMargins(0, 0, 0, 0);
        cellLayout->setAlignment(Qt::AlignCenter);
        cellLayout->addWidget(new QCheckBox(cell));
        m_table->setCellWidget(row, Select, cell);

        // An account past its expiry cannot log in: the list says so whatever state is stored.
        const QString state = Accounts::shownState(u, now);
        const QStringList texts = {u.Name, Tool::toDisplayText(u.Rights), Tool::toDisplayText(state),
                                   u.RegistrationDate, u.ExpirationDate, u.Remarks};
        for (int c = 0; c < texts.size(); ++c)
            m_table->setItem(row, Name + c, new QTableWidgetItem(texts.at(c)));
        if (state == Accounts::stateExpired())
            m_table->item(row, State)->setForeground(QColor(255, 0, 0));
        for (size_t r = 0; r < rights.size(); ++r) {
            const bool on = u.*(rights[r].flag);
            m_table->setItem(row, FirstRight + int(r),
                             new QTableWidgetItem(on ? QStringLiteral("true") : QStringLiteral("false")));
        }
    }
}

QStringList Admin::listedNames() const
{
    QStringList names;
    for (int row = 0; row < m_table->rowCount(); ++row)
        names << m_table->item(row, Name)->text();
    return names;
}

bool Admin::setChecked(const QString &name, bool checked)
{
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (m_table->item(row, Name)->text() == name) {
            selectBox(m_table, row)->setChecked(checked);
            return true;
        }
    }
    return false;
}

void Admin::pt_Add_clicked()
{
    AdminAdd dialog(Tool::CurrentUser.Rights, this);
    dialog.exec();
    reload();
}

void Admin::pt_Delete_clicked()
{
    QStringList names;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QCheckBox *box = selectBox(m_table, row);
        if (box && box->isChecked())
            names << m_table->item(row, Name)->text();
    }
    // Without a ticked box the highlighted account is the one meant.
    if (names.isEmpty()) {
        const QModelIndex current = m_table->currentIndex();
        if (current.isValid() && m_table->selectionModel()->rowIntersectsSelection(current.row(), QModelIndex()))
            names << m_table->item(current.row(), Name)->text();
    }
    if (names.isEmpty()) {
        Messages::warning(this, m_warning, tr("请选中用户!"));
        return;
    }
    // The account in use stays: deleting it could leave the lab without an administrator and
    // this session with a user that no longer exists. The other checked accounts still go.
    if (names.removeAll(Tool::CurrentUser.Name) > 0) {
        Messages::warning(this, m_warning, tr("不能删除当前登录的用户：%1！").arg(Tool::CurrentUser.Name));
        if (names.isEmpty())
            return;
    }
    if (Messages::question(this, m_notice, tr("是否删除用户：%1?").arg(names.join(QLatin1Char(','))),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    QStringList deleted;
    for (const QString &name : names) {
        if (Tool::deleteUesrManagement(name))
            deleted << name;
        else
            Messages::warning(this, m_warning, tr("删除数据库失败!"));
    }
    reload();
    // One entry for the whole action, naming what was actually deleted.
    if (!deleted.isEmpty())
        Tool::SaveAuditLog(AuditEvent::UserDelete, tr("删除用户：") + deleted.join(QLatin1Char(',')));
}

void Admin::pt_Search_clicked()
{
    const QString role = Tool::CurrentUser.Rights;
    if (!UserRights::managesOthers(role))
        return;
    QList<Tool::Struct_UesrManagement> users;
    Tool::queryUesrManagement(users, Queries::usersVisibleTo(role, Tool::CurrentUser.Name, m_search->text()));
    fill(users);
}

void Admin::pt_TableWidget_clicked(int row, int)
{
    const QTableWidgetItem *item = m_table->item(row, Name);
    if (!item)
        return;
    QList<Tool::Struct_UesrManagement> users;
    if (!Tool::getUesrManagement(users, item->text()) || users.isEmpty())
        return;
    AdminEdit dialog(Tool::CurrentUser.Rights, users.first(), this);
    dialog.exec();
    reload();
}
