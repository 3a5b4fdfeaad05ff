#pragma once
// The drawing window of the layout editor: a high-level GUI window of OpenCV named "Layout".
// Debian's OpenCV draws it with Qt, so it lives in our event loop and its mouse handler runs on
// the GUI thread. There is one such window per process.

#include <QString>

#include <opencv2/core.hpp>

class QScreen;

namespace LayoutWindow {

using MouseHandler = void (*)(int event, int x, int y, int flags, void *userdata);

// The window's name, by which OpenCV finds it.
extern const char *const Name;

// Opens the window afresh (an open one is closed first) sized to the drawing, titled title,
// with handler called for its mouse events. A drawing larger than screen is shown scaled down
// (clicks still arrive in drawing pixels).
void open(const cv::Mat &drawing, const QString &title, MouseHandler handler, void *userdata,
          const QScreen *screen);
// Shows the drawing again in the open window.
void show(const cv::Mat &drawing);
// False once the user has closed the window (or it was never opened).
bool isOpen();
// Closes the window if it is open; its handler is not called any more.
void close();

} // namespace LayoutWindow
