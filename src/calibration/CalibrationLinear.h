#pragma once
// Entry of the sample indication-error results measured outside the system: two samples at ten
// positions, and per sample its standard value, measured value, error and uncertainty. Every
// close checks that all cells are filled and stores them in the project's record.

#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

class CalibrationLinear : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Cells = 28;

    explicit CalibrationLinear(QWidget *parent = nullptr);

    void setProjectName(const QString &name) { projectName = name; }
    QString name() const { return projectName; }

    // The 28 texts in stored order, or false with the first empty cell current.
    bool collect(QStringList &texts);

public slots:
    void pt_Set_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void retranslateUi();
    void fitColumns();
    bool save();

    QString infoTitle;
    QString projectName;
    bool sized = false;
    QLabel *label = nullptr;
    QLabel *label_2 = nullptr;
    QTableWidget *tableWidget_Data = nullptr;
    QTableWidget *tableWidget_Data1 = nullptr;
    QPushButton *pushButton_Set = nullptr;
};
