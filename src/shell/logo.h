#pragma once

#include <QImage>
#include <QPixmap>

namespace shell {

inline constexpr int kLogoWidth = 102;
inline constexpr int kLogoHeight = 127;

// The program's logo: a grey globe inside an oval ring, 102 x 127 pixels with an alpha
// channel (everything outside the ring is transparent).
QImage drawLogoImage();
QPixmap drawLogo();

}  // namespace shell
