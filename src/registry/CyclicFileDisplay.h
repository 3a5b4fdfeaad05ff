#pragma once
// One cycle file, read-only, its temperatures in the display unit.

#include "store/tool.h"

#include <QDialog>

#include <memory>

namespace Ui {
class CyclicFileDisplay;
}

class CyclicFileDisplay : public QDialog
{
    Q_OBJECT

public:
    explicit CyclicFileDisplay(const Tool::Struct_CyclicFile &file, QWidget *parent = nullptr);
    ~CyclicFileDisplay() override;

private:
    std::unique_ptr<Ui::CyclicFileDisplay> ui;
};
