// The update server's answer: any text is judged Failed, UpToDate or Newer, only a label
// "V<digits>.<digits>" names a version, and the label is the answer less its trailing blanks.

#include <QRegularExpression>

#include "app/update_label.h"
#include "fuzz_support.h"

using app::UpdateVerdict;

namespace {

// The program's own label is "V3.2".
constexpr int kOwnMajor = 3;
constexpr int kOwnMinor = 2;

// A run of ASCII digits compared with a small number.
int compareWith(QStringView digits, int own) {
    while (digits.size() > 1 && digits.front() == u'0') {
        digits = digits.mid(1);
    }
    if (digits.size() > 9) {
        return 1;
    }
    const int value = digits.toInt();
    return value < own ? -1 : (value > own ? 1 : 0);
}

void checkAnswer(const QString& answer) {
    const app::UpdateJudgement notFetched = app::judgeUpdateAnswer(false, answer);
    FUZZ_CHECK(notFetched.verdict == UpdateVerdict::Failed, "not fetched but judged");

    const app::UpdateJudgement judgement = app::judgeUpdateAnswer(true, answer);
    switch (judgement.verdict) {
        case UpdateVerdict::Failed:
        case UpdateVerdict::UpToDate:
        case UpdateVerdict::Newer:
            break;
        default:
            FUZZ_CHECK(false, "verdict " + QByteArray::number(static_cast<int>(judgement.verdict)));
    }

    // The label is the answer up to its trailing white space and line ends.
    const QString& label = judgement.label;
    FUZZ_CHECK(answer.startsWith(label), "label " + fuzz::shown(label));
    FUZZ_CHECK(label.isEmpty() || !label.back().isSpace(), "label ends in a blank");
    for (qsizetype i = label.size(); i < answer.size(); ++i) {
        FUZZ_CHECK(answer.at(i).isSpace(), "label cut at " + QByteArray::number(label.size()));
    }

    // A label is a few characters long; anything over 16 is not one.
    static const QRegularExpression versionLabel(QStringLiteral("\\AV([0-9]+)\\.([0-9]+)\\z"));
    const QRegularExpressionMatch match = versionLabel.match(label);
    if (!match.hasMatch() || label.size() > 16) {
        FUZZ_CHECK(judgement.verdict == UpdateVerdict::Failed, "judged " + fuzz::shown(label));
        return;
    }
    int order = compareWith(match.capturedView(1), kOwnMajor);
    if (order == 0) {
        order = compareWith(match.capturedView(2), kOwnMinor);
    }
    const UpdateVerdict expected = order > 0 ? UpdateVerdict::Newer : UpdateVerdict::UpToDate;
    FUZZ_CHECK(judgement.verdict == expected,
               "verdict " + QByteArray::number(static_cast<int>(judgement.verdict)) + " for " +
                   fuzz::shown(label));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkAnswer(fuzz::asGbk(data, size));
    checkAnswer(fuzz::asUtf8(data, size));
    checkAnswer(fuzz::asUtf16(data, size));
    return 0;
}
