#pragma once
// The detailed rights of one account: 25 check boxes in groups, enabled by the account's role.
// Hands the ticked rights back through sp_SetJurisdiction_signals when confirmed.

#include "store/tool.h"

#include <QDialog>
#include <QMap>

class QCheckBox;

class Jurisdiction : public QDialog
{
    Q_OBJECT

public:
    explicit Jurisdiction(QWidget *parent = nullptr);

    // Ticks the boxes from the record and enables them by its role. A disabled box keeps its tick.
    // Without mayChange every box is shown but none can be changed.
    void setUser(const Tool::Struct_UesrManagement &user, bool mayChange = true);

    QCheckBox *checkBox(const char *column) const;

signals:
    void sp_SetJurisdiction_signals(Tool::Struct_UesrManagement user);

private slots:
    void pt_OK_clicked();

private:
    Tool::Struct_UesrManagement m_user;
    QMap<QString, QCheckBox *> m_boxes;   // by right column
};
