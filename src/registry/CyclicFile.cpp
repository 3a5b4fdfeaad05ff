#include "registry/CyclicFile.h"
#include "ui_CyclicFile.h"

#include "app/messages.h"
#include "app/widgets.h"
#include "registry/CyclicFileAdd.h"
#include "registry/CyclicFileDisplay.h"
#include "registry/RegistryForm.h"
#include "store/queries.h"
#include "store/tool.h"

#include <QEvent>

CyclicFile::CyclicFile(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::CyclicFile>())
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/PCR/Image/CyclicFile.png")));
    Widgets::paintBackground(this);
    RegistryForm::setUpList(ui->tableWidget_List);
    RegistryForm::applyRight(ui->pushButton_Delete, Right::CyclicFileDelete);
    RegistryForm::applyRight(ui->pushButton_Add, Right::CyclicFileAdd);
    // Whoever may add a file may correct one.
    RegistryForm::applyRight(ui->pushButton_Modify, Right::CyclicFileAdd);
    // Return in the dialog must not press a button by accident.
    ui->pushButton_Delete->setAutoDefault(false);
    ui->pushButton_Add->setAutoDefault(false);
    ui->pushButton_Modify->setAutoDefault(false);

    connect(ui->pushButton_Add, &QPushButton::clicked, this, &CyclicFile::pt_Add_clicked);
    connect(ui->pushButton_Delete, &QPushButton::clicked, this, &CyclicFile::pt_Delete_clicked);
    connect(ui->pushButton_Modify, &QPushButton::clicked, this, &CyclicFile::pt_Modify_clicked);
    connect(ui->tableWidget_List, &QTableWidget::cellDoubleClicked, this, &CyclicFile::pt_TableWidget_clicked);
    refreshList();
}

CyclicFile::~CyclicFile() = default;

void CyclicFile::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}

void CyclicFile::refreshList()
{
    RegistryForm::clearList(ui->tableWidget_List);
    QList<Tool::Struct_CyclicFile> files;
    if (!Tool::getCyclicFile(files, QString()))
        return;
    for (const Tool::Struct_CyclicFile &f : files)
        RegistryForm::appendRow(ui->tableWidget_List, {f.Number, f.Name, f.StepCount, f.CreateTime});
}

void CyclicFile::pt_TableWidget_clicked(int row, int)
{
    const QTableWidgetItem *item = ui->tableWidget_List->item(row, 0);
    if (!item)
        return;
    QList<Tool::Struct_CyclicFile> files;
    if (!Tool::getCyclicFile(files, item->text()) || files.isEmpty())
        return;
    const Tool::Struct_CyclicFile file = files.first();
    // The file shown is the highlighted one, which modify and delete then act on.
    ui->tableWidget_List->selectRow(row);
    CyclicFileDisplay display(file, this);
    display.exec();
    Tool::SaveAuditLog(AuditEvent::CyclicFileView, tr("查看循环文件：") + file.Name);
}

void CyclicFile::pt_Add_clicked()
{
    CyclicFileAdd editor(this);
    editor.exec();
    refreshList();
}

QString CyclicFile::selectedNumber() const
{
    return RegistryForm::currentKey(ui->tableWidget_List, 0);
}

void CyclicFile::pt_Modify_clicked()
{
    const QString number = selectedNumber();
    QList<Tool::Struct_CyclicFile> files;
    if (number.isEmpty() || !Tool::getCyclicFile(files, number) || files.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("请先选择设备"));
        return;
    }
    CyclicFileAdd editor(files.first(), this);
    editor.exec();
    refreshList();
    RegistryForm::selectKey(ui->tableWidget_List, 0, number);
}

void CyclicFile::pt_Delete_clicked()
{
    const QString number = selectedNumber();
    QList<Tool::Struct_CyclicFile> files;
    if (number.isEmpty() || !Tool::getCyclicFile(files, number) || files.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("请先选择设备"));
        return;
    }
    // Stored projects find their steps by the file's name: without it their results cannot be
    // exported any more.
    QList<Tool::Struct_Calibration> users;
    if (!Tool::queryCalibration(users, Queries::calibrationsUsingCycleFile(files.first().Name)) || !users.isEmpty()) {
        Messages::warning(this, tr("警告"),
                          tr("该循环文件已被%1个校准项目使用，不能删除！").arg(users.size()));
        return;
    }
    if (!RegistryForm::confirmDelete(this, number, files.first().Name, &Tool::deleteCyclicFile, tr("删除数据库失败!")))
        return;
    refreshList();
    Tool::SaveAuditLog(AuditEvent::CyclicFileDelete, tr("删除循环文件的编号：") + number);
}
