#pragma once

#include <QString>

#include "base/notice.h"

namespace tracking {

// The longest progress text a notice shows whole; a longer one is cut and ends in "…".
constexpr int kNoticeTextLimit = 240;
// The longest remark a notice's summary shows whole.
constexpr int kNoticeRemarkLimit = 60;

// What the query asked: the courier's name, the number and the remark.
struct AskedParcel {
    QString courier;
    QString number;
    QString remark;
};

// The notice of an answer with more progress lines than the one before: the summary names
// the courier and the number, then the remark in brackets when there is one; the body is
// the newest line's time and progress text. A new notice for the same number replaces the
// last one.
base::Notice changeNotice(const AskedParcel& parcel, const QString& time, const QString& progress);

}  // namespace tracking
