#include "registry/LayoutWindow.h"

#include <QDebug>
#include <QRect>
#include <QScreen>
#include <QSize>

#include <opencv2/highgui.hpp>

namespace LayoutWindow {

const char *const Name = "Layout";

namespace {

// Room left on the screen for the title bar and the window frame.
const QSize FrameAllowance(40, 80);

void report(const cv::Exception &e)
{
    qWarning() << "LayoutWindow" << e.what();
}

} // namespace

void open(const cv::Mat &drawing, const QString &title, MouseHandler handler, void *userdata,
          const QScreen *screen)
{
    close();
    const QSize size(drawing.cols, drawing.rows);
    QSize room = screen ? screen->availableGeometry().size() - FrameAllowance : size;
    room = room.expandedTo(QSize(200, 200));
    const bool fits = size.width() <= room.width() && size.height() <= room.height();
    try {
        // Without WINDOW_GUI_NORMAL the window grows a toolbar and is not sized to the drawing.
        cv::namedWindow(Name, fits ? cv::WINDOW_AUTOSIZE | cv::WINDOW_GUI_NORMAL
                                   : cv::WINDOW_NORMAL | cv::WINDOW_KEEPRATIO | cv::WINDOW_GUI_NORMAL);
        cv::setWindowTitle(Name, title.toStdString());
        cv::imshow(Name, drawing);
        if (!fits) {
            const QSize shown = size.scaled(room, Qt::KeepAspectRatio);
            cv::resizeWindow(Name, shown.width(), shown.height());
        }
        cv::setMouseCallback(Name, handler, userdata);
    } catch (const cv::Exception &e) {
        report(e);
    }
}

void show(const cv::Mat &drawing)
{
    if (!isOpen())
        return;
    try {
        cv::imshow(Name, drawing);
    } catch (const cv::Exception &e) {
        report(e);
    }
}

bool isOpen()
{
    // Before the first window and after the last one OpenCV has no window system and throws.
    try {
        return cv::getWindowProperty(Name, cv::WND_PROP_VISIBLE) > 0;
    } catch (const cv::Exception &) {
        return false;
    }
}

void close()
{
    if (!isOpen())
        return;
    try {
        cv::setMouseCallback(Name, nullptr, nullptr);
        cv::destroyWindow(Name);
    } catch (const cv::Exception &e) {
        report(e);
    }
}

} // namespace LayoutWindow
