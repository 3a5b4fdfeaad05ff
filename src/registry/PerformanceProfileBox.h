#pragma once
// The maker's performance profile of the instrument model shown on the PCR instrument page: the limits
// the maker states (accuracy, uniformity, minimum heating and cooling rates, maximum overshoot,
// settling time), against which exports judge a calibration. Shown in the display unit, stored in
// ℃; saved and deleted by a user with the right to change instruments, each change audited.

#include "store/profiles.h"

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;

class PerformanceProfileBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit PerformanceProfileBox(QWidget *parent = nullptr);

    // Loads the profile of a model into the editors (empty editors when it has none).
    void showModel(const QString &model);
    QString model() const { return m_model; }

public slots:
    void pt_ProfileSave_clicked();
    void pt_ProfileDelete_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    QStringList typed() const;

    QString m_model;
    bool m_stored = false;
    PerformanceProfileRecord m_record;   // as stored, when m_stored
    QLabel *m_modelLabel = nullptr;
    QList<QLabel *> m_names;
    QList<QLabel *> m_units;
    QList<QLineEdit *> m_edits;
    QPushButton *m_save = nullptr;
    QPushButton *m_delete = nullptr;
};
