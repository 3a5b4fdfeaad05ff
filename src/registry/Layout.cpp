#include "registry/Layout.h"
#include "ui_Layout.h"

#include "app/messages.h"
#include "app/widgets.h"
#include "registry/LayoutAdd.h"
#include "registry/LayoutDrawing.h"
#include "registry/RegistryForm.h"
#include "store/tool.h"

#include <QEvent>

Layout::Layout(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::Layout>())
{
    ui->setupUi(this);
    Widgets::paintBackground(this);
    RegistryForm::setUpList(ui->tableWidget);
    RegistryForm::applyRight(ui->pushButton_NewBuilt, Right::LayoutAdd);
    RegistryForm::applyRight(ui->pushButton_Delete, Right::LayoutDelete);

    connect(ui->pushButton_NewBuilt, &QPushButton::clicked, this, &Layout::pt_Add_clicked);
    connect(ui->pushButton_Delete, &QPushButton::clicked, this, &Layout::pt_Delete_clicked);
    connect(ui->tableWidget, &QTableWidget::cellDoubleClicked, this, &Layout::pt_TableWidget_clicked);
    // The picture shown is the highlighted layout's: a delete acts on what the page shows.
    RegistryForm::onHighlight(ui->tableWidget, 0, [this](const QString &name) { openLayout(name); });

    const QStringList names = refreshList();
    showLayout(names.isEmpty() ? QString() : names.last());
}

Layout::~Layout() = default;

QStringList Layout::refreshList()
{
    RegistryForm::clearList(ui->tableWidget);
    QList<Tool::Struct_Layout> layouts;
    QStringList names;
    if (!Tool::getLayout(layouts, QString()))
        return names;
    for (const Tool::Struct_Layout &l : layouts) {
        const int row = RegistryForm::appendRow(ui->tableWidget, {l.Name});
        if (l.Name == m_name)
            ui->tableWidget->selectRow(row);
        names << l.Name;
    }
    return names;
}

void Layout::showLayout(const QString &name, const QPixmap &picture)
{
    m_name = name;
    m_picture = picture;
    m_pictureProblem.clear();
    m_pointCount.clear();
    QList<Tool::Struct_Layout> layouts;
    if (!name.isEmpty() && Tool::getLayout(layouts, name) && !layouts.isEmpty()) {
        m_pointCount = layouts.first().PointCount;
        if (m_picture.isNull()) {
            const LayoutDrawing::StoredPicture stored = LayoutDrawing::readPicture(layouts.first().Image);
            m_picture = QPixmap::fromImage(stored.image);
            m_pictureProblem = LayoutDrawing::pictureProblemText(stored);
        }
    }
    ui->lineEdit_Name->setText(name);
    ui->lineEdit_Name->setCursorPosition(0);
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row)
        if (ui->tableWidget->item(row, 0) && ui->tableWidget->item(row, 0)->text() == name)
            ui->tableWidget->selectRow(row);
    showDetails(m_pointCount);
    showPicture();
}

void Layout::showDetails(const QString &pointCount)
{
    ui->label_Points->setText(m_name.isEmpty() ? QString() : tr("探头点数：%1").arg(pointCount));
}

void Layout::showPicture()
{
    if (m_picture.isNull()) {
        ui->label->setPixmap(QPixmap());
        ui->label->setText(m_name.isEmpty()               ? tr("还没有布点图，请点击“新建”绘制。")
                           : !m_pictureProblem.isEmpty() ? m_pictureProblem
                                                         : tr("该布点图没有可显示的图片。"));
        return;
    }
    // Stretched to the label, as the label is shaped.
    ui->label->setPixmap(m_picture.scaled(ui->label->contentsRect().size(), Qt::IgnoreAspectRatio,
                                          Qt::SmoothTransformation));
}

void Layout::pt_TableWidget_clicked(int row, int)
{
    if (!ui->tableWidget->item(row, 0))
        return;
    // Highlighting the row shows it.
    ui->tableWidget->selectRow(row);
}

void Layout::openLayout(const QString &name)
{
    if (name == m_name)
        return;
    showLayout(name);
    Tool::SaveAuditLog(AuditEvent::LayoutView, tr("查看布点图：") + m_name);
}

void Layout::pt_Add_clicked()
{
    auto *editor = new LayoutAdd(this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor, &LayoutAdd::sp_Image_signals, this, &Layout::sp_Image_slots);
    editor->open();
}

void Layout::sp_Image_slots(const QString &name, const QPixmap &picture)
{
    m_name = name;
    refreshList();
    showLayout(name, picture);
}

void Layout::pt_Delete_clicked()
{
    const QString name = RegistryForm::currentKey(ui->tableWidget, 0);
    if (name.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("请先选择布点图！"));
        return;
    }
    if (Messages::question(this, tr("提示"), tr("是否删除布点图：") + name + QStringLiteral("?"),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    if (!Tool::deleteLayout(name)) {
        Messages::warning(this, tr("提示"), tr("数据删除失败！"));
        return;
    }
    // The deleted layout is not shown any longer: the last one listed takes its place.
    m_name.clear();
    const QStringList names = refreshList();
    showLayout(names.isEmpty() ? QString() : names.last());
    Tool::SaveAuditLog(AuditEvent::LayoutDelete, tr("删除布点图：") + name);
}

void Layout::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        showDetails(m_pointCount);
        showPicture();
    }
    QWidget::changeEvent(event);
}

void Layout::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    showPicture();
}
