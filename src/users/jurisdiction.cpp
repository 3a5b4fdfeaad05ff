#include "users/jurisdiction.h"

#include "users/userrights.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

Jurisdiction::Jurisdiction(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Jurisdiction"));
    setWindowTitle(tr("详细权限"));
    setStyleSheet(QStringLiteral("font: 12pt \"宋体\";"));

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    const int columns = 3;
    for (int g = 0; g < RightGroupCount; ++g) {
        const auto group = static_cast<RightGroup>(g);
        auto *box = new QGroupBox(UserRights::groupTitle(group), this);
        box->setObjectName(UserRights::groupObjectName(group));
        auto *inner = new QVBoxLayout(box);
        for (const auto &e : Tool::Struct_UesrManagement::rights()) {
            if (e.group != group)
                continue;
            auto *check = new QCheckBox(Rights::label(e.right), box);
            check->setObjectName(QStringLiteral("checkBox_") + QLatin1String(e.column));
            inner->addWidget(check);
            m_boxes.insert(QLatin1String(e.column), check);
        }
        inner->addStretch();
        grid->addWidget(box, g / columns, g % columns);
    }

    auto *ok = new QPushButton(tr("确定"), this);
    ok->setObjectName(QStringLiteral("pushButton_OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &Jurisdiction::pt_OK_clicked);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void Jurisdiction::setUser(const Tool::Struct_UesrManagement &user, bool mayChange)
{
    m_user = user;
    for (const auto &e : Tool::Struct_UesrManagement::rights()) {
        QCheckBox *box = m_boxes.value(QLatin1String(e.column));
        box->setChecked(user.*(e.flag));
        box->setEnabled(mayChange && Rights::isChangeable(e.changeable, user.Rights));
    }
}

QCheckBox *Jurisdiction::checkBox(const char *column) const
{
    return m_boxes.value(QLatin1String(column));
}

void Jurisdiction::pt_OK_clicked()
{
    for (const auto &e : Tool::Struct_UesrManagement::rights())
        m_user.*(e.flag) = m_boxes.value(QLatin1String(e.column))->isChecked();
    emit sp_SetJurisdiction_signals(m_user);
    close();
}
