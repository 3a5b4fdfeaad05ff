#include "app/widgets.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace Widgets {

void paintBackground(QWidget *widget)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor(240, 240, 240));
    widget->setPalette(palette);
}

} // namespace Widgets
