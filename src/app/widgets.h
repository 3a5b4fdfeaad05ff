#pragma once
// Small pieces the pages and dialogs build themselves with.

#include <QLatin1String>

class QWidget;

namespace Widgets {

// The pages' window colour, RGB 240, 240, 240, filled in.
void paintBackground(QWidget *widget);

// widget, named objectName: tests and style sheets find the parts of a form by these names.
template<class W>
W *named(W *widget, const char *objectName)
{
    widget->setObjectName(QLatin1String(objectName));
    return widget;
}

} // namespace Widgets
