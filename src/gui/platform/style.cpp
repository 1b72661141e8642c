#include "platform/style.h"

#include <qdrawutil.h>
#include <QGroupBox>
#include <QImageReader>
#include <QPainter>
#include <QStyleOption>

namespace platform {

namespace {

// Fusion's own frame image and the geometry Qt 6.4's Fusion draws it with.
constexpr char kFusionFrameImage[] =
    ":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png";
constexpr int kFusionGroupBoxTopMargin = 3;
const QMargins kFusionFrameImageMargins(6, 6, 6, 6);

}  // namespace

const QPixmap* ProgramStyle::groupBoxFrame() const {
    if (!frameRead_) {
        frameRead_ = true;
        QImageReader reader(QString::fromLatin1(kFusionFrameImage), "png");
        // Only the built-in PNG reader: no plugin is loaded or asked.
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull()) {
            frame_ = QPixmap::fromImage(image);
        }
    }
    return frame_.isNull() ? nullptr : &frame_;
}

void ProgramStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    if (element == PE_FrameGroupBox && option != nullptr &&
        baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0) {
        if (const QPixmap* frame = groupBoxFrame()) {
            int topMargin = kFusionGroupBoxTopMargin;
            const auto* box = qobject_cast<const QGroupBox*>(widget);
            if (box == nullptr || box->isCheckable() || !box->title().isEmpty()) {
                topMargin += std::max(baseStyle()->pixelMetric(PM_ExclusiveIndicatorHeight),
                                      option->fontMetrics.height());
            }
            qDrawBorderPixmap(painter, option->rect.adjusted(0, topMargin, 0, 0),
                              kFusionFrameImageMargins, *frame);
            return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

}  // namespace platform
