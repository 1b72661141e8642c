#include "platform/controls/controls.h"

#include "base/text.h"

namespace platform {

QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
    return label;
}

void setForeColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

QColor foreColor(const QWidget* widget) {
    return widget->palette().color(QPalette::WindowText);
}

int twipsToPixels(int twips, const QWidget* widget) {
    return base::twipsToPixelsAt(twips, widget ? widget->logicalDpiX() : 96);
}

}  // namespace platform
