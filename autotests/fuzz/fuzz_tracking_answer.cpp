// The tracking service's answer: classification, row count, the parse into progress lines and
// the parcel status, on the input read as a GBK page (as the program reads it) and as UTF-8.

#include <QStringList>
#include <QVector>

#include "fuzz_support.h"
#include "support/literal_parse.h"
#include "tracking/answer.h"
#include "tracking/result_parser.h"

using testsupport::parseLiterally;
using tracking::AnswerKind;
using tracking::ProgressLine;

namespace {

// Pages up to this size are also parsed the slow, literal way and compared line by line.
constexpr qsizetype kLiteralPageLimit = 512;
// Row counts are signed 16-bit integers.
constexpr int kMaxRows = 32767;

AnswerKind expectedKind(const QString& page) {
    if (page.isEmpty()) {
        return AnswerKind::Empty;
    }
    for (const auto& [phrase, kind] :
         {std::pair{QStringLiteral("单号格式错误"), AnswerKind::BadFormat},
          std::pair{QStringLiteral("不存在"), AnswerKind::NotFound},
          std::pair{QStringLiteral("不支持的快递公司"), AnswerKind::Unsupported},
          std::pair{QStringLiteral("请输入"), AnswerKind::PleaseEnter}}) {
        if (page.contains(phrase)) {
            return kind;
        }
    }
    return AnswerKind::Data;
}

void checkLinesMatch(const QString& page, int rowCount) {
    const QVector<ProgressLine> lines = tracking::parseResultPage(page, rowCount);
    const QVector<ProgressLine> expected = parseLiterally(page, rowCount);
    FUZZ_CHECK(lines.size() == expected.size(),
               "rows " + QByteArray::number(rowCount) + ": " + QByteArray::number(lines.size()) +
                   " lines, literally " + QByteArray::number(expected.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ProgressLine& got = lines.at(i);
        const ProgressLine& want = expected.at(i);
        FUZZ_CHECK(
            got.number == want.number && got.time == want.time && got.progress == want.progress,
            "rows " + QByteArray::number(rowCount) + " line " + QByteArray::number(i) + ": got [" +
                fuzz::shown(got.number) + "|" + fuzz::shown(got.time) + "|" +
                fuzz::shown(got.progress) + "] literally [" + fuzz::shown(want.number) + "|" +
                fuzz::shown(want.time) + "|" + fuzz::shown(want.progress) + "]");
    }
}

void checkPage(const QString& page) {
    const AnswerKind kind = tracking::classifyAnswer(page);
    switch (kind) {
        case AnswerKind::Empty:
        case AnswerKind::BadFormat:
        case AnswerKind::NotFound:
        case AnswerKind::Unsupported:
        case AnswerKind::PleaseEnter:
        case AnswerKind::Data:
            break;
        default:
            FUZZ_CHECK(false, "kind " + QByteArray::number(static_cast<int>(kind)));
    }
    FUZZ_CHECK(kind == expectedKind(page), "kind " + QByteArray::number(static_cast<int>(kind)));

    const int rowCount = tracking::countRowMarkers(page);
    const qsizetype markers = page.count(QStringLiteral("<tr><td>"));
    FUZZ_CHECK(rowCount == qMin<qsizetype>(markers, kMaxRows),
               "count " + QByteArray::number(rowCount) + " of " + QByteArray::number(markers));

    // The parse as the program runs it: with the row count the page gives.
    const QVector<ProgressLine> lines = tracking::parseResultPage(page, rowCount);
    FUZZ_CHECK(lines.size() == rowCount,
               QByteArray::number(lines.size()) + " lines for " + QByteArray::number(rowCount));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ProgressLine& line = lines.at(i);
        FUZZ_CHECK(line.number == QString::number(i + 1),
                   "line " + QByteArray::number(i) + " numbered " + fuzz::shown(line.number));
        FUZZ_CHECK(!line.time.contains(u'<'), "time " + fuzz::shown(line.time));
        FUZZ_CHECK(line.time.size() <= page.size() && line.progress.size() <= page.size(),
                   "line " + QByteArray::number(i) + " longer than the page");
    }

    if (!lines.isEmpty()) {
        const QString status = tracking::parcelStatus(lines.first().progress);
        FUZZ_CHECK(status == QStringLiteral("快件状态：已签收") ||
                       status == QStringLiteral("快件状态：派件中") ||
                       status == QStringLiteral("快件状态：运送中"),
                   "status " + fuzz::shown(status));
    }

    if (page.size() <= kLiteralPageLimit) {
        // The program's own count, and counts around it as a page of another shape gives.
        checkLinesMatch(page, rowCount);
        checkLinesMatch(page, rowCount + 1);
        checkLinesMatch(page, rowCount + 3);
        checkLinesMatch(page, rowCount - 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkPage(fuzz::asGbk(data, size));
    checkPage(fuzz::asUtf8(data, size));
    return 0;
}
