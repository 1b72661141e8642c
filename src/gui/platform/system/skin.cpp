#include "platform/system/skin.h"

#include <QColor>
#include <QFile>
#include <QMetaEnum>
#include <QRegularExpression>

namespace platform {

int SkinEngine::SkinH_AttachEx(const QString& skinFile, const QString&) {
    QFile file(skinFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    text_ = QString::fromUtf8(file.read(qint64{64} * 1024));
    return apply(text_) ? 1 : 0;
}

int SkinEngine::SkinH_AdjustHSV(int hue, int saturation, int brightness) {
    if (text_.isEmpty()) {
        return 0;
    }
    return apply(adjustColors(text_, hue, saturation, brightness)) ? 1 : 0;
}

bool SkinEngine::apply(const QString& text) {
    if (!window_) {
        return false;
    }
    int roles = 0;
    const QPalette palette = paletteOf(text, window_->palette(), &roles);
    if (roles == 0) {
        return false;
    }
    window_->setPalette(palette);
    return true;
}

QPalette SkinEngine::paletteOf(const QString& text, const QPalette& base, int* roles) {
    static const QRegularExpression line(
        QStringLiteral("^\\s*([A-Za-z]+)\\s*=\\s*(#[0-9a-fA-F]{6})\\s*$"));
    const QMetaEnum names = QMetaEnum::fromType<QPalette::ColorRole>();
    QPalette palette = base;
    int set = 0;
    for (const QString& entry : text.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = line.match(entry);
        if (!match.hasMatch()) {
            continue;
        }
        bool known = false;
        const int role = names.keyToValue(match.captured(1).toLatin1().constData(), &known);
        if (!known || role < 0 || role >= QPalette::NColorRoles) {
            continue;
        }
        palette.setColor(static_cast<QPalette::ColorRole>(role), QColor(match.captured(2)));
        ++set;
    }
    if (roles) {
        *roles = set;
    }
    return palette;
}

QString SkinEngine::adjustColors(const QString& text, int hue, int saturation, int brightness) {
    static const QRegularExpression colorPattern(QStringLiteral("#([0-9a-fA-F]{6})\\b"));
    QString result;
    result.reserve(text.size());
    qsizetype last = 0;
    auto it = colorPattern.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result += QStringView(text).mid(last, match.capturedStart() - last);
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
    result += QStringView(text).mid(last);
    return result;
}

}  // namespace platform
