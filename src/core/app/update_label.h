#pragma once

#include <QString>

namespace app {

enum class UpdateVerdict { Failed, UpToDate, Newer };

struct UpdateJudgement {
    UpdateVerdict verdict;
    QString label;  // the answer without trailing white space and line ends
};

// Judges the update server's answer against the program's own label "V3.2". Only a
// well-formed label "V<major>.<minor>" (ASCII digits and nothing else once trailing white
// space and line ends are gone) names a version: a higher one (major first, then minor,
// both compared as numbers, so "V3.10" is above "V3.2") is Newer, the same or an older one
// UpToDate. A failed fetch, an empty answer and anything that is not such a label (an
// error page, a proxy's login page, "V3.2 beta") are Failed.
UpdateJudgement judgeUpdateAnswer(bool fetched, const QString& answer);

}  // namespace app
