#pragma once

#include <QStringView>

namespace tracking {

// What the tracking service's answer says, told by fixed phrases.
enum class AnswerKind {
    Empty,        // no answer text at all
    BadFormat,    // "单号格式错误"
    NotFound,     // "不存在"
    Unsupported,  // "不支持的快递公司"
    PleaseEnter,  // "请输入"
    Data,         // none of the phrases: an answer with tracking data
};

// Classifies an answer. The phrases are tested in the order above, each as a plain
// case-sensitive substring; the first that occurs decides.
AnswerKind classifyAnswer(QStringView page);

// The largest count of rows, and of lines in the progress list: the program counts them
// in signed 16-bit counters.
inline constexpr int kMaxRowCount = 32767;

// The marker that begins each row of an answer's table.
inline constexpr QStringView kRowMarker = u"<tr><td>";

// The number of row markers "<tr><td>" in the answer, at most kMaxRowCount (a count that
// would go past it stays there).
int countRowMarkers(QStringView page);

}  // namespace tracking
