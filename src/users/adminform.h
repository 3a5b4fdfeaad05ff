#pragma once
// The account form shared by AdminAdd and AdminEdit: user information, role, expiry, remarks and
// the detailed rights, which the Jurisdiction dialog hands back.

#include "store/tool.h"

#include <QDialog>
#include <QPointer>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class Jurisdiction;

class AdminForm : public QDialog
{
    Q_OBJECT

public:
    // The password-recovery questions offered.
    static QStringList problems();

    // The record as the form holds it now (rights as last handed back by Jurisdiction).
    Tool::Struct_UesrManagement record() const;
    // The rights dialog while it is open, else null.
    Jurisdiction *openJurisdiction() const;

public slots:
    void pt_SetJurisdiction_slots(Tool::Struct_UesrManagement user);

protected slots:
    virtual void pt_OK_clicked() = 0;
    void pt_Jurisdiction_clicked();

protected:
    // roles: the stored role words the logged-in user may give; withState adds the state box.
    AdminForm(const QStringList &roles, bool withState, QWidget *parent);

    // Fills the form from a stored record; a role or question not offered is shown all the same,
    // so saving unchanged keeps it.
    void load(const Tool::Struct_UesrManagement &user);
    // Reads the form into m_user (the fields the form shows; everything else stays).
    void collect();
    // Empty when the form is valid, else the message to show.
    QString invalidInput() const;

    static void selectText(QComboBox *box, const QString &text);

    QString m_notice;    // "提示"
    QString m_warning;   // "警告"
    Tool::Struct_UesrManagement m_user;

    QLineEdit *m_name;
    QLineEdit *m_password;
    QComboBox *m_problem;
    QLineEdit *m_answer;
    QComboBox *m_rights;
    QLineEdit *m_expiration;
    QLineEdit *m_remarks;
    QComboBox *m_state = nullptr;
    QPushButton *m_jurisdictionButton;
    QPushButton *m_ok;

private:
    QGridLayout *m_grid;
    bool m_keepSecrets = false;   // editing: an empty password or answer keeps the stored one
    QString m_loadedProblem, m_loadedPassword, m_loadedAnswer;   // as stored, when editing
    QPointer<Jurisdiction> m_jurisdiction;
};
