#include "platform/skin.h"

#include <QColor>
#include <QFile>
#include <QRegularExpression>

namespace platform {

int SkinEngine::SkinH_AttachEx(const QString& skinFile, const QString&) {
    QFile file(skinFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    sheet_ = QString::fromUtf8(file.read(1024 * 1024));
    if (window_) {
        window_->setStyleSheet(sheet_);
    }
    return 1;
}

int SkinEngine::SkinH_AdjustHSV(int hue, int saturation, int brightness) {
    if (sheet_.isEmpty() || !window_) {
        return 0;
    }
    window_->setStyleSheet(adjustColors(sheet_, hue, saturation, brightness));
    return 1;
}

QString SkinEngine::adjustColors(const QString& sheet, int hue, int saturation, int brightness) {
    static const QRegularExpression colorPattern(QStringLiteral("#([0-9a-fA-F]{6})\\b"));
    QString result;
    result.reserve(sheet.size());
    qsizetype last = 0;
    auto it = colorPattern.globalMatch(sheet);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result += QStringView(sheet).mid(last, match.capturedStart() - last);
        const QColor color(match.captured(0));
        int h = 0;
        int s = 0;
        int v = 0;
        color.getHsv(&h, &s, &v);
        if (h >= 0) {  // grey has no hue to turn
            h = ((h + hue) % 360 + 360) % 360;
        }
        s = std::clamp(s + saturation * 255 / 100, 0, 255);
        v = std::clamp(v + brightness * 255 / 100, 0, 255);
        result += QColor::fromHsv(h, s, v).name();
        last = match.capturedEnd();
    }
    result += QStringView(sheet).mid(last);
    return result;
}

}  // namespace platform
