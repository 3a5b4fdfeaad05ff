#pragma once
// The editor of a new cycle file: its steps, built row by row, and saving.

#include "registry/CycleSteps.h"

#include <QDialog>

#include <memory>

namespace Ui {
class CyclicFileAdd;
}

class CyclicFileAdd : public QDialog
{
    Q_OBJECT

public:
    explicit CyclicFileAdd(QWidget *parent = nullptr);
    ~CyclicFileAdd() override;

    const CycleSteps &steps() const { return m_steps; }

public slots:
    void pt_OK_clicked();
    void pt_Set_clicked();
    void pt_Add_clicked();
    void pt_Clear_clicked();
    void pt_Delete_clicked();
    // A double click on a row: selects that step and shows it in the editors.
    void pt_TableWidget_clicked(int row, int column);

protected:
    void changeEvent(QEvent *event) override;

private:
    void showSteps();

    std::unique_ptr<Ui::CyclicFileAdd> ui;
    CycleSteps m_steps;
};
