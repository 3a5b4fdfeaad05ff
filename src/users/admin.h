#pragma once
// The user administration page: the accounts the logged-in user may see, with search, add, edit
// (double click) and delete of the checked accounts.

#include "store/tool.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class Admin : public QWidget
{
    Q_OBJECT

public:
    explicit Admin(QWidget *parent = nullptr);

    // The names listed, top to bottom.
    QStringList listedNames() const;
    // Ticks or clears the select box of the row showing name; false if no row shows it.
    bool setChecked(const QString &name, bool checked);

private slots:
    void pt_Add_clicked();
    void pt_Delete_clicked();
    void pt_Search_clicked();
    void pt_TableWidget_clicked(int row, int column);

private:
    void reload();
    void fill(const QList<Tool::Struct_UesrManagement> &users);

    QString m_notice;    // "提示"
    QString m_warning;   // "警告"
    QLabel *m_label;
    QLineEdit *m_search;
    QPushButton *m_searchButton;
    QPushButton *m_add;
    QPushButton *m_delete;
    QTableWidget *m_table;
};
