#pragma once
// The register of the PCR instruments to be calibrated: form, list with the derived calibration
// state, add, change, view and delete.

#include "store/tool.h"

#include <QWidget>

#include <memory>

namespace Ui {
class PCRDevice;
}
class PerformanceProfileBox;

class PCRDevice : public QWidget
{
    Q_OBJECT

public:
    explicit PCRDevice(QWidget *parent = nullptr);
    ~PCRDevice() override;

public slots:
    void pt_PCRAdd_clicked();
    void pt_PCRModify_clicked();
    void pt_PCRDelete_clicked();
    // A double click on a row of the list.
    void pt_TableWidget_clicked(int row, int column);

protected:
    void changeEvent(QEvent *event) override;

private:
    // Reads the editors into device and remembers the typed name, model and manufacturer.
    // 0 when complete; 1, 2, 3 when the number, serial number or certificate number is missing.
    int gatherForm(Tool::Struct_PCRDevice &device);
    // What the store cannot tell: a number the calibration page could not read back, an
    // unreadable date or cycle. Empty when the record may be written.
    QString checkValues(const Tool::Struct_PCRDevice &device, bool withDate);
    // gatherForm and checkValues; false, after telling the user why, when nothing may be written.
    bool readForm(Tool::Struct_PCRDevice &device, bool withDate);
    // The number or serial number used by another instrument than `number`.
    bool clashes(const Tool::Struct_PCRDevice &device, const QString &except);
    void refreshList();
    void fillForm(const Tool::Struct_PCRDevice &device);
    // Shows the stored instrument in the form (audited as viewed when it was not shown already).
    void openRecord(const QString &number);
    void showDerived(const QString &calibrationDate, const QString &cycle);
    void typedDatesChanged();
    void fillFixedLists();

    std::unique_ptr<Ui::PCRDevice> ui;
    // The limits of the model in the model editor.
    PerformanceProfileBox *profileBox = nullptr;
    // The instrument the form was last opened on.
    QString selectedNumber;
    // The stored date of the opened instrument: kept with its seconds when the editor still
    // shows its minute.
    QString openedCalibrationDate;
};
