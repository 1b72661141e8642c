#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace platform {

// The skin engine. The skin file is a Qt style sheet; SkinH_AdjustHSV turns the hue of
// every colour in it and changes saturation and brightness, then applies the result to the
// window (and so to every window opened from it). Without a skin file both calls do nothing.
class SkinEngine {
public:
    explicit SkinEngine(QWidget* window) : window_(window) {}

    // Loads the skin file. Returns 1 when a skin was loaded, 0 otherwise.
    int SkinH_AttachEx(const QString& skinFile, const QString& password);
    // Hue in degrees (added), saturation and brightness in percent (added). Returns 1 when
    // a skin was applied.
    int SkinH_AdjustHSV(int hue, int saturation, int brightness);

    const QString& styleSheet() const { return sheet_; }

    // Turns every #rrggbb colour of a style sheet (exposed for tests).
    static QString adjustColors(const QString& sheet, int hue, int saturation, int brightness);

private:
    QPointer<QWidget> window_;
    QString sheet_;
};

}  // namespace platform
