#pragma once
// The list of probe sets (named groups of thermistor probes with four coefficients per channel):
// view, add and delete.

#include <QDialog>

#include <memory>

namespace Ui {
class Standardizer;
}

class Standardizer : public QDialog
{
    Q_OBJECT

public:
    explicit Standardizer(QWidget *parent = nullptr);
    ~Standardizer() override;

    // The number of the highlighted set (what a delete removes); empty when none.
    QString selectedNumber() const;

public slots:
    void pt_PCRAdd_clicked();
    void pt_PCRDelete_clicked();
    // A double click on a row: shows that set.
    void pt_TableWidget_clicked(int row, int column);

protected:
    void changeEvent(QEvent *event) override;

private:
    void refreshList();

    std::unique_ptr<Ui::Standardizer> ui;
};
