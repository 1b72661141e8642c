#include "tracking/change_notice.h"

namespace tracking {

QString cutText(const QString& text, int limit) {
    if (text.size() <= limit) {
        return text;
    }
    qsizetype keep = limit - 1;  // room for the "…"
    if (keep > 0 && text.at(keep - 1).isHighSurrogate()) {
        --keep;
    }
    return text.left(keep) + QChar(0x2026);
}

platform::Notice changeNotice(const AskedParcel& parcel, const QString& time,
                              const QString& progress) {
    platform::Notice notice;
    notice.key = parcel.number;
    notice.summary = parcel.courier + QLatin1Char(' ') + cutText(parcel.number, kNoticeRemarkLimit);
    if (!parcel.remark.isEmpty()) {
        notice.summary += QStringLiteral("（%1）").arg(cutText(parcel.remark, kNoticeRemarkLimit));
    }
    notice.body = time.isEmpty() ? cutText(progress, kNoticeTextLimit)
                                 : time + QLatin1Char(' ') + cutText(progress, kNoticeTextLimit);
    return notice;
}

}  // namespace tracking
