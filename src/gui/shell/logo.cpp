#include "shell/logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace shell {

namespace {

constexpr double kGlobeRadius = 34.0;

void drawRing(QPainter& painter) {
    // The oval ring: a brushed-metal band with a darker edge on both sides.
    const QRectF ringOuter(3.0, 3.0, kLogoWidth - 6.0, kLogoHeight - 6.0);
    const QRectF ringInner = ringOuter.adjusted(7.0, 7.0, -7.0, -7.0);
    QPainterPath ring;
    ring.addEllipse(ringOuter);
    ring.addEllipse(ringInner);
    ring.setFillRule(Qt::OddEvenFill);
    QLinearGradient metal(ringOuter.topLeft(), ringOuter.bottomRight());
    metal.setColorAt(0.0, QColor(236, 238, 240));
    metal.setColorAt(0.45, QColor(150, 154, 160));
    metal.setColorAt(0.55, QColor(196, 200, 205));
    metal.setColorAt(1.0, QColor(96, 100, 106));
    painter.setPen(QPen(QColor(70, 72, 78), 1.2));
    painter.setBrush(metal);
    painter.drawPath(ring);
}

void drawGlobe(QPainter& painter, QPointF centre, const QRectF& globe) {
    const double radius = kGlobeRadius;
    // The globe: a grey sphere lit from the upper left.
    QRadialGradient shade(centre + QPointF(-radius * 0.35, -radius * 0.4), radius * 1.45);
    shade.setColorAt(0.0, QColor(226, 228, 231));
    shade.setColorAt(0.5, QColor(158, 161, 166));
    shade.setColorAt(1.0, QColor(72, 75, 80));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawEllipse(globe);
}

void drawGrid(QPainter& painter, QPointF centre, const QRectF& globe) {
    const double radius = kGlobeRadius;
    // Meridians and parallels, kept inside the sphere.
    QPainterPath sphere;
    sphere.addEllipse(globe);
    painter.save();
    painter.setClipPath(sphere);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(245, 246, 248, 170), 1.3));
    for (double f : {0.3, 0.65, 1.0}) {
        painter.drawEllipse(centre, radius * f, radius);
    }
    painter.drawLine(QPointF(centre.x(), globe.top()), QPointF(centre.x(), globe.bottom()));
    for (double f : {-0.66, -0.33, 0.0, 0.33, 0.66}) {
        const double y = centre.y() + radius * f;
        const double half = radius * std::sqrt(1.0 - f * f);
        painter.drawLine(QPointF(centre.x() - half, y), QPointF(centre.x() + half, y));
    }
    painter.restore();
}

void drawRimAndGloss(QPainter& painter, QPointF centre, const QRectF& globe) {
    const double radius = kGlobeRadius;
    // Rim and highlight of the sphere.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(60, 62, 67), 1.4));
    painter.drawEllipse(globe);
    QRadialGradient gloss(centre + QPointF(-radius * 0.4, -radius * 0.5), radius * 0.45);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 150));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gloss);
    painter.drawEllipse(globe);
}

}  // namespace

void paintLogo(QPainter& painter) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(kLogoWidth / 2.0, kLogoHeight / 2.0);
    const double radius = kGlobeRadius;
    const QRectF globe(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    drawRing(painter);
    drawGlobe(painter, centre, globe);
    drawGrid(painter, centre, globe);
    drawRimAndGloss(painter, centre, globe);
    painter.restore();
}

QImage drawLogoImage() {
    QImage image(kLogoWidth, kLogoHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintLogo(painter);
    painter.end();
    return image;
}

QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // The logo is drawn again at the icon's scale rather than its pixels scaled, so large
    // icons stay sharp.
    const double scale = double(size) / kLogoHeight;
    painter.translate((size - kLogoWidth * scale) / 2.0, 0.0);
    painter.scale(scale, scale);
    paintLogo(painter);
    painter.end();
    return image;
}

QPixmap drawLogo() {
    return QPixmap::fromImage(drawLogoImage());
}

}  // namespace shell
