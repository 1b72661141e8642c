#pragma once

#include <QPixmap>
#include <QProxyStyle>

namespace platform {

// The program's style: the desktop's own (or the one asked for with -style), unchanged, but
// for one thing. Fusion draws a group box's frame from an image that it reads from file
// the first time, and Qt's image reader first offers every installed image-format plugin
// the file; so the first paint of a window with a group box loaded and linked every one of
// them: with Debian's image-format and SVG plugins installed, about 3 ms and 1.5 MiB of the
// main window's start-up. This style reads the same image as the PNG it is, with the
// built-in reader only (Qt still lists the plugins' metadata, but loads none), and draws
// the frame as Qt 6.4's Fusion does; tst_style compares the two pixel for pixel, so a Qt
// whose Fusion draws it otherwise fails there. Other styles are left entirely to
// themselves.
class ProgramStyle : public QProxyStyle {
public:
    ProgramStyle() = default;
    // Takes `base` over, as QProxyStyle does (tests).
    explicit ProgramStyle(QStyle* base) : QProxyStyle(base) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

private:
    const QPixmap* groupBoxFrame() const;

    mutable bool frameRead_ = false;
    mutable QPixmap frame_;
};

}  // namespace platform
