#pragma once

#include <QColor>
#include <QLabel>
#include <utility>

// The controls the windows are built from.
#include "platform/controls/combo_box.h"
#include "platform/controls/link.h"
#include "platform/controls/list_view.h"
#include "platform/controls/status_bar.h"
#include "platform/controls/width_reserve.h"

namespace platform {

// Gives a control its name: every control carries the name the program knows it by.
template <typename T, typename... Args>
T* makeNamed(const QString& name, Args&&... args) {
    T* widget = new T(std::forward<Args>(args)...);
    widget->setObjectName(name);
    return widget;
}

// A label that never interprets its text as rich text: texts from servers and files are
// shown exactly as they are.
QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent);
void setForeColor(QWidget* widget, const QColor& color);
QColor foreColor(const QWidget* widget);

// Twips (1/1440 inch) to pixels at the screen's logical resolution.
int twipsToPixels(int twips, const QWidget* widget);

}  // namespace platform
