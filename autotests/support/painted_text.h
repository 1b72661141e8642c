#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QStringList>
#include <QTextItem>
#include <QWidget>

namespace testsupport {

// What a widget really draws as text: every run of text its painting hands to the paint
// engine, after the style has elided it and before it becomes glyphs. A cell whose text is
// cut shows up here as the cut text ("2026-12-03 15:21:…"), not as the model's text.
class PaintedTexts : public QPaintDevice {
public:
    // Paints `widget` (and its children) as it would paint on screen, at its own size and
    // resolution.
    explicit PaintedTexts(QWidget* widget)
        : size_(widget->size()), dpiX_(widget->logicalDpiX()), dpiY_(widget->logicalDpiY()) {
        QPainter painter(this);
        widget->render(&painter, QPoint(), QRegion(),
                       QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }

    const QStringList& texts() const { return engine_.texts; }
    // True when `text` was drawn whole: as one run, or as runs that follow one another
    // (text in several fonts, Chinese beside Latin letters, is drawn in several runs).
    bool contains(const QString& text) const {
        const QStringList& runs = engine_.texts;
        for (qsizetype first = 0; first < runs.size(); ++first) {
            QString drawn;
            for (qsizetype run = first; run < runs.size() && text.startsWith(drawn); ++run) {
                drawn += runs.at(run);
                if (drawn == text) {
                    return true;
                }
            }
        }
        return false;
    }

    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
            case PdmWidth:
                return size_.width();
            case PdmHeight:
                return size_.height();
            case PdmWidthMM:
                return size_.width() * 254 / (dpiX_ * 10);
            case PdmHeightMM:
                return size_.height() * 254 / (dpiY_ * 10);
            case PdmNumColors:
                return 0xffffff;
            case PdmDepth:
                return 32;
            case PdmDpiX:
            case PdmPhysicalDpiX:
                return dpiX_;
            case PdmDpiY:
            case PdmPhysicalDpiY:
                return dpiY_;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return static_cast<int>(devicePixelRatioFScale());
            default:
                return QPaintDevice::metric(metric);
        }
    }

private:
    // Records text and draws nothing else.
    class Engine : public QPaintEngine {
    public:
        Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        Type type() const override { return QPaintEngine::User; }
        void drawTextItem(const QPointF&, const QTextItem& item) override {
            texts.append(item.text());
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawImage(const QRectF&, const QImage&, const QRectF&,
                       Qt::ImageConversionFlags) override {}
        void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
        void drawRects(const QRectF*, int) override {}
        void drawRects(const QRect*, int) override {}
        void drawLines(const QLineF*, int) override {}
        void drawLines(const QLine*, int) override {}
        void drawEllipse(const QRectF&) override {}
        void drawEllipse(const QRect&) override {}
        void drawPoints(const QPointF*, int) override {}
        void drawPoints(const QPoint*, int) override {}

        QStringList texts;
    };

    mutable Engine engine_;
    QSize size_;
    int dpiX_;
    int dpiY_;
};

}  // namespace testsupport
