#include "parcels/parcel_state.h"

#include <algorithm>
#include <tuple>

#include "base/text.h"
#include "history/history_entry.h"
#include "tracking/answer.h"
#include "tracking/catalogue.h"
#include "tracking/result_parser.h"

namespace parcels {

namespace {

// A text of the answer as the list keeps it: without NUL characters (which a desktop
// notice or a C string would end at) and halves of surrogate pairs (U+FFFD instead), at
// most `limit` characters with the "…" of a cut.
QString keptText(QStringView text, int limit) {
    QString kept;
    kept.reserve(std::min<qsizetype>(text.size(), limit));
    for (qsizetype i = 0; i < text.size() && kept.size() <= limit; ++i) {
        const QChar c = text.at(i);
        if (c.isNull()) {
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            kept.append(c);
            kept.append(text.at(++i));
        } else if (c.isSurrogate()) {
            kept.append(QChar::ReplacementCharacter);
        } else {
            kept.append(c);
        }
    }
    return kept.size() <= limit ? kept : base::shownText(kept, limit - 1);
}

Status statusOfProgress(const QString& progress) {
    // The main window's label, "快件状态：" and the word.
    const QString label = tracking::parcelStatus(progress);
    if (label.endsWith(u"已签收")) {
        return Status::Signed;
    }
    if (label.endsWith(u"派件中")) {
        return Status::Delivering;
    }
    return Status::InTransit;
}

}  // namespace

QString statusText(Status status) {
    switch (status) {
        case Status::Signed:
            return QStringLiteral("已签收");
        case Status::Delivering:
            return QStringLiteral("派件中");
        case Status::InTransit:
            return QStringLiteral("运送中");
        case Status::NoInformation:
            return QStringLiteral("暂无物流信息");
        case Status::NotFound:
            return QStringLiteral("单号不存在");
        case Status::BadFormat:
            return QStringLiteral("单号格式错误");
        case Status::Unsupported:
            return QStringLiteral("不支持的快递公司");
        case Status::TimedOut:
            return QStringLiteral("查询超时");
        case Status::Failed:
            break;
    }
    return QStringLiteral("查询失败");
}

bool hasLines(Status status) {
    return status == Status::Signed || status == Status::Delivering || status == Status::InTransit;
}

Reading readAnswer(FetchEnd end, QStringView page) {
    Reading reading;
    if (end == FetchEnd::TimedOut) {
        reading.status = Status::TimedOut;
        return reading;
    }
    if (end != FetchEnd::Answered) {
        reading.status = Status::Failed;
        return reading;
    }
    switch (tracking::classifyAnswer(page)) {
        case tracking::AnswerKind::BadFormat:
            reading.status = Status::BadFormat;
            return reading;
        case tracking::AnswerKind::NotFound:
            reading.status = Status::NotFound;
            return reading;
        case tracking::AnswerKind::Unsupported:
            reading.status = Status::Unsupported;
            return reading;
        case tracking::AnswerKind::PleaseEnter:
            reading.status = Status::Failed;
            return reading;
        case tracking::AnswerKind::Empty:
        case tracking::AnswerKind::Data:
            break;
    }
    const int rows = tracking::countRowMarkers(page);
    if (rows <= 0) {
        reading.status = Status::NoInformation;
        return reading;
    }
    const QVector<tracking::ProgressLine> lines = tracking::parseResultPage(page, rows);
    if (lines.isEmpty()) {
        reading.status = Status::NoInformation;
        return reading;
    }
    const tracking::ProgressLine& top = lines.constFirst();
    reading.status = statusOfProgress(top.progress);
    reading.newest = {keptText(top.time, kMaxTimeChars), keptText(top.progress, kMaxProgressChars)};
    reading.lineCount = rows;
    return reading;
}

bool operator==(const ParcelKey& a, const ParcelKey& b) {
    return a.number == b.number && a.company == b.company;
}

bool operator!=(const ParcelKey& a, const ParcelKey& b) {
    return !(a == b);
}

bool operator<(const ParcelKey& a, const ParcelKey& b) {
    return std::tie(a.number, a.company) < std::tie(b.number, b.company);
}

ParcelEntry parseEntry(const QString& entry) {
    ParcelEntry parsed;
    parsed.number = history::entryPiece(entry, 0);
    const qsizetype bar = entry.indexOf(QChar(u'|'));
    if (bar < 0) {
        return parsed;
    }
    const QStringView rest = QStringView(entry).mid(bar + 1);
    const QStringList names = tracking::courierNames();
    for (int position = 0; position < names.size(); ++position) {
        const QString& name = names.at(position);
        const bool whole = rest.startsWith(name) &&
                           (rest.size() == name.size() || rest.at(name.size()) == QChar(u'|'));
        if (whole && name.size() > parsed.company.size()) {
            parsed.company = name;
            parsed.courierPosition = position;
        }
    }
    if (parsed.courierPosition < 0) {
        parsed.company = history::entryPiece(entry, 1);
    }
    if (rest.size() > parsed.company.size()) {
        parsed.remark = rest.mid(parsed.company.size() + 1).toString();
    }
    return parsed;
}

ParcelKey keyOfEntry(const QString& entry) {
    const ParcelEntry parsed = parseEntry(entry);
    return {parsed.number, parsed.company};
}

bool operator==(const ParcelRecord& a, const ParcelRecord& b) {
    return a.status == b.status && a.newest.time == b.newest.time &&
           a.newest.progress == b.newest.progress && a.lineCount == b.lineCount &&
           a.queriedAt == b.queriedAt && a.moved == b.moved;
}

bool operator!=(const ParcelRecord& a, const ParcelRecord& b) {
    return !(a == b);
}

bool hasMoved(const ParcelRecord& last, const Reading& now) {
    return hasLines(now.status) && last.lineCount > 0 && now.lineCount > last.lineCount;
}

ParcelRecord recordQuery(const ParcelRecord& last, const Reading& now, const QDateTime& queriedAt) {
    ParcelRecord record = last;
    record.status = now.status;
    record.queriedAt = queriedAt;
    record.moved = hasMoved(last, now);
    if (hasLines(now.status)) {
        record.newest = now.newest;
        record.lineCount = now.lineCount;
    }
    return record;
}

QString queryTimeText(const QDateTime& queriedAt) {
    if (!queriedAt.isValid()) {
        return QString();
    }
    return queriedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace parcels
