#pragma once

#include <QImage>
#include <QPixmap>

class QPainter;

namespace shell {

inline constexpr int kLogoWidth = 102;
inline constexpr int kLogoHeight = 127;

// The program's logo: a grey globe inside an oval ring, 102 x 127 pixels with an alpha
// channel (everything outside the ring is transparent).
QImage drawLogoImage();
QPixmap drawLogo();
// Paints the logo at logo size (kLogoWidth x kLogoHeight) onto `painter`'s coordinates.
void paintLogo(QPainter& painter);
// The program's icon: the logo on a transparent square of `size` pixels, as high as the
// square and centred across it.
QImage drawIcon(int size);

}  // namespace shell
