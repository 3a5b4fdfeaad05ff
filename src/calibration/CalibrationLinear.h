#pragma once
// Entry of the sample indication-error results measured outside the system: two samples at ten
// positions, and per sample its standard value, measured value, error and uncertainty. Cells take
// numbers only; the error follows the standard and measured values as they are typed. "确定"
// checks every cell and stores them in the project's record (audited); "取消" and the window's
// frame close it, asking first whether to discard what was typed.

#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

class CalibrationLinear : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Cells = 28;
    // Column of the computed indication error in the results table.
    static constexpr int ErrorColumn = 3;

    explicit CalibrationLinear(QWidget *parent = nullptr);

    void setProjectName(const QString &name) { projectName = name; }
    QString name() const { return projectName; }

    // The 28 texts in stored order, or false with the first empty or non-numeric cell current
    // (problem then names it).
    bool collect(QStringList &texts, QString *problem = nullptr);
    // Something was typed that a close would lose.
    bool hasInput() const;
    bool saved() const { return m_saved; }

public slots:
    void pt_Set_clicked();
    void pt_Cancel_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void retranslateUi();
    void fitColumns();
    bool save();
    void cellChanged(QTableWidgetItem *item);

    QString infoTitle;
    QString projectName;
    bool sized = false;
    bool m_saved = false;
    bool m_updating = false;
    QLabel *label = nullptr;
    QLabel *label_2 = nullptr;
    QTableWidget *tableWidget_Data = nullptr;
    QTableWidget *tableWidget_Data1 = nullptr;
    QPushButton *pushButton_Set = nullptr;
    QPushButton *pushButton_Cancel = nullptr;
};
