#include "registry/LayoutAdd.h"
#include "ui_LayoutAdd.h"

#include "app/messages.h"
#include "app/widgets.h"
#include "registry/LayoutWindow.h"
#include "store/tool.h"
#include "store/textchecks.h"

#include <QEvent>
#include <QIcon>

#include <opencv2/highgui.hpp>

namespace {

// The dialog whose sketch the drawing window shows (one window per process).
LayoutAdd *windowOwner = nullptr;

} // namespace

LayoutAdd::LayoutAdd(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::LayoutAdd>())
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/PCR/Image/Layout.png")));
    Widgets::paintBackground(this);
    // Return in the name or count fields must not save or redraw by accident.
    ui->pushButton_OK->setAutoDefault(false);
    ui->pushButton_Save->setAutoDefault(false);

    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &LayoutAdd::time_update);
    connect(ui->pushButton_OK, &QPushButton::clicked, this, &LayoutAdd::pt_Off_clicked);
    connect(ui->pushButton_Save, &QPushButton::clicked, this, &LayoutAdd::pt_Save_clicked);
    connect(this, &LayoutAdd::Save_signals, this, &LayoutAdd::Save_slots, Qt::QueuedConnection);
    showCount();
    showPicture();
}

LayoutAdd::~LayoutAdd()
{
    closeWindow();
    if (saveThread.joinable())
        saveThread.join();
}

void LayoutAdd::mouse_callback(int event, int x, int y, int, void *userdata)
{
    if (event == cv::EVENT_LBUTTONDOWN && userdata)
        static_cast<LayoutAdd *>(userdata)->clicked(x, y);
}

void LayoutAdd::clicked(int x, int y)
{
    if (m_sketch.toggleAt(x, y).isEmpty())
        return;
    LayoutWindow::show(m_sketch.drawing());
    showCount();
}

void LayoutAdd::pt_Off_clicked()
{
    int columns = 0, rows = 0;
    if (!LayoutGrid::parseCount(ui->lineEdit_WideNumber->text(), LayoutGrid::MaxColumns, &columns)) {
        Messages::warning(this, tr("警告"), tr("长的孔数须为1到%1之间的整数！").arg(LayoutGrid::MaxColumns));
        return;
    }
    if (!LayoutGrid::parseCount(ui->lineEdit_LongNumber->text(), LayoutGrid::MaxRows, &rows)) {
        Messages::warning(this, tr("警告"), tr("宽的孔数须为1到%1之间的整数！").arg(LayoutGrid::MaxRows));
        return;
    }
    closeWindow();
    m_sketch.reset(columns, rows);
    m_picture = QPixmap();
    showPicture();
    showCount();
    LayoutWindow::open(m_sketch.drawing(), tr("布点图：单击孔位放置探头，再次单击取消，完成后关闭此窗口"),
                       &LayoutAdd::mouse_callback, this, screen());
    windowOwner = this;
    m_timer.start();
}

void LayoutAdd::time_update()
{
    if (LayoutWindow::isOpen())
        return;
    m_timer.stop();
    if (windowOwner == this)
        windowOwner = nullptr;
    m_picture = QPixmap::fromImage(m_sketch.picture());
    showPicture();
}

void LayoutAdd::pt_Save_clicked()
{
    if (m_saving)
        return;
    const QString name = ui->lineEdit_Name->text().trimmed();
    if (name.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("名称不能为空!"));
        return;
    }
    const QString refused = TextChecks::refusal({name}, TextChecks::NameLength);
    if (!refused.isEmpty()) {
        Messages::warning(this, tr("警告"), refused);
        return;
    }
    if (!m_sketch.isCreated()) {
        Messages::warning(this, tr("警告"), tr("请先创建布点图!"));
        return;
    }
    // A calibration finds its layout by name: a second one of that name would never be found.
    QList<Tool::Struct_Layout> existing;
    if (!Tool::getLayout(existing, name)) {
        Messages::warning(this, tr("提示"), tr("保存失败!"));
        return;
    }
    if (!existing.isEmpty()) {
        Messages::warning(this, tr("警告"), tr("布点图名称已存在，请使用其他名称！"));
        return;
    }
    const Tool::Struct_Layout layout = m_sketch.recordWithoutPicture(name);
    const QImage picture = m_sketch.picture();
    m_savedPicture = QPixmap::fromImage(picture);
    m_saving = true;
    ui->pushButton_Save->setEnabled(false);
    ui->pushButton_OK->setEnabled(false);
    saveThread = std::thread(&LayoutAdd::therad_Save, this, layout, picture);
}

void LayoutAdd::therad_Save(Tool::Struct_Layout layout, QImage picture)
{
    layout.Image = LayoutDrawing::encodePicture(picture);
    emit Save_signals(layout);
}

void LayoutAdd::Save_slots(const Tool::Struct_Layout &layout)
{
    saveThread.join();
    m_saving = false;
    ui->pushButton_Save->setEnabled(true);
    ui->pushButton_OK->setEnabled(true);
    if (!Tool::addLayout(layout)) {
        // Another station may have stored the name since it was checked.
        if (Tool::lastWriteWasDuplicate())
            Messages::warning(this, tr("警告"), tr("布点图名称已存在，请使用其他名称！"));
        else
            Messages::warning(this, tr("提示"), tr("保存失败!"));
        return;
    }
    Messages::information(this, tr("提示"), tr("保存成功!"));
    closeWindow();
    emit sp_Image_signals(layout.Name, m_savedPicture);
    Tool::SaveAuditLog(AuditEvent::LayoutAdd, tr("添加布点图：") + layout.Name);
    close();
}

void LayoutAdd::done(int result)
{
    // A save under way ends by closing the dialog itself.
    if (m_saving)
        return;
    // The drawing window goes with the dialog.
    closeWindow();
    QDialog::done(result);
}

void LayoutAdd::closeWindow()
{
    m_timer.stop();
    if (windowOwner != this)
        return;
    windowOwner = nullptr;
    LayoutWindow::close();
}

void LayoutAdd::showCount()
{
    ui->label_Count->setText(m_sketch.isCreated() ? tr("已标记孔位：%1 / %2")
                                                        .arg(m_sketch.markedCount())
                                                        .arg(m_sketch.grid().wellCount())
                                                  : QString());
}

void LayoutAdd::showPicture()
{
    if (m_picture.isNull()) {
        ui->label_Image->setPixmap(QPixmap());
        ui->label_Image->setText(m_sketch.isCreated()
                                     ? tr("在布点图窗口中单击孔位放置探头，关闭该窗口后布点图显示在这里。")
                                     : tr("输入加热模块的孔数后点击“确定”，绘制布点图。"));
        return;
    }
    ui->label_Image->setPixmap(
        m_picture.scaled(ui->label_Image->contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void LayoutAdd::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        showCount();
        showPicture();
    }
    QDialog::changeEvent(event);
}

void LayoutAdd::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    showPicture();
}
