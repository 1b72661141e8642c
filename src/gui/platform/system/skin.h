#pragma once

#include <QPalette>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace platform {

// The skin engine. The skin file names the window's palette colours, one "Role = #rrggbb"
// a line (roles as in QPalette: Window, Button, Base, Highlight, …; lines starting with ";"
// are comments). SkinH_AdjustHSV turns the hue of every colour and changes saturation and
// brightness. The palette goes to the window and so to every window opened from it; a
// palette costs next to nothing at start-up, unlike a style sheet. Without a skin file both
// calls do nothing.
class SkinEngine {
public:
    explicit SkinEngine(QWidget* window) : window_(window) {}

    // Loads the skin file. Returns 1 when a skin was loaded, 0 otherwise.
    int SkinH_AttachEx(const QString& skinFile, const QString& password);
    // Hue in degrees (added), saturation and brightness in percent (added). Returns 1 when
    // a skin was applied.
    int SkinH_AdjustHSV(int hue, int saturation, int brightness);

    // Turns every #rrggbb colour of a text (exposed for tests).
    static QString adjustColors(const QString& text, int hue, int saturation, int brightness);
    // The palette a skin text describes, on top of `base`. `roles` counts the colours set.
    static QPalette paletteOf(const QString& text, const QPalette& base, int* roles = nullptr);

private:
    bool apply(const QString& text);

    QPointer<QWidget> window_;
    QString text_;
};

}  // namespace platform
