#include "tracking/change_notice.h"

#include "base/text.h"

namespace tracking {

namespace {

// At most `limit` characters of `text`, the "…" of a cut included.
QString cutText(const QString& text, int limit) {
    return text.size() <= limit ? text : base::shownText(text, limit - 1);
}

}  // namespace

base::Notice changeNotice(const AskedParcel& parcel, const QString& time, const QString& progress) {
    base::Notice notice;
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
