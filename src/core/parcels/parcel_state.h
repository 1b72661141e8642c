#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

namespace parcels {

// What the last query of a parcel came to, as the list's status column says it.
enum class Status {
    // An answer with progress lines; the word the main window shows after "快件状态：".
    Signed,      // "已签收"
    Delivering,  // "派件中"
    InTransit,   // "运送中"
    // An answer without progress lines.
    NoInformation,  // "暂无物流信息": an empty answer, or one without a single row
    NotFound,       // "单号不存在"
    BadFormat,      // "单号格式错误"
    Unsupported,    // "不支持的快递公司"
    // No usable answer.
    TimedOut,  // "查询超时"
    Failed,    // "查询失败": no connection, an error status, an oversized body, or an answer
               // that asks for input ("请输入…")
};

// The status column's text.
QString statusText(Status status);

// True for the statuses of an answer with progress lines.
bool hasLines(Status status);

// How the fetch of an answer ended; the window maps its network's outcome to one of these.
enum class FetchEnd {
    Answered,  // a 2xx answer; its text is the page
    TimedOut,  // silence or total time over the limit
    Failed,    // anything else: no connection, an error status, a body over the cap, ...
};

// The longest texts kept of an answer's newest line, the "…" of a cut included. A real
// line is far shorter; a cut one still says what it is, and the saved file stays small.
inline constexpr int kMaxTimeChars = 100;
inline constexpr int kMaxProgressChars = 500;

// The top line of the progress list: the newest time and progress text.
struct NewestLine {
    QString time;
    QString progress;
};

// What one query of a parcel says.
struct Reading {
    Status status = Status::Failed;
    // For an answer with lines: the top line (texts cut to the limits above, with no NUL and
    // no half of a surrogate pair) and the number of lines, 1 to tracking::kMaxRowCount.
    // Empty and 0 otherwise.
    NewestLine newest;
    int lineCount = 0;
};

// Reads an answer by the main window's rules: tracking::classifyAnswer decides the kind,
// tracking::countRowMarkers the line count, tracking::parseResultPage the top line and
// tracking::parcelStatus the status of an answer with lines. `page` is used only when
// `end` is FetchEnd::Answered.
Reading readAnswer(FetchEnd end, QStringView page);

// Which parcel a record belongs to: a history entry's number and company, so two entries of
// one number with different couriers stay apart (and two with one courier and different
// remarks share their record).
struct ParcelKey {
    QString number;
    QString company;
};
bool operator==(const ParcelKey& a, const ParcelKey& b);
bool operator!=(const ParcelKey& a, const ParcelKey& b);
bool operator<(const ParcelKey& a, const ParcelKey& b);

// A history entry "number|company|remark" read against the courier catalogue: the number is
// the text before the first "|"; the company is the longest courier name that follows it
// whole (one name holds a "|" itself), or else the next "|"-separated piece; the remark is
// the rest after the company's "|".
struct ParcelEntry {
    QString number;
    QString company;
    QString remark;
    int courierPosition = -1;  // the company's place in the catalogue; -1 for none
};
ParcelEntry parseEntry(const QString& entry);

// The key of a history entry: its number and company as parseEntry reads them.
ParcelKey keyOfEntry(const QString& entry);

// What the list keeps of a parcel between queries. A parcel never queried has no record.
struct ParcelRecord {
    Status status = Status::Failed;  // the last query's
    // The newest line and line count of the last answer with lines; empty and 0 before the
    // first one. A later answer without lines or a failed fetch leaves them as they were.
    NewestLine newest;
    int lineCount = 0;
    QDateTime queriedAt;  // when the last query was made
    bool moved = false;   // the last query found the parcel moved (see hasMoved)
};
bool operator==(const ParcelRecord& a, const ParcelRecord& b);
bool operator!=(const ParcelRecord& a, const ParcelRecord& b);

// True when `now` moves the parcel on from `last`: it has lines, and more than the last
// answer with lines seen for it. Never for a parcel without an earlier answer with lines (a
// default record): the first refresh of a list raises no alert. A failure or an answer
// without lines in between changes nothing: the count they are compared with is the last
// one with lines.
bool hasMoved(const ParcelRecord& last, const Reading& now);

// The record after a query made at `queriedAt` that read `now`; `last` is the parcel's
// record before it, or a default one for a parcel never queried.
ParcelRecord recordQuery(const ParcelRecord& last, const Reading& now, const QDateTime& queriedAt);

// The query time as the list shows it: local time, "yyyy-MM-dd HH:mm:ss"; empty for an
// invalid time.
QString queryTimeText(const QDateTime& queriedAt);

}  // namespace parcels
