#pragma once
// The editor of a new probe layout: the hole counts of the heating block, the drawing window in
// which the user clicks the wells that carry probes, and saving under a name.

#include "registry/LayoutDrawing.h"

#include <QDialog>
#include <QPixmap>
#include <QTimer>

#include <memory>
#include <thread>

namespace Ui {
class LayoutAdd;
}

class LayoutAdd : public QDialog
{
    Q_OBJECT

public:
    explicit LayoutAdd(QWidget *parent = nullptr);
    ~LayoutAdd() override;

    // The drawing window's mouse handler; userdata is the dialog that opened the window.
    static void mouse_callback(int event, int x, int y, int flags, void *userdata);

    const LayoutSketch &sketch() const { return m_sketch; }
    // The picture shown in the dialog (null until the drawing window has been closed).
    const QPixmap &picture() const { return m_picture; }
    bool isWatching() const { return m_timer.isActive(); }
    // A save whose picture is still being written.
    bool isSaving() const { return m_saving; }

signals:
    void sp_Image_signals(const QString &name, const QPixmap &picture);
    // From the save worker: the record with its picture in the stored form.
    void Save_signals(const Tool::Struct_Layout &layout);

public slots:
    // "确定": draws a fresh grid of the typed hole counts and opens the drawing window.
    void pt_Off_clicked();
    void pt_Save_clicked();
    // The watch on the drawing window: once the user has closed it, its picture comes here.
    void time_update();

    void done(int result) override;

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // The picture of a large block takes longer to write than the GUI may stall.
    void therad_Save(Tool::Struct_Layout layout, QImage picture);
    void Save_slots(const Tool::Struct_Layout &layout);
    void clicked(int x, int y);
    void showCount();
    void showPicture();
    void closeWindow();

    std::unique_ptr<Ui::LayoutAdd> ui;
    LayoutSketch m_sketch;
    QPixmap m_picture;
    QTimer m_timer;
    bool m_saving = false;
    QPixmap m_savedPicture;
    std::thread saveThread;
};
