#pragma once
// The editor of a cycle file: its steps, built row by row, and saving a new file or the changes
// of an existing one.

#include "registry/CycleSteps.h"
#include "store/tool.h"

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
    // Changes the stored file: its number stays, its name and steps can be changed.
    explicit CyclicFileAdd(const Tool::Struct_CyclicFile &file, QWidget *parent = nullptr);
    ~CyclicFileAdd() override;

    bool isChange() const { return m_changing; }

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
    // A step refused by the editor's rules: the message, true when there was one.
    bool refused(CycleSteps::Result result);
    void saveChange(const Tool::Struct_CyclicFile &file);

    std::unique_ptr<Ui::CyclicFileAdd> ui;
    CycleSteps m_steps;
    bool m_changing = false;
    Tool::Struct_CyclicFile m_original;
};
