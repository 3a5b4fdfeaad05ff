#pragma once
// The list of cycle files (temperature programs the PCR instrument runs during a calibration):
// view, add and delete.

#include <QDialog>

#include <memory>

namespace Ui {
class CyclicFile;
}

class CyclicFile : public QDialog
{
    Q_OBJECT

public:
    explicit CyclicFile(QWidget *parent = nullptr);
    ~CyclicFile() override;

    // The number of the highlighted file (what modify and delete act on); empty when none.
    QString selectedNumber() const;

public slots:
    void pt_Add_clicked();
    void pt_Delete_clicked();
    // Changes the selected file in the editor.
    void pt_Modify_clicked();
    // A double click on a row: shows that file.
    void pt_TableWidget_clicked(int row, int column);

protected:
    void changeEvent(QEvent *event) override;

private:
    void refreshList();

    std::unique_ptr<Ui::CyclicFile> ui;
};
