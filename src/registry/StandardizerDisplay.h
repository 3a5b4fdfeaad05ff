#pragma once
// One probe set: its number, name, channel count and time, each channel's coefficients, and their
// export to a coefficient file.

#include "store/tool.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class StandardizerDisplay;
}

class StandardizerDisplay : public QDialog
{
    Q_OBJECT

public:
    explicit StandardizerDisplay(const Tool::Struct_Standardizer &set, QWidget *parent = nullptr);
    ~StandardizerDisplay() override;

    // How the file to write is chosen (empty: cancelled): the standard dialog unless a test
    // replaces it.
    static std::function<QString(QWidget *parent, const QString &title, const QString &filter)> chooseFile;

public slots:
    void pt_Export_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    std::unique_ptr<Ui::StandardizerDisplay> ui;
    Tool::Struct_Standardizer m_set;
};
